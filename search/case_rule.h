#pragma once

// The Case rule for upper- and lower-casing bytes.

#include <string>

#include "format/code_page.h"

namespace search {

// Upper- and lower-casing of single bytes: ASCII letters and seven letter pairs of code page 437.
// Every other byte, 0xC0 to 0xFF among them, stays as it is.
char UpperByte(char c);
char LowerByte(char c);

// A text cased byte by byte under a single-byte code page. Under a multi-byte one only the ASCII
// letters that stand as characters of their own change: a byte of a longer character may be
// any letter, or one of the pairs' bytes, and changing it would make another character.
std::string UpperCase(std::string text, const format::CodePage& page = format::g_code_page);
std::string LowerCase(std::string text, const format::CodePage& page = format::g_code_page);

}  // namespace search
