#include "format/mask_format.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <type_traits>

#include <gtest/gtest.h>

namespace {

using format::MaskFormat;

// The masks of the size column, the summary's total and its seconds.
const std::string kSize = "* #######,";
const std::string kTotal = "#,###";
const std::string kSeconds = "0.000";

std::string Blanks(size_t n) {
    return std::string(n, ' ');
}

struct IntCase {
    int64_t value;
    std::string mask;
    std::string expected;
};

struct FloatCase {
    float value;
    std::string mask;
    std::string expected;
};

template <typename Case, size_t N>
void CheckAll(const Case (&cases)[N]) {
    for (const Case& c : cases) {
        EXPECT_EQ(MaskFormat(c.value, c.mask), c.expected) << c.value << " \"" << c.mask << '"';
    }
}

TEST(MaskFormat, LaysOutSizesAndTotals) {
    const IntCase cases[] = {
        {0, kSize, Blanks(8) + "0"},
        {7, kSize, Blanks(8) + "7"},
        {123, kSize, Blanks(6) + "123"},
        {999, kSize, Blanks(6) + "999"},
        {1000, kSize, Blanks(5) + "1,000"},
        {1234, kSize, Blanks(5) + "1,234"},
        {123456, kSize, Blanks(3) + "123,456"},
        {1234567, kSize, Blanks(2) + "1,234,567"},
        {999999999, kSize, "999,999,999"},
        {1000000000, kSize, "1,000,000,000"},
        {1234567890, kSize, "1,234,567,890"},
        {12345678901, kSize, "12,345,678,901"},
        {0, kTotal, "0"},
        {7, kTotal, "7"},
        {999, kTotal, "999"},
        {1234, kTotal, "1,234"},
        {1234567, kTotal, "1,234,567"},
        {1234567890, kTotal, "1,234,567,890"},
        {12345678901, kTotal, "12,345,678,901"},
        {0, kSeconds, "0.000"},
        {1234567, kSeconds, "1234567.000"},  // no grouping without a comma
    };
    CheckAll(cases);
}

TEST(MaskFormat, PutsTheMinusRightOfTheFill) {
    const IntCase cases[] = {
        {-7, kSize, Blanks(7) + "-7"},
        {-1234, kSize, Blanks(4) + "-1,234"},
        {-12345678, kSize, "-12,345,678"},
        {-123456789, kSize, "-123,456,789"},
        {-1234567890, kSize, "-1,234,567,890"},
        {-7, kTotal, "-7"},
        {-1234, kTotal, "-1,234"},
        {-7, kSeconds, "-7.000"},
    };
    CheckAll(cases);
    const int32_t least = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(MaskFormat(least, kSize), "-2,147,483,648");
}

TEST(MaskFormat, SizeTextWidthFollowsTheDigitCount) {
    int64_t smallest = 1;  // the smallest and largest sizes of n digits
    for (size_t n = 1; n <= 9; ++n, smallest *= 10) {
        for (const int64_t size : {smallest, smallest * 10 - 1}) {
            const std::string text = MaskFormat(size, kSize);
            EXPECT_EQ(text.size(), 9 + (n - 1) / 3) << size;
            EXPECT_EQ(text.find_first_not_of(' '), 9 - n) << size;
        }
    }
}

TEST(MaskFormat, SizeTextsSortLikeSizesUpToNineDigits) {
    const int64_t sizes[] = {0, 9, 10, 99, 100, 999, 1000, 9999, 65536, 999999, 1000000, 999999999};
    for (size_t i = 1; i < std::size(sizes); ++i) {
        EXPECT_LT(MaskFormat(sizes[i - 1], kSize), MaskFormat(sizes[i], kSize)) << sizes[i];
    }
    EXPECT_GT(MaskFormat(int64_t{999999999}, kSize), MaskFormat(int64_t{1000000000}, kSize));
}

TEST(MaskFormat, KeepsEighteenSignificantDigits) {
    const int64_t most = std::numeric_limits<int64_t>::max();
    const int64_t least = std::numeric_limits<int64_t>::min();
    const IntCase cases[] = {
        {999999999999999999, kTotal, "999,999,999,999,999,999"},
        {1234567890123456785, kTotal, "1,234,567,890,123,456,780"},  // tie, 8 is even
        {1234567890123456775, kTotal, "1,234,567,890,123,456,780"},  // tie, 7 is odd
        {1234567890123456786, kTotal, "1,234,567,890,123,456,790"},
        {1234567890123456794, kTotal, "1,234,567,890,123,456,790"},
        {1000000000000000005, kTotal, "1,000,000,000,000,000,000"},
        {most, kTotal, "9,223,372,036,854,775,810"},
        {most, kSize, "9,223,372,036,854,775,810"},
        {least, kTotal, "-9,223,372,036,854,775,810"},
        {least, kSize, "-9,223,372,036,854,775,810"},
        {least, kSeconds, "-9223372036854775810.000"},
    };
    CheckAll(cases);

    const FloatCase floats[] = {
        {std::ldexp(1.0f, 63), kTotal, "9,223,372,036,854,775,810"},
        {std::ldexp(1.0f, 64), kTotal, "18,446,744,073,709,551,600"},
        {std::numeric_limits<float>::max(), kTotal,
         "340,282,346,638,528,860,000,000,000,000,000,000,000"},
        // 64 + 2^-17 is 64.00000762939453125 exactly: 19 digits, a tie at the 18th.
        {64.0f + std::ldexp(1.0f, -17), "0.0000000000000000", "64.0000076293945312"},
        {64.0f + std::ldexp(3.0f, -17), "0.0000000000000000", "64.0000228881835938"},
        // Digits after the eighteenth are zeros.
        {64.0f + std::ldexp(1.0f, -17), "0.00000000000000000000", "64.00000762939453120000"},
        {0.1f, "0.00000000000000000000", "0.10000000149011611900"},
    };
    CheckAll(floats);
}

TEST(MaskFormat, RoundsSecondsHalfToEven) {
    const FloatCase cases[] = {
        {0.0f, kSeconds, "0.000"},
        {0.5f, kSeconds, "0.500"},
        {12.3456f, kSeconds, "12.346"},
        {0.0625f, kSeconds, "0.062"},   // exact half, 2 is even
        {0.1875f, kSeconds, "0.188"},   // exact half, 7 is odd
        {1.0005f, kSeconds, "1.000"},   // just below the half as a float
        {9.9996f, kSeconds, "10.000"},  // the carry adds a digit
        {0.9995f, kSeconds, "0.999"},   // 0.99949997...
        {0.9996f, kSeconds, "1.000"},
        {-5.25f, kSeconds, "-5.250"},
        {-0.0625f, kSeconds, "-0.062"},
        {-0.0f, kSeconds, "0.000"},
        {123456.789f, kSeconds, "123456.789"},
        {std::ldexp(1.0f, -149), kSeconds, "0.000"},
    };
    CheckAll(cases);
}

TEST(MaskFormat, RoundsHalvesToEvenWholeNumbers) {
    const FloatCase cases[] = {
        {0.5f, kTotal, "0"},
        {1.5f, kTotal, "2"},
        {2.5f, kTotal, "2"},
        {3.5f, kTotal, "4"},
        {-2.5f, kTotal, "-2"},
        {0.50001f, kTotal, "1"},
        {2.5f, kSize, Blanks(8) + "2"},
        {999.5f, kSize, Blanks(5) + "1,000"},
    };
    CheckAll(cases);
}

TEST(MaskFormat, ParsesOtherMasks) {
    const IntCase cases[] = {
        {7, "#*", "7*"},  // a "*" at the end is a literal
        {7, "*", "*7"},   // without digit positions the digits go last
        {7, ",#", ",7"},  // not after a digit: a literal comma
        {1234, ",###", ",1234"},
        {1234, "#,,###", "1,,234"},  // the second comma follows a comma
        {7, "0000", "0007"},
        {0, "0000", "0000"},
        {-7, "0000", "-0007"},
        {12345, "0000", "12345"},
        {7, "0,000", "0007"},  // forced zeros are not the number's digits: no comma among them
        {1234567, "0,000", "1,234,567"},
        {7, "*x####", "xxxxx7"},
        {-7, "*x####", "xxxx-7"},
        {7, "**##", "***7"},
        {7, "*_0#", "__07"},     // the fill of a "*" pair stands for "#", not for "0"
        {7, "#*x#", "xx7"},      // a "#" before the pair has no fill
        {1234, "x##", "x1234"},  // digits that do not fit stay left of the leftmost position
        {-7, "x###", "x-7"},
        {1234, "#,#x##", "1,2x34"},
        {7, "#.##", "7."},
        {7, "##.#0", "7.0"},
        {7, "", "7"},
        {-7, "", "-7"},
        {7, "a-b", "a-b7"},
        {7, ".00", "7.00"},
    };
    CheckAll(cases);
    const FloatCase floats[] = {
        {1.5f, "#.##", "1.5"},  // trailing fraction zeros drop
        {1.25f, "#.#0", "1.25"}, {1.5f, "##.#0", "1.50"},  {0.25f, "#.##", "0.25"},
        {0.5f, ".00", "0.50"},   {1.5f, "0.*x#", "1.5xx"}, {1.0f, "0.*x#", "1.xxx"},
    };
    CheckAll(floats);
}

TEST(MaskFormat, PrintsNonFiniteFloatsAsZero) {
    EXPECT_EQ(MaskFormat(std::numeric_limits<float>::quiet_NaN(), kSeconds), "0.000");
    EXPECT_EQ(MaskFormat(-std::numeric_limits<float>::infinity(), kTotal), "0");
}

// A slow reference for the three masks of the program: the exact value as a digit string
// (m * 2^e by repeated small multiplications), rounding by digit-string operations and the
// layouts written out directly.

struct Exact {
    bool negative = false;
    std::string digits;  // may start with zeros
    size_t point = 0;    // how many digits stand before the decimal point, at least one
};

void Multiply(std::string& digits, uint64_t factor) {
    uint64_t carry = 0;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        const uint64_t v = static_cast<uint64_t>(*it - '0') * factor + carry;
        *it = static_cast<char>('0' + v % 10);
        carry = v / 10;
    }
    for (; carry != 0; carry /= 10) {
        digits.insert(digits.begin(), static_cast<char>('0' + carry % 10));
    }
}

