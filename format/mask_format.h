#pragma once

// Number masks: the format with which every number is shown.

#include <cstdint>
#include <string>

namespace format {

// Lays a number out by a mask of placeholders, right to left:
//   "#"   optional digit (prints the fill character, if any, when no digit is left for it)
//   "0"   forced digit (prints "0" when no digit is left for it)
//   "*c"  two digits that print c when no digit is left; c becomes the fill of every later "#"
//   "."   decimal point; digit positions after it take the fraction
//   ","   right after a digit position: group the integer digits by three; elsewhere a literal
// Any other character is a literal, and so is a "*" that ends the mask. The value is taken to
// 18 significant digits and its fraction rounded to the fraction positions, ties to even.
// Integer digits that do not fit are printed left of the leftmost integer position, so no digit
// is ever lost. The three overloads keep int, int64_t and float calls unambiguous.
std::string MaskFormat(int32_t value, const std::string& mask);
std::string MaskFormat(int64_t value, const std::string& mask);
std::string MaskFormat(float value, const std::string& mask);

}  // namespace format
