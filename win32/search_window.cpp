// The Search window's handles and the operations that a running search needs.

#include "win32/search_window.h"

#include <cstring>

namespace win {
namespace {

HWND g_active_dialog = nullptr;

constexpr int kArrows = HDF_SORTUP | HDF_SORTDOWN;
// Whether a heading shows an arrow: every row a search adds clears them, and mostly there is
// none to clear.
bool g_arrow_shown = false;

// Gives the heading of column marked the arrow bits arrow and every other heading none.
void SetArrows(int marked, int arrow) {
    HWND header = g_handles.list == nullptr
                      ? nullptr
                      : reinterpret_cast<HWND>(SendMessageA(g_handles.list, LVM_GETHEADER, 0, 0));
    if (header == nullptr) {
        return;
    }
    const auto count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        if (!SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(i),
                          reinterpret_cast<LPARAM>(&item))) {
            continue;
        }
        const int format = (item.fmt & ~kArrows) | (i == marked ? arrow : 0);
        if (format != item.fmt) {
            item.fmt = format;
            SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&item));
        }
    }
}

// How a scroll bar of the list stands on the screen: where it is, its arrows, its thumb, its
// state.
SCROLLBARINFO ReadScrollBar(HWND list, LONG bar) {
    SCROLLBARINFO info = {};
    info.cbSize = sizeof info;
    GetScrollBarInfo(list, bar, &info);
    return info;
}

bool SameOnScreen(const SCROLLBARINFO& a, const SCROLLBARINFO& b) {
    return EqualRect(&a.rcScrollBar, &b.rcScrollBar) && a.dxyLineButton == b.dxyLineButton &&
           a.xyThumbTop == b.xyThumbTop && a.xyThumbBottom == b.xyThumbBottom &&
           std::memcmp(a.rgstate, b.rgstate, sizeof a.rgstate) == 0;
}

// Has the scroll bar drawn again at the next paint when it changed.
void RedrawIfChanged(HWND list, const SCROLLBARINFO& before, const SCROLLBARINFO& after) {
    if (SameOnScreen(before, after)) {
        return;
    }
    RECT bar = after.rcScrollBar;
    MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&bar), 2);
    RedrawWindow(list, &bar, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

// True when the list has rows past count that it may show: those within its page (and the row
// cut by its bottom edge), or all of them while it has something left to paint.
bool MayShowRowsFrom(HWND list, LRESULT count) {
    const LRESULT top = SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
    const LRESULT page = SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0);
    if (count <= top + page + 1 || !IsWindowVisible(list)) {
        return true;
    }
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    return GetUpdateRect(list, nullptr, FALSE) ||
           (header != nullptr && GetUpdateRect(header, nullptr, FALSE));
}

}  // namespace

Handles g_handles;

void ShowStatus(const std::string& text) {
    SetText(g_handles.window, kStatusLabel, text);
}

void ShowCount(const std::string& text) {
    SetText(g_handles.window, kCountLabel, text);
}

void SetItemCount(int count) {
    HWND list = g_handles.list;
    if (list == nullptr) {
        return;
    }
    const LRESULT old_count = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (count < old_count || MayShowRowsFrom(list, old_count)) {
        SendMessageA(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOINVALIDATEALL);
        return;
    }
    // Rows added below the bottom of the list change nothing on the screen but the scroll bars,
    // and those only while the thumb still moves or shrinks. The list draws its scroll bars
    // afresh four times on every new count, milliseconds each under Wine: it is told the count
    // with its visible bit cleared (the system's own WM_SETREDRAW, not the list's, which would
    // repaint every row), and a scroll bar that changed is drawn once at the next paint.
    const SCROLLBARINFO vertical = ReadScrollBar(list, OBJID_VSCROLL);
    const SCROLLBARINFO horizontal = ReadScrollBar(list, OBJID_HSCROLL);
    DefWindowProcA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOINVALIDATEALL);
    DefWindowProcA(list, WM_SETREDRAW, TRUE, 0);
    RedrawIfChanged(list, vertical, ReadScrollBar(list, OBJID_VSCROLL));
    RedrawIfChanged(list, horizontal, ReadScrollBar(list, OBJID_HSCROLL));
}

void ShowSortArrow(int column, bool descending) {
    SetArrows(column, descending ? HDF_SORTDOWN : HDF_SORTUP);
    g_arrow_shown = true;
}

void ClearSortArrows() {
    if (!g_arrow_shown) {
        return;
    }
    SetArrows(-1, 0);
    g_arrow_shown = false;
}

void NoteActiveDialog(HWND dialog) {
    g_active_dialog = dialog;
}

HWND ActiveDialog() {
    return g_active_dialog;
}

}  // namespace win
