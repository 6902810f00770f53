// Fuzz target: the column sort on any keys, either way, with its nesting measured.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "results/sort.h"
// The probe reads the stack's address as a number on purpose, which clang warns of.
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-stack-address"
#include "sort_support.h"
#pragma clang diagnostic pop

namespace {

constexpr size_t kMostKeys = 128;

unsigned char Fold(unsigned char b) {
    return b >= 'a' && b <= 'z' ? static_cast<unsigned char>(b - 'a' + 'A') : b;
}

// Byte order with a-z read as A-Z, a prefix first.
int FoldedOrder(const std::string& a, const std::string& b) {
    const auto folded_less = [](char x, char y) {
        return Fold(static_cast<unsigned char>(x)) < Fold(static_cast<unsigned char>(y));
    };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), folded_less)) {
        return -1;
    }
    return std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), folded_less) ? 1
                                                                                             : 0;
}

int Sign(int v) {
    return (v > 0) - (v < 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const bool descending = in.ConsumeBool();
    // Short keys from a few bytes give many equal ones.
    const size_t longest = in.ConsumeBool() ? 2 : 40;
    std::vector<std::string> keys;
    while (in.remaining_bytes() > 0 && keys.size() < kMostKeys) {
        keys.push_back(in.ConsumeRandomLengthString(longest));
    }
    const size_t n = keys.size();
    // Row i names where it started, so that every row can be traced to its key.
    std::vector<std::string> rows;
    for (size_t i = 0; i < n; ++i) {
        rows.push_back(std::to_string(i));
    }

    std::vector<std::string> sorted_keys = keys;
    std::vector<std::string> sorted_rows = rows;
    const sorttest::SortStats stats = sorttest::SortWithStats(sorted_keys, sorted_rows, descending);
    if (n >= 2) {
        FUZZ_CHECK(stats.depth <= static_cast<int>(std::log2(static_cast<double>(n))) + 1);
    }

    std::vector<bool> seen(n, false);
    for (size_t i = 0; i < n; ++i) {
        const size_t from = std::stoul(sorted_rows[i]);
        FUZZ_CHECK(from < n && !seen[from]);
        seen[from] = true;
        FUZZ_CHECK(sorted_keys[i] == keys[from]);
        if (i > 0) {
            const int order = results::CompareKeys(sorted_keys[i - 1], sorted_keys[i]);
            FUZZ_CHECK(Sign(order) == FoldedOrder(sorted_keys[i - 1], sorted_keys[i]));
            FUZZ_CHECK(descending ? order >= 0 : order <= 0);
        }
    }

    // The program's own entry point sorts the same way as the measured one.
    std::vector<std::string> program_keys = keys;
    std::vector<std::string> program_rows = rows;
    results::SortKeysAndRows(program_keys, program_rows, descending);
    FUZZ_CHECK(program_keys == sorted_keys && program_rows == sorted_rows);

    // Arrays of different lengths stay as they are.
    if (n > 0) {
        program_keys = keys;
        program_rows.assign(rows.begin(), rows.end() - 1);
        results::SortKeysAndRows(program_keys, program_rows, descending);
        FUZZ_CHECK(program_keys == keys);
        FUZZ_CHECK(std::equal(program_rows.begin(), program_rows.end(), rows.begin()) &&
                   program_rows.size() == n - 1);
    }
    return 0;
}
