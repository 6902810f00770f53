#include "search/walker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "search/result_row.h"
#include "search/state.h"
#include "tests/win32/fixtures.h"
#include "win32/search_window.h"
#include "win32/wide_path.h"

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
    // The date's key beside it: the same local time to the minute.
    const std::string date = "\t08/12/2026  14:05\t0202612081405";
    const std::vector<std::string> expected = {
        ".profile\tPROFILE\t" + dir + "\t        7" + date,
        "a b&c.txt\tTXT\t" + dir + "\t  1,234,567" + date + "\ta b&c.Txt",
        "archivio.tar.gz\tTAR.GZ\t" + dir + "\t        0" + date,
        "foto.jpg\tJPG\t" + dir + "\t     1,234" + date + "\tFoto.JPG",
        "leggimi\t\t" + dir + "\t      999" + date + "\tLEGGIMI",
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

// The files under root in the order a walk meets them, as relative real paths: each folder's
// own files in the order the file system lists them, then each visible subfolder's, links left
// out. Listed by the wide calls in the long form, whatever the names and lengths.
void WideListing(const std::wstring& root,
                 const std::wstring& relative,
                 std::vector<std::wstring>* files) {
    const std::wstring mask = L"\\\\?\\" + root + relative + L"*";
    for (bool folders : {false, true}) {
        WIN32_FIND_DATAW entry;
        win::FindHandle find(FindFirstFileW(mask.c_str(), &entry));
        ASSERT_TRUE(find.Valid()) << relative.size();
        do {
            const std::wstring name = entry.cFileName;
            const DWORD attributes = entry.dwFileAttributes;
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                if (!folders) {
                    files->push_back(relative + name);
                }
            } else if (folders && name != L"." && name != L".." &&
                       !(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_REPARSE_POINT))) {
                WideListing(root, relative + name + L"\\", files);
            }
        } while (FindNextFileW(find.Get(), &entry));
    }
}

// The relative real path of each row's file, in row order: the one kept beside the row, or the
// one its texts name.
std::vector<std::wstring> RowFiles(const std::wstring& root) {
    std::vector<std::wstring> files;
    for (const std::string& row : Rows()) {
        size_t index = 0;
        std::wstring path =
            search::NumberField(row, search::kRealPath, &index)
                ? g_state.real_paths.at(index)
                : win::Widen(search::RowField(row, search::kDirectory) + search::FileName(row));
        files.push_back(path.compare(0, root.size(), root) == 0 ? path.substr(root.size())
                                                                : L"outside: " + path);
    }
    return files;
}

