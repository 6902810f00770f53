// Sort keys, their comparison, and the column sort.

#include "results/sort.h"

#include "results/quicksort.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "search/result_row.h"

namespace results {

namespace {

std::string ExtensionKey(const std::string& name) {
    const size_t dot = format::FindChar(name, '.');
    const size_t after = dot == std::string::npos ? name.size() : dot + 1;
    std::string key;
    key.reserve(name.size() - after + 1 + name.size());
    key.append(name, after, std::string::npos);
    key += '.';
    key += name;
    return key;
}

std::string SizeKey(const std::string& size) {
    if (size.size() >= kSizeKeyWidth) {
        return size;
    }
    std::string key;
    key.reserve(kSizeKeyWidth);
    key.append(kSizeKeyWidth - size.size(), ' ');
    key += size;
    return key;
}

unsigned Fold(unsigned char b) {
    return b >= 'a' && b <= 'z' ? b - ('a' - 'A') : b;
}

}  // namespace

std::string SortKey(const std::string& row, int k) {
    switch (k) {
        case search::kName:
        case search::kDirectory:
            return search::RowField(row, k);
        case search::kExtension:
            return ExtensionKey(search::RowField(row, search::kName));
        case search::kSize:
            return SizeKey(search::RowField(row, k));
        case search::kDate:
            return search::RowField(row, search::kDateKey);
        default:
            return std::string();
    }
}

std::vector<std::string> BuildKeys(const std::vector<std::string>& rows, int k) {
    std::vector<std::string> keys;
    keys.reserve(rows.size());
    for (const std::string& row : rows) {
        keys.push_back(SortKey(row, k));
    }
    return keys;
}

int CompareKeys(const std::string& a, const std::string& b, const format::CodePage& page) {
    const size_t n = std::min(a.size(), b.size());
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a.data());
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b.data());
    // Single-byte pages and UTF-8 hold an ASCII byte only as a character of its own.
    const bool double_byte = page.kind == format::CodePage::Kind::kDoubleByte;
    for (size_t i = 0; i < n; ++i) {
        if (x[i] != y[i]) {
            const unsigned fx = Fold(x[i]);
            const unsigned fy = Fold(y[i]);
            if (fx != fy) {
                return fx < fy ? -1 : 1;
            }
        } else if (double_byte && page.lead[x[i]] && i + 1 < n && x[i + 1] != 0) {
            // The same lead byte in both: the bytes after it are second bytes, compared as they
            // are ("a" there is no letter).
            ++i;
            if (x[i] != y[i]) {
                return x[i] < y[i] ? -1 : 1;
            }
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

void SortKeysAndRows(std::vector<std::string>& keys,
                     std::vector<std::string>& rows,
                     bool descending) {
    struct {
        void Range(int, int) {}
    } no_probe;
    SortKeysAndRowsProbed(keys, rows, descending, no_probe);
}

void SortRows(std::vector<std::string>& rows, int k, bool descending) {
    if (k < search::kName || k > search::kDate) {
        return;
    }
    std::vector<std::string> keys = BuildKeys(rows, k);
    SortKeysAndRows(keys, rows, descending);
}

}  // namespace results
