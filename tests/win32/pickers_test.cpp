#include "pickers/file_picker.h"
#include "pickers/folder_picker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "win32/search_window.h"
#include "search/state.h"
#include "tests/host/code_pages.h"
#include "tests/win32/fixtures.h"

#include <dlgs.h>
#include <shellapi.h>

namespace {

using search::g_state;

// ---------------------------------------------------------------------------------------------
// The pure parts.

std::string Blanks(size_t n) {
    return std::string(n, ' ');
}

TEST(FilterBuffer, BarsBecomeNulsAndOneNulEnds) {
    using namespace std::string_literals;
    const struct {
        std::string filter;
        std::string buffer;
    } cases[] = {
        {"Tutti|*.TXT;*.*;*.BAS|Testo *.txt|*.TXT|Bas *.bas|*.bas|Tutti *.*|*.*|",
         "Tutti\0*.TXT;*.*;*.BAS\0Testo *.txt\0*.TXT\0Bas *.bas\0*.bas\0Tutti *.*\0*.*\0\0"s},
        {"", "\0"s},
        {"a|b", "a\0b\0"s},
        {"||", "\0\0\0"s},
        {"Testo|*.txt", "Testo\0*.txt\0"s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pickers::FilterBuffer(c.filter), c.buffer) << c.filter;
    }
}

TEST(FilterBuffer, FilePickerOffersFourEntries) {
    EXPECT_EQ(pickers::FilePickerFilter(),
              "Tutti|*.TXT;*.*;*.BAS|Testo *.txt|*.TXT|Bas *.bas|*.bas|Tutti *.*|*.*|");
    const std::string buffer = pickers::FilterBuffer(pickers::FilePickerFilter());
    ASSERT_GE(buffer.size(), 2u);
    EXPECT_EQ(buffer.substr(buffer.size() - 2), std::string(2, '\0'));
    EXPECT_EQ(std::count(buffer.begin(), buffer.end(), '\0'), 9);
}

TEST(FileBuffer, NameNulThenBlanksToEightKilobytes) {
    using namespace std::string_literals;
    const std::string x8191(8191, 'x');
    const struct {
        const char* label;
        std::string name;
        std::string expected;
    } cases[] = {
        {"empty", "", "\0"s + Blanks(8191)},
        {"abc", "abc", "abc\0"s + Blanks(8188)},
        {"path", "C:\\Dati\\Note.TXT", "C:\\Dati\\Note.TXT\0"s + Blanks(8192 - 17)},
        {"embedded NUL", "ab\0cd"s, "ab\0"s + Blanks(8189)},
        {"leading NUL", "\0abc"s, "\0"s + Blanks(8191)},
        {"NUL as last byte", "abc\0"s, "abc\0"s + Blanks(8188)},
        {"8190 bytes", std::string(8190, 'x'), std::string(8190, 'x') + "\0 "s},
        {"8191 bytes fill it", x8191, x8191 + "\0"s},
        {"8192 bytes are cut", std::string(8192, 'x'), x8191 + "\0"s},
        {"9000 bytes are cut", std::string(9000, 'y'), std::string(8191, 'y') + "\0"s},
        {"NUL in the last byte", x8191 + "\0zz"s, x8191 + "\0"s},
        {"NUL past the end", std::string(8192, 'x') + "\0"s, x8191 + "\0"s},
    };
    for (const auto& c : cases) {
        const std::string buffer = pickers::FileBuffer(c.name);
        EXPECT_EQ(buffer.size(), 8192u) << c.label;
        EXPECT_EQ(buffer, c.expected) << c.label;
    }
}

TEST(ReadBack, BytesBeforeTheFirstNul) {
    using namespace std::string_literals;
    const struct {
        std::string buffer;
        std::string name;
    } cases[] = {
        {"abc\0def\0"s, "abc"},
        {"Z:\\tmp\\Relazione.TXT\0"s + Blanks(8171), "Z:\\tmp\\Relazione.TXT"},
        {"\0"s + Blanks(8191), ""},
        {"abc", ""},
        {Blanks(8192), ""},
        {std::string(8191, 'x') + "\0"s, std::string(8191, 'x')},
        {"\xC0\xFF\0"s, "\xC0\xFF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pickers::ReadBack(c.buffer), c.name) << c.buffer.substr(0, 40);
    }
}

TEST(PickedName, PartAfterLastBackslashWithItsAsciiLettersLowerCased) {
    const struct {
        const char* path;
        const char* after;
        const char* picked;
        unsigned page = 1252;
    } cases[] = {
        {"C:\\Dati\\Note.TXT", "Note.TXT", "note.txt"},
        {"Z:\\tmp\\Relazione.TXT", "Relazione.TXT", "relazione.txt"},
        {"Relazione.TXT", "Relazione.TXT", "relazione.txt"},
        {"C:\\Dati.Vecchi\\LEGGIMI", "LEGGIMI", "leggimi"},
        {"\\\\server\\share\\A.B", "A.B", "a.b"},
        {"C:\\", "", ""},
        {"C:\\Dati\\", "", ""},
        {"", "", ""},
        {"C:/Dati/Note.TXT", "C:/Dati/Note.TXT", "c:/dati/note.txt"},
        // Letters of the ANSI range 0xC0 to 0xFF stay as they are.
        {"C:\\X\\\xC0\xC8\xC9\xCC\xD2\xD9.TXT", "\xC0\xC8\xC9\xCC\xD2\xD9.TXT",
         "\xC0\xC8\xC9\xCC\xD2\xD9.txt"},
        // Bytes that lower-casing by code page 437 would turn into other characters of the ANSI
        // code page (the euro sign 0x80 into a double dagger) stay, so the name still matches.
        {"C:\\\x8E\x80\xA5.BAS", "\x8E\x80\xA5.BAS", "\x8E\x80\xA5.bas"},
        {"Z:\\Prezzi \x80.XLS", "Prezzi \x80.XLS", "prezzi \x80.xls"},
        // Code page 932: a name ending in a second byte 0x5C before the dot (ichiranhyou.xlsx),
        // second bytes that read as capitals (aikon.ICO).
        {"Z:\\\x88\xEA\x97\x97\x95\x5C.XLSX", "\x88\xEA\x97\x97\x95\x5C.XLSX",
         "\x88\xEA\x97\x97\x95\x5C.xlsx", 932},
        {"Z:\\\x83\x41\x83\x43\x83\x52\x83\x93.ICO", "\x83\x41\x83\x43\x83\x52\x83\x93.ICO",
         "\x83\x41\x83\x43\x83\x52\x83\x93.ico", 932},
    };
    for (const auto& c : cases) {
        const testpages::ScopedPage page(c.page);
        EXPECT_EQ(pickers::NameAfterLastBackslash(c.path), c.after) << c.path;
        EXPECT_EQ(pickers::PickedName(c.path), c.picked) << c.path;
    }
}

TEST(PickedName, EveryByteFromC0ToFFUnchanged) {
    std::string name;
    for (int b = 0xC0; b <= 0xFF; ++b) {
        name.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(pickers::PickedName("C:\\Dati\\" + name + "ABC"), name + "abc");
}

TEST(BrowseRequest, DesktopTreeNoTitleOnlyFileSystemFolders) {
    HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    const BROWSEINFOA request = pickers::BrowseRequest(owner);
    EXPECT_EQ(request.hwndOwner, owner);
    EXPECT_EQ(request.pidlRoot, nullptr);
    EXPECT_EQ(request.pszDisplayName, nullptr);
    ASSERT_NE(request.lpszTitle, nullptr);
    EXPECT_STREQ(request.lpszTitle, "");
    EXPECT_EQ(request.ulFlags, 0x3u);
    EXPECT_EQ(request.lpfn, nullptr);
    EXPECT_EQ(request.lParam, 0);
    EXPECT_EQ(request.iImage, 0);
}

TEST(OpenRequest, FieldsFromTheCallersTexts) {
    using namespace std::string_literals;
    HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x5678));
    pickers::OpenRequest request;
    pickers::BuildOpenRequest(owner, "Open File", "prova.txt", "C:\\Dati", "Testo|*.txt|", "TXT",
                              0x201004, request);
    const OPENFILENAMEA& ofn = request.ofn;
    EXPECT_EQ(ofn.lStructSize, sizeof(void*) == 8 ? 136u : 76u);
    EXPECT_EQ(ofn.lStructSize, static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A));
    EXPECT_EQ(ofn.hwndOwner, owner);
    EXPECT_EQ(ofn.hInstance, nullptr);
    EXPECT_EQ(std::string(ofn.lpstrFilter, 13), "Testo\0*.txt\0\0"s);
    EXPECT_EQ(ofn.lpstrCustomFilter, nullptr);
    EXPECT_EQ(ofn.nMaxCustFilter, 0u);
    EXPECT_EQ(ofn.nFilterIndex, 1u);
    ASSERT_NE(ofn.lpstrFile, nullptr);
    EXPECT_EQ(std::string(ofn.lpstrFile, 8192), "prova.txt\0"s + Blanks(8182));
    EXPECT_EQ(ofn.nMaxFile, 8192u);
    ASSERT_NE(ofn.lpstrFileTitle, nullptr);
    EXPECT_EQ(ofn.nMaxFileTitle, 260u);
    EXPECT_STREQ(ofn.lpstrInitialDir, "C:\\Dati");
    EXPECT_STREQ(ofn.lpstrTitle, "Open File");
    EXPECT_EQ(ofn.Flags, 0x201004u);
    EXPECT_EQ(ofn.nFileOffset, 0);
    EXPECT_EQ(ofn.nFileExtension, 0);
    EXPECT_STREQ(ofn.lpstrDefExt, "TXT");
    EXPECT_EQ(ofn.lCustData, 0);
    EXPECT_EQ(ofn.lpfnHook, nullptr);
    EXPECT_EQ(ofn.lpTemplateName, nullptr);
}

