// End-to-end tests of whole searches in the real vortilo.exe: the rows and cells the list shows,
// the summary, cancelling with No and with Yes, and sorting by the column headings.

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "tests/gui/driver.h"
#include "tests/gui/harness.h"
#include "tests/win32/fixtures.h"

namespace {

using namespace gui;

using Cells = std::vector<std::vector<std::string>>;

Cells AllCells(HWND window) {
    HWND list = drive::ControlHandle(window, kResultList);
    return drive::ReadCells(list, 0, drive::ItemCount(list));
}

std::vector<std::string> Column(const Cells& cells, size_t c) {
    std::vector<std::string> out;
    for (const auto& row : cells) {
        out.push_back(row.at(c));
    }
    return out;
}

TEST(Search, ListShowsEveryCellOfEveryRow) {
    vtest::TempTree tree;
    const FILETIME when = vtest::UtcTime(2026, 12, 8, 8, 35, 30);    // 14:05 local
    const FILETIME night = vtest::UtcTime(2025, 1, 31, 18, 37, 59);  // 00:07 next day
    tree.File("Foto.JPG", 1234, &when);
    tree.Dir("Sotto Cartella");
    tree.File("Sotto Cartella\\archivio.tar.gz", 1234567, &night);
    tree.File("Sotto Cartella\\LEGGIMI", 0, &when);
    tree.File("Sotto Cartella\\a&b.txt", 999, &when);
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    gui::RunSearch(window, tree.Root(), "*");

    const std::string r = tree.Root();
    const std::string sub = r + "Sotto Cartella\\";
    Cells cells = AllCells(window);
    ASSERT_EQ(cells.size(), 4u);
    // The start folder's own file comes first; the subfolder's follow in the file system's order.
    EXPECT_EQ(cells[0],
              (std::vector<std::string>{"foto.jpg", "JPG", r, "     1,234", "08/12/2026  14:05"}));
    std::sort(cells.begin() + 1, cells.end());
    EXPECT_EQ(cells[1],
              (std::vector<std::string>{"a&b.txt", "TXT", sub, "      999", "08/12/2026  14:05"}));
    EXPECT_EQ(cells[2], (std::vector<std::string>{"archivio.tar.gz", "TAR.GZ", sub, "  1,234,567",
                                                  "01/02/2025  00:07"}));
    EXPECT_EQ(cells[3],
              (std::vector<std::string>{"leggimi", "", sub, "        0", "08/12/2026  14:05"}));
    EXPECT_EQ(drive::Text(window, kCountLabel), "4 files trovati");
    const std::string status = drive::Text(window, kStatusLabel);
    EXPECT_TRUE(
        std::regex_match(status, std::regex("Trovati:  4 \\*  per un totale di 1,236,800 bytes\\. "
                                            "\\(in [0-9]+\\.[0-9]{3} sec\\.\\)")))
        << status;
}

// Wine has the system's image list, where of these two types only chm has an icon of its own.
TEST(Search, RowsShowTheIconsOfTheirTypes) {
    vtest::TempTree tree;
    tree.File("guida.chm");
    tree.File("nota.txt");
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    gui::RunSearch(window, tree.Root(), "*");
    const Cells cells = AllCells(window);
    ASSERT_EQ(cells.size(), 2u);
    const int chm = cells[0][0] == "guida.chm" ? 0 : 1;
    HWND list = drive::ControlHandle(window, kResultList);
    const int txt_icon = drive::ReadImage(list, 1 - chm);
    EXPECT_GE(txt_icon, 0);
    EXPECT_NE(drive::ReadImage(list, chm), txt_icon);
}

TEST(Search, SecondSearchAppendsUntilReset) {
    vtest::TempTree tree;
    tree.File("uno.txt", 1);
    tree.File("due.dat", 2);
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    gui::RunSearch(window, tree.Root(), "*.txt");
    gui::RunSearch(window, tree.Root(), "*.dat");
    EXPECT_EQ(Column(AllCells(window), 0), (std::vector<std::string>{"uno.txt", "due.dat"}));
    EXPECT_EQ(drive::Text(window, kCountLabel), "2 files trovati");
    // The count covers every row; the total only this search.
    EXPECT_EQ(
        drive::Text(window, kStatusLabel).rfind("Trovati:  2 *.dat  per un totale di 2 bytes.", 0),
        0u);

    drive::Click(window, kResetButton);
    drive::WaitUntil(
        [&] { return drive::ItemCount(drive::ControlHandle(window, kResultList)) == 0; },
        "the list to empty on Reset");
    EXPECT_EQ(drive::Text(window, kCountLabel), "2 files trovati");
    gui::RunSearch(window, tree.Root(), "*.dat");
    EXPECT_EQ(Column(AllCells(window), 0), (std::vector<std::string>{"due.dat"}));
}

// The controls that a search locks, in creation order.
const std::vector<int> kLocked = {kStartFolderBox, kFolderBrowseButton, kSubfoldersBox,
                                  kPatternBox,     kHelpButton,         kQuitButton};

std::vector<int> DisabledControls(HWND window) {
    std::vector<int> ids;
    for (const drive::Control& control : drive::ReadControls(window)) {
        if (!control.enabled) {
            ids.push_back(control.id);
        }
    }
    return ids;
}

TEST(Search, PatternWithAFolderPartStartsNoSearchAndKeepsTheRows) {
    vtest::TempTree tree;
    tree.File("uno.txt", 1);
    tree.Dir("sub");
    tree.File("sub\\due.txt", 2);
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    gui::RunSearch(window, tree.Root() + "sub", "*.txt");
    const Cells before = AllCells(window);
    ASSERT_EQ(before.size(), 1u);
    const std::string status = drive::Text(window, kStatusLabel);
    for (const char* pattern : {"..\\*.txt", "sub/*.txt", "Z:*.txt"}) {
        drive::SetText(window, kPatternBox, pattern);
        drive::Click(window, kStartButton);
        HWND box = drive::WaitMessageBox(program->Id(), "Vortilo");
        EXPECT_EQ(drive::MessageBoxText(box),
                  "Il modello di ricerca non pu\xF2 contenere cartelle (\\ / :).\r\n"
                  "Scrivi la cartella in \"Parto da:\" e qui solo il nome, con * e ?.")
            << pattern;
        drive::Answer(box, IDOK);
        drive::WaitGone(box, "the message box");
        EXPECT_EQ(AllCells(window), before) << pattern;
        EXPECT_EQ(drive::Text(window, kStatusLabel), status) << pattern;
        EXPECT_EQ(drive::Text(window, kStartButton), "&Cerca") << pattern;
        EXPECT_EQ(drive::Text(window, kCountLabel), "1 files trovati") << pattern;
    }
}

TEST(Search, FoldersLinkedToEachOtherListEachFileOnce) {
    vtest::TempTree tree;
    for (const char* folder : {"x", "y", "z"}) {
        tree.Dir(folder);
        tree.File(std::string(folder) + "\\" + folder + ".txt");
    }
    // Each folder links to the two others, as /proc and /sys do under Wine's Z: drive.
    tree.Link("x\\to_y", "y");
    tree.Link("x\\to_z", "z");
    tree.Link("y\\to_x", "x");
    tree.Link("y\\to_z", "z");
    tree.Link("z\\to_x", "x");
    tree.Link("z\\to_y", "y");
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    gui::RunSearch(window, tree.Root(), "*.txt");
    std::vector<std::string> names = Column(AllCells(window), 0);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"x.txt", "y.txt", "z.txt"}));
    EXPECT_EQ(drive::Text(window, kStatusLabel).rfind("Trovati:  3 *.txt  per un totale di", 0),
              0u);
}

