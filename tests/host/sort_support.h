#pragma once

// What the sort test and the sort benchmark both use: a probe that measures how deep the sort
// nests and how much stack it takes, the plain recursion of the quicksort as the reference for
// the order of equal keys, and keys built against the sort.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "results/quicksort.h"
#include "results/sort.h"
#include "search/result_row.h"

namespace sorttest {

// The key the walker keeps beside a row whose date text reads "dd/MM/yyyy  HH:mm" (an Italian
// Windows): the same time, to the minute. "" for a text of another shape.
inline std::string ItalianDateKey(const std::string& date) {
    const auto number = [&date](size_t at, size_t digits, int* out) {
        *out = 0;
        for (size_t i = at; i < at + digits; ++i) {
            if (i >= date.size() || date[i] < '0' || date[i] > '9') {
                return false;
            }
            *out = *out * 10 + (date[i] - '0');
        }
        return true;
    };
    int day = 0, month = 0, year = 0, hour = 0, minute = 0;
    if (date.size() != 17 || date.compare(2, 1, "/") != 0 || date.compare(5, 1, "/") != 0 ||
        date.compare(10, 2, "  ") != 0 || date.compare(14, 1, ":") != 0 || !number(0, 2, &day) ||
        !number(3, 2, &month) || !number(6, 4, &year) || !number(12, 2, &hour) ||
        !number(15, 2, &minute)) {
        return "";
    }
    return search::DateKey(year, month, day, hour, minute);
}

// How deep one sort nested: `depth` its own calls; `plain_depth` the nesting that the plain
// recursion would have reached on the same keys; `stack_bytes` the deepest stack it used,
// measured between its outermost and innermost call; `merged` whether the quicksort ran over its
// budget and the merge sort finished.
struct SortStats {
    bool merged = false;
    int depth = 0;
    int plain_depth = 0;
    size_t stack_bytes = 0;
    std::uintptr_t stack_top = 0;

    static std::uintptr_t StackHere() {
        char marker = 0;
        return reinterpret_cast<std::uintptr_t>(&marker);
    }
    void Range(int range_depth, int range_plain_depth) {
        depth = std::max(depth, range_depth);
        plain_depth = std::max(plain_depth, range_plain_depth);
        const std::uintptr_t here = StackHere();
        const size_t used = here < stack_top ? stack_top - here : here - stack_top;
        stack_bytes = std::max(stack_bytes, used);
    }
};

// SortKeysAndRows with its nesting measured.
inline SortStats SortWithStats(std::vector<std::string>& keys,
                               std::vector<std::string>& rows,
                               bool descending) {
    SortStats stats;
    stats.stack_top = SortStats::StackHere();
    stats.merged = !results::SortKeysAndRowsProbed(keys, rows, descending, stats);
    return stats;
}

// The quicksort written out plainly, recursion and all, over anything that `precedes` can order
// (x before y); rows, unless empty, move with their keys. The reference for the order in which
// equal keys end, and what the adversary below drives.
template <typename T, typename Precedes>
void PlainQuickSort(std::vector<T>& keys,
                    std::vector<std::string>& rows,
                    std::ptrdiff_t lo,
                    std::ptrdiff_t hi,
                    Precedes precedes) {
    const T pivot = keys[static_cast<size_t>(lo + (hi - lo) / 2)];
    std::ptrdiff_t i = lo;
    std::ptrdiff_t j = hi;
    for (;;) {
        while (i < hi && precedes(keys[static_cast<size_t>(i)], pivot)) {
            ++i;
        }
        while (j > lo && precedes(pivot, keys[static_cast<size_t>(j)])) {
            --j;
        }
        if (i > j) {
            break;
        }
        if (i < j) {
            std::swap(keys[static_cast<size_t>(i)], keys[static_cast<size_t>(j)]);
            if (!rows.empty()) {
                std::swap(rows[static_cast<size_t>(i)], rows[static_cast<size_t>(j)]);
            }
        }
        ++i;
        --j;
        if (i > j) {
            break;
        }
    }
    if (lo < j) {
        PlainQuickSort(keys, rows, lo, j, precedes);
    }
    if (i < hi) {
        PlainQuickSort(keys, rows, i, hi, precedes);
    }
}

// A number as ten digits, so that text order is number order.
inline std::string Padded(size_t v) {
    const std::string text = std::to_string(v);
    return std::string(10 - text.size(), '0') + text;
}

// Keys built against the sort (McIlroy's adversary): values are settled only when the sort
// compares them, each time so that the pivot candidate turns out smallest.
inline std::vector<std::string> AdversaryKeys(size_t n) {
    const size_t gas = n;
    std::vector<size_t> value(n, gas);
    size_t solid = 0;
    size_t candidate = 0;
    std::vector<size_t> ids(n);
    for (size_t i = 0; i < n; ++i) {
        ids[i] = i;
    }
    std::vector<std::string> no_rows;
    PlainQuickSort(ids, no_rows, 0, static_cast<std::ptrdiff_t>(n) - 1, [&](size_t x, size_t y) {
        if (value[x] == gas && value[y] == gas) {
            value[x == candidate ? x : y] = solid++;
        }
        if (value[x] == gas) {
            candidate = x;
        } else if (value[y] == gas) {
            candidate = y;
        }
        return value[x] < value[y];
    });
    std::vector<std::string> keys;
    for (size_t v : value) {
        keys.push_back(Padded(v));
    }
    return keys;
}

}  // namespace sorttest
