#pragma once

// The date column's text of a file time.

#include <string>

#include "win32/win.h"

namespace win {

// The "Data" column text of a file time (UTC): the local date in the user's short format, two
// blanks, and the local time as hours and minutes on the 24-hour clock. A part that cannot be
// formatted stays empty; the two blanks are always there. shown, where given, receives the local
// time that the text shows (to the minute); all zero where either part is empty.
std::string DateText(const FILETIME& utc, SYSTEMTIME* shown = nullptr);

}  // namespace win
