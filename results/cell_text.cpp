// Cell texts of the result list, cut from the stored rows.

#include "results/cell_text.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "format/code_page.h"
#include "results/sort.h"
#include "search/result_row.h"

namespace results {

namespace {

// How many bytes of a field a cell shows: up to the 259-byte limit or a NUL, whichever comes
// first, and never half a character.
size_t ShownLength(const std::string& field) {
    const size_t limit = std::min(field.size(), kCellTextSize - 1);
    const void* nul = std::memchr(field.data(), '\0', limit);
    return format::WholeCharsWithin(
        field,
        nul == nullptr ? limit : static_cast<size_t>(static_cast<const char*>(nul) - field.data()));
}

// Field c + 1 of a row; a column before the first gives nothing.
std::string ColumnField(const std::string& row, int c) {
    if (c < 0 || c == std::numeric_limits<int>::max()) {
        return std::string();
    }
    return search::RowField(row, c + 1);
}

}  // namespace

void CellText(const std::string& row, int c, char (&out)[kCellTextSize]) {
    const std::string field = ColumnField(row, c);
    const size_t n = ShownLength(field);
    std::memcpy(out, field.data(), n);
    out[n] = '\0';
}

std::string CellText(const std::string& row, int c) {
    std::string field = ColumnField(row, c);
    field.resize(ShownLength(field));
    return field;
}

void StoredCellText(const std::vector<std::string>& rows,
                    size_t stored,
                    int r,
                    int c,
                    char (&out)[kCellTextSize]) {
    const size_t valid = std::min(stored, rows.size());
    if (r < 0 || static_cast<size_t>(r) >= valid) {
        out[0] = '\0';
        return;
    }
    CellText(rows[static_cast<size_t>(r)], c, out);
}

int FindRow(const std::vector<std::string>& rows,
            size_t stored,
            int start,
            const std::string& text,
            bool whole,
            bool wrap) {
    const size_t valid = std::min(stored, rows.size());
    const auto matches = [&](size_t r) {
        const std::string name = search::RowField(rows[r], search::kName);
        if (whole ? name.size() != text.size() : name.size() < text.size()) {
            return false;
        }
        return CompareKeys(name.substr(0, text.size()), text) == 0;
    };
    const size_t first = start < 0 ? 0 : static_cast<size_t>(start);
    for (size_t r = first; r < valid; ++r) {
        if (matches(r)) {
            return static_cast<int>(r);
        }
    }
    for (size_t r = 0; wrap && r < std::min(first, valid); ++r) {
        if (matches(r)) {
            return static_cast<int>(r);
        }
    }
    return -1;
}

}  // namespace results
