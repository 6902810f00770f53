#pragma once

// The Search window: built from the control table, then run until it is gone.

#include "win32/win.h"

namespace app {

// Width of a column: the nearest whole number (ties to even) to fraction x list width.
int ColumnWidth(float fraction, int list_width);

// Initialises the common controls and builds the hidden Search window with its controls, the
// default patterns, the start folder and the list's columns; returns the window (null when it
// cannot be created).
HWND BuildSearchWindow();

// Builds the Search window and runs it until it is gone; returns 0.
int MainRoutine();

}  // namespace app