TEST(OpenRequest, EmptyTitleAndExtensionAreNullEmptyFolderIsTheCurrentOne) {
    vtest::TempTree tree;
    tree.Dir("Sotto");
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    const struct {
        std::string current;
        std::string initial;
    } cases[] = {
        {tree.Path("Sotto"), tree.Path("Sotto")},
        {tree.Path("Sotto\\"), tree.Path("Sotto")},
        {"Z:\\", "Z:\\"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SetCurrentDirectoryA(c.current.c_str())) << c.current;
        pickers::OpenRequest request;
        pickers::BuildOpenRequest(nullptr, "", "", "", "", "", 0, request);
        EXPECT_STREQ(request.ofn.lpstrInitialDir, c.initial.c_str());
        EXPECT_EQ(request.ofn.lpstrTitle, nullptr);
        EXPECT_EQ(request.ofn.lpstrDefExt, nullptr);
        EXPECT_EQ(request.ofn.hwndOwner, nullptr);
        EXPECT_EQ(std::string(request.ofn.lpstrFilter, 1), std::string(1, '\0'));
    }
    SetCurrentDirectoryA(previous);
}

// ---------------------------------------------------------------------------------------------
// The real dialogs. The test's thread opens one and sits in its modal loop; a second thread finds
// it and works it as a user would. GoogleTest's checks stay on the test's thread: the second one
// only records what it saw.

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    char text[MAX_PATH] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct ThreadDialogs {
    HWND except;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM lparam) {
    auto* dialogs = reinterpret_cast<ThreadDialogs*>(lparam);
    if (window != dialogs->except && IsWindowVisible(window) && ClassOf(window) == "#32770") {
        dialogs->found.push_back(window);
    }
    return TRUE;
}

