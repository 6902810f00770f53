#pragma once

// The column sort's quicksort, written once for the program and for what measures it: a Probe
// is told of every range the sort partitions, how deep it nests there, and how deep the plain
// recursion (first range, then second, both nested) would have nested on the same keys. The
// program's probe does nothing.
//
// The quicksort counts its comparisons. Some shapes that searches really make (the same folder
// listed twice, a folder and its copy) cost it n * n / 4 of them, seconds with the window frozen
// at 100,000 rows. Past a budget that ordinary keys never reach, it stops and a merge sort
// finishes the whole array from wherever the quicksort left it.

#include <algorithm>
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
    size_t comparisons;
    size_t budget;
    // Set when a range was left unsorted because the budget was spent.
    bool stopped;
};

// Comparisons the quicksort may make on n keys: four times n for every bit of n, and a level
// more. Random keys take about 1.4 n log2(n), keys with many equals fewer.
inline size_t ComparisonBudget(size_t n) {
    size_t bits = 0;
    for (size_t rest = n; rest != 0; rest >>= 1) {
        ++bits;
    }
    return 4 * n * (bits + 1);
}

template <typename Probe>
bool Precedes(Sorter<Probe>& s, const std::string& x, const std::string& y) {
    ++s.comparisons;
    const int order = CompareKeys(x, y);
    return s.descending ? order > 0 : order < 0;
}

// Positions lo to hi, lo < hi. After a split the two ranges lo..j and i..hi do not overlap, so
// sorting them in either order gives the same rows; the smaller one nests and the larger one
// goes round this loop again, which keeps the nesting within log2(n) however the keys lie.
// Once the budget is spent no range is partitioned any more: every call returns.
template <typename Probe>
void QuickSort(Sorter<Probe>& s, std::ptrdiff_t lo, std::ptrdiff_t hi, int depth, int plain_depth) {
    std::vector<std::string>& keys = s.keys;
    for (;;) {
        if (s.comparisons > s.budget) {
            s.stopped = true;
            return;
        }
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

// Sorts the whole array stably from its present order, by a merge sort of positions, then moves
// keys and rows along the cycles of that permutation, by exchanges.
template <typename Probe>
void MergeFinish(Sorter<Probe>& s) {
    const size_t n = s.keys.size();
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(),
                     [&s](size_t a, size_t b) { return Precedes(s, s.keys[a], s.keys[b]); });
    // Position k takes the key that stood at order[k].
    for (size_t start = 0; start < n; ++start) {
        size_t k = start;
        while (order[k] != start) {
            const size_t from = order[k];
            s.keys[k].swap(s.keys[from]);
            s.rows[k].swap(s.rows[from]);
            order[k] = k;
            k = from;
        }
        order[k] = k;
    }
}

}  // namespace quicksort

// SortKeysAndRows, with probe.Range(depth, plain_depth) called for every range partitioned.
// False when the quicksort ran over its budget and the merge sort finished.
template <typename Probe>
bool SortKeysAndRowsProbed(std::vector<std::string>& keys,
                           std::vector<std::string>& rows,
                           bool descending,
                           Probe& probe) {
    if (keys.size() != rows.size() || keys.size() < 2) {
        return true;
    }
    quicksort::Sorter<Probe> s{
        keys, rows, descending, std::string(), probe, 0, quicksort::ComparisonBudget(keys.size()),
        false};
    quicksort::QuickSort(s, 0, static_cast<std::ptrdiff_t>(keys.size()) - 1, 1, 1);
    if (!s.stopped) {
        return true;
    }
    quicksort::MergeFinish(s);
    return false;
}

}  // namespace results
