#include "results/cell_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/host/code_pages.h"

namespace {

using results::CellText;
using results::kCellTextSize;
using results::StoredCellText;

const std::string kRow = "foto.jpg\tJPG\tC:\\Dati\\\t     1,234\t08/12/2026  14:05";

// The buffer version into a buffer full of 'x', so that a missing terminator shows.
std::string IntoBuffer(const std::string& row, int c) {
    char out[kCellTextSize];
    std::memset(out, 'x', sizeof out);
    CellText(row, c, out);
    const void* nul = std::memchr(out, '\0', sizeof out);
    EXPECT_NE(nul, nullptr) << "not terminated";
    return nul == nullptr ? std::string(out, sizeof out) : std::string(out);
}

TEST(CellText, ColumnShowsFieldOneFurther) {
    const struct {
        std::string row;
        int c;
        std::string expected;
    } cases[] = {
        {kRow, 0, "foto.jpg"},
        {kRow, 1, "JPG"},
        {kRow, 2, "C:\\Dati\\"},
        {kRow, 3, "     1,234"},
        {kRow, 4, "08/12/2026  14:05"},
        {kRow, 5, ""},
        {kRow, -1, ""},
        {kRow, 2147483647, ""},
        // Fewer than five fields: the missing ones are empty.
        {"leggimi", 0, "leggimi"},
        {"leggimi", 1, ""},
        {"leggimi", 4, ""},
        {"a\tb", 1, "b"},
        {"a\tb", 2, ""},
        {"a\t\tc", 1, ""},
        {"a\t\tc", 2, "c"},
        {"", 0, ""},
        // Fields are not trimmed.
        {" a \t b ", 1, " b "},
        {"\t\t\t\t", 4, ""},
        {"\t\t\t\tlast\t", 4, "last"},
    };
    for (const auto& t : cases) {
        EXPECT_EQ(IntoBuffer(t.row, t.c), t.expected) << t.row << " column " << t.c;
        EXPECT_EQ(CellText(t.row, t.c), t.expected) << t.row << " column " << t.c;
    }
}

TEST(CellText, LongFieldsAreCutTo259Characters) {
    const std::string digits = "0123456789";
    std::string long_field;
    while (long_field.size() < 600) {
        long_field += digits;
    }
    const struct {
        size_t length;
        size_t shown;
    } cases[] = {{0, 0}, {1, 1}, {258, 258}, {259, 259}, {260, 259}, {261, 259}, {600, 259}};
    for (const auto& t : cases) {
        const std::string field = long_field.substr(0, t.length);
        for (int c = 0; c < 5; ++c) {
            std::string row;
            for (int k = 0; k < 5; ++k) {
                row += k == c ? field : "f" + std::to_string(k);
                row += k < 4 ? "\t" : "";
            }
            const std::string expected = long_field.substr(0, t.shown);
            EXPECT_EQ(IntoBuffer(row, c), expected) << t.length << " in column " << c;
            EXPECT_EQ(CellText(row, c), expected) << t.length << " in column " << c;
        }
    }
}

TEST(CellText, CutFieldEndsInTheLastByteOfTheBuffer) {
    char out[kCellTextSize];
    std::memset(out, 'x', sizeof out);
    CellText("n\t" + std::string(400, 'E') + "\td", 1, out);
    EXPECT_EQ(out[kCellTextSize - 2], 'E');
    EXPECT_EQ(out[kCellTextSize - 1], '\0');
}

TEST(CellText, CutKeepsWholeCharacters) {
    const testpages::ScopedPage page(932);
    // Katakana a, two bytes, across the 259th byte: the cut comes before it.
    const std::string field = std::string(258, 'a') + "\x83\x41" + "b";
    EXPECT_EQ(IntoBuffer("n\t" + field, 1), std::string(258, 'a'));
    EXPECT_EQ(IntoBuffer("n\t" + field.substr(1), 1), std::string(257, 'a') + "\x83\x41");
}

TEST(CellText, NulInsideFieldEndsIt) {
    const struct {
        std::string row;
        int c;
        std::string expected;
    } cases[] = {
        {std::string("ab\0cd\tx", 7), 0, "ab"},
        {std::string("ab\0cd\tx", 7), 1, "x"},
        {std::string("a\t\0b\tc", 6), 1, ""},
        {std::string("a\tb\0", 4), 1, "b"},
        // A NUL past the 259th character does not matter: the cut comes first.
        {std::string(300, 'n') + std::string(1, '\0') + "z", 0, std::string(259, 'n')},
        {std::string(100, 'n') + std::string(1, '\0') + std::string(300, 'z'), 0,
         std::string(100, 'n')},
    };
    for (const auto& t : cases) {
        EXPECT_EQ(IntoBuffer(t.row, t.c), t.expected) << t.c;
        EXPECT_EQ(CellText(t.row, t.c), t.expected) << t.c;
    }
}

TEST(CellText, RowsBeyondTheStoredOnesAreEmpty) {
    const std::vector<std::string> rows = {"a\tA", "b\tB", "c\tC"};
    const struct {
        size_t stored;
        int r;
        int c;
        std::string expected;
    } cases[] = {
        {3, 0, 0, "a"},
        {3, 2, 1, "C"},
        {3, 3, 0, ""},
        {3, -1, 0, ""},
        {2, 1, 1, "B"},
        {2, 2, 0, ""},
        {0, 0, 0, ""},
        {10, 2, 0, "c"},
        {10, 3, 0, ""},
        {10, 9, 0, ""},
        {10, 2147483647, 0, ""},
        {static_cast<size_t>(-1), 5, 0, ""},  // a negative count handed on as size_t
    };
    for (const auto& t : cases) {
        char out[kCellTextSize];
        std::memset(out, 'x', sizeof out);
        StoredCellText(rows, t.stored, t.r, t.c, out);
        EXPECT_EQ(std::string(out), t.expected) << t.stored << " " << t.r << " " << t.c;
    }
    char out[kCellTextSize] = "x";
    StoredCellText(std::vector<std::string>(), 0, 0, 0, out);
    EXPECT_EQ(std::string(out), "");
}

TEST(FindRow, FirstNameThatBeginsWithTheTypedTextFromTheStartRow) {
    const std::vector<std::string> rows = {"alfa.txt\tTXT",     "beta.doc\tDOC", "alfabeto\t",
                                           "\x83\x41.ico\tICO", "gamma\t",       "stale\t"};
    const size_t stored = 5;  // the last row is no longer shown
    const struct {
        int start;
        std::string text;
        bool whole;
        bool wrap;
        int row;
        unsigned page = 1252;
    } cases[] = {
        {0, "alf", false, false, 0},
        {1, "alf", false, false, 2},
        {3, "alf", false, false, -1},
        {3, "alf", false, true, 0},
        {0, "ALFA.T", false, false, 0},  // capitals typed find small letters
        {0, "alfa", true, false, -1},    // whole: alfa.txt and alfabeto are other names
        {0, "ALFABETO", true, false, 2},
        {0, "x", false, true, -1},
        {0, "stale", false, true, -1},           // past the stored rows
        {5, "alf", false, true, 0},              // a start past them goes round
        {0, "\x83\x61", false, false, -1, 932},  // katakana di is not katakana a in 932
        {0, "\x83\x61", false, false, 3},        // in 1252 these are two characters
    };
    for (const auto& c : cases) {
        const testpages::ScopedPage page(c.page);
        EXPECT_EQ(results::FindRow(rows, stored, c.start, c.text, c.whole, c.wrap), c.row)
            << c.start << " " << c.text;
    }
}

}  // namespace
