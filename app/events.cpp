// The Event handler: routes every message of the Search window to what it asks for.

#include "app/events.h"

#include <shellapi.h>

#include "app/controls.h"
#include "win32/search_window.h"
#include "app/dialog.h"
#include "pickers/file_picker.h"
#include "pickers/folder_picker.h"
#include "results/cells.h"
#include "search/start.h"
#include "search/state.h"
#include "win32/wide_path.h"

namespace app {
namespace {

constexpr char kHelpText[] =
    "Double-click sul risultato della ricerca per vedere il file.\r\n"
    "Sort delle colonne cliccando sull'intestazione della lista risultati.\r\n"
    "Ricerca *men*   menu*.exe *menu.exe  menu.exe";

// A picked file name joins the Pattern box's list; picked or cancelled, the last item of the list
// becomes the box's text. A refused name leaves the box as it was: its message said why.
void PatternBrowse(HWND window) {
    std::string name;
    const pickers::FilePick pick = pickers::FilePicker(name);
    if (pick == pickers::FilePick::kRefused) {
        return;
    }
    if (pick == pickers::FilePick::kChosen) {
        SendDlgItemMessageA(window, kPatternBox, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(name.c_str()));
    }
    const LRESULT count = SendDlgItemMessageA(window, kPatternBox, CB_GETCOUNT, 0, 0);
    SendDlgItemMessageA(window, kPatternBox, CB_SETCURSEL, static_cast<WPARAM>(count - 1), 0);
}

void FolderBrowse(HWND window) {
    if (!pickers::StartFolderPicker(window).empty()) {
        win::SetText(window, kStartFolderBox, search::g_state.start_folder);
    }
}

// Rows stay in the result array: the next search writes over them from row 0.
void Reset() {
    search::g_state.found_count = 0;
    SendMessageA(win::g_handles.list, LVM_SETITEMCOUNT, 0, 0);
    win::ClearSortArrows();
}

void ShowHelp(HWND window) {
    char text[MAX_PATH];
    win::CopyBounded(text, kHelpText);
    MessageBoxA(window, text, "Aiuto rapido...", MB_OK | MB_ICONINFORMATION);
}

constexpr char kShellCaption[] = "Shell";
// Follows the path of a file that the system could not open.
constexpr char kOpenFailedText[] = "Impossibile aprire il file:\r\n";

// Asks the shell to open a file by its real path: as it is where the shell takes it, in the long
// form past MAX_PATH or where a name ends in a dot or a blank. Never by its 8.3 alias: for such a
// path Wine starts the program it last started, with the new command line. True when the shell
// opened it.
bool OpenWithShell(const std::wstring& path) {
    const std::wstring asked =
        path.size() < MAX_PATH && win::PlainPath(path) ? path : win::LongForm(path);
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", asked.c_str(), nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

// Asks before opening the file of a row with the program the system associates with it. The
// question shows the path in the code page; the file opened is the real one, which the Name cell
// (lower-cased, perhaps a look-alike) and even the folder's text may not name.
void OpenFile(int row) {
    const std::string path = results::FilePath(row);
    HWND window = win::g_handles.window;
    if (MessageBoxA(window, ("Lancio " + path).c_str(), kShellCaption,
                    MB_YESNO | MB_ICONQUESTION) == IDYES &&
        !OpenWithShell(results::RealFilePath(row))) {
        MessageBoxA(window, (kOpenFailedText + path).c_str(), kShellCaption,
                    MB_OK | MB_ICONEXCLAMATION);
    }
}

void OnCommand(HWND window, WPARAM wparam) {
    // Edits and selections in the boxes raise no action; only clicks (code 0) do.
    if (HIWORD(wparam) != BN_CLICKED) {
        return;
    }
    switch (LOWORD(wparam)) {
        case kPatternBrowseButton:
            PatternBrowse(window);
            break;
        case kStartButton:
            // Enter arrives here too, as it is the default button.
            search::StartOrCancel();
            break;
        case kResetButton:
            Reset();
            break;
        case kQuitButton:
            // Esc arrives here too. Ends the program, also during a search: the walk stops on
            // WM_DESTROY's abort flag.
            EndWindow(window);
            break;
        case kFolderBrowseButton:
            FolderBrowse(window);
            break;
        case kHelpButton:
            ShowHelp(window);
            break;
        default:
            break;
    }
}

// The system's dialog focus memory is off, so each activation sets the focus here.
void FocusOnActivation(HWND window) {
    HWND list = GetDlgItem(window, kResultList);
    const LRESULT rows = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    SetFocus(GetDlgItem(window, rows != 0 ? kResultList : kStartButton));
}

void OnNotify(LPARAM lparam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
    if (header == nullptr || header->idFrom != static_cast<UINT_PTR>(kResultList)) {
        return;
    }
    switch (header->code) {
        case LVN_GETDISPINFOA:
            // The list asks for each cell's text as it paints.
            results::SupplyCell(reinterpret_cast<NMLVDISPINFOA*>(lparam));
            break;
        case LVN_COLUMNCLICK:
            // The walk may be appending to the rows: no sorting while it runs.
            if (search::g_state.busy != 0) {
                MessageBeep(0);
            } else if (const auto* click = reinterpret_cast<const NMLISTVIEW*>(lparam);
                       click->iSubItem != -1) {
                results::ColumnSort(click->iSubItem + 1);
            }
            break;
        case NM_DBLCLK:
            if (search::g_state.busy != 0) {
                MessageBeep(0);
            } else if (const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(lparam);
                       click->iItem >= 0) {
                OpenFile(click->iItem);
            }
            break;
        default:
            break;
    }
}

void Dispatch(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(window, wparam);
            break;
        case WM_DESTROY:
            // A walk still running stops at its next Pump step.
            search::g_state.abort = 1;
            break;
        case WM_NCACTIVATE:
            if (wparam != 0) {
                FocusOnActivation(window);
            }
            break;
        case WM_NOTIFY:
            OnNotify(lparam);
            break;
        default:
            break;
    }
}

}  // namespace

INT_PTR HandleEvent(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    try {
        Dispatch(window, message, wparam, lparam);
    } catch (...) {
        win::NoteCurrentException("event handler");
    }
    return 0;
}

}  // namespace app