TEST(Search, CountLabelFollowsTheFirstNineteenRowsThenEveryTenth) {
    vtest::TempTree tree;
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    StartLongSearch(tree, window);
    // Whatever moment the label is read at, it shows a count the walk reports.
    std::set<std::string> seen;
    while (drive::Text(window, kStartButton) == "&Cancel") {
        seen.insert(drive::Text(window, kCountLabel));
    }
    for (const std::string& text : seen) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(text, m, std::regex(" ?([0-9]+) files trovati"))) << text;
        const int n = std::stoi(m[1]);
        EXPECT_TRUE(n < 20 || n % 10 == 0) << text;
        EXPECT_EQ(text[0] == ' ', n == 0) << text;
    }
    EXPECT_GT(seen.size(), 10u);
    EXPECT_EQ(drive::Text(window, kCountLabel), "1400 files trovati");
}

// Presses the Start button again while a search runs and waits for the question.
HWND AskToCancel(const drive::Program& program) {
    HWND window = program.Window();
    gui::WaitCaption(window, "&Cancel");
    drive::Click(window, kStartButton);
    HWND box = drive::WaitMessageBox(program.Id(), "Torvesk");
    EXPECT_EQ(drive::MessageBoxText(box), "Annullo ricerca?");
    EXPECT_EQ(drive::MessageBoxButtons(box), (std::vector<int>{IDYES, IDNO}));
    return box;
}

