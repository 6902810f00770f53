#pragma once

#include "app/win.h"

namespace app {

// The Search window and its Result list; null until the window exists.
struct Handles {
    HWND window = nullptr;
    HWND list = nullptr;
};

extern Handles g_handles;

}  // namespace app
