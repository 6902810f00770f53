#pragma once

#include <string>

#include "app/controls.h"
#include "app/win.h"

namespace search {

// The controls a search disables, in this order, and gives back at its end.
constexpr int kLockedDuringSearch[] = {app::kQuitButton,         app::kHelpButton,
                                       app::kFolderBrowseButton, app::kPatternBox,
                                       app::kSubfoldersBox,      app::kStartFolderBox};

// The Start button: starts a search from the window's inputs and returns when it is over, or,
// called again from inside a running search's Pump step, asks whether to cancel it.
void StartOrCancel();

// Seconds since local midnight of a clock reading.
double ClockSeconds(const SYSTEMTIME& clock);

// The start folder without its trailing "\" and "/" characters, plus exactly one "\".
std::string NormaliseStartFolder(std::string folder);

}  // namespace search
