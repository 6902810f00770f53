// The result list's notifications: cells as it paints, cells read back, column sorts.

#include "results/cells.h"

#include <algorithm>

#include "results/cell_text.h"
#include "results/icons.h"
#include "results/sort.h"
#include "search/result_row.h"
#include "search/state.h"
#include "win32/search_window.h"
#include "win32/wide_path.h"

namespace results {
namespace {

// The list keeps the pointer it was given until its next request.
char g_cell[kCellTextSize];

bool g_descending = false;

// Row r of the stored rows; null outside them.
const std::string* StoredRow(int row) {
    const auto& state = search::g_state;
    const size_t valid =
        std::min(static_cast<size_t>(std::max(state.found_count, 0)), state.results.size());
    if (row < 0 || static_cast<size_t>(row) >= valid) {
        return nullptr;
    }
    return &state.results[static_cast<size_t>(row)];
}

}  // namespace

void SupplyCell(NMLVDISPINFOA* info) {
    LVITEMA& item = info->item;
    if (item.mask & LVIF_TEXT) {
        const auto& state = search::g_state;
        StoredCellText(state.results, static_cast<size_t>(state.found_count), item.iItem,
                       item.iSubItem, g_cell);
        item.pszText = g_cell;
    }
    // Only the Nome column shows an icon.
    if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) {
        item.iImage = RowIcon(item.iItem);
    }
}

std::string FilePath(int row) {
    const std::string* stored = StoredRow(row);
    if (stored == nullptr) {
        return "";
    }
    return search::RowField(*stored, search::kDirectory) + search::FileName(*stored);
}

bool NamesItsFile(int row) {
    const std::string* stored = StoredRow(row);
    size_t index = 0;
    return stored != nullptr && !search::NumberField(*stored, search::kRealPath, &index);
}

std::wstring RealFilePath(int row) {
    const std::string* stored = StoredRow(row);
    if (stored == nullptr) {
        return L"";
    }
    const auto& state = search::g_state;
    size_t index = 0;
    if (search::NumberField(*stored, search::kRealPath, &index) &&
        index < state.real_paths.size()) {
        return state.real_paths[index];
    }
    const std::string path = FilePath(row);
    if (search::NumberField(*stored, search::kStartFolder, &index) &&
        index < state.start_folders.size()) {
        const auto& start = state.start_folders[index];
        if (path.compare(0, start.typed.size(), start.typed) == 0) {
            return start.absolute + win::Widen(path.substr(start.typed.size()));
        }
    }
    return win::Widen(path);
}

void ColumnSort(int k) {
    g_descending = !g_descending;
    SortRows(search::g_state.results, k, g_descending);
    win::ShowSortArrow(k - 1, g_descending);
    HWND list = win::g_handles.list;
    if (list != nullptr) {
        InvalidateRect(list, nullptr, FALSE);
        UpdateWindow(list);
    }
}

}  // namespace results
