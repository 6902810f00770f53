// Plain number text.

#include "format/number_text.h"

#include <algorithm>

namespace format {

std::string NumberText(int64_t value, Form form) {
    // Values beyond 15 digits never reach the window; they print all their exact digits.
    // The magnitude is unsigned so that INT64_MIN has one.
    uint64_t magnitude = static_cast<uint64_t>(value);
    if (value < 0) {
        magnitude = 0 - magnitude;
    }
    std::string text;
    do {
        text.push_back(static_cast<char>('0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        text.push_back('-');
    } else if (form == Form::kSigned) {
        text.push_back(' ');
    }
    std::reverse(text.begin(), text.end());
    return text;
}

}  // namespace format
