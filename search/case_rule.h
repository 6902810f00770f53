#pragma once

// The Case rule for upper- and lower-casing bytes.

#include <string>

namespace search {

// Upper- and lower-casing of single bytes: ASCII letters and seven letter pairs of code page 437.
// Every other byte, 0xC0 to 0xFF among them, stays as it is.
char UpperByte(char c);
char LowerByte(char c);

std::string UpperCase(std::string text);
std::string LowerCase(std::string text);

}  // namespace search
