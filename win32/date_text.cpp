// The date column's text of a file time, through the user's locale.

#include "win32/date_text.h"

namespace win {

std::string DateText(const FILETIME& utc, SYSTEMTIME* shown) {
    // Converted with the zone's offset in force now, the same for every file.
    FILETIME local = utc;
    FileTimeToLocalFileTime(&utc, &local);
    SYSTEMTIME parts = {};
    if (!FileTimeToSystemTime(&local, &parts)) {
        parts = SYSTEMTIME{};
    }
    char date[64] = {};
    char time[64] = {};
    if (GetDateFormatA(0, DATE_SHORTDATE, &parts, nullptr, date, sizeof date) == 0) {
        date[0] = '\0';
    }
    // On the 24-hour clock the locale's AM/PM marker ("am" in hi-IN) would only contradict it.
    if (GetTimeFormatA(0, TIME_NOSECONDS | TIME_FORCE24HOURFORMAT | TIME_NOTIMEMARKER, &parts,
                       nullptr, time, sizeof time) == 0) {
        time[0] = '\0';
    }
    if (shown != nullptr) {
        *shown = SYSTEMTIME{};
        if (date[0] != '\0' && time[0] != '\0') {
            *shown = parts;
        }
    }
    return std::string(date) + "  " + time;
}

}  // namespace win
