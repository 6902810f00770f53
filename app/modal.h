#pragma once

// The modal loop that runs the Search window.

#include "app/dialog.h"

namespace app {

// Primes the handler with WM_INITDIALOG and WM_SIZE, installs it, shows the window and handles
// messages until the window no longer exists.
void RunModal(HWND window, EventHandler handler);

}  // namespace app
