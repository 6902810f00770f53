#include <gtest/gtest.h>

#include <string>

#include "search/start.h"
#include "search/summary.h"
#include "tests/host/code_pages.h"

namespace {

TEST(StartFolder, TrailingSeparatorsBecomeOneBackslash) {
    const struct {
        const char* typed;
        const char* folder;
        unsigned page = 1252;
    } cases[] = {
        {"C:\\Dati", "C:\\Dati\\"},
        {"C:\\Dati\\", "C:\\Dati\\"},
        {"C:\\Dati\\\\", "C:\\Dati\\"},
        {"C:\\Dati/", "C:\\Dati\\"},
        {"C:/Dati/", "C:/Dati\\"},
        {"C:\\Dati/\\/", "C:\\Dati\\"},
        {"", "\\"},
        {"\\\\", "\\"},
        {"C:", "C:\\"},
        {" a b \\", " a b \\"},
        // A folder ending in a character whose second byte is 0x5C keeps its separator.
        {"C:\\\x97\x5C\x92\xE8\x95\x5C", "C:\\\x97\x5C\x92\xE8\x95\x5C\\", 932},
        {"C:\\\x95\x5C\\/", "C:\\\x95\x5C\\", 932},
    };
    for (const auto& c : cases) {
        const testpages::ScopedPage page(c.page);
        EXPECT_EQ(search::NormaliseStartFolder(c.typed), c.folder) << c.typed;
    }
}

TEST(Clock, SecondsSinceMidnight) {
    SYSTEMTIME t = {};
    t.wHour = 13;
    t.wMinute = 45;
    t.wSecond = 7;
    t.wMilliseconds = 250;
    EXPECT_DOUBLE_EQ(search::ClockSeconds(t), 49507.25);
    t = SYSTEMTIME{};
    EXPECT_DOUBLE_EQ(search::ClockSeconds(t), 0.0);
    t.wHour = 23;
    t.wMinute = 59;
    t.wSecond = 59;
    t.wMilliseconds = 999;
    EXPECT_DOUBLE_EQ(search::ClockSeconds(t), 86399.999);
}

TEST(Elapsed, NeverNegative) {
    // The start time is kept in single precision: late in the day it is rounded to 1/128 s.
    const float late = 86000.123f;
    const struct {
        float start;
        double now;
        float elapsed;
    } cases[] = {
        {100.0f, 102.5, 2.5f},
        {late, static_cast<double>(late) + 1.25, 1.25f},
        {late, 86000.123, 0.0f},  // the clock a hair below the rounded start
        {late, static_cast<double>(late) - 0.9, 0.0f},
        {86399.5f, 0.25, 0.75f},  // across midnight
        {80000.0f, 3600.0, 10000.0f},
        {0.0f, 0.0, 0.0f},
    };
    for (const auto& c : cases) {
        EXPECT_FLOAT_EQ(search::ElapsedSeconds(c.start, c.now), c.elapsed)
            << c.start << " " << c.now;
        EXPECT_GE(search::ElapsedSeconds(c.start, c.now), 0.0f);
    }
}

TEST(Summary, CountPatternTotalAndSeconds) {
    const struct {
        int32_t found;
        const char* pattern;
        int64_t total;
        float elapsed;
        const char* text;
    } cases[] = {
        {25, "*.txt", 4096, 2.5f, " 25 *.txt  per un totale di 4,096 bytes. (in 2.500 sec.)"},
        {0, "*.gi3", 0, 0.0f, " 0 *.gi3  per un totale di 0 bytes. (in 0.000 sec.)"},
        {1234, "*men*   menu*.exe", 12345678901LL, 0.0625f,
         " 1234 *men*   menu*.exe  per un totale di 12,345,678,901 bytes. (in 0.062 sec.)"},
        {7, "", 999, 3599.999f, " 7   per un totale di 999 bytes. (in 3599.999 sec.)"},
        {7, "x", 1, 86399.999f, " 7 x  per un totale di 1 bytes. (in 86400.000 sec.)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(search::SearchSummary(c.found, c.pattern, c.total, c.elapsed), c.text);
    }
}

}  // namespace
