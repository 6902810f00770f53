// Fuzz target: the cell texts of any stored rows, for any row and column number.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "results/cell_text.h"

namespace {

using results::kCellTextSize;

// Field c + 1 of a row split at its TABs, up to a NUL and to 259 characters.
std::string ExpectedCell(const std::string& row, int c) {
    if (c < 0) {
        return std::string();
    }
    size_t begin = 0;
    for (int i = 0; i < c; ++i) {
        const size_t tab = row.find('\t', begin);
        if (tab == std::string::npos) {
            return std::string();
        }
        begin = tab + 1;
    }
    std::string field = row.substr(begin, row.find('\t', begin) - begin);
    field = field.substr(0, field.find('\0'));
    return field.substr(0, kCellTextSize - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    // Counts that are not the array's, negative ones handed on as size_t among them.
    const size_t stored = in.PickValueInArray(
        {size_t{0}, size_t{1}, size_t{2}, size_t{5}, size_t{1000}, static_cast<size_t>(-1)});
    std::vector<std::string> rows(in.ConsumeIntegralInRange<size_t>(0, 4));
    for (std::string& row : rows) {
        row = in.ConsumeRandomLengthString(1000);
    }
    const size_t valid = std::min(stored, rows.size());
    while (in.remaining_bytes() > 0) {
        const int r =
            in.ConsumeBool() ? in.ConsumeIntegralInRange(-1, 5) : in.ConsumeIntegral<int>();
        const int c =
            in.ConsumeBool() ? in.ConsumeIntegralInRange(-1, 6) : in.ConsumeIntegral<int>();

        char out[kCellTextSize];
        std::memset(out, 'x', sizeof out);
        results::StoredCellText(rows, stored, r, c, out);
        const void* end = std::memchr(out, '\0', sizeof out);
        FUZZ_CHECK(end != nullptr);
        const std::string shown(out, static_cast<size_t>(static_cast<const char*>(end) - out));
        if (r < 0 || static_cast<size_t>(r) >= valid) {
            FUZZ_CHECK(shown.empty());
            continue;
        }
        const std::string& row = rows[static_cast<size_t>(r)];
        const std::string expected = ExpectedCell(row, c);
        FUZZ_CHECK(shown == expected);
        FUZZ_CHECK(results::CellText(row, c) == expected);

        char direct[kCellTextSize];
        std::memset(direct, 'x', sizeof direct);
        results::CellText(row, c, direct);
        FUZZ_CHECK(std::memcmp(direct, out, expected.size() + 1) == 0);
    }
    return 0;
}
