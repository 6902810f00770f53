#pragma once

// The Search window's taskbar button: a moving bar while a search runs, and a flash when one
// ends out of the user's sight. Where the system has no taskbar object, none of it shows and
// nothing fails.

#include "win32/win.h"

namespace win {

// The message the system sends a window once its taskbar button exists, and again whenever the
// taskbar comes back (Explorer restarted); 0 where it cannot be registered.
UINT TaskbarButtonCreatedMessage();

// Takes the system's taskbar object for the window's button, at TaskbarButtonCreatedMessage;
// a search already running shows on it at once.
void AttachTaskbar(HWND window);

// Lets the taskbar object go, the bar of a running search taken off first: the window is being
// destroyed, and COM ends after it.
void DetachTaskbar();

// From the start of a search to its end block, the button shows a moving bar.
void ShowSearchRunning(bool running);

// Flashes the window's taskbar button until the window comes to the front, when it is
// minimised or behind another window now.
void FlashIfOutOfSight(HWND window);

}  // namespace win
