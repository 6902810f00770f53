// The modal loop: polls the queue, so that a search running inside the handler pumps it too.

#include "app/modal.h"

#include "app/controls.h"

namespace app {

void RunModal(HWND window, EventHandler handler) {
    if (window == nullptr) {
        return;
    }
    handler(window, WM_INITDIALOG, reinterpret_cast<WPARAM>(window), 0);
    handler(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(kClientWidth, kClientHeight));
    InstallHandler(handler);
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
    InstallHandler(nullptr);
}

}  // namespace app
