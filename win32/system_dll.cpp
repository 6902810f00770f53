// Code comes only from Windows' own folder.

#include "win32/system_dll.h"

#include <string>

namespace win {
namespace {

// DLLs that Windows' own libraries load by their bare names when they first need them (the
// controls' themes, the shell's property stores, COM's class catalogue...), and the two that
// the program itself asks for through SystemFunction.
constexpr const wchar_t* kLoadedByNameLater[] = {
    L"uxtheme.dll",  L"dwmapi.dll",  L"propsys.dll", L"cryptbase.dll",
    L"userenv.dll",  L"oleacc.dll",  L"clbcatq.dll", L"apphelp.dll",
    L"setupapi.dll", L"version.dll", L"winmm.dll",
};

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

}  // namespace

HMODULE SystemLibrary(const wchar_t* name) {
    HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module != nullptr) {
        return module;
    }
    // A system without the flag (Windows 7 before its update KB2533623) refuses the call: the
    // full path then, whose own dependencies are looked for beside it first.
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    std::wstring path(folder, length);
    if (path.back() != L'\\') {
        path += L'\\';
    }
    path += name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void LoadOnlyFromSystemFolder() {
    const auto set_default_directories =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (set_default_directories != nullptr) {
        set_default_directories(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS);
    }
    // Where that call is missing: at least the current folder leaves the search.
    SetDllDirectoryW(L"");
    // A DLL already loaded is the one a later load by bare name gets.
    for (const wchar_t* name : kLoadedByNameLater) {
        SystemLibrary(name);
    }
    HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
}

}  // namespace win
