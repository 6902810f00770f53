// The Event handler: routes every message of the Search window to what it asks for.

#include "app/events.h"

#include <windowsx.h>

#include <algorithm>

#include "app/controls.h"
#include "win32/search_window.h"
#include "app/dialog.h"
#include "app/drag_out.h"
#include "app/hints.h"
#include "app/row_actions.h"
#include "app/shell_menu.h"
#include "pickers/file_picker.h"
#include "pickers/folder_picker.h"
#include "results/cell_text.h"
#include "results/cells.h"
#include "results/icons.h"
#include "search/start.h"
#include "search/state.h"
#include "win32/taskbar.h"
#include "win32/wide_path.h"

namespace app {
namespace {

constexpr char kHelpText[] =
    "Double-click sul risultato della ricerca per vedere il file.\r\n"
    "Sort delle colonne cliccando sull'intestazione della lista risultati.\r\n"
    "Ricerca *men*   menu*.exe *menu.exe  menu.exe";

// A picked file name joins the Pattern box's list; picked or cancelled, the last item of the list
// becomes the box's text. A refused name leaves the box as it was: its message said why.
void PatternBrowse(HWND window) {
    std::string name;
    const pickers::FilePick pick = pickers::FilePicker(name);
    if (pick == pickers::FilePick::kRefused) {
        return;
    }
    if (pick == pickers::FilePick::kChosen) {
        SendDlgItemMessageA(window, kPatternBox, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(name.c_str()));
    }
    const LRESULT count = SendDlgItemMessageA(window, kPatternBox, CB_GETCOUNT, 0, 0);
    SendDlgItemMessageA(window, kPatternBox, CB_SETCURSEL, static_cast<WPARAM>(count - 1), 0);
}

void FolderBrowse(HWND window) {
    if (!pickers::StartFolderPicker(window).empty()) {
        win::SetText(window, kStartFolderBox, search::g_state.start_folder);
    }
}

// Rows stay in the result array: the next search writes over them from row 0.
void Reset() {
    search::g_state.found_count = 0;
    SendMessageA(win::g_handles.list, LVM_SETITEMCOUNT, 0, 0);
    win::ClearSortArrows();
}

void ShowHelp(HWND window) {
    char text[MAX_PATH];
    win::CopyBounded(text, kHelpText);
    MessageBoxA(window, text, "Aiuto rapido...", MB_OK | MB_ICONINFORMATION);
}

void OnCommand(HWND window, WPARAM wparam) {
    // Edits and selections in the boxes raise no action; only clicks (code 0) do.
    if (HIWORD(wparam) != BN_CLICKED) {
        return;
    }
    switch (LOWORD(wparam)) {
        case kPatternBrowseButton:
            PatternBrowse(window);
            break;
        case kStartButton:
            // Enter arrives here too, as it is the default button.
            if (search::g_state.busy == 0) {
                results::ForgetIcons();
            }
            search::StartOrCancel();
            break;
        case kResetButton:
            Reset();
            break;
        case kQuitButton:
            // Esc arrives here too. Ends the program, also during a search: the walk stops on
            // WM_DESTROY's abort flag.
            EndWindow(window);
            break;
        case kFolderBrowseButton:
            FolderBrowse(window);
            break;
        case kHelpButton:
            ShowHelp(window);
            break;
        default:
            break;
    }
}

// The system's dialog focus memory is off, so each activation sets the focus here.
void FocusOnActivation(HWND window) {
    HWND list = GetDlgItem(window, kResultList);
    const LRESULT rows = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    SetFocus(GetDlgItem(window, rows != 0 ? kResultList : kStartButton));
}

// The walk may be appending to the rows, and a menu or a drag would hold it still: while a
// search runs, what acts on the rows only beeps.
bool RefusedWhileBusy() {
    if (search::g_state.busy == 0) {
        return false;
    }
    MessageBeep(0);
    return true;
}

// The row a key acts on: the selected one, -1 when none is.
int SelectedRow() {
    return static_cast<int>(
        SendMessageA(win::g_handles.list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void CopySelected() {
    if (RefusedWhileBusy()) {
        return;
    }
    if (const int row = SelectedRow(); row >= 0) {
        CopyPath(row);
    }
}

// A right-click on a row (which the list has just selected) opens its menu at the pointer; the
// context-menu key and Shift+F10 (no point) open it under the selected row.
void OnContextMenu(WPARAM wparam, LPARAM lparam) {
    HWND list = win::g_handles.list;
    if (reinterpret_cast<HWND>(wparam) != list || RefusedWhileBusy()) {
        return;
    }
    POINT at = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    int row = -1;
    if (at.x == -1 && at.y == -1) {
        row = SelectedRow();
        RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
        if (row < 0 || !SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE) ||
            !SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                          reinterpret_cast<LPARAM>(&bounds))) {
            return;
        }
        at = {std::max(bounds.left, 0L), bounds.bottom};
        ClientToScreen(list, &at);
    } else {
        LVHITTESTINFO hit = {};
        hit.pt = at;
        ScreenToClient(list, &hit.pt);
        row = static_cast<int>(SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        // Below the last row: no row.
        if (row < 0) {
            return;
        }
    }
    RowMenu(row, at);
}

// The row that the keys typed in the list reach (the list gathers keys typed in quick
// succession into one text); -1 where none. Only the rows the list has been told of are read:
// while a search runs it may lag the found count by some rows, and drops an answer past its own.
int FindTypedRow(int start, UINT flags, const std::string& typed) {
    if (!(flags & (LVFI_STRING | LVFI_PARTIAL))) {
        return -1;
    }
    const LRESULT shown = SendMessageA(win::g_handles.list, LVM_GETITEMCOUNT, 0, 0);
    return results::FindRow(search::g_state.results, static_cast<size_t>(shown), start, typed,
                            !(flags & LVFI_PARTIAL), (flags & LVFI_WRAP) != 0);
}

// What the list is answered; 0 for every notification but the search for a typed row, whose
// answer is the row (row 0 too: the window's default answer to a notification is 0).
INT_PTR OnNotify(LPARAM lparam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
    if (header == nullptr || header->idFrom != static_cast<UINT_PTR>(kResultList)) {
        return 0;
    }
    switch (header->code) {
        case LVN_ODFINDITEMA: {
            const auto* find = reinterpret_cast<const NMLVFINDITEMA*>(lparam);
            return FindTypedRow(find->iStart, find->lvfi.flags,
                                find->lvfi.psz == nullptr ? "" : find->lvfi.psz);
        }
        // Wine's list asks in the wide form even of a window that takes ANSI notifications.
        case LVN_ODFINDITEMW: {
            const auto* find = reinterpret_cast<const NMLVFINDITEMW*>(lparam);
            return FindTypedRow(find->iStart, find->lvfi.flags,
                                find->lvfi.psz == nullptr ? "" : win::Narrow(find->lvfi.psz));
        }
        case LVN_GETDISPINFOA:
            // The list asks for each cell's text as it paints.
            results::SupplyCell(reinterpret_cast<NMLVDISPINFOA*>(lparam));
            break;
        case LVN_COLUMNCLICK:
            if (RefusedWhileBusy()) {
                break;
            }
            if (const auto* click = reinterpret_cast<const NMLISTVIEW*>(lparam);
                click->iSubItem != -1) {
                results::ColumnSort(click->iSubItem + 1);
            }
            break;
        case LVN_KEYDOWN:
            if (reinterpret_cast<const NMLVKEYDOWN*>(lparam)->wVKey == 'C' &&
                GetKeyState(VK_CONTROL) < 0) {
                CopySelected();
            }
            break;
        case NM_DBLCLK:
            if (RefusedWhileBusy()) {
                break;
            }
            if (const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(lparam);
                click->iItem >= 0) {
                OpenFile(click->iItem);
            }
            break;
        case LVN_BEGINDRAG:
            if (RefusedWhileBusy()) {
                break;
            }
            if (const auto* drag = reinterpret_cast<const NMLISTVIEW*>(lparam); drag->iItem >= 0) {
                DragRow(drag->iItem);
            }
            break;
        default:
            break;
    }
    return 0;
}

INT_PTR Dispatch(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == win::TaskbarButtonCreatedMessage() && message != 0) {
        win::AttachTaskbar(window);
        return 0;
    }
    switch (message) {
        case WM_COMMAND:
            OnCommand(window, wparam);
            break;
        case WM_DESTROY:
            // A walk still running stops at its next Pump step; its end block finds the taskbar
            // object gone.
            search::g_state.abort = 1;
            win::DetachTaskbar();
            RemoveHints(window);
            break;
        case WM_NCACTIVATE:
            if (wparam != 0) {
                FocusOnActivation(window);
            }
            break;
        case WM_NOTIFY:
            return OnNotify(lparam);
        case WM_CONTEXTMENU:
            OnContextMenu(wparam, lparam);
            break;
        case WM_INITMENUPOPUP:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_MENUCHAR: {
            // Only while a row menu with the system's items is up: its answer is the system's.
            LRESULT answer = 0;
            if (PassMenuMessage(message, wparam, lparam, &answer)) {
                return message == WM_MENUCHAR ? answer : TRUE;
            }
            break;
        }
        default:
            break;
    }
    return 0;
}

}  // namespace

INT_PTR HandleEvent(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    try {
        return Dispatch(window, message, wparam, lparam);
    } catch (...) {
        win::NoteCurrentException("event handler");
    }
    return 0;
}

}  // namespace app
