#pragma once

// What a control does, where its text does not say (the two "..." buttons): a tooltip over it,
// and the same text as its name for screen readers.

#include "win32/win.h"

namespace app {

// Gives each control of the control table that has a hint its tooltip and its accessible name.
// The tooltip window is owned by the window, and goes with it.
void AddHints(HWND window);

// Takes the accessible names off again: the window is being destroyed.
void RemoveHints(HWND window);

}  // namespace app
