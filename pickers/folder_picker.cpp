// The start-folder picker through the shell's folder browser.

#include "pickers/folder_picker.h"

#include <vector>

#include "search/state.h"
#include "win32/search_window.h"
#include "win32/wide_path.h"

// <shlobj.h> declares it for Vista and later only; Vista is the oldest system the program runs on.
extern "C" __declspec(dllimport) BOOL WINAPI
    SHGetPathFromIDListEx(LPCITEMIDLIST list, PWSTR path, DWORD size, int options);

namespace pickers {
namespace {

// The longest path the system has, in UTF-16 units with its NUL.
constexpr size_t kLongestPath = 32768;

// The item list that the browser hands back; the shell's allocator frees it.
struct ItemListTraits {
    using Handle = LPITEMIDLIST;
    static bool Valid(LPITEMIDLIST list) { return list != nullptr; }
    static void Close(LPITEMIDLIST list) { CoTaskMemFree(list); }
};
using ItemList = win::Owned<ItemListTraits>;

// The folder's path however long (the ANSI and wide calls stop at MAX_PATH); "" for a virtual
// item of the shell (the computer, the control panel), which has no path.
std::wstring ChosenPath(LPCITEMIDLIST list) {
    std::vector<wchar_t> path(kLongestPath);
    if (!SHGetPathFromIDListEx(list, path.data(), static_cast<DWORD>(path.size()), 0)) {
        return L"";
    }
    path.back() = L'\0';
    return path.data();
}

}  // namespace

BROWSEINFOA BrowseRequest(HWND owner) {
    BROWSEINFOA request = {};
    request.hwndOwner = owner;
    request.pidlRoot = nullptr;
    request.pszDisplayName = nullptr;
    request.lpszTitle = "";
    request.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
    request.lpfn = nullptr;
    request.lParam = 0;
    request.iImage = 0;
    return request;
}

std::string StartFolderPicker(HWND owner) {
    BROWSEINFOA request = BrowseRequest(owner);
    ItemList chosen(SHBrowseForFolderA(&request));
    if (!chosen.Valid()) {
        return "";
    }
    const std::wstring wide = ChosenPath(chosen.Get());
    if (wide.empty()) {
        return "";
    }
    // The ANSI text must name the chosen folder: a name the code page cannot hold comes out with
    // "?" or a look-alike letter, and names nothing (or another folder).
    const std::string path = win::Narrow(wide);
    if (win::Widen(path) != wide) {
        MessageBoxA(owner, kFolderNameLostText, win::kMessageCaption, MB_OK | MB_ICONEXCLAMATION);
        return "";
    }
    search::g_state.start_folder = path;
    return search::g_state.start_folder;
}

}  // namespace pickers
