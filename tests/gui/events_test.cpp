// End-to-end tests of what the Search window's controls and keys do in the real vortilo.exe:
// Reset, the help box, Enter, the focus on activation, opening a file by double-click, dragging
// a file out, closing during a search and the Alt keys.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "tests/gui/driver.h"
#include "tests/gui/harness.h"
#include "tests/win32/fixtures.h"

// After <windows.h>, which it needs.
#include <dlgs.h>

namespace {

using namespace gui;

TEST(Events, HelpBoxShowsThreeLines) {
    vtest::TempTree tree;
    auto program = gui::StartProgram(tree.Root());
    drive::Click(program->Window(), kHelpButton);
    HWND box = drive::WaitMessageBox(program->Id(), "Aiuto rapido...");
    EXPECT_EQ(drive::MessageBoxText(box),
              "Double-click sul risultato della ricerca per vedere il file.\r\n"
              "Sort delle colonne cliccando sull'intestazione della lista risultati.\r\n"
              "Ricerca *men*   menu*.exe *menu.exe  menu.exe");
    EXPECT_EQ(drive::MessageBoxButtons(box), (std::vector<int>{IDOK}));
    drive::Answer(box, IDOK);
    EXPECT_TRUE(program->Running());
}

TEST(Events, ResetEmptiesTheListAndKeepsTheLabels) {
    vtest::TempTree tree;
    tree.File("a.txt");
    tree.File("b.txt");
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    gui::RunSearch(window, tree.Root(), "*.txt");
    ASSERT_EQ(Rows(window), 2);
    const std::string status = drive::Text(window, kStatusLabel);
    drive::Click(window, kResetButton);
    drive::WaitUntil([&] { return Rows(window) == 0; }, "the list to empty");
    EXPECT_EQ(drive::Text(window, kCountLabel), "2 files trovati");
    EXPECT_EQ(drive::Text(window, kStatusLabel), status);
}

TEST(Events, ResetDuringASearchRestartsTheRowsFromZero) {
    vtest::TempTree tree;
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    StartLongSearch(tree, window);
    drive::WaitUntil([&] { return Rows(window) > 0; }, "the first rows");
    drive::Click(window, kResetButton);
    gui::WaitCaption(window, "&Cerca", 60000);
    const int rows = Rows(window);
    EXPECT_LT(rows, 1400);
    EXPECT_GT(rows, 0);
    EXPECT_EQ(drive::Text(window, kCountLabel), std::to_string(rows) + " files trovati");
    EXPECT_EQ(drive::Text(window, kStatusLabel).rfind("Trovati:  " + std::to_string(rows) + " ", 0),
              0u);
    // Every row shown is a real, distinct file of the second half of the walk.
    const auto cells = drive::ReadCells(drive::ControlHandle(window, kResultList), 0, rows);
    std::vector<std::string> places;
    for (const auto& row : cells) {
        places.push_back(row[2] + row[0]);
        EXPECT_EQ(row[0].size(), 9u) << row[0];
    }
    std::sort(places.begin(), places.end());
    EXPECT_EQ(std::unique(places.begin(), places.end()), places.end());
}

TEST(Events, EnterInTheStartFolderBoxStartsASearch) {
    vtest::TempTree tree;
    tree.File("x.txt");
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    drive::SetText(window, kStartFolderBox, tree.Root());
    drive::SetText(window, kPatternBox, "*.txt");
    drive::MouseClick(window, kStartFolderBox);
    drive::Keys(window, "Return");
    drive::WaitUntil([&] { return Rows(window) == 1; }, "the search that Enter starts");
    gui::WaitCaption(window, "&Cerca");
}

TEST(Events, ActivationGivesTheFocusToTheListOnceItHasRows) {
    vtest::TempTree tree;
    tree.File("x.txt");
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    HWND list = drive::ControlHandle(window, kResultList);
    // Closing a message box activates the window again.
    const auto reactivate = [&] {
        drive::MouseClick(window, kSubfoldersBox);
        drive::Click(window, kHelpButton);
        drive::Answer(drive::WaitMessageBox(program->Id(), "Aiuto rapido..."), IDOK);
    };
    reactivate();
    drive::WaitUntil(
        [&] { return drive::Focus(window) == drive::ControlHandle(window, kStartButton); },
        "the focus on the Start button while the list is empty");
    gui::RunSearch(window, tree.Root(), "*.txt");
    reactivate();
    drive::WaitUntil([&] { return drive::Focus(window) == list; },
                     "the focus on the list once it has rows");
}

TEST(Events, DoubleClickAsksAndOpensTheFileByItsRealName) {
    vtest::TempTree tree;
    // Batch files that each leave a mark of their own when they are opened (run). The one
    // answered Yes holds 0x80 in its name, the euro sign, which the lower-cased Name cell shows
    // as 0x87: only the real name opens it.
    const std::string no_mark = tree.Path("no.mark");
    const std::string yes_mark = tree.Path("yes.mark");
    tree.File(L"No.bat", "@echo off\r\necho opened>> \"" + no_mark + "\"\r\n");
    tree.File(L"Apri \u20ac.BAT", "@echo off\r\necho opened>> \"" + yes_mark + "\"\r\n");
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    HWND list = drive::ControlHandle(window, kResultList);
    gui::RunSearch(window, tree.Root(), "*.bat");
    ASSERT_EQ(Rows(window), 2);
    const int yes_row = drive::ReadCell(list, 0, 0) == "no.bat" ? 1 : 0;
    EXPECT_EQ(drive::ReadCell(list, yes_row, 0), "apri \x87.bat");

    drive::DoubleClickCell(list, 1 - yes_row, 0);
    HWND box = drive::WaitMessageBox(program->Id(), "Shell");
    EXPECT_EQ(drive::MessageBoxText(box), "Lancio " + tree.Root() + "No.bat");
    EXPECT_EQ(drive::MessageBoxButtons(box), (std::vector<int>{IDYES, IDNO}));
    drive::Answer(box, IDNO);

    // Answered Yes after the No: by the time its run has left its mark, a run asked for by the
    // No would have left its own.
    drive::DoubleClickCell(list, yes_row, 3);
    box = drive::WaitMessageBox(program->Id(), "Shell");
    EXPECT_EQ(drive::MessageBoxText(box), "Lancio " + tree.Root() + "Apri \x80.BAT");
    drive::Answer(box, IDYES);
    const auto marked = [](const std::string& mark) {
        return GetFileAttributesA(mark.c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    drive::WaitUntil([&] { return marked(yes_mark); }, "the opened file to leave its mark", 20000);
    EXPECT_FALSE(marked(no_mark));
}

TEST(Events, EachRowOpensItsOwnFileWhateverItsName) {
    vtest::TempTree tree;
    // Batch files that each add their number to a log when they are run. The twins' rows read
    // the same, and so do their questions: each row must run its own file and no other.
    const std::string log = tree.Path("opened.log");
    const std::wstring files[] = {
        L"A.bat",
        L"\u0100.bat",                      // shown as A.bat
        L"\u6570\u636e\\\u540d\u524d.bat",  // ??\??.bat
    };
    for (size_t i = 0; i < std::size(files); ++i) {
        tree.File(files[i],
                  "@echo off\r\necho row" + std::to_string(i) + " >> \"" + log + "\"\r\n");
    }
    auto opened = [&] {
        std::vector<std::string> lines;
        std::ifstream in(log);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line.substr(0, line.find_last_not_of("\r ") + 1));
        }
        return lines;
    };
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    HWND list = drive::ControlHandle(window, kResultList);
    gui::RunSearch(window, tree.Root(), "*.bat");
    ASSERT_EQ(Rows(window), static_cast<int>(std::size(files)));

    std::vector<std::wstring> asked;
    for (int row = 0; row < Rows(window); ++row) {
        drive::DoubleClickCell(list, row, 0);
        HWND question = drive::WaitMessageBox(program->Id(), "Shell");
        asked.push_back(drive::MessageBoxWideText(question));
        drive::Answer(question, IDYES);
        drive::WaitUntil([&] { return opened().size() == static_cast<size_t>(row) + 1; },
                         "row " + std::to_string(row) + " to run its file", 20000);
    }
    std::vector<std::string> ran = opened();
    std::sort(ran.begin(), ran.end());
    EXPECT_EQ(ran, (std::vector<std::string>{"row0", "row1", "row2"}));
    // The question names the file that opens: the twins' questions read apart.
    std::sort(asked.begin(), asked.end());
    std::vector<std::wstring> expected;
    for (const std::wstring& file : files) {
        expected.push_back(L"Lancio " + tree.WideRoot() + file);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(asked, expected);

    // A file gone since the search: the system cannot open it, and the program says so.
    ASSERT_TRUE(DeleteFileW((tree.WideRoot() + files[2]).c_str()));
    int gone = 0;
    while (drive::ReadCell(list, gone, 2) != tree.Path("??\\")) {
        ASSERT_LT(++gone, Rows(window));
    }
    drive::DoubleClickCell(list, gone, 0);
    drive::Answer(drive::WaitMessageBox(program->Id(), "Shell"), IDYES);
    HWND failed = drive::WaitMessageBox(program->Id(), "Shell");
    EXPECT_EQ(drive::MessageBoxText(failed),
              "Impossibile aprire il file:\r\n" + tree.Path("??\\??.bat"));
    EXPECT_EQ(drive::MessageBoxButtons(failed), (std::vector<int>{IDOK}));
    drive::Answer(failed, IDOK);
}

// Each way to reach a row's actions (the menu's texts are read in process: Wine does not give
// another process the items of a menu), on a row whose name holds 0x80 and on one whose names the
// code page cannot hold, after a sort that has moved the rows.
TEST(Events, RowMenuAndCtrlCActOnTheRowUnderThePointer) {
    vtest::TempTree tree;
    const std::string mark = tree.Path("opened.mark");
    tree.File(L"Apri \u20ac.bat", "@echo off\r\necho opened> \"" + mark + "\"\r\n");
    tree.File(L"\u6570\u636e\\\u540d\u524d.txt");
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    HWND list = drive::ControlHandle(window, kResultList);
    gui::RunSearch(window, tree.Root(), "*.*");
    ASSERT_EQ(Rows(window), 2);
    // Descending by Directory: the subfolder's file, found second, comes first.
    drive::ClickHeading(list, 2);
    drive::WaitUntil([&] { return drive::ReadCell(list, 0, 2) == tree.Path("??\\"); },
                     "the sort to move the rows");
    constexpr int kUnheld = 0;  // ??\??.txt
    constexpr int kEuro = 1;    // apri \x87.bat
    const std::wstring real_paths[] = {tree.WideRoot() + L"\u6570\u636e\\\u540d\u524d.txt",
                                       tree.WideRoot() + L"Apri \u20ac.bat"};
    const std::string shown_paths[] = {tree.Path("??\\??.txt"), tree.Path("Apri \x80.bat")};
    const std::wstring real_names[] = {L"\u540d\u524d.txt", L"Apri \u20ac.bat"};
    const std::string shown_names[] = {"??.txt", "Apri \x80.bat"};

    const struct {
        const char* gesture;  // "right-click", "shift+F10", "ctrl+c"
        int row;
        const char* key;  // the item's access key
        bool name;        // the name is copied, else the full path
    } cases[] = {
        {"right-click", kEuro, "p", false},
        {"right-click", kUnheld, "n", true},
        {"shift+F10", kEuro, "n", true},
        {"ctrl+c", kUnheld, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.gesture) + " on row " + std::to_string(c.row));
        drive::WriteClipboard("-");
        RECT cell = drive::CellRect(list, c.row, 0);
        POINT expected_at = {cell.left + (cell.right - cell.left) / 2,
                             cell.top + (cell.bottom - cell.top) / 2};
        if (std::string(c.gesture) == "right-click") {
            drive::MouseClickCell(window, list, c.row, 0, 3);
        } else {
            drive::MouseClickCell(window, list, c.row, 0);
            drive::WaitUntil([&] { return drive::SelectedRow(list) == c.row; }, "the selection");
            drive::Keys(window, c.gesture);
            // Under the row, at its left edge.
            expected_at = {0, cell.bottom};
        }
        ClientToScreen(list, &expected_at);
        if (*c.key != '\0') {
            HWND popup = drive::WaitPopupMenu(program->Id());
            RECT at = {};
            GetWindowRect(popup, &at);
            EXPECT_EQ(at.left, expected_at.x);
            EXPECT_EQ(at.top, expected_at.y);
            drive::Keys(window, c.key);
            drive::WaitGone(popup, "the menu");
        }
        drive::WaitUntil([&] { return drive::ReadClipboard().ansi != "-"; }, "the copy");
        const drive::ClipboardTexts copied = drive::ReadClipboard();
        EXPECT_EQ(copied.wide, c.name ? real_names[c.row] : real_paths[c.row]);
        EXPECT_EQ(copied.ansi, c.name ? shown_names[c.row] : shown_paths[c.row]);
    }

    // Another program holding the clipboard: the copy says it could not be made.
    {
        drive::WriteClipboard("-");
        ASSERT_TRUE(OpenClipboard(nullptr));
        drive::MouseClickCell(window, list, kEuro, 0, 3);
        drive::WaitPopupMenu(program->Id());
        drive::Keys(window, "p");
        HWND busy = drive::WaitMessageBox(program->Id(), "Vortilo");
        CloseClipboard();
        EXPECT_EQ(drive::MessageBoxText(busy),
                  "Impossibile copiare: gli appunti sono in uso da un altro programma.");
        drive::Answer(busy, IDOK);
        EXPECT_EQ(drive::ReadClipboard().ansi, "-");
    }

    // The system's items act on the row's file. Up from the top reaches the last one, the
    // system's Proprieta (its "p" is Copia percorso's), whose window names the file.
    drive::MouseClickCell(window, list, kEuro, 0, 3);
    HWND popup = drive::WaitPopupMenu(program->Id());
    drive::Keys(window, "Up Return");
    drive::WaitGone(popup, "the menu");
    HWND properties = gui::WaitOtherDialog(program->Id(), window);
    EXPECT_EQ(drive::Text(properties), "Propriet\xE0 di Apri \x80.bat");
    PostMessageA(properties, WM_CLOSE, 0, 0);
    drive::WaitGone(properties, "the properties");

    // Apri: the question and the run of a double-click.
    drive::MouseClickCell(window, list, kEuro, 0, 3);
    drive::WaitPopupMenu(program->Id());
    drive::Keys(window, "a");
    HWND box = drive::WaitMessageBox(program->Id(), "Shell");
    EXPECT_EQ(drive::MessageBoxText(box), "Lancio " + shown_paths[kEuro]);
    drive::Answer(box, IDYES);
    drive::WaitUntil([&] { return GetFileAttributesA(mark.c_str()) != INVALID_FILE_ATTRIBUTES; },
                     "the opened file to leave its mark", 20000);
}

TEST(Events, DoubleClickBelowTheLastRowDoesNothing) {
    vtest::TempTree tree;
    tree.File("x.txt");
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    HWND list = drive::ControlHandle(window, kResultList);
    gui::RunSearch(window, tree.Root(), "*.txt");
    RECT last = drive::CellRect(list, 0, 0);
    drive::DoubleClickAt(list, POINT{last.left + 5, last.bottom + 60});
    // The list handles its clicks in order: a question asked for the first double-click would
    // come before the row's own, and would still be open, unanswered, once the row's is answered.
    drive::DoubleClickCell(list, 0, 0);
    HWND box = drive::WaitMessageBox(program->Id(), "Shell");
    EXPECT_EQ(drive::MessageBoxText(box), "Lancio " + tree.Path("x.txt"));
    drive::Answer(box, IDNO);
    EXPECT_EQ(drive::FindMessageBox(program->Id(), "Shell"), nullptr);
}

// The window that holds the mouse capture in the thread of window, or null. The list takes none
// while the button is down on it; the system's drag loop holds it while a drag runs.
HWND Capture(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndCapture;
}

// Real input: the left button pressed on a row's cell, then moved to a point of the screen in
// steps, still held. Where a drag is to start, the moves wait until it has.
void PressAndMove(HWND window, int row, POINT to, bool drag_starts) {
    HWND list = drive::ControlHandle(window, kResultList);
    const RECT cell = drive::CellRect(list, row, 0);
    POINT from = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    ClientToScreen(list, &from);
    // A press soon after the last one on the same row would be a double click, which opens the
    // file. The program takes the times of the X events, not this process's clock: a margin.
    const DWORD apart = GetDoubleClickTime() * 2;
    static DWORD last_press = GetTickCount() - apart;
    const DWORD since = GetTickCount() - last_press;
    if (since < apart) {
        Sleep(apart - since);
    }
    const auto at = [](POINT p) { return std::to_string(p.x) + " " + std::to_string(p.y); };
    // No --sync here: the pointer may be there already, and then no motion ever comes.
    drive::RunLinux("xdotool windowfocus --sync " + std::to_string(drive::XWindow(window)) +
                    " mousemove " + at(from) + " mousedown 1");
    last_press = GetTickCount();
    drive::WaitUntil([&] { return drive::SelectedRow(list) == row; }, "the list to take the press");
    // A first short move inside the list: the list starts a drag only on a move over itself, and
    // moves that pile up while the program is busy reach it as one, far outside.
    drive::RunLinux("xdotool mousemove --sync " + at(POINT{from.x + 20, from.y}));
    if (drag_starts) {
        drive::WaitUntil([&] { return Capture(window) != nullptr; }, "the drag to start");
    }
    constexpr int kSteps = 8;
    for (int i = 1; i <= kSteps; ++i) {
        drive::RunLinux("xdotool mousemove --sync " +
                        at(POINT{from.x + (to.x - from.x) * i / kSteps,
                                 from.y + (to.y - from.y) * i / kSteps}));
    }
}

void LetGo() {
    drive::RunLinux("xdotool mouseup 1");
}

// Lets the button go also when a check fails while it is held: a button left down on the X
// server would spoil every later press.
struct ButtonGuard {
    bool held = true;
    void LetGo() {
        held = false;
        ::LetGo();
    }
    ~ButtonGuard() {
        if (held) {
            try {
                ::LetGo();
            } catch (...) {
            }
        }
    }
};

// drop_target.exe from beside the program under test, with a window that notes what is dropped
// on it in a log; ended when this object goes, if it has not ended by itself at the drop.
class DropTarget {
  public:
    explicit DropTarget(const std::string& log) : log_(log) {
        const std::string exe =
            ExePath().substr(0, ExePath().find_last_of('\\') + 1) + "drop_target.exe";
        const PROCESS_INFORMATION pi =
            drive::Spawn(exe, drive::CommandLine(exe, "\"" + log + "\" 1100 250"), "");
        process_ = std::make_unique<win::KernelHandle>(pi.hProcess);
        // This process's window: an earlier target's may not be gone yet.
        drive::WaitUntil(
            [&] {
                window_ = nullptr;
                while ((window_ = FindWindowExA(nullptr, window_, nullptr,
                                                "Vortilo drop target")) != nullptr) {
                    DWORD owner = 0;
                    GetWindowThreadProcessId(window_, &owner);
                    if (owner == pi.dwProcessId && IsWindowVisible(window_)) {
                        return true;
                    }
                }
                return false;
            },
            "the drop target's window");
    }
    ~DropTarget() {
        TerminateProcess(process_->Get(), 1);
        WaitForSingleObject(process_->Get(), drive::kWaitMs);
    }
    DropTarget(const DropTarget&) = delete;
    DropTarget& operator=(const DropTarget&) = delete;

