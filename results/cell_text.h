#pragma once

// Cell texts of the result list, platform-independent.

#include <cstddef>
#include <string>
#include <vector>

namespace results {

// The list's text buffers hold at most 259 characters and a NUL.
constexpr size_t kCellTextSize = 260;

// The text of column c (0 to 4) of a row: field c + 1, cut to its first 259 characters and at
// a NUL inside it. The buffer version always terminates out and never writes past it.
void CellText(const std::string& row, int c, char (&out)[kCellTextSize]);
std::string CellText(const std::string& row, int c);

// The text of column c of row r of the stored rows; a row outside the first `stored` rows (or
// outside the array, whatever count the caller passes) gives an empty text.
void StoredCellText(const std::vector<std::string>& rows,
                    size_t stored,
                    int r,
                    int c,
                    char (&out)[kCellTextSize]);

// The row that typing in the list reaches: the first of the stored rows, from row start on,
// whose Nome begins with text (or is text, where whole), going round from the last row to the
// first where wrap says so; ASCII letters compare without regard to case where they stand as
// characters of their own. -1 where none does.
int FindRow(const std::vector<std::string>& rows,
            size_t stored,
            int start,
            const std::string& text,
            bool whole,
            bool wrap);

}  // namespace results
