// Number masks: digits, grouping, fill and rounding of integers and floats.

#include "format/mask_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace format {
namespace {

constexpr size_t kSignificant = 18;
constexpr size_t kNone = static_cast<size_t>(-1);

// The value is digits x 10^exponent; digits has no leading zero and is empty for zero.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

enum class Kind { kOptional, kForced, kFiller, kLiteral };

struct Position {
    Kind kind;
    char ch;  // the literal's character, or the fill of a filler digit
    bool fraction;
};

struct Layout {
    std::vector<Position> positions;
    size_t integer_count = 0;
    size_t fraction_count = 0;
    size_t point = kNone;  // index of the first "."
    bool grouping = false;
};

// Adds one to a digit string; a carry out of the first digit puts a "1" in front.
void Increment(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

bool IsOdd(char digit) {
    return ((digit - '0') & 1) != 0;
}

bool AnyNonZero(const std::string& digits, size_t from) {
    return std::any_of(digits.begin() + static_cast<std::ptrdiff_t>(from), digits.end(),
                       [](char c) { return c != '0'; });
}

// Whether dropping digits[keep...] rounds the kept part up; ties go to an even last kept digit.
bool RoundsUp(const std::string& digits, size_t keep, char last_kept) {
    const char first = digits[keep];
    if (first != '5') {
        return first > '5';
    }
    return AnyNonZero(digits, keep + 1) || IsOdd(last_kept);
}

void KeepSignificant(Decimal& d) {
    if (d.digits.size() <= kSignificant) {
        return;
    }
    const bool up = RoundsUp(d.digits, kSignificant, d.digits[kSignificant - 1]);
    d.exponent += static_cast<int>(d.digits.size() - kSignificant);
    d.digits.resize(kSignificant);
    if (up) {
        Increment(d.digits);
        if (d.digits.size() > kSignificant) {  // 999...9 became 1000...0
            d.digits.pop_back();
            ++d.exponent;
        }
    }
}

Decimal FromInteger(int64_t value) {
    Decimal d;
    d.negative = value < 0;
    // Unsigned, so that INT64_MIN has a magnitude.
    uint64_t magnitude = static_cast<uint64_t>(value);
    if (d.negative) {
        magnitude = 0 - magnitude;
    }
    for (; magnitude != 0; magnitude /= 10) {
        d.digits.push_back(static_cast<char>('0' + magnitude % 10));
    }
    std::reverse(d.digits.begin(), d.digits.end());
    KeepSignificant(d);
    return d;
}

Decimal FromFloat(float value) {
    Decimal d;
    if (!std::isfinite(value) || value == 0.0f) {
        return d;  // the program never passes NaN or infinity; they print as 0
    }
    d.negative = value < 0.0f;
    // A float's exact decimal expansion has at most 112 significant digits, so 1 + 120 digits
    // hold it whole and to_chars does no rounding of its own.
    char buf[160];
    const std::to_chars_result r =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 120);
    if (r.ec != std::errc()) {
        return Decimal();
    }
    // "-d.ddd...e+XX"
    const char* p = buf;
    if (*p == '-') {
        ++p;
    }
    for (; p != r.ptr && *p != 'e'; ++p) {
        if (*p != '.') {
            d.digits.push_back(*p);
        }
    }
    if (p != r.ptr) {
        ++p;  // the "e"
    }
    if (p != r.ptr && *p == '+') {
        ++p;  // from_chars takes a "-" but no "+"
    }
    int exponent10 = 0;
    if (d.digits.empty() || std::from_chars(p, r.ptr, exponent10).ec != std::errc()) {
        return Decimal();
    }
    d.exponent = exponent10 - static_cast<int>(d.digits.size() - 1);
    KeepSignificant(d);
    return d;
}

Layout ParseMask(const std::string& mask) {
    Layout layout;
    bool after_digit = false;
    bool has_fill = false;
    char fill = ' ';
    auto add_digit = [&layout, &after_digit](Kind kind, char ch) {
        const bool fraction = layout.point != kNone;
        layout.positions.push_back({kind, ch, fraction});
        ++(fraction ? layout.fraction_count : layout.integer_count);
        after_digit = true;
    };
    for (size_t i = 0; i < mask.size(); ++i) {
        const char c = mask[i];
        if (c == '#') {
            add_digit(has_fill ? Kind::kFiller : Kind::kOptional, fill);
        } else if (c == '0') {
            add_digit(Kind::kForced, '0');
        } else if (c == '*' && i + 1 < mask.size()) {
            fill = mask[++i];
            has_fill = true;
            add_digit(Kind::kFiller, fill);
            add_digit(Kind::kFiller, fill);
        } else if (c == ',' && after_digit) {
            layout.grouping = true;
            after_digit = false;
        } else {
            if (c == '.' && layout.point == kNone) {
                layout.point = layout.positions.size();
            }
            layout.positions.push_back({Kind::kLiteral, c, false});
            after_digit = false;
        }
    }
    return layout;
}

// Splits the value at its decimal point and rounds the fraction to `fraction_count` digits.
// A value below 1 gets the integer digits "0".
void SplitAndRound(const Decimal& d,
                   size_t fraction_count,
                   std::string& integer,
                   std::string& fraction) {
    const int length = static_cast<int>(d.digits.size());
    const int point = length + d.exponent;
    integer.clear();
    fraction.clear();
    if (length == 0 || point <= 0) {
        integer = "0";
        fraction.assign(static_cast<size_t>(length == 0 ? 0 : -point), '0');
        fraction += d.digits;
    } else if (point >= length) {
        integer = d.digits;
        integer.append(static_cast<size_t>(point - length), '0');
    } else {
        integer = d.digits.substr(0, static_cast<size_t>(point));
        fraction = d.digits.substr(static_cast<size_t>(point));
    }
    if (fraction.size() <= fraction_count) {
        fraction.append(fraction_count - fraction.size(), '0');
        return;
    }
    const char last_kept = fraction_count > 0 ? fraction[fraction_count - 1] : integer.back();
    const bool up = RoundsUp(fraction, fraction_count, last_kept);
    fraction.resize(fraction_count);
    if (up) {
        std::string all = integer + fraction;
        Increment(all);
        integer = all.substr(0, all.size() - fraction_count);
        fraction = all.substr(all.size() - fraction_count);
    }
}

// Builds the text from right to left into `out`, reversed.
std::string Lay(const Layout& layout, const Decimal& d) {
    std::string integer;
    std::string fraction;
    SplitAndRound(d, layout.fraction_count, integer, fraction);

    size_t leftmost_integer = kNone;
    for (size_t i = 0; i < layout.positions.size(); ++i) {
        const Position& pos = layout.positions[i];
        if (pos.kind != Kind::kLiteral && !pos.fraction) {
            leftmost_integer = i;
            break;
        }
    }
    // With no integer position the integer digits go where the integer part would stand.
    const size_t anchor = layout.point != kNone ? layout.point : layout.positions.size();

    std::string out;
    size_t int_left = integer.size();
    size_t int_printed = 0;
    size_t frac_left = fraction.size();
    bool frac_nonzero = false;
    size_t digit_end = kNone;  // out's size right after its leftmost digit so far
    size_t fill_slot = kNone;  // where a fill character stands just left of that digit

    auto put_digit = [&](char c) {
        out.push_back(c);
        digit_end = out.size();
    };
    auto put_fill = [&](char c) {
        if (out.size() == digit_end) {
            fill_slot = digit_end;
        }
        out.push_back(c);
    };
    auto put_integer_digit = [&]() {
        put_digit(integer[--int_left]);
        ++int_printed;
        if (layout.grouping && int_printed % 3 == 0 && int_left > 0) {
            out.push_back(',');
        }
    };
    auto put_stand_by = [&](const Position& pos) {
        if (pos.kind == Kind::kForced) {
            put_digit('0');
        } else if (pos.kind == Kind::kFiller) {
            put_fill(pos.ch);
        }
    };

    for (size_t gap = layout.positions.size();; --gap) {
        if (leftmost_integer == kNone && gap == anchor) {
            while (int_left > 0) {
                put_integer_digit();
            }
        }
        if (gap == 0) {
            break;
        }
        const Position& pos = layout.positions[gap - 1];
        if (pos.kind == Kind::kLiteral) {
            out.push_back(pos.ch);
        } else if (pos.fraction) {
            const char c = fraction[--frac_left];
            frac_nonzero = frac_nonzero || c != '0';
            if (frac_nonzero) {
                put_digit(c);
            } else {
                put_stand_by(pos);
            }
        } else if (int_left > 0) {
            put_integer_digit();
            // The leftmost integer position also takes every digit that did not fit.
            while (gap - 1 == leftmost_integer && int_left > 0) {
                put_integer_digit();
            }
        } else {
            put_stand_by(pos);
        }
    }

    // The minus stands right of the fill characters, in the place of the innermost one.
    if (d.negative) {
        if (digit_end == kNone) {
            out.push_back('-');
        } else if (fill_slot == digit_end) {
            out[digit_end] = '-';
        } else {
            out.insert(digit_end, 1, '-');
        }
    }
    std::reverse(out.begin(), out.end());
    return out;
}

}  // namespace

std::string MaskFormat(int32_t value, const std::string& mask) {
    return MaskFormat(static_cast<int64_t>(value), mask);
}

std::string MaskFormat(int64_t value, const std::string& mask) {
    return Lay(ParseMask(mask), FromInteger(value));
}

std::string MaskFormat(float value, const std::string& mask) {
    return Lay(ParseMask(mask), FromFloat(value));
}

}  // namespace format
