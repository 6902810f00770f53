#include "search/case_rule.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CasePair {
    unsigned char upper;
    unsigned char lower;
};

// Every byte that the program folds, as upper and lower form.
const CasePair kFolded[] = {
    {0x80, 0x87}, {0x8E, 0x84}, {0x8F, 0x86}, {0x90, 0x82},
    {0x99, 0x94}, {0x9A, 0x81}, {0xA5, 0xA4},
};

bool IsFoldedUpper(int b) {
    if (b >= 'A' && b <= 'Z') {
        return true;
    }
    for (const CasePair& p : kFolded) {
        if (p.upper == b) {
            return true;
        }
    }
    return false;
}

bool IsFoldedLower(int b) {
    if (b >= 'a' && b <= 'z') {
        return true;
    }
    for (const CasePair& p : kFolded) {
        if (p.lower == b) {
            return true;
        }
    }
    return false;
}

TEST(CaseRule, FoldsTheSevenCodePagePairsBothWays) {
    for (const CasePair& p : kFolded) {
        EXPECT_EQ(static_cast<unsigned char>(search::LowerByte(static_cast<char>(p.upper))),
                  p.lower);
        EXPECT_EQ(static_cast<unsigned char>(search::UpperByte(static_cast<char>(p.lower))),
                  p.upper);
        // A byte already in the target case stays.
        EXPECT_EQ(static_cast<unsigned char>(search::UpperByte(static_cast<char>(p.upper))),
                  p.upper);
        EXPECT_EQ(static_cast<unsigned char>(search::LowerByte(static_cast<char>(p.lower))),
                  p.lower);
    }
}

TEST(CaseRule, LeavesEveryOtherByteAlone) {
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        const auto lower = static_cast<unsigned char>(search::LowerByte(c));
        const auto upper = static_cast<unsigned char>(search::UpperByte(c));
        if (b >= 'A' && b <= 'Z') {
            EXPECT_EQ(lower, b + 32) << b;
        } else if (!IsFoldedUpper(b)) {
            EXPECT_EQ(lower, b) << b;
        }
        if (b >= 'a' && b <= 'z') {
            EXPECT_EQ(upper, b - 32) << b;
        } else if (!IsFoldedLower(b)) {
            EXPECT_EQ(upper, b) << b;
        }
    }
    // Latin-1 capitals and small letters are never touched.
    for (int b = 0xC0; b <= 0xFF; ++b) {
        EXPECT_EQ(static_cast<unsigned char>(search::LowerByte(static_cast<char>(b))), b);
        EXPECT_EQ(static_cast<unsigned char>(search::UpperByte(static_cast<char>(b))), b);
    }
}

TEST(CaseRule, WholeTexts) {
    const struct {
        std::string in;
        std::string lower;
        std::string upper;
    } cases[] = {
        {"Foto.JPG", "foto.jpg", "FOTO.JPG"},
        {"", "", ""},
        {"C:\\Dati\\a b&c_9.Txt", "c:\\dati\\a b&c_9.txt", "C:\\DATI\\A B&C_9.TXT"},
        {"\x8E\x80\xC8\xE8z", "\x84\x87\xC8\xE8z", "\x8E\x80\xC8\xE8Z"},
        {std::string("a\0B", 3), std::string("a\0b", 3), std::string("A\0B", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(search::LowerCase(c.in), c.lower);
        EXPECT_EQ(search::UpperCase(c.in), c.upper);
    }
}

}  // namespace
