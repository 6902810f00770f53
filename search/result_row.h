#pragma once

// Result rows: how one found file becomes a row, and how fields are read back.

#include <cstdint>
#include <string>

namespace search {

// The five fields of a result row, joined by TAB in this order.
enum Field : int { kName = 1, kExtension = 2, kDirectory = 3, kSize = 4, kDate = 5 };

// Everything after the first dot of a file name, upper-cased; empty when the name has no dot.
std::string ExtensionOf(const std::string& name);

// One row for a found file: the name lower-cased, its extension, the folder text as the walker
// was given it (ending in "\"), the size through the size mask, and the date text.
std::string MakeRow(const std::string& name,
                    const std::string& directory,
                    int64_t size,
                    const std::string& date);

// Field k of a row, counted from 1; a field the row does not have is empty.
std::string RowField(const std::string& row, int k);

}  // namespace search
