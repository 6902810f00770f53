// Thin helpers over the ANSI Win32 calls that the program repeats.

#include "win32/win.h"

#include <mmsystem.h>

#include <cstdio>
#include <exception>

namespace win {
namespace {

int g_fine_timers = 0;

}  // namespace

FineTimer::FineTimer() : raised_(timeBeginPeriod(1) == TIMERR_NOERROR) {
    if (raised_) {
        ++g_fine_timers;
    }
}

FineTimer::~FineTimer() {
    if (raised_) {
        timeEndPeriod(1);
        --g_fine_timers;
    }
}

int FineTimer::Raised() {
    return g_fine_timers;
}

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

void NoteCurrentException(const char* where) noexcept {
    const char* what = "unknown exception";
    try {
        throw;
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
        // Not a standard exception: nothing more to say of it than that.
    }
    // A fixed buffer: the failure may be that memory ran out.
    char line[512];
    std::snprintf(line, sizeof line, "Vortilo: %s: %s\n", where, what);
    OutputDebugStringA(line);
}

}  // namespace win
