// The Search window's handles and the operations that a running search needs.

#include "win32/search_window.h"

namespace win {
namespace {

HWND g_active_dialog = nullptr;

}  // namespace

Handles g_handles;

void ShowStatus(const std::string& text) {
    SetText(g_handles.window, kStatusLabel, text);
}

void ShowCount(const std::string& text) {
    SetText(g_handles.window, kCountLabel, text);
}

void SetItemCount(int count) {
    if (g_handles.list != nullptr) {
        SendMessageA(g_handles.list, LVM_SETITEMCOUNT, static_cast<WPARAM>(count),
                     LVSICF_NOINVALIDATEALL);
    }
}

void NoteActiveDialog(HWND dialog) {
    g_active_dialog = dialog;
}

HWND ActiveDialog() {
    return g_active_dialog;
}

}  // namespace win
