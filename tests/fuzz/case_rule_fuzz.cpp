// Fuzz target: the case rule on any bytes, under any of the code pages: the first byte picks one.

#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "search/case_rule.h"
#include "tests/host/code_pages.h"

namespace {

// The seven code page 437 pairs besides A to Z: Ç Ä Å É Ö Ü Ñ and their lower forms.
constexpr unsigned char kPairs[7][2] = {
    {0x80, 0x87}, {0x8E, 0x84}, {0x8F, 0x86}, {0x90, 0x82},
    {0x99, 0x94}, {0x9A, 0x81}, {0xA5, 0xA4},
};

unsigned char Upper(unsigned char b) {
    if (b >= 'a' && b <= 'z') {
        return static_cast<unsigned char>(b - 'a' + 'A');
    }
    for (const auto& p : kPairs) {
        if (b == p[1]) {
            return p[0];
        }
    }
    return b;
}

unsigned char Lower(unsigned char b) {
    if (b >= 'A' && b <= 'Z') {
        return static_cast<unsigned char>(b - 'A' + 'a');
    }
    for (const auto& p : kPairs) {
        if (b == p[0]) {
            return p[1];
        }
    }
    return b;
}

// Under a multi-byte code page: the characters cover the text, and only ASCII letters that stand
// as characters of their own change; no byte of a longer character does.
void CheckMultiByte(const std::string& text, const format::CodePage& page) {
    const std::string upper = search::UpperCase(text, page);
    const std::string lower = search::LowerCase(text, page);
    FUZZ_CHECK(upper.size() == text.size());
    FUZZ_CHECK(lower.size() == text.size());
    for (size_t at = 0; at < text.size();) {
        const size_t length = format::CharLength(text.data(), text.size(), at, page);
        FUZZ_CHECK(length >= 1 && length <= 4 && at + length <= text.size());
        for (size_t i = at; i < at + length; ++i) {
            const auto b = static_cast<unsigned char>(text[i]);
            const bool alone = length == 1 && b < 0x80;
            FUZZ_CHECK(static_cast<unsigned char>(upper[i]) == (alone ? Upper(b) : b));
            FUZZ_CHECK(static_cast<unsigned char>(lower[i]) == (alone ? Lower(b) : b));
        }
        at += length;
    }
    // Casing changes no character's length, so the characters stay where they were.
    FUZZ_CHECK(search::UpperCase(lower, page) == upper);
    FUZZ_CHECK(search::LowerCase(upper, page) == lower);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A first byte of 0 mod 6 keeps the single-byte page; the others pick a multi-byte one.
    static const unsigned kMultiBytePages[] = {932, 936, 949, 950, 65001};
    if (size > 0 && data[0] % 6 != 0) {
        CheckMultiByte(std::string(reinterpret_cast<const char*>(data) + 1, size - 1),
                       testpages::Page(kMultiBytePages[data[0] % 6 - 1]));
        return 0;
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string upper = search::UpperCase(text);
    const std::string lower = search::LowerCase(text);
    FUZZ_CHECK(upper.size() == text.size());
    FUZZ_CHECK(lower.size() == text.size());
    for (size_t i = 0; i < size; ++i) {
        // Only the documented bytes change, each to its pair.
        FUZZ_CHECK(static_cast<unsigned char>(upper[i]) == Upper(data[i]));
        FUZZ_CHECK(static_cast<unsigned char>(lower[i]) == Lower(data[i]));
        FUZZ_CHECK(search::UpperByte(text[i]) == upper[i]);
        FUZZ_CHECK(search::LowerByte(text[i]) == lower[i]);
    }
    FUZZ_CHECK(search::UpperCase(upper) == upper);
    FUZZ_CHECK(search::LowerCase(lower) == lower);
    // The pairs go both ways: casing one way and back gives the other casing of the text.
    FUZZ_CHECK(search::UpperCase(lower) == upper);
    FUZZ_CHECK(search::LowerCase(upper) == lower);
    return 0;
}
