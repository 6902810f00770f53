// GETSYSFILEVER and INITCOMCTL32, and the version and common-controls steps behind them.

#include "app/exports.h"

#include <cmath>
#include <cstring>
#include <vector>

#include <oleauto.h>
#include <winver.h>

#include "format/code_page.h"
#include "win32/system_dll.h"

namespace app {
namespace {

constexpr DWORD kAllClasses = 0xFF;
constexpr char kComctl32[] = "COMCTL32.DLL";

struct BstrTraits {
    using Handle = BSTR;
    static bool Valid(BSTR text) { return text != nullptr; }
    static void Close(BSTR text) { SysFreeString(text); }
};
// A string from SysAllocStringByteLen.
using OwnedBstr = win::Owned<BstrTraits>;

// The bytes of a string made with SysAllocStringByteLen; "" for none.
std::string BstrBytes(const OwnedBstr& text) {
    if (!text.Valid()) {
        return "";
    }
    return std::string(reinterpret_cast<const char*>(text.Get()), SysStringByteLen(text.Get()));
}

using InitExFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
using VersionSizeFunction = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using VersionInfoFunction = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using VersionQueryFunction = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

// A function of the system's version.dll; nullptr where it cannot be had, and then no version
// is read.
template <typename Function>
Function VersionFunction(const char* name) {
    return win::SystemFunction<Function>(L"version.dll", name);
}

// A text stored back into a 260-byte buffer keeps at most 259 bytes, and no half character.
std::string Bounded(const std::string& text) {
    return text.substr(0, format::WholeCharsWithin(text, MAX_PATH - 1));
}

}  // namespace

std::string SystemFilePath(const std::string& folder, const std::string& file) {
    std::string path = Bounded(folder);
    if (path.empty() || format::FindLastChar(path, '\\') + 1 != path.size()) {
        path = Bounded(path + "\\");
    }
    return Bounded(path + file);
}

double VersionNumber(uint32_t major, uint32_t minor) {
    const int64_t hundredths = std::llrint(static_cast<double>(major) * 100.0 + minor);
    // Stored once as a double: the x87 would otherwise hand over its wider quotient.
    const volatile double number = static_cast<double>(hundredths) / 100.0;
    return number;
}

double FixedFileVersion(const std::vector<char>& block) {
    static const auto query = VersionFunction<VersionQueryFunction>("VerQueryValueA");
    void* value = nullptr;
    UINT length = 0;
    if (query == nullptr || !query(block.data(), "\\", &value, &length) ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return 0;
    }
    // A block the system never filled can still answer TRUE, with a length and a pointer taken
    // from its blanks: only a fixed part wholly inside the block is read.
    const auto start = reinterpret_cast<uintptr_t>(block.data());
    const auto at = reinterpret_cast<uintptr_t>(value);
    if (at < start || at - start > block.size() ||
        block.size() - (at - start) < sizeof(VS_FIXEDFILEINFO)) {
        return 0;
    }
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, value, sizeof info);
    return VersionNumber(HIWORD(info.dwFileVersionMS), LOWORD(info.dwFileVersionMS));
}

double FileVersion(const std::string& path) {
    static const auto get_size = VersionFunction<VersionSizeFunction>("GetFileVersionInfoSizeA");
    static const auto get_info = VersionFunction<VersionInfoFunction>("GetFileVersionInfoA");
    if (get_size == nullptr || get_info == nullptr) {
        return 0;
    }
    DWORD ignored = 0;
    const DWORD size = get_size(path.c_str(), &ignored);
    if (size == 0) {
        return 0;
    }
    std::vector<char> block(size, ' ');
    if (!get_info(path.c_str(), size, size, block.data())) {
        return 0;
    }
    return FixedFileVersion(block);
}

bool RegisterCommonControls(const char* library, DWORD flags, void(WINAPI* fallback)()) {
    const win::Library comctl(LoadLibraryA(library));
    if (comctl.Get() == nullptr) {
        return false;
    }
    // Through void*: FARPROC has no parameters, the real entry point has one.
    auto init_ex = reinterpret_cast<InitExFunction>(
        reinterpret_cast<void*>(GetProcAddress(comctl.Get(), "InitCommonControlsEx")));
    if (init_ex != nullptr) {
        INITCOMMONCONTROLSEX classes{};
        classes.dwSize = sizeof classes;
        classes.dwICC = flags != 0 ? flags : kAllClasses;
        init_ex(&classes);
    } else {
        fallback();
    }
    return true;
}

}  // namespace app

extern "C" double __stdcall GETSYSFILEVER(char* name) {
    try {
        // GETSYSFILEVER owns the caller's string: freed on every path out.
        const app::OwnedBstr owned(reinterpret_cast<BSTR>(name));
        char folder[MAX_PATH] = {};
        GetSystemDirectoryA(folder, sizeof folder);
        return app::FileVersion(app::SystemFilePath(folder, app::BstrBytes(owned)));
    } catch (...) {
        win::NoteCurrentException("GETSYSFILEVER");
        return 0;
    }
}

extern "C" double __stdcall INITCOMCTL32(DWORD flags) {
    try {
        // The library stays loaded afterwards: InitCommonControls is also imported from it.
        if (!app::RegisterCommonControls(app::kComctl32, flags, InitCommonControls)) {
            return 0;
        }
        char* name = reinterpret_cast<char*>(
            SysAllocStringByteLen(app::kComctl32, sizeof app::kComctl32 - 1));
        return GETSYSFILEVER(name);
    } catch (...) {
        win::NoteCurrentException("INITCOMCTL32");
        return 0;
    }
}
