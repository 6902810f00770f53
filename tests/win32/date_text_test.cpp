#include "win32/date_text.h"

#include <gtest/gtest.h>

#include "tests/win32/fixtures.h"

namespace {

// The tests run with an Italian user locale (dd/MM/yyyy, HH:mm:ss) in the Asia/Kolkata zone,
// five and a half hours ahead of UTC all year.
TEST(DateText, ItalianLocalDateAndTime) {
    const struct {
        int year, month, day, hour, minute, second;
        const char* expected;
    } cases[] = {
        {2026, 12, 8, 8, 35, 30, "08/12/2026  14:05"},
        {2026, 12, 8, 8, 35, 59, "08/12/2026  14:05"},  // seconds are dropped, not rounded
        {2026, 12, 8, 18, 37, 0, "09/12/2026  00:07"},  // past local midnight: next day, hour 00
        {2026, 7, 1, 6, 30, 0, "01/07/2026  12:00"},
        {1999, 12, 31, 18, 29, 0, "31/12/1999  23:59"},
        {2000, 2, 29, 0, 0, 0, "29/02/2000  05:30"},
        {1601, 1, 2, 0, 0, 0, "02/01/1601  05:30"},
    };
    for (const auto& c : cases) {
        const FILETIME utc = vtest::UtcTime(c.year, c.month, c.day, c.hour, c.minute, c.second);
        EXPECT_EQ(win::DateText(utc), c.expected);
    }
}

TEST(DateText, TimeThatIsNoCalendarDateKeepsBothBlanks) {
    // Beyond what breaks down into a calendar date: no date part, hour 0 and minute 0.
    FILETIME bad;
    bad.dwHighDateTime = 0x80000000u;
    bad.dwLowDateTime = 0;
    SYSTEMTIME shown;
    EXPECT_EQ(win::DateText(bad, &shown), "  00:00");
    // Nothing to sort by: such a row sorts as the oldest.
    EXPECT_EQ(shown.wYear, 0);
}

}  // namespace
