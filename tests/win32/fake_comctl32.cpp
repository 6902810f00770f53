// A stand-in for COMCTL32.DLL that records how it was asked to register classes. Built twice:
// with InitCommonControlsEx (FAKE_COMCTL32_INIT_EX) and without it, as the oldest copies are.

#include <windows.h>

namespace {

DWORD g_size = 0;
DWORD g_classes = 0;
int g_calls = 0;

// The layout of INITCOMMONCONTROLSEX.
struct Classes {
    DWORD size;
    DWORD classes;
};

}  // namespace

extern "C" {

#ifdef FAKE_COMCTL32_INIT_EX
__declspec(dllexport) BOOL WINAPI InitCommonControlsEx(const Classes* classes) {
    g_size = classes->size;
    g_classes = classes->classes;
    ++g_calls;
    return TRUE;
}
#endif

// What the last InitCommonControlsEx call passed, and how many calls there were.
__declspec(dllexport) void WINAPI FakeComctlCalls(DWORD* size, DWORD* classes, int* calls) {
    *size = g_size;
    *classes = g_classes;
    *calls = g_calls;
}
}
