// A DLL planted beside a program under the name of one of Windows' own. When a process loads it,
// it leaves an empty file of its own name with ".loaded" added beside itself; it exports the two
// functions that programs import from winmm.dll by name, so that such a program still starts.

#include <windows.h>

#include <cwchar>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    constexpr wchar_t kMark[] = L".loaded";
    wchar_t path[MAX_PATH + sizeof kMark / sizeof kMark[0]];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        std::wmemcpy(path + length, kMark, sizeof kMark / sizeof kMark[0]);
        HANDLE mark = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (mark != INVALID_HANDLE_VALUE) {
            CloseHandle(mark);
        }
    }
    return TRUE;
}

__declspec(dllexport) UINT WINAPI timeBeginPeriod(UINT) {
    return 0;
}

__declspec(dllexport) UINT WINAPI timeEndPeriod(UINT) {
    return 0;
}
}
