#pragma once

// Sort keys of the five columns, their comparison, and the column sort.

#include <cstddef>
#include <string>
#include <vector>

#include "format/code_page.h"

namespace results {

// Width to which a size key is padded with blanks on the left: the longest size text of a
// 64-bit value ("-9,223,372,036,854,775,808") fits, so every size key is right-aligned in it.
constexpr size_t kSizeKeyWidth = 26;

// The sort key of a row for column number k (1 Nome, 2 Estensione, 3 Directory, 4 Grandezza,
// 5 Data); empty for any other k.
//   1, 3: the field itself.
//   2:    the name after its first "." (nothing without one), then ".", then the whole name.
//   4:    the size text, blanks to the left up to kSizeKeyWidth, so that sizes of ten digits and
//         more sort by size too; equal texts stay equal.
//   5:    the date's key kept beside the row: its time to the minute, in time order whatever
//         layout the date text has.
std::string SortKey(const std::string& row, int k);

// One key per row, index by index.
std::vector<std::string> BuildKeys(const std::vector<std::string>& rows, int k);

// Byte order with only a-z folded to A-Z, where they stand as characters of their own; a prefix
// is smaller. Negative, zero or positive.
int CompareKeys(const std::string& a,
                const std::string& b,
                const format::CodePage& page = format::g_code_page);

// Sorts keys ascending or descending by the program's quicksort (middle pivot, scans from both
// ends that stop at keys equal to the pivot) and moves rows[i] wherever keys[i] goes, so equal
// keys end in the order that scheme gives. Rows are exchanged, never copied. Nests at most
// log2(n) + 1 calls deep whatever the keys. Some shapes (two sorted runs one after the other, an
// organ pipe) would cost the quicksort n * n / 4 comparisons: past 4 n (log2(n) + 2) of them a
// stable merge sort finishes the array from where the quicksort stopped, and equal keys end in
// the order that gives. Does nothing when the arrays differ in length.
void SortKeysAndRows(std::vector<std::string>& keys,
                     std::vector<std::string>& rows,
                     bool descending);

// Reorders every row by its key for column k (1 to 5); any other k leaves the rows as they are.
void SortRows(std::vector<std::string>& rows, int k, bool descending);

}  // namespace results
