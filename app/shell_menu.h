#pragma once

// The system's own menu for a found file (Apri con, Invia a, Proprietà, what the user installed),
// after a row menu's own items.

#include <string>

#include "win32/win.h"

#include <shlobj.h>

namespace app {

// An item id list of the shell, freed on every path out.
struct ItemListTraits {
    using Handle = ITEMIDLIST*;
    static bool Valid(ITEMIDLIST* list) { return list != nullptr; }
    static void Close(ITEMIDLIST* list) { ILFree(list); }
};
using ItemList = win::Owned<ItemListTraits>;

// The first command id of the system's items: the row menu's own come before it.
constexpr UINT kFirstShellCommand = 0x100;

// The system's items for one file in a row menu, and the object that carries out their commands;
// it lives until the chosen command has run.
class ShellMenu {
  public:
    // Adds the items for the file at path (absolute, real) after a separator, with command ids
    // from kFirstShellCommand on; extended asks for the items that Shift shows too. The system's
    // Open is left out (the row menu's own comes with its question); an item whose access key is
    // one of the row menu's loses its "&". Nothing is added where the system gives no menu (the
    // file is gone, the folder cannot be read).
    ShellMenu(HMENU menu, const std::wstring& path, bool extended, HWND owner);
    ~ShellMenu();
    ShellMenu(const ShellMenu&) = delete;
    ShellMenu& operator=(const ShellMenu&) = delete;

    // Shows the menu at a point of the screen, owned by owner, and returns the command chosen
    // (0 for none). Meanwhile the messages of the system's items go to its object.
    UINT Track(HMENU menu, POINT at, HWND owner) const;

    // Whether command is one of the system's items.
    bool Owns(UINT command) const;

    // Has the system carry out a command of its items, owned by owner, from the point where the
    // menu was opened. The system shows its own messages.
    void Invoke(UINT command, HWND owner, POINT at) const;

  private:
    IContextMenu* menu_ = nullptr;
    UINT last_ = 0;
};

// Deletes each separator after position from that follows another separator or ends the menu.
void DropDoubledSeparators(HMENU menu, int from);

// While a row menu with the system's items is up (Track), the messages its submenus and
// owner-drawn items need (WM_INITMENUPOPUP, WM_DRAWITEM, WM_MEASUREITEM, WM_MENUCHAR) are passed on
// to the system's menu object. True when it took the message; *result is then its answer.
bool PassMenuMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);

}  // namespace app