TEST(Search, CancelAnsweredNoLosesAndRepeatsNoRow) {
    vtest::TempTree tree;
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    StartLongSearch(tree, window);
    HWND box = AskToCancel(*program);
    // While the question is open the walk waits, with the window still locked.
    HWND list = drive::ControlHandle(window, kResultList);
    const int paused = drive::ItemCount(list);
    // Each reading is a round trip that the window's thread answers: a walk going on would add a
    // row between two of them, and show a new count at least every tenth.
    for (int reading = 0; reading < 25; ++reading) {
        ASSERT_EQ(drive::ItemCount(list), paused) << reading;
    }
    EXPECT_EQ(drive::Text(window, kStartButton), "&Cancel");
    EXPECT_EQ(DisabledControls(window), kLocked);
    drive::Answer(box, IDNO);
    gui::WaitCaption(window, "&Cerca", 60000);
    EXPECT_TRUE(DisabledControls(window).empty());

    const Cells cells = AllCells(window);
    ASSERT_EQ(cells.size(), 1400u);
    std::set<std::string> places;
    for (const auto& row : cells) {
        places.insert(row[2] + row[0]);
    }
    EXPECT_EQ(places.size(), 1400u);
    EXPECT_EQ(drive::Text(window, kCountLabel), "1400 files trovati");
}

TEST(Search, CancelAnsweredYesStopsAndSummarisesTheRowsFound) {
    vtest::TempTree tree;
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    StartLongSearch(tree, window);
    drive::Answer(AskToCancel(*program), IDYES);
    gui::WaitCaption(window, "&Cerca");

    const int rows = drive::ItemCount(drive::ControlHandle(window, kResultList));
    EXPECT_LT(rows, 1400);
    EXPECT_EQ(drive::Text(window, kCountLabel), std::to_string(rows) + " files trovati");
    EXPECT_EQ(
        drive::Text(window, kStatusLabel)
            .rfind("Trovati:  " + std::to_string(rows) + " *.txt  per un totale di 0 bytes. (in ",
                   0),
        0u)
        << drive::Text(window, kStatusLabel);
    EXPECT_TRUE(drive::ReadControl(window, IDCANCEL).enabled);
}

// The format bits of a heading's arrow as the table below writes it: '.' none, '^' ascending,
// 'v' descending.
int ArrowBits(char arrow) {
    return arrow == '^' ? HDF_SORTUP : arrow == 'v' ? HDF_SORTDOWN : 0;
}

