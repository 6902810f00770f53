#pragma once

// The Pump step that keeps the window alive during long work.

namespace search {

// Handles at most one pending message of the thread, or sleeps 1 ms when none is waiting. Long
// work calls it to keep the window alive; whatever the message triggers runs nested inside it.
// The Search window, while it is active, gets its keyboard handling first.
void PumpStep();

}  // namespace search