    POINT Middle() const {
        RECT r = {};
        GetWindowRect(window_, &r);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    bool Ended(DWORD ms) const { return WaitForSingleObject(process_->Get(), ms) == WAIT_OBJECT_0; }
    std::string Log() const {
        std::ifstream in(log_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

  private:
    std::string log_;
    std::unique_ptr<win::KernelHandle> process_;
    HWND window_ = nullptr;
};

TEST(Events, DraggedRowHandsItsRealFileToCopyOrLinkOnly) {
    vtest::TempTree tree;
    const struct {
        std::wstring name;
        const char* cell;  // the row's Name cell
    } cases[] = {
        {L"Conto \u20AC.txt", "conto \x87.txt"},  // 0x80 in the code page
        {L"\u6570\u636e.txt", "??.txt"},          // nothing in the code page
    };
    for (const auto& c : cases) {
        tree.File(c.name);
    }
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    HWND list = drive::ControlHandle(window, kResultList);
    gui::RunSearch(window, tree.Root(), "*.txt");
    ASSERT_EQ(Rows(window), 2);

    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        const int row = drive::ReadCell(list, 0, 0) == c.cell ? 0 : 1;
        ASSERT_EQ(drive::ReadCell(list, row, 0), c.cell);
        DropTarget target(tree.Path("drop" + std::to_string(i) + ".log"));
        ButtonGuard held;
        PressAndMove(window, row, target.Middle(), true);
        drive::WaitUntil([&] { return !target.Log().empty(); }, "the drag to reach the target");
        held.LetGo();
        ASSERT_TRUE(target.Ended(drive::kWaitMs)) << c.cell;
        EXPECT_EQ(target.Log(), "enter 5\ndrop 5\nfile " + drive::Utf8(tree.WideRoot() + c.name) +
                                    "\nunicodetext 80040064\n")
            << c.cell;
    }
}

// A start folder typed relative: the row shows it as typed, and what leaves the program (Ctrl+C,
// a drag) names the file from the folder the search started in, whatever folder the taker is in.
TEST(Events, RelativeStartFolderHandsOutAbsolutePaths) {
    vtest::TempTree tree;
    tree.File(std::wstring(L"azioni\\nota.txt"));
    tree.Dir("altro");
    const std::wstring file = tree.WideRoot() + L"azioni\\nota.txt";
    const struct {
        const char* started_in;
        const char* typed;
        const char* folder_cell;
    } cases[] = {
        {"azioni", ".\\", ".\\"},
        {"altro", "..\\azioni", "..\\azioni\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        auto program = gui::StartProgram(tree.Path(c.started_in));
        HWND window = program->Window();
        HWND list = drive::ControlHandle(window, kResultList);
        gui::RunSearch(window, c.typed, "*.txt");
        ASSERT_EQ(Rows(window), 1);
        EXPECT_EQ(drive::ReadCell(list, 0, 2), c.folder_cell);

        drive::WriteClipboard("-");
        drive::MouseClickCell(window, list, 0, 0);
        drive::WaitUntil([&] { return drive::SelectedRow(list) == 0; }, "the selection");
        drive::Keys(window, "ctrl+c");
        drive::WaitUntil([&] { return drive::ReadClipboard().ansi != "-"; }, "the copy");
        EXPECT_EQ(drive::ReadClipboard().wide, file);
        EXPECT_EQ(drive::ReadClipboard().ansi, tree.Path("azioni\\nota.txt"));

        DropTarget target(tree.Path(std::string(c.started_in) + ".log"));
        ButtonGuard held;
        // Two double-click times after the click that selected the row, or the press opens it.
        Sleep(GetDoubleClickTime() * 2);
        PressAndMove(window, 0, target.Middle(), true);
        drive::WaitUntil([&] { return !target.Log().empty(); }, "the drag to reach the target");
        held.LetGo();
        ASSERT_TRUE(target.Ended(drive::kWaitMs));
        EXPECT_EQ(target.Log(),
                  "enter 5\ndrop 5\nfile " + drive::Utf8(file) + "\nunicodetext 80040064\n");
    }
}

TEST(Events, RowActionsAreRefusedDuringASearch) {
    vtest::TempTree tree;
    // Files beyond the 1,400 that keep the walk going until every gesture is over.
    ManyFiles(tree, "c", 3000);
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    HWND list = drive::ControlHandle(window, kResultList);
    DropTarget target(tree.Path("drop.log"));
    drive::WriteClipboard("-");
    StartLongSearch(tree, window);
    drive::WaitUntil([&] { return Rows(window) > 3; }, "the first rows");
    // The list's own Down key moves the selection only where no menu has taken the keys; it
    // comes after the gestures, so once it has moved, they have been handled.
    drive::MouseClickCell(window, list, 0, 0, 3);
    drive::Keys(window, "ctrl+c Down");
    drive::WaitUntil([&] { return drive::SelectedRow(list) == 1; }, "Down after the gestures");
    EXPECT_EQ(drive::FindPopupMenu(program->Id()), nullptr);
    EXPECT_EQ(drive::ReadClipboard().ansi, "-");
    {
        ButtonGuard button;
        PressAndMove(window, 0, target.Middle(), false);
        button.LetGo();
    }
    // A real click on Cancel reaches the program after the button's release: once it asks, a
    // drag would have dropped on the target, and the search has run through every gesture.
    drive::MouseClick(window, kStartButton);
    drive::Answer(drive::WaitMessageBox(program->Id(), "Torvesk"), IDYES);
    EXPECT_EQ(target.Log(), "");
}

TEST(Events, ClosingDuringASearchEndsTheProgramCleanly) {
    const struct { const char* how; } cases[] = {{"close"}, {"escape"}};
    for (const auto& c : cases) {
        vtest::TempTree tree;
        auto program = gui::StartProgram(tree.Root());
        HWND window = program->Window();
        StartLongSearch(tree, window);
        if (std::string(c.how) == "close") {
            drive::PostSysCommand(window, SC_CLOSE);
        } else {
            drive::Keys(window, "Escape");
        }
        EXPECT_EQ(program->WaitExit(20000), 0u) << c.how;
    }
}

TEST(Events, AltWithTheUnderlinedLetter) {
    vtest::TempTree tree;
    tree.File("x.txt");
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    drive::SetText(window, kStartFolderBox, tree.Root());
    drive::SetText(window, kPatternBox, "*.txt");

    drive::Keys(window, "alt+u");  // Incl&udo sottocartelle
    drive::WaitUntil([&] { return drive::Check(window, kSubfoldersBox) == BST_UNCHECKED; },
                     "Alt+U to untick the subfolders box");
    drive::Keys(window, "alt+i");  // &Inizio ricerca
    drive::WaitUntil(
        [&] { return Rows(window) == 1 && drive::Text(window, kStartButton) == "&Cerca"; },
        "Alt+I to run a search");
    drive::Keys(window, "alt+r");  // &Reset ricerca
    drive::WaitUntil([&] { return Rows(window) == 0; }, "Alt+R to reset");
    drive::Keys(window, "alt+a");  // &Aiuto
    drive::Answer(drive::WaitMessageBox(program->Id(), "Aiuto rapido..."), IDOK);
    drive::Keys(window, "alt+f");  // &Fine
    EXPECT_EQ(program->WaitExit(), 0u);
}

// The open dialog's file name box: Wine shows the Explorer look also without OFN_EXPLORER, where
// the box is the edit inside the combo box cmb13.
HWND FileNameBox(HWND dialog) {
    HWND box = nullptr;
    drive::WaitUntil(
        [&] {
            box = reinterpret_cast<HWND>(
                SendMessageA(GetDlgItem(dialog, cmb13), CBEM_GETEDITCONTROL, 0, 0));
            return box != nullptr || (box = GetDlgItem(dialog, edt1)) != nullptr;
        },
        "the file name box of the Open File dialog");
    return box;
}

TEST(Events, PickedFileBecomesTheLastPatternAndItsSearchFindsIt) {
    vtest::TempTree tree;
    tree.File("Relazione.TXT");
    tree.File("Prezzi \x80.xls");
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    const struct {
        const char* chosen;
        const char* pattern;
    } cases[] = {
        {"Relazione.TXT", "relazione.txt"},
        // The euro sign stays: lower-cased by code page 437 it would match no file.
        {"Prezzi \x80.xls", "prezzi \x80.xls"},
    };
    size_t items = 9;
    int rows = 0;
    for (const auto& c : cases) {
        drive::Click(window, kPatternBrowseButton);
        HWND dialog = drive::WaitMessageBox(program->Id(), "Open File");
        SendMessageA(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.chosen));
        drive::Click(dialog, IDOK);
        drive::WaitGone(dialog, "the Open File dialog");
        ++items;
        drive::WaitUntil(
            [&] { return drive::ReadCombo(window, kPatternBox).items.size() == items; },
            "the picked name in the pattern list");
        const drive::ComboState combo = drive::ReadCombo(window, kPatternBox);
        EXPECT_EQ(combo.items.back(), c.pattern);
        EXPECT_EQ(combo.selection, static_cast<int>(items) - 1);
        EXPECT_EQ(combo.edit_text, c.pattern);
        // The next search looks for that name and finds the file.
        gui::RunSearch(window, tree.Root(), drive::Text(window, kPatternBox));
        EXPECT_EQ(Rows(window), ++rows) << c.chosen;
    }
}

TEST(Events, CancelledFilePickerSelectsTheLastPatternRefusedOneLeavesTheBox) {
    vtest::TempTree tree;
    // A real UTF-8 name, which the program can only spell ??.txt.
    const std::wstring smiley = L"\U0001F600.txt";
    tree.File(smiley);
    auto program = gui::StartProgram(tree.Root(), "*.doc");
    HWND window = program->Window();
    const struct {
        const char* label;
        std::wstring chosen;  // "" for a cancel
        const char* box_text;
    } cases[] = {
        {"cancel", L"", "*.doc"},
        {"a name the code page cannot hold", smiley, "*.typed"},
    };
    for (const auto& c : cases) {
        drive::SetText(window, kPatternBox, "*.typed");
        drive::Click(window, kPatternBrowseButton);
        HWND dialog = drive::WaitMessageBox(program->Id(), "Open File");
        if (!c.chosen.empty()) {
            SendMessageW(FileNameBox(dialog), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(c.chosen.c_str()));
        }
        drive::Click(dialog, c.chosen.empty() ? IDCANCEL : IDOK);
        drive::WaitGone(dialog, "the Open File dialog");
        if (!c.chosen.empty()) {
            drive::Answer(drive::WaitMessageBox(program->Id(), "Vortilo"), IDOK);
        }
        // Each reading waits until the program is back from the picker.
        drive::WaitUntil(
            [&] { return drive::ReadCombo(window, kPatternBox).edit_text == c.box_text; },
            std::string("the pattern box after ") + c.label);
        const drive::ComboState combo = drive::ReadCombo(window, kPatternBox);
        EXPECT_EQ(combo.items.size(), 10u) << c.label;
    }
}

TEST(Events, CancelledFolderBrowserChangesNothing) {
    vtest::TempTree tree;
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    drive::SetText(window, kStartFolderBox, "Z:\\scritto a mano");
    drive::Click(window, kFolderBrowseButton);
    HWND dialog = gui::WaitOtherDialog(program->Id(), window);
    drive::Click(dialog, IDCANCEL);
    drive::WaitGone(dialog, "the folder browser");
    EXPECT_EQ(drive::Text(window, kStartFolderBox), "Z:\\scritto a mano");
    EXPECT_TRUE(program->Running());
}

// Wine's file manager shows the folder but selects no file in it.
TEST(Events, RowMenuShowsTheFolderOrSaysItIsGone) {
    vtest::TempTree tree;
    const std::wstring name = L"\u6570\u636e\\\u540d\u524d.txt";
    tree.File(name);
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    HWND list = drive::ControlHandle(window, kResultList);
    gui::RunSearch(window, tree.Root(), "*.txt");
    ASSERT_EQ(Rows(window), 1);

    drive::MouseClickCell(window, list, 0, 0, 3);
    drive::WaitPopupMenu(program->Id());
    drive::Keys(window, "c");
    HWND folder = nullptr;
    drive::WaitUntil(
        [&] { return (folder = FindWindowW(L"ExplorerWClass", L"\u6570\u636e")) != nullptr; },
        "the file manager on the row's folder", 20000);
    PostMessageA(folder, WM_CLOSE, 0, 0);
    drive::WaitGone(folder, "the file manager");

    // A folder gone since the search: neither the folder nor the file can be shown.
    ASSERT_TRUE(DeleteFileW((tree.WideRoot() + name).c_str()));
    ASSERT_TRUE(RemoveDirectoryW((tree.WideRoot() + L"\u6570\u636e").c_str()));
    drive::MouseClickCell(window, list, 0, 0, 3);
    drive::WaitPopupMenu(program->Id());
    drive::Keys(window, "c");
    HWND gone = drive::WaitMessageBox(program->Id(), "Shell");
    EXPECT_EQ(drive::MessageBoxText(gone),
              "Impossibile aprire la cartella:\r\n" + tree.Path("??\\"));
    drive::Answer(gone, IDOK);
}

}  // namespace
