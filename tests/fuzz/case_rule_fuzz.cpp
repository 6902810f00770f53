// Fuzz target: the case rule on any bytes.

#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "search/case_rule.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
