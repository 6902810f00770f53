#include "app/events.h"

#include "app/controls.h"
#include "app/window.h"
#include "search/state.h"

namespace app {
namespace {

void OnCommand(HWND window, WPARAM wparam) {
    // Edits and selections in the boxes raise no action; only clicks (code 0) do.
    if (HIWORD(wparam) != BN_CLICKED) {
        return;
    }
    switch (LOWORD(wparam)) {
        case kPatternBrowseButton:
            // Pattern browse: the file picker, then the last pattern selected.
            break;
        case kStartButton:
            // Start or cancel a search; Enter arrives here too, as it is the default button.
            break;
        case kResetButton:
            // Reset: the found count and the list's item count back to 0.
            break;
        case kQuitButton:
            // Esc arrives here too. Ends the program, also during a search: the walk stops on
            // WM_DESTROY's abort flag.
            EndWindow(window, 0);
            break;
        case kFolderBrowseButton:
            // Folder browse: the start-folder picker, then its folder into the box.
            break;
        case kHelpButton:
            // The help box.
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

void OnNotify(LPARAM lparam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
    if (header == nullptr || header->idFrom != static_cast<UINT_PTR>(kResultList)) {
        return;
    }
    switch (header->code) {
        case LVN_GETDISPINFOA:
            // The list asks for each cell's text as it paints.
            break;
        case LVN_COLUMNCLICK:
            // Heading click: a beep during a search, otherwise the column sort.
            break;
        case NM_DBLCLK:
            // Double-click: a beep during a search, otherwise open the row's file.
            break;
        default:
            break;
    }
}

void Dispatch(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(window, wparam);
            break;
        case WM_DESTROY:
            // A walk still running stops at its next Pump step.
            search::g_state.abort = 1;
            break;
        case WM_NCACTIVATE:
            if (wparam != 0) {
                FocusOnActivation(window);
            }
            break;
        case WM_NOTIFY:
            OnNotify(lparam);
            break;
        default:
            break;
    }
}

}  // namespace

INT_PTR HandleEvent(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    try {
        Dispatch(window, message, wparam, lparam);
    } catch (...) {
    }
    return 0;
}

}  // namespace app
