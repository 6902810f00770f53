#pragma once

// Plain number text, with or without a place for the sign.

#include <cstdint>
#include <string>

namespace format {

// kSigned puts one blank in front of a value that is zero or positive, where a negative value
// carries its "-", so that signed texts of one length line up.
enum class Form { kBare, kSigned };

// Plain decimal text: no grouping, no decimal point, "-" in front of a negative value.
// 32-bit values widen to this overload.
std::string NumberText(int64_t value, Form form);

}  // namespace format