TEST(Search, HeadingClicksSortAlternatingDirectionUnderAnArrow) {
    vtest::TempTree tree;
    const FILETIME d1 = vtest::UtcTime(2024, 3, 9, 4, 29, 0);   // 09/03/2024 09:59
    const FILETIME d2 = vtest::UtcTime(2024, 3, 9, 4, 30, 0);   // 09/03/2024 10:00
    const FILETIME d3 = vtest::UtcTime(2023, 12, 31, 6, 0, 0);  // 31/12/2023 11:30
    tree.File("Beta.txt", 999999999, &d1);
    tree.File("alfa.gz", 1000000000, &d2);
    tree.File("gamma", 1234, &d3);
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    gui::RunSearch(window, tree.Root(), "*");
    HWND list = drive::ControlHandle(window, kResultList);
    // Each heading as built: its alignment and no arrow.
    const std::vector<int> plain = drive::ReadHeadingFormats(list);
    ASSERT_EQ(plain.size(), 5u);
    for (int format : plain) {
        ASSERT_EQ(format & (HDF_SORTUP | HDF_SORTDOWN), 0);
    }

    enum class Act { kClick, kSearch, kReset };
    const struct {
        Act act;
        int column;           // the heading clicked
        const char* pattern;  // the search run
        std::vector<std::string> names;
        const char* arrows;  // one a heading
    } steps[] = {
        {Act::kClick, 0, "", {"gamma", "beta.txt", "alfa.gz"}, "v...."},  // Nome, descending
        {Act::kClick, 0, "", {"alfa.gz", "beta.txt", "gamma"}, "^...."},  // Nome, ascending
        // Grandezza, descending: by size past 9 digits
        {Act::kClick, 3, "", {"alfa.gz", "beta.txt", "gamma"}, "...v."},
        {Act::kClick, 3, "", {"gamma", "beta.txt", "alfa.gz"}, "...^."},  // Grandezza, ascending
        {Act::kClick, 4, "", {"alfa.gz", "beta.txt", "gamma"}, "....v"},  // Data, descending
        // Estensione, ascending: ".gamma", "gz.", "txt."
        {Act::kClick, 1, "", {"gamma", "alfa.gz", "beta.txt"}, ".^..."},
        // Directory, descending: all equal, 1 2 3 -> 3 2 1
        {Act::kClick, 2, "", {"beta.txt", "alfa.gz", "gamma"}, "..v.."},
        // A search that adds no row leaves the rows in their order.
        {Act::kSearch, 0, "*.none", {"beta.txt", "alfa.gz", "gamma"}, "..v.."},
        {Act::kSearch, 0, "gamma", {"beta.txt", "alfa.gz", "gamma", "gamma"}, "....."},
        {Act::kClick, 0, "", {"alfa.gz", "beta.txt", "gamma", "gamma"}, "^...."},
        {Act::kReset, 0, "", {}, "....."},
    };
    for (const auto& step : steps) {
        std::vector<int> formats = plain;
        for (size_t i = 0; i < formats.size(); ++i) {
            formats[i] |= ArrowBits(step.arrows[i]);
        }
        const std::string what = "the rows and the arrows " + std::string(step.arrows) +
                                 " after a click on heading " + std::to_string(step.column) +
                                 ", a search for " + step.pattern + " or a Reset";
        switch (step.act) {
            case Act::kClick:
                drive::ClickHeading(list, step.column);
                break;
            case Act::kSearch:
                gui::RunSearch(window, tree.Root(), step.pattern);
                break;
            case Act::kReset:
                drive::Click(window, kResetButton);
                break;
        }
        drive::WaitUntil(
            [&] {
                return Column(AllCells(window), 0) == step.names &&
                       drive::ReadHeadingFormats(list) == formats;
            },
            what, 3000);
    }
}

TEST(Search, HeadingClickDuringASearchChangesNothing) {
    vtest::TempTree tree;
    ManyFiles(tree, "a", 700);
    auto program = gui::StartProgram(tree.Root());
    HWND window = program->Window();
    HWND list = drive::ControlHandle(window, kResultList);
    drive::SetText(window, kStartFolderBox, tree.Root());
    drive::SetText(window, kPatternBox, "*.txt");
    drive::Click(window, kStartButton);
    gui::WaitCaption(window, "&Cancel");
    // The heading click is handled before the Start button's, so by the time the question is up
    // the click has been refused during the search.
    drive::ClickHeading(list, 0);
    drive::Answer(AskToCancel(*program), IDNO);
    gui::WaitCaption(window, "&Cerca", 60000);
    const std::vector<std::string> found = Column(AllCells(window), 0);
    ASSERT_EQ(found.size(), 700u);
    // Had the refused click flipped the direction, this first sort would be ascending.
    drive::ClickHeading(list, 0);
    std::vector<std::string> descending = found;
    std::sort(descending.rbegin(), descending.rend());
    drive::WaitUntil([&] { return Column(AllCells(window), 0) == descending; },
                     "a descending sort by name", 5000);
}

}  // namespace
