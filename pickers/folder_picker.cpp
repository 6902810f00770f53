// The start-folder picker through the shell's folder browser.

#include "pickers/folder_picker.h"

#include "search/state.h"
#include "win32/search_window.h"
#include "win32/wide_path.h"

namespace pickers {
namespace {

// The item list that the browser hands back; the shell's allocator frees it.
struct ItemListTraits {
    using Handle = LPITEMIDLIST;
    static bool Valid(LPITEMIDLIST list) { return list != nullptr; }
    static void Close(LPITEMIDLIST list) { CoTaskMemFree(list); }
};
using ItemList = win::Owned<ItemListTraits>;

// True when the ANSI path names the chosen folder: the wide path comes back from it. A name the
// code page cannot hold comes out with "?" or a look-alike letter, and names nothing (or another
// folder).
bool AnsiPathHolds(LPCITEMIDLIST list, const char* ansi_path) {
    wchar_t wide[MAX_PATH] = {};
    return SHGetPathFromIDListW(list, wide) && win::Widen(ansi_path) == wide;
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
    char path[MAX_PATH] = {};
    if (!SHGetPathFromIDListA(chosen.Get(), path)) {
        // A virtual item of the shell (the computer, the control panel) has no path.
        return "";
    }
    // Terminated even if the platform filled the whole buffer.
    path[MAX_PATH - 1] = '\0';
    if (!AnsiPathHolds(chosen.Get(), path)) {
        MessageBoxA(owner, kFolderNameLostText, win::kMessageCaption, MB_OK | MB_ICONEXCLAMATION);
        return "";
    }
    search::g_state.start_folder = path;
    return search::g_state.start_folder;
}

}  // namespace pickers
