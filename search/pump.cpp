// The Pump step: one pending message handled, or a 1 ms sleep.

#include "search/pump.h"

#include "win32/search_window.h"

namespace search {

void PumpStep() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        Sleep(1);
        return;
    }
    HWND dialog = win::ActiveDialog();
    if (dialog != nullptr && IsWindow(dialog) && IsDialogMessageA(dialog, &msg)) {
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

}  // namespace search