// The visible dialogs of a thread, apart from one.
std::vector<HWND> DialogsOf(DWORD thread, HWND except = nullptr) {
    ThreadDialogs dialogs = {except, {}};
    EnumThreadWindows(thread, CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs.found;
}

// Polls until probe gives a window, for at most 10 s.
HWND WaitFor(const std::function<HWND()>& probe) {
    for (int waited = 0; waited < 1000; ++waited) {
        if (HWND window = probe()) {
            return window;
        }
        Sleep(10);
    }
    return nullptr;
}

bool WaitUntil(const std::function<bool()>& done) {
    return WaitFor([&]() { return done() ? GetDesktopWindow() : nullptr; }) != nullptr;
}

void Press(HWND dialog, int id) {
    // Posted: the answer may open a message box, whose loop would hold a sent message.
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// What the driver saw of a message box.
struct BoxView {
    std::string caption;
    std::string text;
};

// Waits for a message box owned by owner (other than except), records it and answers OK; an empty
// view when none came.
BoxView AnswerMessageBox(DWORD thread, HWND owner, HWND except) {
    HWND box = WaitFor([&]() -> HWND {
        for (HWND dialog : DialogsOf(thread, except)) {
            if (GetWindow(dialog, GW_OWNER) == owner) {
                return dialog;
            }
        }
        return nullptr;
    });
    if (box == nullptr) {
        return BoxView{};
    }
    const BoxView view = {TextOf(box), TextOf(GetDlgItem(box, 0xFFFF))};
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    WaitUntil([&]() { return !IsWindow(box); });
    return view;
}

// Works the dialogs that the test's thread opens, from a second thread. If the steps leave a
// dialog open, it is cancelled, so that the test's thread always comes back.
class Driver {
  public:
    using Steps = std::function<void(DWORD thread)>;

    explicit Driver(Steps steps) : thread_(GetCurrentThreadId()) {
        worker_ = std::thread([this, steps]() {
            steps(thread_);
            // The steps' last answer gets time to close the dialog before anything is cancelled.
            for (int waited = 0; !returned_; ++waited) {
                if (waited >= 500 && waited % 20 == 0) {
                    for (HWND dialog : DialogsOf(thread_)) {
                        Press(dialog, IDCANCEL);
                    }
                }
                Sleep(10);
            }
        });
    }
    // Call once the dialog's function has returned.
    void Finish() {
        returned_ = true;
        worker_.join();
    }
    ~Driver() {
        if (worker_.joinable()) {
            Finish();
        }
    }

  private:
    DWORD thread_;
    std::atomic<bool> returned_{false};
    std::thread worker_;
};

// COM on the test's thread, as start-up has it; a window standing in for the Search window.
class Pickers : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        GetCurrentDirectoryA(MAX_PATH, previous_dir_);
        owner_ = CreateWindowExA(0, "STATIC", "Vortilo", WS_OVERLAPPED, 0, 0, 200, 100, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(owner_, nullptr);
        win::g_handles.window = owner_;
        g_state = search::State{};
    }
    void TearDown() override {
        win::g_handles = win::Handles{};
        DestroyWindow(owner_);
        SetCurrentDirectoryA(previous_dir_);
        CoUninitialize();
    }

    HWND owner_ = nullptr;
    char previous_dir_[MAX_PATH] = {};
};

// What the driver saw of the open-file dialog.
struct FileDialogView {
    HWND dialog = nullptr;
    HWND owner = nullptr;
    std::string title;
    std::vector<std::string> filter_items;
    int filter_selected = -2;
    bool read_only_visible = true;
    std::string name_box;
    std::vector<std::string> listed;
};

// The dialog's file name box: edt1 in the old look, the edit of cmb13 in the Explorer look.
HWND FileNameEdit(HWND dialog) {
    if (HWND old = GetDlgItem(dialog, edt1)) {
        return old;
    }
    HWND combo = GetDlgItem(dialog, cmb13);
    return reinterpret_cast<HWND>(SendMessageA(combo, CBEM_GETEDITCONTROL, 0, 0));
}

std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[MAX_PATH] = {};
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

BOOL CALLBACK FindListView(HWND window, LPARAM lparam) {
    if (ClassOf(window) == "SysListView32") {
        *reinterpret_cast<HWND*>(lparam) = window;
        return FALSE;
    }
    return TRUE;
}

// The names that the dialog lists: lst1 in the old look, the shell view's list otherwise.
std::vector<std::string> ListedNames(HWND dialog) {
    std::vector<std::string> names;
    if (HWND old = GetDlgItem(dialog, lst1);
        old != nullptr && ClassOf(old) == "ListBox" && IsWindowVisible(old)) {
        const LRESULT count = SendMessageA(old, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[MAX_PATH] = {};
            SendMessageA(old, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            names.push_back(text);
        }
        return names;
    }
    HWND list = nullptr;
    EnumChildWindows(dialog, FindListView, reinterpret_cast<LPARAM>(&list));
    const LRESULT count = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[MAX_PATH] = {};
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&item));
        names.push_back(text);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Waits for the open-file dialog (the one with a filter box) and records what it shows.
FileDialogView SeeFileDialog(DWORD thread, const std::vector<std::string>& expected_listed) {
    FileDialogView view;
    view.dialog = WaitFor([&]() -> HWND {
        for (HWND dialog : DialogsOf(thread)) {
            if (GetDlgItem(dialog, cmb1) != nullptr) {
                return dialog;
            }
        }
        return nullptr;
    });
    if (view.dialog == nullptr) {
        return view;
    }
    // The shell view fills its list as it comes up.
    WaitUntil([&]() { return ListedNames(view.dialog) == expected_listed; });
    view.owner = GetWindow(view.dialog, GW_OWNER);
    view.title = TextOf(view.dialog);
    HWND filter = GetDlgItem(view.dialog, cmb1);
    view.filter_items = ComboItems(filter);
    view.filter_selected = static_cast<int>(SendMessageA(filter, CB_GETCURSEL, 0, 0));
    view.read_only_visible = IsWindowVisible(GetDlgItem(view.dialog, chx1)) != FALSE;
    view.name_box = TextOf(FileNameEdit(view.dialog));
    view.listed = ListedNames(view.dialog);
    return view;
}

void TypeAndOpen(HWND dialog, const std::string& typed) {
    SendMessageA(FileNameEdit(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
    Press(dialog, IDOK);
}

const std::vector<std::string> kFilterCaptions = {"Tutti", "Testo *.txt", "Bas *.bas", "Tutti *.*"};

TEST_F(Pickers, FilePickerReturnsTheChosenNameLowerCased) {
    vtest::TempTree tree;
    tree.File("Relazione.TXT");
    tree.File("\xC0rchivio.Bas");
    tree.File("LEGGIMI");
    tree.Dir("Sotto");
    tree.File("Sotto\\Nota.Txt");
    tree.File("Sotto\\Prezzi \x80.XLS");
    // A folder whose name the code page cannot hold: its ANSI path names no folder.
    const std::wstring greek = L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac";
    ASSERT_TRUE(CreateDirectoryW((tree.WideRoot() + greek).c_str(), nullptr));
    // Entry 1 holds *.*: the current folder is listed at first (Wine's *.* leaves out names
    // without a dot, such as LEGGIMI).
    const std::vector<std::string> listed = {"????????", "Relazione.TXT", "Sotto",
                                             "\xC0rchivio.Bas"};
    const std::vector<std::string> in_sotto = {"Nota.Txt", "Prezzi \x80.XLS"};
    const struct {
        std::wstring current;  // the process's current folder, below the root
        const char* into;      // a folder the dialog browses into first, or nullptr
        const char* typed;
        const char* picked;
    } cases[] = {
        {L"", nullptr, "Relazione.TXT", "relazione.txt"},
        {L"", nullptr, "\xC0rchivio.Bas", "\xC0rchivio.bas"},
        {L"", nullptr, "LEGGIMI", "leggimi"},
        {L"", nullptr, "Sotto\\Nota.Txt", "nota.txt"},
        {L"", "Sotto", "Prezzi \x80.XLS", "prezzi \x80.xls"},
        // The dialog cannot start in a folder that its ANSI path does not name: Wine starts it
        // in the folder of the file picked last, Sotto.
        {greek, nullptr, "Nota.Txt", "nota.txt"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SetCurrentDirectoryW((tree.WideRoot() + c.current).c_str()));
        FileDialogView view;
        Driver driver([&](DWORD thread) {
            view = SeeFileDialog(thread, c.current.empty() ? listed : in_sotto);
            if (view.dialog == nullptr) {
                return;
            }
            if (c.into != nullptr) {
                // Browsing makes the folder the process's current one while the dialog runs.
                TypeAndOpen(view.dialog, c.into);
                WaitUntil([&]() { return ListedNames(view.dialog) == in_sotto; });
            }
            TypeAndOpen(view.dialog, c.typed);
        });
        std::string picked;
        const pickers::FilePick pick = pickers::FilePicker(picked);
        driver.Finish();
        ASSERT_NE(view.dialog, nullptr) << c.typed;
        EXPECT_EQ(pick, pickers::FilePick::kChosen) << c.typed;
        EXPECT_EQ(picked, c.picked) << c.typed;
        EXPECT_EQ(view.title, "Open File");
        EXPECT_EQ(view.owner, owner_);
        EXPECT_EQ(view.filter_items, kFilterCaptions);
        EXPECT_EQ(view.filter_selected, 0);
        EXPECT_FALSE(view.read_only_visible);
        EXPECT_EQ(view.name_box, "");
        EXPECT_EQ(view.listed, c.current.empty() ? listed : in_sotto);
        // A file from another folder leaves the current folder where it was: a relative start
        // folder means what it meant before the dialog.
        EXPECT_EQ(win::CurrentWideDirectory() + L"\\",
                  tree.WideRoot() + c.current + (c.current.empty() ? L"" : L"\\"))
            << c.typed;
    }
    EXPECT_EQ(g_state.start_folder, "");
}

TEST_F(Pickers, FilePickerCancelOrRefusalLeavesTheNameAlone) {
    vtest::TempTree tree;
    tree.File("Relazione.TXT");
    // A real UTF-8 name, which the ANSI calls spell ??.txt.
    const std::wstring smiley = L"\U0001F600.txt";
    tree.File(smiley);
    // A Latin A with macron, which the ANSI calls spell A.txt: the name of another file or none.
    const std::wstring look_alike = L"\u0100.txt";
    tree.File(look_alike);
    ASSERT_TRUE(SetCurrentDirectoryA(tree.Root().c_str()));
    const struct {
        const char* label;
        std::wstring typed;
        int button;
        pickers::FilePick pick;
        std::string message;  // "" for none
    } cases[] = {
        // A name typed and then abandoned.
        {"cancel", L"Relazione.TXT", IDCANCEL, pickers::FilePick::kCancelled, ""},
        {"a name the code page cannot hold", smiley, IDOK, pickers::FilePick::kRefused,
         pickers::kFileNameLostText},
        {"a look-alike", look_alike, IDOK, pickers::FilePick::kRefused, pickers::kFileNameLostText},
    };
    for (const auto& c : cases) {
        FileDialogView view;
        BoxView box;
        Driver driver([&](DWORD thread) {
            view = SeeFileDialog(thread, {"??.txt", "A.txt", "Relazione.TXT"});
            if (view.dialog == nullptr) {
                return;
            }
            SendMessageW(FileNameEdit(view.dialog), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(c.typed.c_str()));
            Press(view.dialog, c.button);
            if (!c.message.empty()) {
                box = AnswerMessageBox(thread, owner_, view.dialog);
            }
        });
        std::string name = "prima";
        const pickers::FilePick pick = pickers::FilePicker(name);
        driver.Finish();
        ASSERT_NE(view.dialog, nullptr) << c.label;
        EXPECT_EQ(pick, c.pick) << c.label;
        EXPECT_EQ(name, "prima") << c.label;
        EXPECT_EQ(box.text, c.message) << c.label;
        EXPECT_EQ(box.caption, c.message.empty() ? "" : "Vortilo") << c.label;
    }
}

TEST_F(Pickers, FilePickerRefusesAFileThatDoesNotExist) {
    vtest::TempTree tree;
    tree.File("Relazione.TXT");
    ASSERT_TRUE(SetCurrentDirectoryA(tree.Root().c_str()));
    FileDialogView view;
    BoxView box;
    bool still_open_after_box = false;
    Driver driver([&](DWORD thread) {
        view = SeeFileDialog(thread, {"Relazione.TXT"});
        if (view.dialog == nullptr) {
            return;
        }
        TypeAndOpen(view.dialog, "Manca.txt");
        box = AnswerMessageBox(thread, view.dialog, view.dialog);
        if (box.text.empty()) {
            return;
        }
        still_open_after_box = IsWindowVisible(view.dialog) != FALSE;
        TypeAndOpen(view.dialog, "Relazione.TXT");
    });
    std::string picked;
    const pickers::FilePick pick = pickers::FilePicker(picked);
    driver.Finish();
    ASSERT_NE(view.dialog, nullptr);
    EXPECT_NE(box.text, "");
    EXPECT_TRUE(still_open_after_box);
    EXPECT_EQ(pick, pickers::FilePick::kChosen);
    EXPECT_EQ(picked, "relazione.txt");
}

TEST_F(Pickers, OpenFileDialogHandsBackPathAndFlags) {
    vtest::TempTree tree;
    tree.Dir("Dati");
    tree.File("Dati\\Note.TXT");
    tree.File("Dati\\Lettera.txt");
    tree.File("Fuori.txt");
    ASSERT_TRUE(SetCurrentDirectoryA(tree.Root().c_str()));
    const DWORD kPicker = pickers::kFilePickerFlags;
    const DWORD kNoMustExist = OFN_HIDEREADONLY | OFN_LONGNAMES;
    const struct {
        const char* label;
        const char* title;
        const char* filter;
        const char* typed;  // nullptr: Cancel
        DWORD flags_in;
        bool chosen;
        std::string name_out;
        DWORD flags_out;
    } cases[] = {
        // The dialog adds OFN_PATHMUSTEXIST, which OFN_FILEMUSTEXIST implies.
        {"open", "Open File", "Testo|*.txt|", "Note.TXT", kPicker, true,
         tree.Path("Dati\\Note.TXT"), kPicker | OFN_PATHMUSTEXIST},
        {"cancel", "Open File", "Testo|*.txt|", nullptr, kPicker, false, "prova.txt",
         kPicker | OFN_PATHMUSTEXIST},
        // No title: the platform's own caption.
        {"no title", "", "Testo|*.txt|", nullptr, kPicker, false, "prova.txt",
         kPicker | OFN_PATHMUSTEXIST},
        // A name without extension gets the default one where the filter offers none (Wine
        // checks OFN_FILEMUSTEXIST before it adds one, hence the flags).
        {"default extension", "Open File", "Tutti|*.*|", "Note", kNoMustExist, true,
         tree.Path("Dati\\Note.TXT"), kNoMustExist},
    };
    for (const auto& c : cases) {
        std::string name = "prova.txt";
        DWORD flags = c.flags_in;
        FileDialogView view;
        Driver driver([&](DWORD thread) {
            view = SeeFileDialog(thread, {"Lettera.txt", "Note.TXT"});
            if (view.dialog == nullptr) {
                return;
            }
            if (c.typed != nullptr) {
                TypeAndOpen(view.dialog, c.typed);
            } else {
                Press(view.dialog, IDCANCEL);
            }
        });
        const int result = pickers::OpenFileDialog(owner_, c.title, name, tree.Path("Dati"),
                                                   c.filter, "TXT", flags);
        driver.Finish();
        ASSERT_NE(view.dialog, nullptr) << c.label;
        EXPECT_EQ(result != 0, c.chosen) << c.label;
        EXPECT_EQ(name, c.name_out) << c.label;
        EXPECT_EQ(flags, c.flags_out) << c.label;
        if (*c.title != '\0') {
            EXPECT_EQ(view.title, c.title) << c.label;
        } else {
            EXPECT_NE(view.title, "") << c.label;
        }
        // The given folder, not the current one; the caller's name in the box.
        const std::vector<std::string> listed = {"Lettera.txt", "Note.TXT"};
        EXPECT_EQ(view.listed, listed) << c.label;
        EXPECT_EQ(view.name_box, "prova.txt") << c.label;
        EXPECT_EQ(view.filter_items.size(), 1u) << c.label;
        EXPECT_EQ(view.filter_items.at(0) + "|", std::string(c.filter).substr(0, 6)) << c.label;
    }
}

// What the driver saw of the folder browser.
struct FolderDialogView {
    HWND dialog = nullptr;
    HWND owner = nullptr;
    std::string root_item;
    std::string selected_item;
    LRESULT select_answer = -1;
    int attempts = 0;
    bool ok_enabled = false;
};

std::ostream& operator<<(std::ostream& out, const FolderDialogView& view) {
    return out << "answer " << view.select_answer << " after " << view.attempts << " attempts";
}

std::string TreeItemText(HWND tree, HTREEITEM item) {
    char text[MAX_PATH] = {};
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    if (item == nullptr || !SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) {
        return "";
    }
    return text;
}

BOOL CALLBACK FindTreeView(HWND window, LPARAM lparam) {
    if (ClassOf(window) == "SysTreeView32") {
        *reinterpret_cast<HWND*>(lparam) = window;
        return FALSE;
    }
    return TRUE;
}

HWND FolderTree(HWND dialog) {
    HWND tree = nullptr;
    EnumChildWindows(dialog, FindTreeView, reinterpret_cast<LPARAM>(&tree));
    return tree;
}

std::string SelectedItem(HWND dialog) {
    HWND tree = FolderTree(dialog);
    return TreeItemText(tree, TreeView_GetSelection(tree));
}

// Waits for the folder browser of the thread and records it.
FolderDialogView SeeFolderDialog(DWORD thread) {
    FolderDialogView view;
    view.dialog = WaitFor([&]() -> HWND {
        for (HWND dialog : DialogsOf(thread)) {
            if (FolderTree(dialog) != nullptr) {
                return dialog;
            }
        }
        return nullptr;
    });
    if (view.dialog == nullptr) {
        return view;
    }
    // The dialog fills its tree as it comes up. (It selects a first item only when the tree gets
    // the focus, which a window of this bare X display does not always get.)
    WaitUntil([&]() {
        HWND tree = FolderTree(view.dialog);
        return TreeView_GetChild(tree, TreeView_GetRoot(tree)) != nullptr;
    });
    view.owner = GetWindow(view.dialog, GW_OWNER);
    HWND tree = FolderTree(view.dialog);
    view.root_item = TreeItemText(tree, TreeView_GetRoot(tree));
    return view;
}

// The selection that BFFM_SETSELECTION makes, then what the dialog shows for it.
void Select(FolderDialogView& view, WPARAM is_path, LPARAM what, const std::string& item_text) {
    for (int attempt = 0; attempt < 10 && view.selected_item != item_text; ++attempt) {
        // Wide, so that a path the code page cannot hold arrives whole.
        view.select_answer = SendMessageW(view.dialog, BFFM_SETSELECTIONW, is_path, what);
        for (int waited = 0; waited < 100 && SelectedItem(view.dialog) != item_text; ++waited) {
            Sleep(10);
        }
        view.selected_item = SelectedItem(view.dialog);
        view.attempts = attempt + 1;
    }
    view.ok_enabled = IsWindowEnabled(GetDlgItem(view.dialog, IDOK)) != FALSE;
}

// The name under which the shell shows a folder.
std::string DisplayName(const std::string& path) {
    SHFILEINFOA info = {};
    SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME);
    return info.szDisplayName;
}

std::string DisplayName(int folder) {
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, folder, &list))) {
        return "?";
    }
    SHFILEINFOA info = {};
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(list), 0, &info, sizeof info,
                   SHGFI_PIDL | SHGFI_DISPLAYNAME);
    CoTaskMemFree(list);
    return info.szDisplayName;
}

