#include "app/win.h"

namespace win {

void SetText(HWND window, int id, const std::string& text) {
    if (window == nullptr) {
        return;
    }
    HWND control = GetDlgItem(window, id);
    if (control != nullptr) {
        SetWindowTextA(control, text.c_str());
    }
}

std::string GetText(HWND window, int id) {
    char buffer[MAX_PATH] = {};
    if (window != nullptr) {
        GetDlgItemTextA(window, id, buffer, sizeof buffer);
    }
    return buffer;
}

int GetCheck(HWND window, int id) {
    return window == nullptr ? 0
                             : static_cast<int>(SendDlgItemMessageA(window, id, BM_GETCHECK, 0, 0));
}

void Enable(HWND window, int id, bool enabled) {
    if (window != nullptr) {
        EnableWindow(GetDlgItem(window, id), enabled ? TRUE : FALSE);
    }
}

void SetCloseCommand(HWND window, UINT state) {
    HMENU menu = window == nullptr ? nullptr : GetSystemMenu(window, FALSE);
    if (menu == nullptr) {
        return;
    }
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE;
    item.fState = state;
    SetMenuItemInfoA(menu, SC_CLOSE, FALSE, &item);
}

}  // namespace win
