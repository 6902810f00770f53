// The start-folder picker through the shell's folder browser.

#include "pickers/folder_picker.h"

#include "search/state.h"

namespace pickers {
namespace {

// The item list that the browser hands back; the shell's allocator frees it.
struct ItemListTraits {
    using Handle = LPITEMIDLIST;
    static bool Valid(LPITEMIDLIST list) { return list != nullptr; }
    static void Close(LPITEMIDLIST list) { CoTaskMemFree(list); }
};
using ItemList = win::Owned<ItemListTraits>;

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
    search::g_state.start_folder = path;
    return search::g_state.start_folder;
}

}  // namespace pickers