TEST_F(Pickers, FolderPickerCancelKeepsTheStartFolder) {
    g_state.start_folder = "Q:\\Prima\\";
    FolderDialogView view;
    Driver driver([&](DWORD thread) {
        view = SeeFolderDialog(thread);
        if (view.dialog != nullptr) {
            Press(view.dialog, IDCANCEL);
        }
    });
    const std::string chosen = pickers::StartFolderPicker(owner_);
    driver.Finish();
    ASSERT_NE(view.dialog, nullptr);
    EXPECT_EQ(chosen, "");
    EXPECT_EQ(g_state.start_folder, "Q:\\Prima\\");
    EXPECT_EQ(view.owner, owner_);
    // No root given: the tree starts at the desktop.
    EXPECT_EQ(view.root_item, DisplayName(CSIDL_DESKTOP));
}

// Folders on drive C: (the prefix's own), made for one test with the wide calls, so that a name
// may hold characters of no code page. The browser stops filling a folder's branch at the first
// entry that vanishes while it lists it, which Z:\\tmp's busy neighbours make happen; nothing
// else changes C:\\ while the tests run.
class QuietTree {
  public:
    explicit QuietTree(const std::vector<std::wstring>& folders)
        : root_(L"C:\\vortilo-pickers-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount())),
          folders_(folders) {
        EXPECT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
        for (const std::wstring& folder : folders_) {
            EXPECT_TRUE(CreateDirectoryW(Path(folder).c_str(), nullptr));
        }
    }
    ~QuietTree() {
        for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) {
            RemoveDirectoryW(Path(*it).c_str());
        }
        RemoveDirectoryW(root_.c_str());
    }
    QuietTree(const QuietTree&) = delete;
    QuietTree& operator=(const QuietTree&) = delete;

