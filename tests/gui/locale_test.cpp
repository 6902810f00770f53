// End-to-end tests of the real vortilo.exe under other language settings: the double-byte code
// page 932 (Japanese), where many second bytes are 0x5C ("\") or ASCII letters, and UTF-8 (65001).
// CTest runs this program twice, each time in the Wine prefix of one locale: ja_JP.UTF-8 with the
// tests Cp932.*, hi_IN.UTF-8 with Utf8.*. This program is ANSI too, so the texts it reads from the
// window are in that code page; each test first checks that it is the one the test is about.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/gui/driver.h"
#include "tests/gui/harness.h"
#include "tests/win32/fixtures.h"

namespace {

using namespace gui;

using Cells = std::vector<std::vector<std::string>>;

// A text in this process's ANSI code page, which is the program's; the texts given are all held by
// the code page.
std::string Ansi(const std::wstring& text) {
    return drive::InCodePage(text, CP_ACP);
}

Cells AllCells(HWND window) {
    HWND list = drive::ControlHandle(window, kResultList);
    return drive::ReadCells(list, 0, drive::ItemCount(list));
}

// A batch file that leaves a mark when it is run.
std::string MarkScript(const std::string& mark) {
    return "@echo off\r\necho opened> \"" + mark + "\"\r\n";
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct Shown {
    std::wstring path;  // below the tree's root
    std::wstring name;  // the Nome cell
    std::wstring extension;
    std::wstring folder;  // the Directory cell below the root
};

// Searches the tree for everything and compares the first three cells of every row, in any
// order, with the table's.
void ExpectShown(const std::vector<Shown>& table) {
    vtest::TempTree tree;
    Cells expected;
    for (const Shown& row : table) {
        tree.File(row.path);
        expected.push_back(
            {Ansi(row.name), Ansi(row.extension), Ansi(tree.WideRoot() + row.folder)});
    }
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    // A folder named like the Windows folder would be skipped.
    ASSERT_EQ(drive::Check(window, kWindowsBox), BST_UNCHECKED);
    gui::RunSearch(window, tree.Root(), "*");
    Cells cells = AllCells(window);
    for (auto& row : cells) {
        row.resize(3);
    }
    std::sort(cells.begin(), cells.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(cells, expected);
}

// One of the user's regional values (HKCU\Control Panel\International), where the program's date
// texts take it from. This locale's prefix serves these tests alone: each sets what it needs.
void SetRegional(const char* name, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\International", 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

// Files of six dates, under the user's short date format; one click on Data (the first click
// sorts descending) must give the Data cells in shown, newest first. A key that took the
// characters at fixed places of dd/MM/yyyy would order these dates otherwise.
// The time format is a 12-hour one with a marker (hi-IN's own): shown on the 24-hour clock, the
// marker is left out.
void ExpectNewestFirst(const std::string& format, const std::vector<std::string>& shown) {
    SetRegional("sShortDate", format);
    SetRegional("sTimeFormat", "h:mm:ss tt");
    vtest::TempTree tree;
    // 06:00 UTC is 11:30 in the tests' zone (UTC+5:30): the same day.
    const FILETIME dates[] = {
        vtest::UtcTime(2026, 2, 3, 6, 0, 0),   vtest::UtcTime(2026, 1, 5, 6, 0, 0),
        vtest::UtcTime(2025, 11, 20, 6, 0, 0), vtest::UtcTime(2024, 12, 31, 6, 0, 0),
        vtest::UtcTime(2026, 12, 9, 6, 0, 0),  vtest::UtcTime(2026, 10, 1, 6, 0, 0),
    };
    for (size_t i = 0; i < std::size(dates); ++i) {
        tree.File("f" + std::to_string(i) + ".txt", 0, &dates[i]);
    }
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    HWND list = drive::ControlHandle(window, kResultList);
    gui::RunSearch(window, tree.Root(), "*.txt");
    ASSERT_EQ(Rows(window), static_cast<int>(std::size(dates)));
    drive::ClickHeading(list, 4);
    // The arrow goes on once the rows are sorted.
    drive::WaitUntil([&] { return (drive::ReadHeadingFormats(list).at(4) & HDF_SORTDOWN) != 0; },
                     "the descending arrow on Data");
    std::vector<std::string> data;
    for (const auto& row : AllCells(window)) {
        data.push_back(row.at(4));
    }
    EXPECT_EQ(data, shown) << "under the short date " << format;
}

// ---- Code page 932 ----

// 表 is 0x95 0x5C: a start folder typed without its final "\" and ending in it. Read byte by byte,
// its last byte looks like the separator: the rows then show the folder without one, and their
// path names avvia.bat's twin beside the folder. Each file leaves a mark of its own.
TEST(Cp932, StartFolderAndPatternWithA5CSecondByte) {
    ASSERT_EQ(GetACP(), 932u);
    vtest::TempTree tree;
    const std::string right = tree.Path("right.mark");
    const std::string wrong = tree.Path("wrong.mark");
    tree.File(L"予定表\\avvia.bat", MarkScript(right));
    tree.File(L"予定表avvia.bat", MarkScript(wrong));
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    HWND list = drive::ControlHandle(window, kResultList);
    gui::RunSearch(window, Ansi(tree.WideRoot() + L"予定表"), "*.bat");
    ASSERT_EQ(Rows(window), 1);
    const std::string folder = Ansi(tree.WideRoot() + L"予定表\\");
    EXPECT_EQ(drive::ReadCell(list, 0, 2), folder);

    drive::DoubleClickCell(list, 0, 0);
    HWND box = drive::WaitMessageBox(program->Id(), "Shell");
    EXPECT_EQ(drive::MessageBoxText(box), "Lancio " + folder + "avvia.bat");
    drive::Answer(box, IDYES);
    drive::WaitUntil([&] { return Exists(right) || Exists(wrong); }, "a batch file to run", 20000);
    EXPECT_TRUE(Exists(right)) << "the folder's own avvia.bat did not run";
    EXPECT_FALSE(Exists(wrong)) << "the twin beside the folder ran";

    // A pattern holding 0x5C as a second byte has no folder part: it searches (refused, it would
    // show a message and no summary), and adds the one name that holds the character.
    gui::RunSearch(window, tree.Root(), Ansi(L"*表*"));
    ASSERT_EQ(Rows(window), 2);
    EXPECT_EQ(drive::ReadCell(list, 1, 0), Ansi(L"予定表avvia.bat"));
}

// Each name's bytes: ア 83 41, イ 83 43, コ 83 52; 資 8E 91, 設 90 DD (bytes that a code page 437
// letter pair would change); テ 83 65, キ 83 4C, ス 83 58, ト 83 67.
// Only ASCII letters of their own change case. 表Windows read byte by byte holds "\WINDOWS\" once
// upper-cased, but it is no Windows folder: it is walked with its box unticked.
TEST(Cp932, NamesAndFoldersShownIntact) {
    ASSERT_EQ(GetACP(), 932u);
    ExpectShown({
        {L"アイコン.ico", L"アイコン.ico", L"ICO", L""},
        {L"資料.PDF", L"資料.pdf", L"PDF", L""},
        {L"設定.ini", L"設定.ini", L"INI", L""},
        {L"x.テキスト", L"x.テキスト", L"テキスト", L""},
        {L"表Windows\\メモ.txt", L"メモ.txt", L"TXT", L"表Windows\\"},
    });
}

// ---- UTF-8 ----

// The second and later bytes of a character are 0x80 to 0xBF, where code page 437 letter pairs lie
// (Ù C3 99, À C3 80, Ā C4 80, 😀 F0 9F 98 80, ä C3 A4). A right-to-left override would show the
// name's end reversed ("foto" U+202E "gpj.exe" reads as fotoexe.jpg): it shows as "?".
TEST(Utf8, NamesShownIntact) {
    ASSERT_EQ(GetACP(), 65001u);
    ExpectShown({
        {L"PIÙ.txt", L"piÙ.txt", L"TXT", L""},
        {L"À bientôt.txt", L"À bientôt.txt", L"TXT", L""},
        {L"Ā.dat", L"Ā.dat", L"DAT", L""},
        {L"😀.txt", L"😀.txt", L"TXT", L""},
        {L"x.ä", L"x.ä", L"ä", L""},
        {L"foto\u202Egpj.exe", L"foto?gpj.exe", L"EXE", L""},
    });
}

TEST(Utf8, DataSortsNewestFirstUnderAMonthFirstShortDate) {
    ASSERT_EQ(GetACP(), 65001u);
    ExpectNewestFirst("M/d/yyyy", {"12/9/2026  11:30", "10/1/2026  11:30", "2/3/2026  11:30",
                                   "1/5/2026  11:30", "11/20/2025  11:30", "12/31/2024  11:30"});
}

}  // namespace
