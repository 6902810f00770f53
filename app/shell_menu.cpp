// The system's own menu for a found file, after a row menu's own items.

#include "app/shell_menu.h"

#include <shellapi.h>

#include <cwchar>
#include <cwctype>
#include <iterator>
#include <vector>

#include "win32/wide_path.h"

namespace app {
namespace {

// The highest command id the system's items may take.
constexpr UINT kLastShellCommand = 0x7FFF;

// The access keys of the row menu's own items: a system item that repeats one loses its "&".
constexpr wchar_t kOwnAccessKeys[] = L"acpn";

// The menu object that the row menu's messages go to while it is up; null otherwise.
IContextMenu* g_open_menu = nullptr;

// The system's menu object for the file at path; null where the system gives none.
IContextMenu* MenuObjectOf(const std::wstring& path, HWND owner) {
    const ItemList item(ILCreateFromPathW(win::ShellForm(path).c_str()));
    if (!item.Valid()) {
        return nullptr;
    }
    IShellFolder* parent = nullptr;
    PCUITEMID_CHILD child = nullptr;
    if (FAILED(SHBindToParent(item.Get(), IID_IShellFolder, reinterpret_cast<void**>(&parent),
                              &child))) {
        return nullptr;
    }
    const win::ComPtr<IShellFolder> folder(parent);
    IContextMenu* menu = nullptr;
    if (FAILED(folder->GetUIObjectOf(owner, 1, &child, IID_IContextMenu, nullptr,
                                     reinterpret_cast<void**>(&menu)))) {
        return nullptr;
    }
    return menu;
}

// The verb of one of the system's items ("open", "properties"); "" where it has none.
std::wstring VerbOf(IContextMenu* menu, UINT offset) {
    wchar_t verb[64] = {};
    if (FAILED(menu->GetCommandString(offset, GCS_VERBW, nullptr, reinterpret_cast<LPSTR>(verb),
                                      static_cast<UINT>(std::size(verb))))) {
        return L"";
    }
    verb[std::size(verb) - 1] = L'\0';
    return verb;
}

// Takes the "&" off an item whose access key is one of the row menu's own.
void YieldAccessKey(HMENU menu, UINT position) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STRING;
    if (!GetMenuItemInfoW(menu, position, TRUE, &item) || (item.fType & ~MFT_RADIOCHECK) != 0 ||
        item.cch == 0) {
        return;
    }
    std::vector<wchar_t> text(item.cch + 1);
    item.dwTypeData = text.data();
    item.cch = static_cast<UINT>(text.size());
    if (!GetMenuItemInfoW(menu, position, TRUE, &item)) {
        return;
    }
    std::wstring label(text.data());
    for (size_t at = 0; at + 1 < label.size(); ++at) {
        if (label[at] != L'&') {
            continue;
        }
        if (label[at + 1] == L'&') {
            ++at;  // "&&" is a "&" of the text
            continue;
        }
        if (std::wcschr(kOwnAccessKeys, std::towlower(label[at + 1])) != nullptr) {
            label.erase(at, 1);
            item.fMask = MIIM_STRING;
            item.dwTypeData = &label[0];
            SetMenuItemInfoW(menu, position, TRUE, &item);
        }
        return;
    }
}

// Read from the item's type: GetMenuState gives a submenu's item count in its high byte, which
// holds MF_SEPARATOR's bit for 8 to 15 items (and 24 to 31, ...).
bool IsSeparator(HMENU menu, int position) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE;
    return GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item) &&
           (item.fType & MFT_SEPARATOR) != 0;
}

}  // namespace

void DropDoubledSeparators(HMENU menu, int from) {
    for (int position = GetMenuItemCount(menu) - 1; position > from; --position) {
        if (IsSeparator(menu, position) &&
            (IsSeparator(menu, position - 1) || position == GetMenuItemCount(menu) - 1)) {
            DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
        }
    }
}

