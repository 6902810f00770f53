#pragma once

// The Search window: built from the control table, then run until it is gone.

#include <string>

#include "win32/win.h"

namespace app {

// Width of a column: the nearest whole number (ties to even) to fraction x list width.
int ColumnWidth(float fraction, int list_width);

// The Start folder that a current directory gives: its first three characters (C:\ for
// C:\Users\x, a shorter text whole), or for a network folder \\server\share\... the share's
// root \\server\share\ (a bare \\server gives \\server\).
std::string StartFolderOf(const std::string& directory);

// Initialises the common controls and builds the hidden Search window with its controls, the
// default patterns, the start folder and the list's columns; returns the window (null when it
// cannot be created).
HWND BuildSearchWindow();

// Builds the Search window and runs it until it is gone; returns 0.
int MainRoutine();

}  // namespace app
