// The Search window: its controls from the control table, the default patterns, the start
// folder and the list's columns; and the main routine that runs it.

#include "app/window.h"

#include <cmath>

#include "app/controls.h"
#include "app/dialog.h"
#include "app/events.h"
#include "app/exports.h"
#include "app/hints.h"
#include "app/modal.h"
#include "app/process.h"
#include "format/code_page.h"
#include "results/icons.h"
#include "search/state.h"
#include "win32/search_window.h"

namespace app {

int ColumnWidth(float fraction, int list_width) {
    // The product is exact in double, so a float fraction a hair above its decimal value lifts
    // a would-be half above it; only 0.5 can land on an exact half, which goes to even.
    const double product = static_cast<double>(fraction) * list_width;
    return static_cast<int>(std::nearbyint(product));
}

std::string StartFolderOf(const std::string& directory) {
    if (directory.rfind("\\\\", 0) != 0) {
        size_t end = 0;
        for (int c = 0; c < 3 && end < directory.size(); ++c) {
            end += format::CharLength(directory.data(), directory.size(), end);
        }
        return directory.substr(0, end);
    }
    // \\server\share\...: "\\s" would name nothing, the share's root is the nearest folder.
    const size_t server_end = format::FindChar(directory, '\\', 2);
    const size_t share_end = server_end == std::string::npos
                                 ? server_end
                                 : format::FindChar(directory, '\\', server_end + 1);
    std::string root = directory.substr(0, share_end);
    if (format::FindLastChar(root, '\\') + 1 != root.size()) {
        root += '\\';
    }
    return root;
}

HWND BuildSearchWindow() {
    INITCOMCTL32(0);

    HWND window = CreateDialogWindow(kWindowTitle, kClientWidth, kClientHeight, kWindowStyle, 0);
    win::g_handles.window = window;
    // A missing icon file gives a null handle, which leaves the system's default icon.
    HANDLE icon = LoadImageA(nullptr, kIconFile, IMAGE_ICON, 32, 32, LR_LOADFROMFILE);
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

    search::g_state.start_folder = StartFolderOf(win::CurrentDirectory());

    const SIZE outer = OuterSize(window);
    std::vector<std::string> patterns(std::begin(kDefaultPatterns), std::end(kDefaultPatterns));
    if (*g_command_text != '\0') {
        patterns.push_back(g_command_text);
    }

    for (const ControlRow& row : kControlTable) {
        auto at = [](Span span, LONG outer_size) {
            return span.from_outer ? static_cast<int>(outer_size) - span.value : span.value;
        };
        const std::string text =
            row.seed == Seed::kStartFolder ? search::g_state.start_folder : row.text;
        const std::vector<std::string> items =
            row.seed == Seed::kPatterns ? patterns : std::vector<std::string>();
        AddControl(window, row.id, row.class_name, text, at(row.x, outer.cx), at(row.y, outer.cy),
                   at(row.width, outer.cx), at(row.height, outer.cy), row.style, row.ex_style,
                   items);
        if (row.seed == Seed::kChecked || row.seed == Seed::kUnchecked) {
            SetCheck(window, row.id, row.seed == Seed::kChecked ? BST_CHECKED : BST_UNCHECKED);
        } else if (row.seed == Seed::kPatterns) {
            SelectItem(window, row.id, static_cast<int>(patterns.size()) - 1);
            search::g_state.pattern = SelectedText(window, row.id);
        }
    }

    AddHints(window);

    HWND list = window == nullptr ? nullptr : GetDlgItem(window, kResultList);
    win::g_handles.list = list;
    // The rows' icons are indices into it, asked for as each row is painted.
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(results::SystemSmallIcons()));
    const LRESULT ex_style = SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, ex_style | kListExStyle);
    const int list_width = OuterSize(list).cx;
    int position = 0;
    for (const ColumnRow& column : kColumnTable) {
        char caption[MAX_PATH];
        win::CopyBounded(caption, column.caption);
        LVCOLUMNA lvc{};
        lvc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        lvc.fmt = column.format;
        lvc.cx = ColumnWidth(column.fraction, list_width);
        lvc.pszText = caption;
        lvc.iSubItem = position;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(position),
                     reinterpret_cast<LPARAM>(&lvc));
        ++position;
    }
    return window;
}

int MainRoutine() {
    RunModal(BuildSearchWindow(), HandleEvent);
    return 0;
}

}  // namespace app