ShellMenu::ShellMenu(HMENU menu, const std::wstring& path, bool extended, HWND owner) {
    IContextMenu* object = MenuObjectOf(path, owner);
    if (object == nullptr) {
        return;
    }
    const int own = GetMenuItemCount(menu);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    // No CMF_CANRENAME: renaming needs an editor in place, which the list has not.
    const HRESULT added = object->QueryContextMenu(menu, static_cast<UINT>(own + 1),
                                                   kFirstShellCommand, kLastShellCommand,
                                                   CMF_NORMAL | (extended ? CMF_EXTENDEDVERBS : 0));
    if (FAILED(added) || HRESULT_CODE(added) == 0) {
        DeleteMenu(menu, static_cast<UINT>(own), MF_BYPOSITION);
        object->Release();
        return;
    }
    menu_ = object;
    last_ = kFirstShellCommand + HRESULT_CODE(added) - 1;
    for (int position = GetMenuItemCount(menu) - 1; position > own; --position) {
        const UINT id = GetMenuItemID(menu, position);
        if (Owns(id) && VerbOf(menu_, id - kFirstShellCommand) == L"open") {
            DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
        } else {
            YieldAccessKey(menu, static_cast<UINT>(position));
        }
    }
    // A separator that the system's Open stood after is left next to the row menu's own.
    DropDoubledSeparators(menu, own);
}

ShellMenu::~ShellMenu() {
    if (menu_ != nullptr) {
        menu_->Release();
    }
}

UINT ShellMenu::Track(HMENU menu, POINT at, HWND owner) const {
    g_open_menu = menu_;
    const auto command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x,
                       at.y, 0, owner, nullptr));
    g_open_menu = nullptr;
    return command;
}

bool ShellMenu::Owns(UINT command) const {
    return menu_ != nullptr && command >= kFirstShellCommand && command <= last_;
}

void ShellMenu::Invoke(UINT command, HWND owner, POINT at) const {
    if (!Owns(command)) {
        return;
    }
    const UINT offset = command - kFirstShellCommand;
    CMINVOKECOMMANDINFOEX invoke = {};
    invoke.cbSize = sizeof invoke;
    invoke.fMask = CMIC_MASK_UNICODE | CMIC_MASK_PTINVOKE;
    if (GetKeyState(VK_SHIFT) < 0) {
        invoke.fMask |= CMIC_MASK_SHIFT_DOWN;
    }
    if (GetKeyState(VK_CONTROL) < 0) {
        invoke.fMask |= CMIC_MASK_CONTROL_DOWN;
    }
    invoke.hwnd = owner;
    invoke.lpVerb = MAKEINTRESOURCEA(offset);
    invoke.lpVerbW = MAKEINTRESOURCEW(offset);
    invoke.nShow = SW_SHOWNORMAL;
    invoke.ptInvoke = at;
    menu_->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&invoke));
}

bool PassMenuMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    if (g_open_menu == nullptr) {
        return false;
    }
    // The window's own system menu is not the row menu's.
    if (message == WM_INITMENUPOPUP && HIWORD(lparam) != 0) {
        return false;
    }
    *result = 0;
    IContextMenu3* third = nullptr;
    if (SUCCEEDED(
            g_open_menu->QueryInterface(IID_IContextMenu3, reinterpret_cast<void**>(&third)))) {
        const win::ComPtr<IContextMenu3> held(third);
        return SUCCEEDED(third->HandleMenuMsg2(message, wparam, lparam, result));
    }
    IContextMenu2* second = nullptr;
    if (message != WM_MENUCHAR && SUCCEEDED(g_open_menu->QueryInterface(
                                      IID_IContextMenu2, reinterpret_cast<void**>(&second)))) {
        const win::ComPtr<IContextMenu2> held(second);
        return SUCCEEDED(second->HandleMenuMsg(message, wparam, lparam));
    }
    return false;
}

}  // namespace app
