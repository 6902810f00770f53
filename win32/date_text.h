#pragma once

// The date column's text of a file time.

#include <string>

#include "win32/win.h"

namespace win {

// The "Data" column text of a file time (UTC): the local date in the user's short format, two
// blanks, and the local time as hours and minutes on the 24-hour clock. A part that cannot be
// formatted stays empty; the two blanks are always there.
std::string DateText(const FILETIME& utc);

}  // namespace win