    std::wstring Path(const std::wstring& relative) const { return root_ + L"\\" + relative; }

  private:
    std::wstring root_;
    std::vector<std::wstring> folders_;
};

// A path of ASCII characters only, as the ANSI calls take it.
std::string Ascii(const std::wstring& wide) {
    return std::string(wide.begin(), wide.end());
}

TEST_F(Pickers, FolderPickerStoresThePathAsThePlatformGivesIt) {
    const QuietTree tree({L"Dati", L"Dati\\Lavoro", L"\u6570\u636E", L"\u03A9mega"});
    const std::wstring lavoro = tree.Path(L"Dati\\Lavoro");
    const struct {
        std::wstring selected;
        std::string item_text;
        std::string chosen;
        std::string message;  // "" for none
    } cases[] = {
        // A folder comes back without a trailing backslash, a drive root with its own one.
        {lavoro, "Lavoro", Ascii(lavoro), ""},
        {L"C:\\", DisplayName("C:\\"), "C:\\", ""},
        {lavoro + L"\\", "Lavoro", Ascii(lavoro), ""},
        // The ANSI calls spell these ?? and Omega, which name nothing.
        {tree.Path(L"\u6570\u636E"), "??", "", pickers::kFolderNameLostText},
        {tree.Path(L"\u03A9mega"), "Omega", "", pickers::kFolderNameLostText},
    };
    for (const auto& c : cases) {
        g_state.start_folder = "Q:\\Prima\\";
        FolderDialogView view;
        BoxView box;
        Driver driver([&](DWORD thread) {
            view = SeeFolderDialog(thread);
            if (view.dialog == nullptr) {
                return;
            }
            Select(view, TRUE, reinterpret_cast<LPARAM>(c.selected.c_str()), c.item_text);
            Press(view.dialog, IDOK);
            if (!c.message.empty()) {
                box = AnswerMessageBox(thread, owner_, view.dialog);
            }
        });
        const std::string chosen = pickers::StartFolderPicker(owner_);
        driver.Finish();
        const std::string label = Ascii(c.selected);
        ASSERT_NE(view.dialog, nullptr) << label;
        EXPECT_EQ(view.selected_item, c.item_text) << label << "; " << view;
        EXPECT_TRUE(view.ok_enabled) << label;
        EXPECT_EQ(chosen, c.chosen) << label;
        // Each pick replaces the Start folder; a refused one leaves it.
        EXPECT_EQ(g_state.start_folder, c.chosen.empty() ? "Q:\\Prima\\" : c.chosen) << label;
        EXPECT_EQ(box.text, c.message) << label;
        EXPECT_EQ(box.caption, c.message.empty() ? "" : "Vortilo") << label;
    }
}

TEST_F(Pickers, FolderPickerIgnoresAnItemWithoutAPath) {
    g_state.start_folder = "Q:\\Prima\\";
    LPITEMIDLIST computer = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer)));
    const std::string computer_name = DisplayName(CSIDL_DRIVES);
    FolderDialogView view;
    Driver driver([&](DWORD thread) {
        view = SeeFolderDialog(thread);
        if (view.dialog == nullptr) {
            return;
        }
        Select(view, FALSE, reinterpret_cast<LPARAM>(computer), computer_name);
        // The OK button is greyed for it; the command is sent to the dialog all the same.
        Press(view.dialog, IDOK);
    });
    const std::string chosen = pickers::StartFolderPicker(owner_);
    driver.Finish();
    CoTaskMemFree(computer);
    ASSERT_NE(view.dialog, nullptr);
    EXPECT_EQ(view.selected_item, computer_name);
    EXPECT_FALSE(view.ok_enabled);
    EXPECT_EQ(chosen, "");
    EXPECT_EQ(g_state.start_folder, "Q:\\Prima\\");
}

}  // namespace
