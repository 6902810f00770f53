#include "search/walker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "search/result_row.h"
#include "search/state.h"
#include "tests/win32/fixtures.h"

namespace {

using search::g_state;

std::vector<std::string> Rows() {
    return std::vector<std::string>(g_state.results.begin(),
                                    g_state.results.begin() + g_state.found_count);
}

// The rows' names and folders, as "folder|name".
std::vector<std::string> Places() {
    std::vector<std::string> places;
    for (const std::string& row : Rows()) {
        places.push_back(search::RowField(row, search::kDirectory) + "|" +
                         search::RowField(row, search::kName));
    }
    return places;
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

TEST(Walker, RowsHoldExactFields) {
    vtest::TempTree tree;
    const FILETIME when = vtest::UtcTime(2026, 12, 8, 8, 35, 30);
    tree.File("Foto.JPG", 1234, &when);
    tree.File("archivio.tar.gz", 0, &when);
    tree.File("LEGGIMI", 999, &when);
    tree.File("a b&c.Txt", 1234567, &when);
    tree.File(".profile", 7, &when);
    vtest::ResetSearch("*", false);
    search::WalkFolder(tree.Root());

    const std::string dir = tree.Root();
    const std::vector<std::string> expected = {
        ".profile\tPROFILE\t" + dir + "\t        7\t08/12/2026  14:05",
        "a b&c.txt\tTXT\t" + dir + "\t  1,234,567\t08/12/2026  14:05\ta b&c.Txt",
        "archivio.tar.gz\tTAR.GZ\t" + dir + "\t        0\t08/12/2026  14:05",
        "foto.jpg\tJPG\t" + dir + "\t     1,234\t08/12/2026  14:05\tFoto.JPG",
        "leggimi\t\t" + dir + "\t      999\t08/12/2026  14:05\tLEGGIMI",
    };
    EXPECT_EQ(Sorted(Rows()), expected);
    EXPECT_EQ(g_state.total_bytes, 1234 + 999 + 1234567 + 7);
    EXPECT_EQ(g_state.results.size(), 5u);
}

TEST(Walker, NonAsciiNamesFollowTheCaseRule) {
    vtest::TempTree tree;
    tree.File("\xC8\x8E\xE9z.Tx\x80");  // È Ž é z . T x €
    vtest::ResetSearch("*", false);
    search::WalkFolder(tree.Root());
    ASSERT_EQ(g_state.found_count, 1);
    EXPECT_EQ(search::RowField(g_state.results[0], search::kName), "\xC8\x84\xE9z.tx\x87");
    EXPECT_EQ(search::RowField(g_state.results[0], search::kExtension), "TX\x80");
}

TEST(Walker, DepthFirstFolderFilesBeforeSubfolders) {
    vtest::TempTree tree;
    // A chain where each level has one file and one subfolder fixes the whole order.
    tree.File("top.txt");
    tree.Dir("a");
    tree.File("a\\one.txt");
    tree.Dir("a\\b");
    tree.File("a\\b\\two.txt");
    tree.Dir("a\\b\\c");
    tree.File("a\\b\\c\\three.txt");
    vtest::ResetSearch("*.txt", true);
    search::WalkFolder(tree.Root());
    const std::string r = tree.Root();
    EXPECT_EQ(Places(),
              (std::vector<std::string>{r + "|top.txt", r + "a\\|one.txt", r + "a\\b\\|two.txt",
                                        r + "a\\b\\c\\|three.txt"}));
}

TEST(Walker, EachSubtreeIsContiguous) {
    vtest::TempTree tree;
    const char* folders[] = {"p", "q", "r", "p\\x", "p\\y", "q\\z"};
    for (const char* f : folders) {
        tree.Dir(f);
    }
    const char* files[] = {"f1",       "f2",    "p\\g1",    "p\\g2",    "p\\x\\h1",
                           "p\\y\\h2", "q\\i1", "q\\z\\j1", "q\\z\\j2", "r\\k1"};
    for (const char* f : files) {
        tree.File(f);
    }
    vtest::ResetSearch("*", true);
    search::WalkFolder(tree.Root());
    const std::vector<std::string> places = Places();
    ASSERT_EQ(places.size(), 10u);
    // The rows under any folder form one run, and that folder's own files open it.
    const std::string r = tree.Root();
    const std::string prefixes[] = {
        r, r + "p\\", r + "q\\", r + "r\\", r + "p\\x\\", r + "p\\y\\", r + "q\\z\\"};
    for (const std::string& prefix : prefixes) {
        std::vector<size_t> at;
        for (size_t i = 0; i < places.size(); ++i) {
            if (places[i].compare(0, prefix.size(), prefix) == 0) {
                at.push_back(i);
            }
        }
        ASSERT_FALSE(at.empty()) << prefix;
        EXPECT_EQ(at.back() - at.front() + 1, at.size()) << prefix;
        bool own = true;
        for (size_t i : at) {
            const bool here = places[i].find('|') == prefix.size();
            EXPECT_FALSE(here && !own) << "own file after a subfolder's in " << prefix;
            own = own && here;
        }
    }
}

TEST(Walker, HiddenFilesListedHiddenFoldersNotEntered) {
    vtest::TempTree tree;
    tree.File("hidden.txt");
    tree.Hide("hidden.txt");
    tree.Dir("secret");
    tree.File("secret\\inside.txt");
    tree.Hide("secret");
    tree.Dir(".dot");  // Wine reports dot names as hidden
    tree.File(".dot\\inside.txt");
    tree.Dir("open");
    tree.File("open\\seen.txt");
    vtest::ResetSearch("*.txt", true);
    search::WalkFolder(tree.Root());
    const std::string r = tree.Root();
    EXPECT_EQ(Sorted(Places()), Sorted({r + "|hidden.txt", r + "open\\|seen.txt"}));
}

TEST(Walker, HiddenStartFolderIsWalked) {
    vtest::TempTree tree;
    tree.Dir("secret");
    tree.File("secret\\inside.txt");
    tree.Hide("secret");
    vtest::ResetSearch("*", true);
    search::WalkFolder(tree.Path("secret\\"));
    EXPECT_EQ(Places(), (std::vector<std::string>{tree.Path("secret\\") + "|inside.txt"}));
}

TEST(Walker, FoldersAreNeverListedButMatchingOnesAreEntered) {
    vtest::TempTree tree;
    tree.Dir("foto.jpg");
    tree.File("foto.jpg\\vero.jpg");
    tree.File("foto.jpg\\nota.txt");
    tree.File("altro.jpg");
    vtest::ResetSearch("*.jpg", true);
    search::WalkFolder(tree.Root());
    const std::string r = tree.Root();
    EXPECT_EQ(Places(), (std::vector<std::string>{r + "|altro.jpg", r + "foto.jpg\\|vero.jpg"}));
}

TEST(Walker, WithoutSubfoldersOnlyTheStartFolder) {
    vtest::TempTree tree;
    tree.File("here.txt");
    tree.Dir("sub");
    tree.File("sub\\there.txt");
    vtest::FakeWindow window;
    vtest::ResetSearch("*.txt", false);
    search::WalkFolder(tree.Root());
    EXPECT_EQ(Places(), (std::vector<std::string>{tree.Root() + "|here.txt"}));
    EXPECT_EQ(window.status, (std::vector<std::string>{"Ricerca: " + tree.Root()}));
}

TEST(Walker, PatternGoesToTheEnumerationUnchanged) {
    vtest::TempTree tree;
    const char* files[] = {"menu.exe", "MyMenu.EXE", "menu1.exe", "nomenu.txt", "a b.txt"};
    for (const char* f : files) {
        tree.File(f);
    }
    const struct {
        const char* pattern;
        std::vector<std::string> names;
    } cases[] = {
        {"*menu.exe", {"menu.exe", "mymenu.exe"}},
        {"menu?.exe", {"menu1.exe"}},
        {"*.TXT", {"a b.txt", "nomenu.txt"}},
        {"a b.txt", {"a b.txt"}},
        {"*.txt *.exe", {}},  // one pattern, blank included
        {"", {}},
    };
    for (const auto& c : cases) {
        vtest::ResetSearch(c.pattern, false);
        search::WalkFolder(tree.Root());
        std::vector<std::string> names;
        for (const std::string& row : Rows()) {
            names.push_back(search::RowField(row, search::kName));
        }
        EXPECT_EQ(Sorted(names), c.names) << "pattern '" << c.pattern << "'";
    }
}

TEST(Walker, EmptyPatternStillWalksSubfolders) {
    vtest::TempTree tree;
    tree.Dir("sub");
    vtest::FakeWindow window;
    vtest::ResetSearch("", true);
    search::WalkFolder(tree.Root());
    EXPECT_EQ(g_state.found_count, 0);
    EXPECT_EQ(window.status, (std::vector<std::string>{"Ricerca: " + tree.Root(),
                                                       "Ricerca: " + tree.Path("sub\\")}));
}

TEST(Walker, SizesAreUnsignedSixtyFourBit) {
    vtest::TempTree tree;
    const struct {
        const char* name;
        int64_t size;
        const char* text;
    } cases[] = {
        {"four.gib", 4294967296LL, "4,294,967,296"},
        {"low.bit", 3000000000LL, "3,000,000,000"},
        {"big.img", 6442450944LL + 5, "6,442,450,949"},
        {"nine.dig", 999999999LL, "999,999,999"},
    };
    int64_t total = 0;
    for (const auto& c : cases) {
        tree.File(c.name, c.size);
        total += c.size;
    }
    vtest::ResetSearch("*", false);
    search::WalkFolder(tree.Root());
    ASSERT_EQ(g_state.found_count, 4);
    for (const auto& c : cases) {
        bool seen = false;
        for (const std::string& row : Rows()) {
            if (search::RowField(row, search::kName) == c.name) {
                EXPECT_EQ(search::RowField(row, search::kSize), c.text);
                seen = true;
            }
        }
        EXPECT_TRUE(seen) << c.name;
    }
    EXPECT_EQ(g_state.total_bytes, total);
}

TEST(Walker, SkipTestsForSystemFolders) {
    vtest::TempTree tree;
    const char* folders[] = {"Windows", "Windows\\sub", "xWINDOWSx", "Programmi", "Documents"};
    for (const char* f : folders) {
        tree.Dir(f);
    }
    tree.File("Windows\\w.txt");
    tree.File("Windows\\sub\\ws.txt");
    tree.File("xWINDOWSx\\x.txt");
    tree.File("Programmi\\p.txt");
    tree.File("Documents\\d.txt");
    const std::string r = tree.Root();
    const struct {
        bool admit_windows;
        std::vector<std::string> places;
    } cases[] = {
        // A folder named Windows anywhere is caught; Programmi and Documents only on C:.
        {false, {r + "Documents\\|d.txt", r + "Programmi\\|p.txt", r + "xWINDOWSx\\|x.txt"}},
        {true,
         {r + "Documents\\|d.txt", r + "Programmi\\|p.txt", r + "Windows\\sub\\|ws.txt",
          r + "Windows\\|w.txt", r + "xWINDOWSx\\|x.txt"}},
    };
    for (const auto& c : cases) {
        vtest::FakeWindow window;
        vtest::ResetSearch("*.txt", true);
        g_state.admit_windows = c.admit_windows ? 1 : 0;
        search::WalkFolder(r);
        EXPECT_EQ(Sorted(Places()), c.places);
        const bool shown = std::find(window.status.begin(), window.status.end(),
                                     "Ricerca: " + r + "Windows\\") != window.status.end();
        EXPECT_EQ(shown, c.admit_windows);
    }
}

// Folders made on the test prefix's C: drive, removed afterwards.
class CDriveFolders : public ::testing::Test {
  protected:
    void TearDown() override {
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
            DeleteFileA((*it + "\\f.txt").c_str());
            RemoveDirectoryA(it->c_str());
        }
    }
    void Make(const std::string& folder) {
        CreateDirectoryA(folder.c_str(), nullptr);
        made_.push_back(folder);
        CloseHandle(CreateFileA((folder + "\\f.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    std::vector<std::string> made_;
};

TEST_F(CDriveFolders, SkippedUnlessAdmitted) {
    Make("C:\\Programmi");
    Make("C:\\Programmi\\Sub");
    Make("C:\\Documents e impostazioni");
    Make("C:\\Windows.old");
    Make("C:\\Program Files Vortilo");
    const struct {
        const char* start;
        int admit;  // 1 Windows, 2 Documents, 3 Programmi
        int rows_skipped;
        int rows_admitted;
    } cases[] = {
        {"C:\\Programmi\\", 3, 0, 2},
        {"c:\\programmi\\sub\\", 3, 0, 1},
        {"C:\\Documents e impostazioni\\", 2, 0, 1},
        {"C:\\Windows.old\\", 1, 0, 1},
        {"C:\\Program Files Vortilo\\", 3, 1, 1},
    };
    for (const auto& c : cases) {
        for (int admitted = 0; admitted <= 1; ++admitted) {
            vtest::FakeWindow window;
            vtest::ResetSearch("f.txt", true);
            g_state.admit_windows = admitted && c.admit == 1;
            g_state.admit_documents = admitted && c.admit == 2;
            g_state.admit_programmi = admitted && c.admit == 3;
            search::WalkFolder(c.start);
            EXPECT_EQ(g_state.found_count, admitted ? c.rows_admitted : c.rows_skipped)
                << c.start << " admitted " << admitted;
            if (!admitted && c.rows_skipped == 0) {
                EXPECT_TRUE(window.status.empty()) << c.start;
            }
        }
    }
}

TEST(Walker, WindowsFolderOfThePrefixIsSkipped) {
    vtest::FakeWindow window;
    vtest::ResetSearch("notepad.exe", false);
    search::WalkFolder("C:\\windows\\");
    EXPECT_EQ(g_state.found_count, 0);
    EXPECT_TRUE(window.status.empty());
    g_state.admit_windows = 1;
    search::WalkFolder("C:\\windows\\");
    EXPECT_EQ(g_state.found_count, 1);
}

TEST(Walker, CountFollowsTheFirstNineteenRowsThenEveryTenth) {
    vtest::TempTree tree;
    for (int i = 0; i < 31; ++i) {
        tree.File("f" + std::to_string(i));
    }
    const struct {
        int carried;
        std::vector<int> shown;
    } cases[] = {
        {0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 30}},
        {25, {30, 40, 50}},
        {18, {19, 20, 30, 40}},
    };
    for (const auto& c : cases) {
        vtest::FakeWindow window;
        vtest::ResetSearch("f*", false);
        g_state.found_count = c.carried;
        g_state.results.assign(static_cast<size_t>(c.carried), "earlier");
        search::WalkFolder(tree.Root());
        EXPECT_EQ(g_state.found_count, c.carried + 31);
        EXPECT_EQ(window.list_counts, c.shown);
        std::vector<std::string> texts;
        for (int n : c.shown) {
            texts.push_back(std::to_string(n) + " files trovati");
        }
        EXPECT_EQ(window.count, texts);
        for (LPARAM flags : window.list_flags) {
            EXPECT_EQ(flags, LVSICF_NOINVALIDATEALL);
        }
        EXPECT_EQ(g_state.results.size(), static_cast<size_t>(c.carried + 31));
        if (c.carried > 0) {
            EXPECT_EQ(g_state.results[0], "earlier");
            EXPECT_EQ(g_state.results[static_cast<size_t>(c.carried) - 1], "earlier");
        }
    }
}

TEST(Walker, AbortInTheFilePassStopsBeforeTheNextRow) {
    vtest::TempTree tree;
    for (int i = 0; i < 12; ++i) {
        tree.File("f" + std::to_string(i) + ".txt");
    }
    tree.Dir("sub");
    tree.File("sub\\g.txt");
    vtest::FakeWindow window;
    window.AbortWhenCountReads("5 files trovati");
    vtest::ResetSearch("*.txt", true);
    search::WalkFolder(tree.Root());
    EXPECT_EQ(g_state.found_count, 5);
    EXPECT_EQ(g_state.results.size(), 5u);
    EXPECT_EQ(window.status, (std::vector<std::string>{"Ricerca: " + tree.Root()}));
}

TEST(Walker, AbortInTheSubfolderPassEntersNoFurtherFolder) {
    vtest::TempTree tree;
    tree.File("a.txt");
    tree.File("b.txt");
    tree.Dir("s1");
    tree.File("s1\\c.txt");
    tree.Dir("s2");
    tree.File("s2\\d.txt");
    vtest::FakeWindow window;
    window.AbortWhenCountReads("2 files trovati");
    vtest::ResetSearch("*.txt", true);
    search::WalkFolder(tree.Root());
    EXPECT_EQ(g_state.found_count, 2);
    EXPECT_EQ(window.status, (std::vector<std::string>{"Ricerca: " + tree.Root()}));
}

TEST(Walker, MasksLongerThanTheBufferAreNeverCut) {
    vtest::TempTree tree;
    // Grow a chain of folders until the next one's mask would pass 259 characters. In the last
    // folder that fits, a sibling file carries the name that a cut mask would end in.
    std::string rel;
    const std::string step = "abcdefghijklmnopqrstuvwxyz0123456789";
    // Each new folder must still take its "in.txt" within 259 characters.
    while (tree.Root().size() + rel.size() + step.size() + 1 + 6 <= 259) {
        rel += step + "\\";
        tree.Dir(rel);
        tree.File(rel + "in.txt");
    }
    const std::string folder = tree.Path(rel);
    const size_t room = 259 - folder.size();
    ASSERT_GT(room, 2u);
    // A subfolder one character longer than the room left: its "*" mask cut to 259 characters
    // would name the sibling file below and list it again as if it were inside. Windows calls
    // cannot make paths this long, Linux ones can.
    const std::string longname = std::string(room + 1, 'L');
    const std::string unix_folder = vtest::UnixPath(folder);
    vtest::Shell("mkdir " + unix_folder + longname + " && touch " + unix_folder + longname +
                 "/lost.txt " + unix_folder + std::string(room, 'L'));
    vtest::FakeWindow window;
    vtest::ResetSearch("*", true);
    search::WalkFolder(tree.Root());
    for (const std::string& place : Places()) {
        const std::string dir = place.substr(0, place.find('|'));
        EXPECT_LE(dir.size() + 1, 259u) << place;
        EXPECT_EQ(place.find("lost.txt"), std::string::npos) << place;
        EXPECT_EQ(place.find(longname), std::string::npos) << place;
    }
    // Every folder that fits was listed once, with its file, and the sibling once.
    EXPECT_EQ(g_state.found_count, static_cast<int>(std::count(rel.begin(), rel.end(), '\\')) + 1);
    for (const std::string& shown : window.status) {
        EXPECT_LE(shown.size() - 9 + 1, 259u);
    }
}

TEST(Walker, NoFolderIsWalkedTwiceThroughLinks) {
    vtest::TempTree tree;
    tree.File("top.txt");
    tree.Dir("a");
    tree.File("a\\one.txt");
    tree.Link("a\\loop", "a");  // a link to its own parent
    tree.Link("a\\up", "");     // a link to the start folder
    tree.Dir("b");
    tree.File("b\\two.txt");
    tree.Link("b\\other", "a");  // a link sideways, to a folder not on its path
    vtest::ResetSearch("*.txt", true);
    search::WalkFolder(tree.Root());
    const std::string r = tree.Root();
    // one.txt once, under a\ or under b\other\, whichever the file system lists first.
    const std::vector<std::string> places = Sorted(Places());
    ASSERT_EQ(places.size(), 3u);
    EXPECT_TRUE(places[0] == r + "a\\|one.txt" || places[0] == r + "b\\other\\|one.txt")
        << places[0];
    EXPECT_EQ(places[1], r + "b\\|two.txt");
    EXPECT_EQ(places[2], r + "|top.txt");
    // The next search walks every folder afresh.
    search::WalkFolder(tree.Root());
    EXPECT_EQ(g_state.found_count, 6);
}

TEST(Walker, ResultArrayKeepsRowsAcrossSearchesUntilReset) {
    vtest::TempTree tree;
    tree.File("x.txt");
    vtest::ResetSearch("*.txt", false);
    search::WalkFolder(tree.Root());
    search::WalkFolder(tree.Root());
    EXPECT_EQ(g_state.found_count, 2);
    EXPECT_EQ(g_state.results.size(), 2u);
    EXPECT_EQ(g_state.results[0], g_state.results[1]);
    // After a Reset the next row lands at index 0 and the array holds no element beyond it.
    g_state.found_count = 0;
    search::WalkFolder(tree.Root());
    EXPECT_EQ(g_state.found_count, 1);
    EXPECT_EQ(g_state.results.size(), 1u);
}

}  // namespace
