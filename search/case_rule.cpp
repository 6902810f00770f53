// The Case rule: ASCII letters and seven code-page-437 letter pairs, by whole characters.

#include "search/case_rule.h"

#include <array>
#include <cstdint>
#include <utility>

namespace search {
namespace {

struct Pair {
    uint8_t upper;
    uint8_t lower;
};

// Code page 437 letters that the program folds besides A to Z (Ç ü é ä å Ö Ü Ñ and their pairs).
constexpr std::array<Pair, 7> kExtraPairs = {{
    {0x80, 0x87},
    {0x8E, 0x84},
    {0x8F, 0x86},
    {0x90, 0x82},
    {0x99, 0x94},
    {0x9A, 0x81},
    {0xA5, 0xA4},
}};

}  // namespace

char UpperByte(char c) {
    const auto b = static_cast<uint8_t>(c);
    if (b >= 'a' && b <= 'z') {
        return static_cast<char>(b - ('a' - 'A'));
    }
    for (const Pair& p : kExtraPairs) {
        if (b == p.lower) {
            return static_cast<char>(p.upper);
        }
    }
    return c;
}

char LowerByte(char c) {
    const auto b = static_cast<uint8_t>(c);
    if (b >= 'A' && b <= 'Z') {
        return static_cast<char>(b + ('a' - 'A'));
    }
    for (const Pair& p : kExtraPairs) {
        if (b == p.upper) {
            return static_cast<char>(p.lower);
        }
    }
    return c;
}

namespace {

template <char (*Case)(char)>
std::string Cased(std::string text, const format::CodePage& page) {
    if (page.kind == format::CodePage::Kind::kSingleByte) {
        for (char& c : text) {
            c = Case(c);
        }
        return text;
    }
    for (size_t at = 0; at < text.size();) {
        const size_t length = format::CharLength(text.data(), text.size(), at, page);
        if (length == 1 && static_cast<unsigned char>(text[at]) < 0x80) {
            text[at] = Case(text[at]);
        }
        at += length;
    }
    return text;
}

}  // namespace

std::string UpperCase(std::string text, const format::CodePage& page) {
    return Cased<UpperByte>(std::move(text), page);
}

std::string LowerCase(std::string text, const format::CodePage& page) {
    return Cased<LowerByte>(std::move(text), page);
}

}  // namespace search
