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

}  // namespace win
