#include "format/code_page.h"

#include <gtest/gtest.h>

#include <string>

#include "search/case_rule.h"
#include "tests/host/code_pages.h"

namespace {

using testpages::Page;

// The length of every character of a text in turn, as digits ("2214": two, two, one, four).
std::string Lengths(const std::string& text, const format::CodePage& page) {
    std::string lengths;
    for (size_t at = 0; at < text.size();) {
        const size_t n = format::CharLength(text.data(), text.size(), at, page);
        lengths += static_cast<char>('0' + n);
        at += n;
    }
    return lengths;
}

TEST(CodePage, CharactersAndCaseByCodePage) {
    const struct {
        unsigned page;
        std::string text;
        const char* lengths;
        std::string lower;
        std::string upper;
    } cases[] = {
        // 1252: every byte a character; the seven pairs of the Case rule fold as written.
        {1252, "A\x8E\x80\xC8z", "11111", "a\x84\x87\xC8z", "A\x8E\x80\xC8Z"},
        // 932: second bytes 0x5C and ASCII letters stay; the half-width 0xB1 stays too.
        {932, "\x97\x5C\x92\xE8\x95\x5C", "222", "\x97\x5C\x92\xE8\x95\x5C",
         "\x97\x5C\x92\xE8\x95\x5C"},
        {932, "\x83\x41\x83\x43.Ico\xB1", "2211111", "\x83\x41\x83\x43.ico\xB1",
         "\x83\x41\x83\x43.ICO\xB1"},
        {932, "\x8E\x91\x97\xBF.PDF", "221111", "\x8E\x91\x97\xBF.pdf", "\x8E\x91\x97\xBF.PDF"},
        // A lead byte at the end, or before a NUL, is a character of its own.
        {932, std::string("A\x83\0B\x83", 5), "11111", std::string("a\x83\0b\x83", 5),
         std::string("A\x83\0B\x83", 5)},
        {950, "\xB3\x5C\xA5\x69.TXT\xAA\x46", "2211112", "\xB3\x5C\xA5\x69.txt\xAA\x46",
         "\xB3\x5C\xA5\x69.TXT\xAA\x46"},
        {936, "\xD9\x59\xC1\xCF.doc", "221111", "\xD9\x59\xC1\xCF.doc", "\xD9\x59\xC1\xCF.DOC"},
        {949, "\xC0\xA5\xC6\xE4.Html", "2211111", "\xC0\xA5\xC6\xE4.html", "\xC0\xA5\xC6\xE4.HTML"},
        // UTF-8: whole sequences; a byte that begins none is a character of its own.
        {65001, "PI\xC3\x99\xF0\x9F\x98\x80\xE2\x80\xAE", "11243",
         "pi\xC3\x99\xF0\x9F\x98\x80\xE2\x80\xAE", "PI\xC3\x99\xF0\x9F\x98\x80\xE2\x80\xAE"},
        {65001, "\xC3z\xE2\x80\xC0\x80\xED\xA0\x80\xF4\x90\x80\x80", "1111111111111",
         "\xC3z\xE2\x80\xC0\x80\xED\xA0\x80\xF4\x90\x80\x80",
         "\xC3Z\xE2\x80\xC0\x80\xED\xA0\x80\xF4\x90\x80\x80"},
    };
    for (const auto& c : cases) {
        const format::CodePage page = Page(c.page);
        EXPECT_EQ(Lengths(c.text, page), c.lengths) << c.page << " " << c.text;
        EXPECT_EQ(search::LowerCase(c.text, page), c.lower) << c.page << " " << c.text;
        EXPECT_EQ(search::UpperCase(c.text, page), c.upper) << c.page << " " << c.text;
    }
}

TEST(CodePage, SearchesAndCutsFindOnlyWholeCharacters) {
    const struct {
        unsigned page;
        std::string text;
        size_t first_backslash;
        size_t last_backslash;
        size_t windows;  // where "\WINDOWS\" begins
        size_t within5;  // the longest start of at most five bytes
    } cases[] = {
        {1252, "C:\\\x95\\WINDOWS\\", 2, 12, 4, 5},
        {932, "C:\\\x95\\WINDOWS\\", 2, 12, std::string::npos, 5},
        {932, "\x97\x5C\x92\xE8\x95\x5C", std::string::npos, std::string::npos, std::string::npos,
         4},
        {950, "abc\\\xB3\\", 3, 3, std::string::npos, 4},
        {65001, "\xC3\x99\\\xE2\x80\xAE\\", 2, 6, std::string::npos, 3},
    };
    for (const auto& c : cases) {
        const format::CodePage page = Page(c.page);
        EXPECT_EQ(format::FindChar(c.text, '\\', 0, page), c.first_backslash) << c.page;
        EXPECT_EQ(format::FindCharOf(c.text, "/\\", page), c.first_backslash) << c.page;
        EXPECT_EQ(format::FindLastChar(c.text, '\\', page), c.last_backslash) << c.page;
        EXPECT_EQ(format::FindText(c.text, "\\WINDOWS\\", page), c.windows) << c.page;
        EXPECT_EQ(format::WholeCharsWithin(c.text, 5, page), c.within5) << c.page;
    }
}

}  // namespace
