// Thin helpers over the ANSI Win32 calls that the program repeats.

#include "win32/win.h"

#include <mmsystem.h>

#include <cstdio>
#include <exception>

#include "win32/system_dll.h"

namespace win {
namespace {

int g_fine_timers = 0;

using TimePeriodFunction = MMRESULT(WINAPI*)(UINT);

// timeBeginPeriod or timeEndPeriod from the system's winmm.dll; nullptr where it cannot be had,
// and then the timer's resolution is left as it is.
TimePeriodFunction TimePeriod(const char* name) {
    return SystemFunction<TimePeriodFunction>(L"winmm.dll", name);
}

// Asks again while the directory does not fit: it may change between two calls.
template <class Text, class Get>
Text ReadDirectory(Get get) {
    for (DWORD size = MAX_PATH;;) {
        Text directory(size, 0);
        const DWORD length = get(size, &directory[0]);
        if (length == 0) {
            return Text();
        }
        if (length < size) {
            directory.resize(length);
            return directory;
        }
        size = length;
    }
}

}  // namespace

FineTimer::FineTimer() {
    static const TimePeriodFunction begin = TimePeriod("timeBeginPeriod");
    raised_ = begin != nullptr && begin(1) == TIMERR_NOERROR;
    if (raised_) {
        ++g_fine_timers;
    }
}

FineTimer::~FineTimer() {
    static const TimePeriodFunction end = TimePeriod("timeEndPeriod");
    if (raised_) {
        if (end != nullptr) {
            end(1);
        }
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
    HWND control = window == nullptr ? nullptr : GetDlgItem(window, id);
    // The length may count more bytes than the text has (never fewer).
    const int length = control == nullptr ? 0 : GetWindowTextLengthA(control);
    if (length <= 0) {
        return "";
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(control, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

std::string CurrentDirectory() {
    return ReadDirectory<std::string>(GetCurrentDirectoryA);
}

std::wstring CurrentWideDirectory() {
    return ReadDirectory<std::wstring>(GetCurrentDirectoryW);
}

std::wstring OwnText(const char* text) {
    const int size = MultiByteToWideChar(1252, 0, text, -1, nullptr, 0);
    if (size <= 1) {
        return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(1252, 0, text, -1, &wide[0], size);
    wide.pop_back();  // the terminator the call wrote
    return wide;
}

int OwnMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    return MessageBoxW(owner, OwnText(text).c_str(), OwnText(caption).c_str(), type);
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
