#include "results/sort.h"

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

std::uintptr_t StackHere() {
    char marker = 0;
    return reinterpret_cast<std::uintptr_t>(&marker);
}

struct Sorter {
    std::vector<std::string>& keys;
    std::vector<std::string>& rows;
    bool descending;
    // The pivot of the range being partitioned; one buffer reused by every range, since a
    // range's pivot is no longer needed once the range is split.
    std::string pivot;
    SortStats* stats;
    std::uintptr_t stack_top;
};

bool Precedes(const Sorter& s, const std::string& x, const std::string& y) {
    const int order = CompareKeys(x, y);
    return s.descending ? order > 0 : order < 0;
}

void Note(const Sorter& s, int depth, int plain_depth) {
    if (s.stats == nullptr) {
        return;
    }
    s.stats->depth = std::max(s.stats->depth, depth);
    s.stats->plain_depth = std::max(s.stats->plain_depth, plain_depth);
    const std::uintptr_t here = StackHere();
    const size_t used = here < s.stack_top ? s.stack_top - here : here - s.stack_top;
    s.stats->stack_bytes = std::max(s.stats->stack_bytes, used);
}

// Positions lo to hi, lo < hi. After a split the two ranges lo..j and i..hi do not overlap, so
// sorting them in either order gives the same rows; the smaller one nests and the larger one
// goes round this loop again, which keeps the nesting within log2(n) however the keys lie.
void QuickSort(Sorter& s, std::ptrdiff_t lo, std::ptrdiff_t hi, int depth, int plain_depth) {
    std::vector<std::string>& keys = s.keys;
    for (;;) {
        Note(s, depth, plain_depth);
        s.pivot = keys[static_cast<size_t>(lo + (hi - lo) / 2)];
        std::ptrdiff_t i = lo;
        std::ptrdiff_t j = hi;
        for (;;) {
            while (i < hi && Precedes(s, keys[static_cast<size_t>(i)], s.pivot)) {
                ++i;
            }
            while (j > lo && Precedes(s, s.pivot, keys[static_cast<size_t>(j)])) {
                --j;
            }
            if (i > j) {
                break;
            }
            if (i < j) {
                keys[static_cast<size_t>(i)].swap(keys[static_cast<size_t>(j)]);
                s.rows[static_cast<size_t>(i)].swap(s.rows[static_cast<size_t>(j)]);
            }
            ++i;
            --j;
            if (i > j) {
                break;
            }
        }
        ++plain_depth;
        const bool left = lo < j;
        const bool right = i < hi;
        if (left && right) {
            if (j - lo < hi - i) {
                QuickSort(s, lo, j, depth + 1, plain_depth);
                lo = i;
            } else {
                QuickSort(s, i, hi, depth + 1, plain_depth);
                hi = j;
            }
        } else if (left) {
            hi = j;
        } else if (right) {
            lo = i;
        } else {
            return;
        }
    }
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
                     bool descending,
                     SortStats* stats) {
    if (stats != nullptr) {
        *stats = SortStats();
    }
    if (keys.size() != rows.size() || keys.size() < 2) {
        return;
    }
    Sorter s{keys, rows, descending, std::string(), stats, StackHere()};
    QuickSort(s, 0, static_cast<std::ptrdiff_t>(keys.size()) - 1, 1, 1);
}

void SortRows(std::vector<std::string>& rows, int k, bool descending) {
    if (k < search::kName || k > search::kDate) {
        return;
    }
    std::vector<std::string> keys = BuildKeys(rows, k);
    SortKeysAndRows(keys, rows, descending);
}

}  // namespace results
