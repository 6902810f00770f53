// Fuzz target: number text and number masks, on any value and any mask text.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "format/mask_format.h"
#include "format/number_text.h"
#include "fuzz_check.h"

namespace {

using Wide = unsigned __int128;

std::string WideText(Wide v) {
    std::string reversed;
    do {
        reversed += static_cast<char>('0' + static_cast<int>(v % 10));
        v /= 10;
    } while (v != 0);
    return std::string(reversed.rbegin(), reversed.rend());
}

// The integer digits a mask with no fraction position prints for a magnitude: at most 18
// significant digits, the rest rounded away half to even and printed as zeros.
std::string EighteenDigits(Wide magnitude) {
    Wide scale = 1;
    while (magnitude / scale >= Wide{1000000000000000000}) {
        scale *= 10;
    }
    Wide kept = magnitude / scale;
    const Wide rest = magnitude % scale;
    if (scale > 1 && (rest * 2 > scale || (rest * 2 == scale && kept % 2 == 1))) {
        ++kept;
    }
    return WideText(kept * scale);
}

std::string Grouped(const std::string& digits) {
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            out += ',';
        }
        out += digits[i];
    }
    return out;
}

void CheckNumberText(int64_t value) {
    const std::string bare = format::NumberText(value, format::Form::kBare);
    const std::string signed_text = format::NumberText(value, format::Form::kSigned);
    FUZZ_CHECK(bare == std::to_string(value));
    FUZZ_CHECK(signed_text == (value < 0 ? bare : " " + bare));
    FUZZ_CHECK(signed_text.size() <= 20);
    if (value >= INT32_MIN && value <= INT32_MAX) {
        const auto narrow = static_cast<int32_t>(value);
        FUZZ_CHECK(format::NumberText(narrow, format::Form::kSigned) == signed_text);
        FUZZ_CHECK(format::MaskFormat(narrow, "* #######,") ==
                   format::MaskFormat(value, "* #######,"));
    }
}

// A mask of digit positions, grouping commas right after them and at most one fill, with no
// literal: the text is then fill characters, a minus, forced zeros and the value's digits.
std::string DigitMask(FuzzedDataProvider& in, char& fill) {
    std::string mask;
    fill = '\0';
    bool after_digit = false;
    const size_t length = in.ConsumeIntegralInRange<size_t>(0, 40);
    for (size_t i = 0; i < length; ++i) {
        switch (in.ConsumeIntegralInRange(0, 4)) {
            case 0:
            case 1:
                mask += '#';
                break;
            case 2:
                mask += '0';
                break;
            case 3:
                if (fill == '\0') {
                    fill = in.PickValueInArray({' ', '*', 'x', '_'});
                    mask += '*';
                    mask += fill;
                } else {
                    mask += '#';
                }
                break;
            default:
                if (after_digit) {
                    mask += ',';
                }
                after_digit = false;
                continue;
        }
        after_digit = true;
    }
    return mask;
}

// Takes the text apart as the digit masks lay it out; "digits" keeps the commas.
void CheckDigitLayout(const std::string& text,
                      const std::string& mask,
                      char fill,
                      bool negative,
                      const std::string& magnitude) {
    const bool grouping = mask.find(',') != std::string::npos;
    std::string rest;
    for (char c : text) {
        if (fill == '\0' || c != fill) {
            rest += c;
        }
    }
    size_t at = 0;
    if (negative) {
        FUZZ_CHECK(!rest.empty() && rest[0] == '-');
        at = 1;
    }
    // Forced zeros, then the digits; a zero value is its one "0".
    while (at + 1 < rest.size() && rest[at] == '0') {
        ++at;
    }
    const std::string digits = rest.substr(at);
    FUZZ_CHECK(digits == (grouping ? Grouped(magnitude) : magnitude));
}

void CheckMask(FuzzedDataProvider& in) {
    const int kind = in.ConsumeIntegralInRange(0, 2);
    int64_t integer = 0;
    float real = 0.0f;
    if (kind == 0) {
        integer = in.ConsumeIntegral<int64_t>();
    } else if (kind == 1) {
        integer = in.ConsumeIntegral<int32_t>();
    } else {
        const auto bits = in.ConsumeIntegral<uint32_t>();
        std::memcpy(&real, &bits, sizeof real);
    }
    const bool arbitrary_mask = in.ConsumeBool();
    char fill = '\0';
    const std::string mask =
        arbitrary_mask ? in.ConsumeRandomLengthString(200) : DigitMask(in, fill);
    const std::string text = kind == 2   ? format::MaskFormat(real, mask)
                             : kind == 1 ? format::MaskFormat(static_cast<int32_t>(integer), mask)
                                         : format::MaskFormat(integer, mask);

    // The integer digits as printed: an integer's own, a float's rounded half to even.
    bool negative = false;
    std::string magnitude = "0";
    if (kind != 2) {
        negative = integer < 0;
        const uint64_t m =
            negative ? 0 - static_cast<uint64_t>(integer) : static_cast<uint64_t>(integer);
        magnitude = EighteenDigits(m);
    } else if (std::isfinite(real)) {
        negative = real < 0.0f;
        const double whole = std::nearbyint(std::fabs(static_cast<double>(real)));
        magnitude = EighteenDigits(static_cast<Wide>(whole));
    }

    // Every mask position gives at most one character; besides them come the digits that do
    // not fit, their commas and the minus.
    const size_t digit_count = magnitude.size() + (arbitrary_mask ? 1 : 0);
    FUZZ_CHECK(text.size() <= mask.size() + digit_count + (digit_count - 1) / 3 + 1);

    // No digit is ever lost: the digits stand in the text in their order.
    size_t found = 0;
    for (size_t i = 0; i < text.size() && found < magnitude.size(); ++i) {
        if (text[i] == magnitude[found]) {
            ++found;
        }
    }
    if (kind != 2 || !arbitrary_mask) {
        FUZZ_CHECK(found == magnitude.size());
    }
    if (!arbitrary_mask) {
        CheckDigitLayout(text, mask, fill, negative, magnitude);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    CheckNumberText(in.ConsumeIntegral<int64_t>());
    CheckMask(in);
    return 0;
}
