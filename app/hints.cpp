// Tooltips and accessible names for the controls whose texts do not say what they do.

#include "app/hints.h"

#include <oleacc.h>

#include "app/controls.h"
#include "app/process.h"

namespace app {
namespace {

// The system's annotation service, which gives a control the name a screen reader reads; null
// where the system has none.
win::ComPtr<IAccPropServices> AccessibleNames() {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
        return nullptr;
    }
    return win::ComPtr<IAccPropServices>(services);
}

}  // namespace

void AddHints(HWND window) {
    if (window == nullptr) {
        return;
    }
    // Shown also while another window is active, as a tooltip of a dialog's control should be.
    HWND tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window,
                                nullptr, g_module, nullptr);
    const win::ComPtr<IAccPropServices> names = AccessibleNames();
    for (const ControlRow& row : kControlTable) {
        HWND control = row.hint == nullptr ? nullptr : GetDlgItem(window, row.id);
        if (control == nullptr) {
            continue;
        }
        // The program's own texts, through the wide calls: they read the same under every code
        // page.
        std::wstring text = win::OwnText(row.hint);
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = &text[0];
        SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        if (names) {
            names->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                  PROPID_ACC_NAME, text.c_str());
        }
    }
}

void RemoveHints(HWND window) {
    const win::ComPtr<IAccPropServices> names = AccessibleNames();
    if (!names || window == nullptr) {
        return;
    }
    for (const ControlRow& row : kControlTable) {
        HWND control = row.hint == nullptr ? nullptr : GetDlgItem(window, row.id);
        if (control != nullptr) {
            names->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                  &PROPID_ACC_NAME, 1);
        }
    }
}

}  // namespace app
