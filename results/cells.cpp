// The result list's notifications: cells as it paints, cells read back, column sorts.

#include "results/cells.h"

#include "results/cell_text.h"
#include "results/sort.h"
#include "search/state.h"
#include "win32/search_window.h"

namespace results {
namespace {

// The list keeps the pointer it was given until its next request.
char g_cell[kCellTextSize];

bool g_descending = false;

}  // namespace

void SupplyCell(NMLVDISPINFOA* info) {
    LVITEMA& item = info->item;
    if (!(item.mask & LVIF_TEXT)) {
        return;
    }
    const auto& state = search::g_state;
    StoredCellText(state.results, static_cast<size_t>(state.found_count), item.iItem, item.iSubItem,
                   g_cell);
    item.pszText = g_cell;
}

void ReadCell(HWND list, int row, int column, char* buffer, int size) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = size;
    if (size > 0) {
        buffer[0] = '\0';
    }
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void ColumnSort(int k) {
    g_descending = !g_descending;
    SortRows(search::g_state.results, k, g_descending);
    HWND list = win::g_handles.list;
    if (list != nullptr) {
        InvalidateRect(list, nullptr, FALSE);
        UpdateWindow(list);
    }
}

}  // namespace results
