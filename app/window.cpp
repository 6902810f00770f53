#include "app/window.h"

#include <cmath>
#include <cstring>

#include "app/controls.h"
#include "app/events.h"
#include "app/exports.h"
#include "app/handles.h"
#include "search/pump.h"
#include "search/state.h"

namespace app {

HINSTANCE g_module = nullptr;
const char* g_command_text = "";

namespace {

constexpr size_t kMaxTitleUnits = 256;

// The dialog layer's own state: one window at a time.
EventHandler g_handler = nullptr;
HFONT g_font = nullptr;
int g_end_result = 0;

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
            search::NoteActiveDialog(LOWORD(wparam) == WA_INACTIVE ? nullptr : window);
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
            EndWindow(window, 0);
            return TRUE;
        }
    } catch (...) {
    }
    return FALSE;
}

}  // namespace

const char* CommandLineText(const char* line) {
    if (line == nullptr) {
        return "";
    }
    const char* p = line;
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') {
            ++p;
        }
        if (*p == '"') {
            ++p;
        }
    } else {
        while (static_cast<unsigned char>(*p) > ' ') {
            ++p;
        }
    }
    while (*p == ' ') {
        ++p;
    }
    return p;
}

void SetFpuRounding() {
    unsigned short control = 0x037F;
    __asm__ volatile("fldcw %0" : : "m"(control));
#ifdef __x86_64__
    // An x86_64 program does its arithmetic in SSE, which the x87 word does not govern: round to
    // nearest, all exceptions masked, no flushing to zero.
    unsigned int sse_control = 0x1F80;
    __asm__ volatile("ldmxcsr %0" : : "m"(sse_control));
#endif
}

unsigned short FpuControlWord() {
    unsigned short control = 0;
    __asm__ volatile("fnstcw %0" : "=m"(control));
    return control;
}

int ColumnWidth(float fraction, int list_width) {
    // The product is exact in double, so a float fraction a hair above its decimal value lifts
    // a would-be half above it; only 0.5 can land on an exact half, which goes to even.
    const double product = static_cast<double>(fraction) * list_width;
    return static_cast<int>(std::nearbyint(product));
}

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

void RunModal(HWND window, EventHandler handler) {
    if (window == nullptr) {
        return;
    }
    handler(window, WM_INITDIALOG, reinterpret_cast<WPARAM>(window), 0);
    handler(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(kClientWidth, kClientHeight));
    g_handler = handler;
    ShowWindow(window, SW_SHOW);
    // Polls rather than blocks: a search running inside the handler pumps the same queue.
    while (IsWindow(window)) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            Sleep(1);
            continue;
        }
        if (IsWindow(window) && IsDialogMessageA(window, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    g_handler = nullptr;
}

void EndWindow(HWND window, int result) {
    SendMessageA(window, WM_CLOSE, 0, 0);
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner != nullptr) {
        EnableWindow(owner, TRUE);
    }
    g_end_result = result;
    if (!DestroyWindow(window) && owner != nullptr) {
        EnableWindow(owner, FALSE);
    }
}

HWND BuildSearchWindow() {
    INITCOMCTL32(0);

    HWND window = CreateDialogWindow(kWindowTitle, kClientWidth, kClientHeight, kWindowStyle, 0);
    g_handles.window = window;
    // A missing icon file gives a null handle, which leaves the system's default icon.
    HANDLE icon = LoadImageA(nullptr, kIconFile, IMAGE_ICON, 32, 32, LR_LOADFROMFILE);
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

    // A current directory too long for the buffer leaves it untouched, so it starts empty.
    char directory[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof directory, directory);
    search::g_state.start_folder = std::string(directory).substr(0, 3);

    const SIZE outer = OuterSize(window);
    std::vector<std::string> patterns(std::begin(kDefaultPatterns), std::end(kDefaultPatterns));
    if (*g_command_text != '\0') {
        patterns.push_back(g_command_text);
    }

    for (const ControlRow& row : kControlTable) {
        auto at = [](Span span, LONG outer_size) {
            return span.from_outer ? static_cast<int>(outer_size) - span.value : span.value;
        };
        const std::string text =
            row.seed == Seed::kStartFolder ? search::g_state.start_folder : row.text;
        const std::vector<std::string> items =
            row.seed == Seed::kPatterns ? patterns : std::vector<std::string>();
        AddControl(window, row.id, row.class_name, text, at(row.x, outer.cx), at(row.y, outer.cy),
                   at(row.width, outer.cx), at(row.height, outer.cy), row.style, row.ex_style,
                   items);
        if (row.seed == Seed::kChecked || row.seed == Seed::kUnchecked) {
            SetCheck(window, row.id, row.seed == Seed::kChecked ? BST_CHECKED : BST_UNCHECKED);
        } else if (row.seed == Seed::kPatterns) {
            SelectItem(window, row.id, static_cast<int>(patterns.size()) - 1);
            search::g_state.pattern = SelectedText(window, row.id);
        }
    }

    HWND list = window == nullptr ? nullptr : GetDlgItem(window, kResultList);
    g_handles.list = list;
    const LRESULT ex_style = SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, ex_style | kListExStyle);
    const int list_width = OuterSize(list).cx;
    int position = 0;
    for (const ColumnRow& column : kColumnTable) {
        char caption[MAX_PATH];
        win::CopyBounded(caption, column.caption);
        LVCOLUMNA lvc{};
        lvc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        lvc.fmt = column.format;
        lvc.cx = ColumnWidth(column.fraction, list_width);
        lvc.pszText = caption;
        lvc.iSubItem = position;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(position),
                     reinterpret_cast<LPARAM>(&lvc));
        ++position;
    }
    return window;
}

int MainRoutine() {
    RunModal(BuildSearchWindow(), HandleEvent);
    return 0;
}

void ReleaseState() {
    std::string().swap(search::g_state.pattern);
    std::string().swap(search::g_state.start_folder);
    std::vector<std::string>().swap(search::g_state.results);
}

}  // namespace app