TEST(Walker, EveryFileOnceByItsRealNameWithTheTextsAnAnsiProgramIsShown) {
    vtest::TempTree tree;
    const std::wstring root = tree.WideRoot();
    // Chains of folders whose paths pass 260 and 1,000 characters.
    const std::wstring step = L"abcdefghijklmnopqrstuvwxyz0123456789\\";
    std::wstring chain260 = L"c260\\", chain1000 = L"c1000\\";
    while (root.size() + chain260.size() < 270) {
        chain260 += step;
    }
    while (root.size() + chain1000.size() < 1010) {
        chain1000 += step;
    }
    // A file whose path has 259 characters, the most the shell takes, beside one of 260.
    const std::wstring edge(259 - root.size() - 5, L'e');
    const struct {
        std::wstring file;      // relative to the root
        std::string directory;  // the Directory cell, relative to the root
        std::string name;       // the Name cell
        bool real_kept;         // the row keeps the real path beside it
    } cases[] = {
        // No character of the code page: "?" for each, so the text names no file.
        {L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac.txt", "", "????????.txt", true},
        // An emoji is two UTF-16 units, two "?".
        {L"\U0001F600.txt", "", "??.txt", true},
        // A folder shown as "??": its mask held wildcards and its whole subtree went missing.
        {L"\u6570\u636e\\in.txt", "??\\", "in.txt", true},
        // Best-fit twins: both listed, each once; only the look-alike's row needs its real name.
        {L"A.bat", "", "a.bat", false},
        {L"\u0100.bat", "", "a.bat", true},
        {L"Omega\\o.txt", "Omega\\", "o.txt", false},
        {L"\u03a9mega\\w.txt", "Omega\\", "w.txt", true},
        // A division slash shows as "/", and "a/b.txt" names a\b.txt.
        {L"a\u2215b.txt", "", "a/b.txt", true},
        // A folder shown as "x/..": its text leads back to the parent, which was walked again.
        {L"x\u2215..\\f.txt", "x/..\\", "f.txt", true},
        {L"x\u2215..\\deeper\\g.txt", "x/..\\deeper\\", "g.txt", true},
        // A trailing dot that the path rules drop: "sub." was walked as "sub", twice.
        {L"sub\\s.txt", "sub\\", "s.txt", false},
        {L"sub.\\t.txt", "sub.\\", "t.txt", true},
        // In the code page (0x8C): the row alone, as ever.
        {L"\u0152uvre.txt", "",
         "\x8C"
         "uvre.txt",
         false},
        {L"edge\\" + edge, "edge\\", std::string(edge.begin(), edge.end()), false},
        {L"edge\\" + edge + L"e", "edge\\", std::string(edge.size() + 1, 'e'), true},
        {chain260 + L"in.txt", std::string(chain260.begin(), chain260.end()), "in.txt", true},
        {chain1000 + L"in.txt", std::string(chain1000.begin(), chain1000.end()), "in.txt", true},
    };
    for (const auto& c : cases) {
        tree.File(c.file);
    }
    // A link loop through the "??" folder: walked once all the same.
    tree.Link(L"\u6570\u636e\\loop", L"\u6570\u636e");

    vtest::ResetSearch("*", true);
    search::WalkFolder(tree.Root());
    std::vector<std::wstring> listed;
    WideListing(root, L"", &listed);
    const std::vector<std::wstring> files = RowFiles(root);
    ASSERT_EQ(files, listed);
    ASSERT_EQ(files.size(), std::size(cases));
    for (const auto& c : cases) {
        const size_t at = std::find(files.begin(), files.end(), c.file) - files.begin();
        ASSERT_LT(at, files.size()) << c.name;
        const std::string& row = g_state.results[at];
        EXPECT_EQ(search::RowField(row, search::kName), c.name) << c.name;
        EXPECT_EQ(search::RowField(row, search::kDirectory), tree.Root() + c.directory) << c.name;
        size_t index = 0;
        EXPECT_EQ(search::NumberField(row, search::kRealPath, &index), c.real_kept) << c.name;
    }
}

TEST(Walker, StartFolderTextIsResolvedAsTheAnsiCallsWould) {
    vtest::TempTree tree;
    tree.File(L"sub\\a.txt");
    tree.File(L"sub\\\u03a9.txt");
    std::string slashes = tree.Root();
    std::replace(slashes.begin(), slashes.end(), '\\', '/');
    char before[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryA(tree.Path("sub").c_str()));
    // Rows show the text as typed; the real path kept beside a row is the absolute one.
    for (const std::string& typed :
         {std::string(".\\"), slashes.substr(0, slashes.size() - 1) + "\\sub\\"}) {
        vtest::ResetSearch("*", false);
        search::WalkFolder(typed);
        std::vector<std::string> places = Sorted(Places());
        EXPECT_EQ(places, Sorted({typed + "|a.txt", typed + "|o.txt"})) << typed;
        EXPECT_EQ(g_state.real_paths,
                  std::vector<std::wstring>{tree.WideRoot() + L"sub\\\u03a9.txt"})
            << typed;
    }
    SetCurrentDirectoryA(before);
}

TEST(Walker, FirstLinkAfterFiveThousandFoldersIsNotFollowed) {
    vtest::TempTree tree;
    vtest::Shell("cd " + vtest::UnixPath(tree.Root()) +
                 " && for a in $(seq 10 59); do mkdir d$a && (cd d$a && mkdir $(seq -f e%g 10 "
                 "109)); done");
    // The link goes where the walk comes last, after every other folder.
    auto last_folder = [](const std::string& folder) {
        std::string last;
        WIN32_FIND_DATAA entry;
        win::FindHandle find(FindFirstFileA((folder + "*").c_str(), &entry));
        do {
            if (entry.cFileName[0] != '.') {
                last = entry.cFileName;
            }
        } while (find.Valid() && FindNextFileA(find.Get(), &entry));
        return last + "\\";
    };
    const std::string outer = last_folder(tree.Root());
    const std::string inner = outer + last_folder(tree.Path(outer));
    tree.Link(inner + "loop", "");

    // How long the window goes without a Pump step meanwhile is a figure of walk_bench.
    vtest::FakeWindow window;
    vtest::ResetSearch("*", true);
    search::WalkFolder(tree.Root());
    ASSERT_EQ(window.status.size(), 5051u);
    EXPECT_EQ(window.status.back(), "Ricerca: " + tree.Path(inner));
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
