#pragma once

// The Event handler that the modal loop installs for the Search window.

#include "win32/win.h"

namespace app {

// The Search window's Event handler. Returns 0 for every message, handled or not, so that the
// window's default handling always follows, but for the list's search for a typed row, which is
// answered the row found; nothing thrown inside gets out.
INT_PTR HandleEvent(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace app