std::string DigitsOf(uint64_t n) {
    std::string reversed;
    do {
        reversed += static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    return std::string(reversed.rbegin(), reversed.rend());
}

Exact ExactOf(int64_t value) {
    Exact x;
    x.negative = value < 0;
    const uint64_t magnitude =
        x.negative ? ~static_cast<uint64_t>(value) + 1 : static_cast<uint64_t>(value);
    x.digits = DigitsOf(magnitude);
    x.point = x.digits.size();
    return x;
}

Exact ExactOf(float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const uint32_t field = (bits >> 23) & 0xFF;
    const uint32_t mantissa = field != 0 ? (bits & 0x7FFFFF) | 0x800000 : bits & 0x7FFFFF;
    int exponent = field != 0 ? static_cast<int>(field) - 150 : -149;
    Exact x;
    x.negative = (bits >> 31) != 0 && mantissa != 0;
    x.digits = DigitsOf(mantissa);
    size_t fraction = 0;
    for (; exponent >= 20; exponent -= 20) {
        Multiply(x.digits, uint64_t{1} << 20);
    }
    if (exponent > 0) {
        Multiply(x.digits, uint64_t{1} << exponent);
    }
    // m / 2^k is m * 5^k / 10^k.
    for (; exponent <= -13; exponent += 13) {
        Multiply(x.digits, 1220703125);  // 5^13
        fraction += 13;
    }
    for (; exponent < 0; ++exponent) {
        Multiply(x.digits, 5);
        ++fraction;
    }
    if (x.digits.size() <= fraction) {
        x.digits.insert(0, fraction + 1 - x.digits.size(), '0');
    }
    x.point = x.digits.size() - fraction;
    return x;
}

// Keeps the first `keep` digits rounded half to even and zeroes the rest; true when a carry
// out of the first digit made the string one digit longer.
bool RoundAt(std::string& digits, size_t keep) {
    if (keep >= digits.size()) {
        return false;
    }
    bool rest = false;
    for (size_t i = keep + 1; i < digits.size(); ++i) {
        rest = rest || digits[i] != '0';
    }
    const char first = digits[keep];
    const bool odd = keep > 0 && (digits[keep - 1] - '0') % 2 == 1;
    const bool up = first > '5' || (first == '5' && (rest || odd));
    for (size_t i = keep; i < digits.size(); ++i) {
        digits[i] = '0';
    }
    for (size_t i = keep; up && i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    if (up) {
        digits.insert(0, 1, '1');
    }
    return up;
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

std::string ReferenceText(Exact x, const std::string& mask) {
    const size_t first = x.digits.find_first_not_of('0');
    if (first != std::string::npos && RoundAt(x.digits, first + 18)) {
        ++x.point;
    }
    const size_t fraction = mask == kSeconds ? 3 : 0;
    if (x.digits.size() < x.point + fraction) {
        x.digits.append(x.point + fraction - x.digits.size(), '0');
    }
    if (RoundAt(x.digits, x.point + fraction)) {
        ++x.point;
    }
    std::string integer = x.digits.substr(0, x.point);
    integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size() - 1));
    const std::string sign = x.negative ? "-" : "";
    if (mask == kSeconds) {
        return sign + integer + "." + x.digits.substr(x.point, 3);
    }
    std::string text = sign + Grouped(integer);
    const size_t width = 9 + (integer.size() - 1) / 3;
    if (mask == kSize && text.size() < width) {
        text.insert(0, width - text.size(), ' ');
    }
    return text;
}

int64_t RandomInteger(std::mt19937_64& rng) {
    const int64_t sign = rng() % 2 == 0 ? 1 : -1;
    const int64_t near = static_cast<int64_t>(rng() % 7) - 3;
    switch (rng() % 6) {
        case 0:
            return static_cast<int64_t>(rng() % 2000001) - 1000000;
        case 1: {
            int64_t power = 1;
            for (uint64_t k = rng() % 19; k > 0; --k) {
                power *= 10;
            }
            return sign * (power + near);
        }
        case 2:
            return sign * (static_cast<int64_t>(uint64_t{1} << (rng() % 63)) + near);
        case 3:  // 19 digits near a tie at the eighteenth
            return sign *
                   (static_cast<int64_t>(100000000000000000 + rng() % 822337203685477579) * 10 + 5 +
                    near / 3);
        case 4:
            return sign * (std::numeric_limits<int64_t>::max() - static_cast<int64_t>(rng() % 8));
        default:
            return static_cast<int64_t>(rng());
    }
}

float RandomFloat(std::mt19937_64& rng) {
    const float sign = rng() % 2 == 0 ? 1.0f : -1.0f;
    switch (rng() % 5) {
        case 0: {
            auto bits = static_cast<uint32_t>(rng());
            if (((bits >> 23) & 0xFF) == 0xFF) {
                bits &= ~(uint32_t{1} << 30);  // no NaN or infinity
            }
            float value = 0;
            std::memcpy(&value, &bits, sizeof value);
            return value;
        }
        case 1:
            return sign * std::uniform_real_distribution<float>(0.0f, 100000.0f)(rng);
        case 2:
            return sign * std::uniform_real_distribution<float>(0.0f, 0.01f)(rng);
        case 3:  // binary fractions, full of exact halves
            return sign *
                   std::ldexp(static_cast<float>(rng() % (1 << 20)), -static_cast<int>(rng() % 14));
        default:
            return sign * std::ldexp(static_cast<float>(rng() % (1 << 24)),
                                     static_cast<int>(rng() % 80) - 50);
    }
}

// Counts mismatches and reports the first few.
struct Tally {
    int mismatches = 0;
    template <typename Value>
    void Check(Value value, const std::string& mask, const std::string& want) {
        const std::string got = MaskFormat(value, mask);
        if (got == want || ++mismatches > 10) {
            return;
        }
        std::ostringstream what;
        what.precision(9);
        what << value;
        if (std::is_same<Value, float>::value) {
            uint32_t bits = 0;
            std::memcpy(&bits, &value, sizeof bits);
            what << " (bits 0x" << std::hex << bits << ")";
        }
        ADD_FAILURE() << what.str() << " \"" << mask << "\": got \"" << got << "\", want \"" << want
                      << '"';
    }
};

TEST(MaskFormatReference, RandomIntegers) {
    std::mt19937_64 rng(20240517);
    Tally tally;
    for (int i = 0; i < 100000; ++i) {
        const int64_t value = i == 0 ? std::numeric_limits<int64_t>::min() : RandomInteger(rng);
        const Exact exact = ExactOf(value);
        for (const std::string* mask : {&kSize, &kTotal, &kSeconds}) {
            tally.Check(value, *mask, ReferenceText(exact, *mask));
        }
    }
    EXPECT_EQ(tally.mismatches, 0);
}

TEST(MaskFormatReference, RandomFloats) {
    std::mt19937_64 rng(77031);
    Tally tally;
    for (int i = 0; i < 100000; ++i) {
        const float value = RandomFloat(rng);
        const Exact exact = ExactOf(value);
        for (const std::string* mask : {&kSize, &kTotal, &kSeconds}) {
            tally.Check(value, *mask, ReferenceText(exact, *mask));
        }
    }
    EXPECT_EQ(tally.mismatches, 0);
}

}  // namespace
