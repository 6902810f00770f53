// The actions of a result row: open, show in its folder, copy its path or its name.

#include "app/row_actions.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "app/shell_menu.h"
#include "format/code_page.h"
#include "results/cells.h"
#include "search/state.h"
#include "win32/search_window.h"
#include "win32/wide_path.h"

namespace app {
namespace {

constexpr char kShellCaption[] = "Shell";
// Follows the path of a file that the user may open.
constexpr char kOpenQuestionText[] = "Lancio ";
// Follows the path of a file that the system could not open.
constexpr char kOpenFailedText[] = "Impossibile aprire il file:\r\n";
// Follows the folder that the system could not show.
constexpr char kFolderFailedText[] = "Impossibile aprire la cartella:\r\n";
constexpr char kClipboardBusyText[] =
    "Impossibile copiare: gli appunti sono in uso da un altro programma.";
constexpr char kCopyFailedText[] = "Impossibile copiare negli appunti.";

// The row menu's items, in their order.
enum MenuCommand : UINT {
    kOpenCommand = 1,
    kOpenFolderCommand,
    kCopyPathCommand,
    kCopyNameCommand,
};
constexpr struct {
    MenuCommand command;
    const char* text;
} kMenuItems[] = {
    {kOpenCommand, "&Apri"},
    {kOpenFolderCommand, "Apri la &cartella"},
    {kCopyPathCommand, "Copia &percorso"},
    {kCopyNameCommand, "Copia &nome"},
};

// Another program may hold the clipboard for a moment: it is asked again, 200 ms in all.
constexpr int kClipboardTries = 10;
constexpr DWORD kClipboardPauseMs = 20;

// Never by its 8.3 alias: for such a path Wine starts the program it last started, with the new
// command line. True when the shell opened it.
bool OpenWithShell(const std::wstring& path) {
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", win::ShellForm(path).c_str(), nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

// The last separator of a path; in the code page's text a character's second byte may be 0x5C.
size_t LastSeparator(const std::string& path) {
    return format::FindLastChar(path, '\\');
}

size_t LastSeparator(const std::wstring& path) {
    return path.rfind(L'\\');
}

// Everything up to the last separator, which the folder keeps.
template <class Text>
Text FolderOf(const Text& path) {
    return path.substr(0, LastSeparator(path) + 1);
}

template <class Text>
Text NameOf(const Text& path) {
    return path.substr(LastSeparator(path) + 1);
}

// Asks or tells about a row's file, naming it after text. Where the row's text would name another
// file or none, the real path is shown through the wide call, so that look-alike twins (A.bat
// and a Latin A with macron) are told apart; bidirectional controls show as "?".
int AboutFile(const char* text, int row, UINT type) {
    HWND window = win::g_handles.window;
    if (results::NamesItsFile(row)) {
        return MessageBoxA(window, (text + results::FilePath(row)).c_str(), kShellCaption, type);
    }
    return MessageBoxW(window,
                       (win::Widen(text) + win::WithoutBidi(results::RealFilePath(row))).c_str(),
                       win::Widen(kShellCaption).c_str(), type);
}

// The file manager shows the folder with the file selected.
bool ShowSelected(const std::wstring& path) {
    const ItemList item(ILCreateFromPathW(win::ShellForm(path).c_str()));
    return item.Valid() && SUCCEEDED(SHOpenFolderAndSelectItems(item.Get(), 0, nullptr, 0));
}

void OpenFolder(int row) {
    const std::wstring path = results::RealFilePath(row);
    if (ShowSelected(path) || OpenWithShell(FolderOf(path))) {
        return;
    }
    MessageBoxA(win::g_handles.window,
                (kFolderFailedText + FolderOf(results::FilePath(row))).c_str(), kShellCaption,
                MB_OK | MB_ICONEXCLAMATION);
}

class OpenClipboardGuard {
  public:
    explicit OpenClipboardGuard(HWND owner) {
        for (int attempt = 1; !open_ && attempt <= kClipboardTries; ++attempt) {
            open_ = OpenClipboard(owner) != FALSE;
            if (!open_ && attempt < kClipboardTries) {
                Sleep(kClipboardPauseMs);
            }
        }
    }
    ~OpenClipboardGuard() {
        if (open_) {
            CloseClipboard();
        }
    }
    OpenClipboardGuard(const OpenClipboardGuard&) = delete;
    OpenClipboardGuard& operator=(const OpenClipboardGuard&) = delete;
    bool Open() const { return open_; }

  private:
    bool open_ = false;
};

// Hands a copy of the bytes, a terminator included, to the open clipboard, which owns them once
// it has taken them.
bool Place(UINT format, const void* data, size_t bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (block == nullptr) {
        return false;
    }
    void* target = GlobalLock(block);
    if (target != nullptr) {
        std::memcpy(target, data, bytes);
        GlobalUnlock(block);
        if (SetClipboardData(format, block) != nullptr) {
            return true;
        }
    }
    GlobalFree(block);
    return false;
}

// The text in both forms: the real one for programs that read Unicode, the code page's for the
// others (the system would make that one from the first with best fit, which may name another
// file than the row shows).
void Copy(const std::wstring& real, const std::string& text) {
    const char* failure = nullptr;
    {
        const OpenClipboardGuard clipboard(win::g_handles.window);
        if (!clipboard.Open()) {
            failure = kClipboardBusyText;
        } else if (!EmptyClipboard() ||
                   !Place(CF_UNICODETEXT, real.c_str(), (real.size() + 1) * sizeof(wchar_t)) ||
                   !Place(CF_TEXT, text.c_str(), text.size() + 1)) {
            failure = kCopyFailedText;
        }
    }
    // Said once the clipboard is free again.
    if (failure != nullptr) {
        MessageBoxA(win::g_handles.window, failure, win::kMessageCaption,
                    MB_OK | MB_ICONEXCLAMATION);
    }
}

void CopyName(int row) {
    Copy(NameOf(results::RealFilePath(row)), NameOf(results::FilePath(row)));
}

struct MenuTraits {
    using Handle = HMENU;
    static bool Valid(HMENU h) { return h != nullptr; }
    static void Close(HMENU h) { DestroyMenu(h); }
};

}  // namespace

void OpenFile(int row) {
    // The file opened is the real one, which the Name cell (lower-cased, perhaps a look-alike)
    // and even the folder's text may not name.
    if (AboutFile(kOpenQuestionText, row, MB_YESNO | MB_ICONQUESTION) == IDYES &&
        !OpenWithShell(results::RealFilePath(row))) {
        AboutFile(kOpenFailedText, row, MB_OK | MB_ICONEXCLAMATION);
    }
}

void CopyPath(int row) {
    // Absolute in both forms: pasted into a program whose current folder is another, a path
    // as typed (".\\nota.txt") would name another file or none.
    const std::wstring real = results::RealFilePath(row);
    Copy(real, win::Narrow(real));
}

HMENU NewRowMenu() {
    HMENU menu = CreatePopupMenu();
    if (menu != nullptr) {
        for (const auto& item : kMenuItems) {
            AppendMenuA(menu, MF_STRING, item.command, item.text);
        }
        // Bold, as it is what a double-click does.
        SetMenuDefaultItem(menu, kOpenCommand, FALSE);
    }
    return menu;
}

void RowMenu(int row, POINT screen) {
    const win::Owned<MenuTraits> menu(NewRowMenu());
    if (!menu.Valid()) {
        return;
    }
    HWND window = win::g_handles.window;
    // With Shift held, the system's extended items too, as in the file manager.
    const ShellMenu shell(menu.Get(), results::RealFilePath(row), GetKeyState(VK_SHIFT) < 0,
                          window);
    // The system's items set a default of their own: a double-click's is the row menu's.
    SetMenuDefaultItem(menu.Get(), kOpenCommand, FALSE);
    const UINT command = shell.Track(menu.Get(), screen, window);
    // The menu ran its own loop: the row must still be there.
    if (search::g_state.busy != 0 || results::FilePath(row).empty()) {
        return;
    }
    if (shell.Owns(command)) {
        shell.Invoke(command, window, screen);
        return;
    }
    switch (command) {
        case kOpenCommand:
            OpenFile(row);
            break;
        case kOpenFolderCommand:
            OpenFolder(row);
            break;
        case kCopyPathCommand:
            CopyPath(row);
            break;
        case kCopyNameCommand:
            CopyName(row);
            break;
        default:
            break;
    }
}

}  // namespace app
