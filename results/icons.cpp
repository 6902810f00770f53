// The system's small icon of each found file, cached by type and, for the few types whose files
// carry their own, by file.

#include "results/icons.h"

#include <shellapi.h>

#include <array>
#include <map>

#include "results/cells.h"
#include "win32/wide_path.h"

namespace results {
namespace {

constexpr UINT kSmallIconIndex = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;

constexpr const wchar_t* kOwnIconTypes[] = {L".exe", L".ico", L".lnk", L".url",
                                            L".cur", L".ani", L".scr"};

// Past this many types the map starts afresh: only painted rows ask, but a tree may hold
// thousands of made-up extensions.
constexpr size_t kTypeIcons = 256;
// About three pages of the list: scrolling back by a page or two asks the system for none.
constexpr size_t kFileIcons = 64;

struct FileIcon {
    std::wstring path;  // real and absolute: two files never share it
    int index = I_IMAGENONE;
};

struct Icons {
    std::map<std::wstring, int> by_type;
    std::array<FileIcon, kFileIcons> by_file;
    // The slot the next file takes: the one asked for longest ago.
    size_t next_file = 0;
};

Icons g_icons;

// The icon index of a name of a type (SHGFI_USEFILEATTRIBUTES: no file is looked at) or of a
// real path; I_IMAGENONE where the system gives none.
int AskSystem(const std::wstring& name, bool by_type) {
    SHFILEINFOW info = {};
    const DWORD_PTR list =
        by_type ? SHGetFileInfoW(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                                 kSmallIconIndex | SHGFI_USEFILEATTRIBUTES)
                : SHGetFileInfoW(name.c_str(), 0, &info, sizeof info, kSmallIconIndex);
    return list != 0 ? info.iIcon : I_IMAGENONE;
}

// The type of the file at path: its name's last dot and what follows, in small letters, as the
// system matches types; "" for a name without a dot.
std::wstring TypeOf(const std::wstring& path) {
    const size_t name = path.find_last_of(L"\\/");
    const size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || (name != std::wstring::npos && dot < name)) {
        return L"";
    }
    std::wstring type = path.substr(dot);
    CharLowerBuffW(&type[0], static_cast<DWORD>(type.size()));
    return type;
}

bool HasOwnIcon(const std::wstring& type) {
    for (const wchar_t* own : kOwnIconTypes) {
        if (type == own) {
            return true;
        }
    }
    return false;
}

int TypeIcon(const std::wstring& type) {
    const auto known = g_icons.by_type.find(type);
    if (known != g_icons.by_type.end()) {
        return known->second;
    }
    if (g_icons.by_type.size() >= kTypeIcons) {
        g_icons.by_type.clear();
    }
    const int index = AskSystem(L"x" + type, true);
    g_icons.by_type.emplace(type, index);
    return index;
}

int FileIconOf(const std::wstring& path) {
    for (const FileIcon& icon : g_icons.by_file) {
        if (icon.path == path) {
            return icon.index;
        }
    }
    // The shell takes a path past MAX_PATH only in the long form.
    const int index = AskSystem(win::ShellForm(path), false);
    g_icons.by_file[g_icons.next_file] = FileIcon{path, index};
    g_icons.next_file = (g_icons.next_file + 1) % kFileIcons;
    return index;
}

}  // namespace

HIMAGELIST SystemSmallIcons() {
    SHFILEINFOW info = {};
    return reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(L"x", FILE_ATTRIBUTE_NORMAL, &info,
                                                       sizeof info,
                                                       kSmallIconIndex | SHGFI_USEFILEATTRIBUTES));
}

int RowIcon(int row) {
    const std::wstring path = RealFilePath(row);
    if (path.empty()) {
        return I_IMAGENONE;
    }
    const std::wstring type = TypeOf(path);
    return HasOwnIcon(type) ? FileIconOf(path) : TypeIcon(type);
}

void ForgetIcons() {
    g_icons = Icons();
}

}  // namespace results
