#pragma once

// The column sort's quicksort, written once for the program and for what measures it: a Probe
// is told of every range the sort partitions, how deep it nests there, and how deep the plain
// recursion (first range, then second, both nested) would have nested on the same keys. The
// program's probe does nothing.

#include <cstddef>
#include <string>
#include <vector>

#include "results/sort.h"

namespace results {
namespace quicksort {

template <typename Probe>
struct Sorter {
    std::vector<std::string>& keys;
    std::vector<std::string>& rows;
    bool descending;
    // The pivot of the range being partitioned; one buffer reused by every range, since a
    // range's pivot is no longer needed once the range is split.
    std::string pivot;
    Probe& probe;
};

template <typename Probe>
bool Precedes(const Sorter<Probe>& s, const std::string& x, const std::string& y) {
    const int order = CompareKeys(x, y);
    return s.descending ? order > 0 : order < 0;
}

// Positions lo to hi, lo < hi. After a split the two ranges lo..j and i..hi do not overlap, so
// sorting them in either order gives the same rows; the smaller one nests and the larger one
// goes round this loop again, which keeps the nesting within log2(n) however the keys lie.
template <typename Probe>
void QuickSort(Sorter<Probe>& s, std::ptrdiff_t lo, std::ptrdiff_t hi, int depth, int plain_depth) {
    std::vector<std::string>& keys = s.keys;
    for (;;) {
        s.probe.Range(depth, plain_depth);
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

}  // namespace quicksort

// SortKeysAndRows, with probe.Range(depth, plain_depth) called for every range partitioned.
template <typename Probe>
void SortKeysAndRowsProbed(std::vector<std::string>& keys,
                           std::vector<std::string>& rows,
                           bool descending,
                           Probe& probe) {
    if (keys.size() != rows.size() || keys.size() < 2) {
        return;
    }
    quicksort::Sorter<Probe> s{keys, rows, descending, std::string(), probe};
    quicksort::QuickSort(s, 0, static_cast<std::ptrdiff_t>(keys.size()) - 1, 1, 1);
}

}  // namespace results
