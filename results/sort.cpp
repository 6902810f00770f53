// Sort keys, their comparison, and the column sort.

#include "results/sort.h"

#include "results/quicksort.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "search/result_row.h"

namespace results {

namespace {

// Appends the characters at 1-based positions a to b of text; those past its end are missing.
void AppendPositions(const std::string& text, size_t a, size_t b, std::string* out) {
    if (a > text.size()) {
        return;
    }
    out->append(text, a - 1, std::min(b, text.size()) - a + 1);
}

std::string DateKey(const std::string& date) {
    // yyyyMM/dd HH:mm fits a string's own small buffer, so no reserve: it would allocate.
    std::string key;
    AppendPositions(date, 7, 10, &key);
    AppendPositions(date, 4, 6, &key);
    AppendPositions(date, 1, 2, &key);
    key += ' ';
    AppendPositions(date, 13, 14, &key);
    key += ':';
    AppendPositions(date, 16, 17, &key);
    return key;
}

std::string ExtensionKey(const std::string& name) {
    const size_t dot = name.find('.');
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
            return DateKey(search::RowField(row, k));
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

int CompareKeys(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a.data());
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b.data());
    for (size_t i = 0; i < n; ++i) {
        if (x[i] != y[i]) {
            const unsigned fx = Fold(x[i]);
            const unsigned fy = Fold(y[i]);
            if (fx != fy) {
                return fx < fy ? -1 : 1;
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
