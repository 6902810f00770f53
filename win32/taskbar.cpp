// The Search window's taskbar button.

#include "win32/taskbar.h"

#include <shobjidl.h>

namespace win {
namespace {

constexpr char kTaskbarButtonCreated[] = "TaskbarButtonCreated";

// One window's button at a time: the Search window's.
struct Taskbar {
    ComPtr<ITaskbarList3> list;
    HWND window = nullptr;
    bool running = false;
};

Taskbar g_taskbar;

void ShowProgress(TBPFLAG state) {
    if (g_taskbar.list) {
        g_taskbar.list->SetProgressState(g_taskbar.window, state);
    }
}

}  // namespace

UINT TaskbarButtonCreatedMessage() {
    static const UINT message = RegisterWindowMessageA(kTaskbarButtonCreated);
    return message;
}

void AttachTaskbar(HWND window) {
    if (!g_taskbar.list) {
        // Windows before 7 have no ITaskbarList3, and a system without a taskbar no object.
        ITaskbarList3* list = nullptr;
        if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_ITaskbarList3, reinterpret_cast<void**>(&list))) ||
            list == nullptr) {
            return;
        }
        ComPtr<ITaskbarList3> owned(list);
        if (FAILED(owned->HrInit())) {
            return;
        }
        g_taskbar.list = std::move(owned);
    }
    g_taskbar.window = window;
    if (g_taskbar.running) {
        ShowProgress(TBPF_INDETERMINATE);
    }
}

void DetachTaskbar() {
    if (g_taskbar.running) {
        ShowProgress(TBPF_NOPROGRESS);
    }
    g_taskbar.list.reset();
}

void ShowSearchRunning(bool running) {
    g_taskbar.running = running;
    ShowProgress(running ? TBPF_INDETERMINATE : TBPF_NOPROGRESS);
}

void FlashIfOutOfSight(HWND window) {
    if (window == nullptr || !IsWindow(window) ||
        (!IsIconic(window) && GetForegroundWindow() == window)) {
        return;
    }
    FLASHWINFO flash = {};
    flash.cbSize = sizeof flash;
    flash.hwnd = window;
    flash.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;
    FlashWindowEx(&flash);
}

}  // namespace win
