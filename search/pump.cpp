#include "search/pump.h"

namespace search {
namespace {

HWND g_active_dialog = nullptr;

}  // namespace

void NoteActiveDialog(HWND dialog) {
    g_active_dialog = dialog;
}

void PumpStep() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        Sleep(1);
        return;
    }
    HWND dialog = g_active_dialog;
    if (dialog != nullptr && IsWindow(dialog) && IsDialogMessageA(dialog, &msg)) {
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

}  // namespace search
