#pragma once

#include "app/win.h"

namespace search {

// The dialog procedure notes the Search window here while it is the active window (null when it
// is deactivated), so that a Pump step can give it its keyboard handling.
void NoteActiveDialog(HWND dialog);

// Handles at most one pending message of the thread, or sleeps 1 ms when none is waiting. Long
// work calls it to keep the window alive; whatever the message triggers runs nested inside it.
void PumpStep();

}  // namespace search
