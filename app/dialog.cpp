// The dialog layer: the in-memory template, the window and its controls, the dialog procedure.

#include "app/dialog.h"

#include <cstring>

#include "app/controls.h"
#include "app/process.h"
#include "win32/search_window.h"

namespace app {
namespace {

constexpr size_t kMaxTitleUnits = 256;

// The dialog layer's own state: one window at a time.
EventHandler g_handler = nullptr;
HFONT g_font = nullptr;

void PushDword(std::vector<WORD>& out, DWORD value) {
    out.push_back(LOWORD(value));
    out.push_back(HIWORD(value));
}

// Each byte becomes one UTF-16 unit, as the code page's first 256 units are not looked up.
void PushWidened(std::vector<WORD>& out, const std::string& text, size_t max_units) {
    const size_t n = std::min(text.size(), max_units);
    for (size_t i = 0; i < n; ++i) {
        out.push_back(static_cast<unsigned char>(text[i]));
    }
    out.push_back(0);
}

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    try {
        if (message == WM_ACTIVATE) {
            // Answered here, so the default dialog handling never saves or restores the focus:
            // the Event handler sets it on WM_NCACTIVATE.
            win::NoteActiveDialog(LOWORD(wparam) == WA_INACTIVE ? nullptr : window);
            return TRUE;
        }
        if (g_handler != nullptr) {
            const LONG_PTR stored = GetWindowLongPtrA(window, DWLP_MSGRESULT);
            const INT_PTR result = g_handler(window, message, wparam, lparam);
            if (result != 0) {
                if (GetWindowLongPtrA(window, DWLP_MSGRESULT) == stored) {
                    SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
                }
                return result;
            }
        }
        if (message == WM_SYSCOMMAND && LOWORD(wparam) == SC_CLOSE) {
            EndWindow(window);
            return TRUE;
        }
    } catch (...) {
        win::NoteCurrentException("dialog procedure");
    }
    return FALSE;
}

}  // namespace

std::vector<WORD> DialogTemplate(const std::string& title, DWORD style, DWORD ex_style) {
    std::vector<WORD> out;
    PushDword(out, (style | DS_SETFONT | DS_3DLOOK | DS_NOFAILCREATE) & ~DWORD{WS_VISIBLE});
    PushDword(out, ex_style);
    out.push_back(0);                     // no controls
    out.insert(out.end(), {0, 0, 0, 0});  // position and size, replaced once created
    out.push_back(0);                     // no menu
    out.push_back(0);                     // the system dialog class
    PushWidened(out, title.empty() ? std::string(" ") : title, kMaxTitleUnits);
    out.push_back(kWindowFontPoints);
    PushWidened(out, kWindowFont, kMaxTitleUnits);
    return out;
}

HWND CreateDialogWindow(const std::string& title,
                        int client_width,
                        int client_height,
                        DWORD style,
                        DWORD ex_style) {
    const std::vector<WORD> dialog = DialogTemplate(title, style | DS_CENTER, ex_style);
    HWND window = CreateDialogIndirectParamA(
        g_module, reinterpret_cast<LPCDLGTEMPLATEA>(dialog.data()), nullptr, DialogProc, 0);
    if (window == nullptr) {
        return nullptr;
    }
    RECT outer{};
    RECT client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    const int width = client_width + (outer.right - outer.left) - (client.right - client.left);
    const int height = client_height + (outer.bottom - outer.top) - (client.bottom - client.top);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    // Signed halving: a window larger than the work area overhangs it equally on both sides.
    const int left = (work.left + work.right - width) / 2;
    const int top = (work.top + work.bottom - height) / 2;
    SetWindowPos(window, nullptr, left, top, width, height,
                 SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOZORDER);
    g_font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    return window;
}

HWND AddControl(HWND window,
                int id,
                const char* class_name,
                const std::string& text,
                int x,
                int y,
                int width,
                int height,
                DWORD style,
                DWORD ex_style,
                const std::vector<std::string>& items) {
    if (window == nullptr) {
        return nullptr;
    }
    HWND control = CreateWindowExA(
        ex_style, class_name, text.c_str(), style | WS_CHILD | WS_VISIBLE, x, y, width, height,
        window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_module, nullptr);
    if (control == nullptr) {
        return nullptr;
    }
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), TRUE);
    const bool button = lstrcmpiA(class_name, "BUTTON") == 0;
    if (button && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
        SendMessageA(window, DM_SETDEFID, static_cast<WPARAM>(id), 0);
    }
    for (const std::string& item : items) {
        if (item.empty()) {
            break;
        }
        SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    return control;
}

SIZE OuterSize(HWND window, int id) {
    HWND target = id == 0 ? window : GetDlgItem(window, id);
    RECT rect{};
    if (target == nullptr || !GetWindowRect(target, &rect)) {
        return SIZE{0, 0};
    }
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void SetCheck(HWND window, int id, int state) {
    SendDlgItemMessageA(window, id, BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

void SelectItem(HWND window, int id, int index) {
    SendDlgItemMessageA(window, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::string SelectedText(HWND window, int id) {
    HWND box = window == nullptr ? nullptr : GetDlgItem(window, id);
    if (box == nullptr) {
        return "";
    }
    const LRESULT selected = SendMessageA(box, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) {
        return "";
    }
    const LRESULT length = SendMessageA(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0);
    if (length == CB_ERR || length < 0) {
        return "";
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(box, CB_GETLBTEXT, static_cast<WPARAM>(selected),
                 reinterpret_cast<LPARAM>(&text[0]));
    text.resize(std::strlen(text.c_str()));
    return text;
}

void InstallHandler(EventHandler handler) {
    g_handler = handler;
}

void EndWindow(HWND window) {
    SendMessageA(window, WM_CLOSE, 0, 0);
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner != nullptr) {
        EnableWindow(owner, TRUE);
    }
    if (!DestroyWindow(window) && owner != nullptr) {
        EnableWindow(owner, FALSE);
    }
}

}  // namespace app
