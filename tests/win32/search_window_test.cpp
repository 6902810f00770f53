// A whole search run in process on the real Search window: what the Start button locks while
// the walk runs, what the end block gives back, and the rows it finds.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "app/controls.h"
#include "win32/search_window.h"
#include "app/dialog.h"
#include "app/events.h"
#include "app/modal.h"
#include "app/process.h"
#include "app/row_actions.h"
#include "app/shell_menu.h"
#include "app/window.h"
#include "search/result_row.h"
#include "search/start.h"
#include "results/sort.h"
#include "search/state.h"
#include "tests/win32/fixtures.h"
#include "win32/taskbar.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace {

// While armed, every allocation of at least this many bytes fails, as when memory runs out, or
// (g_refuse_as_fault) throws a Fault, as any other error would.
size_t g_refuse_from = 0;
bool g_refuse_as_fault = false;

struct Fault {};

}  // namespace

void* operator new(size_t size) {
    if (g_refuse_from != 0 && size >= g_refuse_from) {
        if (g_refuse_as_fault) {
            throw Fault();
        }
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

// The pair of the operator new above; GCC takes the free() for a mismatch with new.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, size_t) noexcept {
    std::free(block);
}
#pragma GCC diagnostic pop

namespace {

using search::g_state;

// What the window looked like when the walk first showed a folder.
struct Snapshot {
    bool taken = false;
    std::string caption;
    std::string count;
    std::vector<int> disabled;
    bool close_greyed = false;
    int busy = 0;
    int64_t total_bytes = -1;
    int fine_timers = -1;
    std::vector<int> progress;
};

// Stands in for the system's taskbar object, registered as its class: records each progress
// state given to a button, as the state, or -1 when given to a window other than the Search
// window.
class TaskbarRecorder final : public ITaskbarList3, public IClassFactory {
  public:
    std::vector<int> states;
    LONG references = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
        } else if (IsEqualIID(iid, IID_ITaskbarList) || IsEqualIID(iid, IID_ITaskbarList2) ||
                   IsEqualIID(iid, IID_ITaskbarList3)) {
            *object = static_cast<ITaskbarList3*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** object) override {
        return QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetProgressState(HWND window, TBPFLAG state) override {
        states.push_back(window == win::g_handles.window ? static_cast<int>(state) : -1);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HrInit() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE AddTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ActivateTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE MarkFullscreenWindow(HWND, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetProgressValue(HWND, ULONGLONG, ULONGLONG) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE RegisterTab(HWND, HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnregisterTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTabOrder(HWND, HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTabActive(HWND, HWND, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ThumbBarAddButtons(HWND, UINT, LPTHUMBBUTTON) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ThumbBarSetImageList(HWND, HIMAGELIST) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOverlayIcon(HWND, HICON, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetThumbnailTooltip(HWND, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetThumbnailClip(HWND, RECT*) override { return E_NOTIMPL; }
};

TaskbarRecorder g_taskbar;

Snapshot g_snapshot;
WNDPROC g_status_proc = nullptr;
// Run once the snapshot is taken, while the walk runs.
void (*g_during_walk)(HWND window) = nullptr;

const int kAllControls[] = {
    app::kQuitButton,  app::kStatusLabel,  app::kCountLabel,     app::kFolderBrowseButton,
    app::kStartButton, app::kHelpButton,   app::kResetButton,    app::kPatternBrowseButton,
    app::kResultList,  app::kPatternBox,   app::kStartFolderBox, app::kSubfoldersBox,
    app::kWindowsBox,  app::kDocumentsBox, app::kProgrammiBox,
};

std::vector<int> DisabledControls(HWND window) {
    std::vector<int> ids;
    for (int id : kAllControls) {
        if (!IsWindowEnabled(GetDlgItem(window, id))) {
            ids.push_back(id);
        }
    }
    return ids;
}

bool CloseGreyed(HWND window) {
    const UINT state = GetMenuState(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_GRAYED) != 0;
}

LRESULT CALLBACK StatusProbe(HWND label, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_SETTEXT && !g_snapshot.taken &&
        std::string(reinterpret_cast<const char*>(lparam)).rfind("Ricerca: ", 0) == 0) {
        HWND window = GetParent(label);
        g_snapshot.taken = true;
        g_snapshot.caption = win::GetText(window, app::kStartButton);
        g_snapshot.count = win::GetText(window, app::kCountLabel);
        g_snapshot.disabled = DisabledControls(window);
        g_snapshot.close_greyed = CloseGreyed(window);
        g_snapshot.busy = g_state.busy;
        g_snapshot.total_bytes = g_state.total_bytes;
        g_snapshot.fine_timers = win::FineTimer::Raised();
        g_snapshot.progress = g_taskbar.states;
        if (g_during_walk != nullptr) {
            g_during_walk(window);
        }
    }
    return CallWindowProcA(g_status_proc, label, msg, wparam, lparam);
}

class SearchWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        // COM, as the program has it: the taskbar object, shortcuts, the accessible names.
        CoInitialize(nullptr);
        g_state = search::State{};
        app::g_command_text = "";
        window_ = app::BuildSearchWindow();
        ASSERT_NE(window_, nullptr);
        g_snapshot = Snapshot{};
        g_status_proc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(GetDlgItem(window_, app::kStatusLabel), GWLP_WNDPROC,
                              reinterpret_cast<LONG_PTR>(StatusProbe)));
    }
    void TearDown() override {
        DestroyWindow(window_);
        win::g_handles = win::Handles{};
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        CoUninitialize();
    }
    void Search(const std::string& folder, const std::string& pattern) {
        win::SetText(window_, app::kStartFolderBox, folder);
        win::SetText(window_, app::kPatternBox, pattern);
        g_snapshot = Snapshot{};
        search::StartOrCancel();
    }
    std::vector<std::string> Rows() const {
        return std::vector<std::string>(g_state.results.begin(),
                                        g_state.results.begin() + g_state.found_count);
    }
    HWND window_ = nullptr;
};

TEST_F(SearchWindow, LocksSixControlsAndTheCloseCommandWhileItWalks) {
    vtest::TempTree tree;
    tree.File("a.txt", 10);
    Search(tree.Root(), "*.txt");
    ASSERT_TRUE(g_snapshot.taken);
    EXPECT_EQ(g_snapshot.caption, "&Cancel");
    EXPECT_EQ(g_snapshot.count, " 0 files trovati");
    EXPECT_EQ(g_snapshot.disabled,
              (std::vector<int>{app::kQuitButton, app::kFolderBrowseButton, app::kHelpButton,
                                app::kPatternBox, app::kStartFolderBox, app::kSubfoldersBox}));
    EXPECT_TRUE(g_snapshot.close_greyed);
    EXPECT_EQ(g_snapshot.busy, 1);
    EXPECT_EQ(g_snapshot.total_bytes, 0);

    // The end block gives everything back.
    EXPECT_EQ(win::GetText(window_, app::kStartButton), "&Cerca");
    EXPECT_TRUE(DisabledControls(window_).empty());
    EXPECT_FALSE(CloseGreyed(window_));
    EXPECT_EQ(g_state.busy, 0);
    EXPECT_EQ(win::GetText(window_, app::kCountLabel), "1 files trovati");
    EXPECT_EQ(SendMessageA(win::g_handles.list, LVM_GETITEMCOUNT, 0, 0), 1);
}

TEST_F(SearchWindow, SummaryLine) {
    vtest::TempTree tree;
    tree.File("a.txt", 1000);
    tree.File("b.txt", 3096);
    tree.File("c.dat", 5);
    Search(tree.Root(), "*.txt");
    const std::string status = win::GetText(window_, app::kStatusLabel);
    const std::regex shape(
        "Trovati:  2 \\*\\.txt  per un totale di 4,096 bytes\\. \\(in [0-9]+\\.[0-9]{3} sec\\.\\)");
    EXPECT_TRUE(std::regex_match(status, shape)) << status;

    // No file found: the count starts with its blank and the total reads 0.
    Search(tree.Root(), "*.none");
    const std::regex none(
        "Trovati:  2 \\*\\.none  per un totale di 0 bytes\\. \\(in [0-9]+\\.[0-9]{3} sec\\.\\)");
    EXPECT_TRUE(std::regex_match(win::GetText(window_, app::kStatusLabel), none))
        << win::GetText(window_, app::kStatusLabel);
}

TEST_F(SearchWindow, SecondSearchAppendsAndCountsOnFromTheCarriedRows) {
    vtest::TempTree tree;
    tree.File("a.txt", 7);
    Search(tree.Root(), "*.txt");
    Search(tree.Root(), "*.txt");
    EXPECT_EQ(g_snapshot.count, " 1 files trovati");
    EXPECT_EQ(g_state.found_count, 2);
    EXPECT_EQ(g_state.results.size(), 2u);
    EXPECT_EQ(g_state.total_bytes, 7);
    EXPECT_EQ(win::GetText(window_, app::kCountLabel), "2 files trovati");
    EXPECT_EQ(win::GetText(window_, app::kStatusLabel)
                  .rfind("Trovati:  2 *.txt  per un totale di 7 bytes.", 0),
              0u);
}

TEST_F(SearchWindow, TrailingSeparatorsOfTheStartFolderGiveTheSameRows) {
    vtest::TempTree tree;
    tree.Dir("Dati");
    tree.File("Dati\\uno.txt");
    tree.Dir("Dati\\sub");
    tree.File("Dati\\sub\\due.txt");
    const std::string base = tree.Path("Dati");
    std::vector<std::string> first;
    for (const std::string& typed : {base, base + "\\", base + "\\\\", base + "/"}) {
        g_state.found_count = 0;
        Search(typed, "*.txt");
        EXPECT_EQ(g_state.start_folder, base + "\\");
        EXPECT_EQ(win::GetText(window_, app::kStartFolderBox), typed);
        ASSERT_EQ(g_state.found_count, 2) << typed;
        EXPECT_EQ(search::RowField(g_state.results[0], search::kDirectory), base + "\\");
        if (first.empty()) {
            first = Rows();
        }
        EXPECT_EQ(Rows(), first) << typed;
    }
}

TEST_F(SearchWindow, LongStartFolderIsReadWhole) {
    vtest::TempTree tree;
    // About 300 bytes: a 260-byte buffer would cut it into its parent folder, which holds nothing.
    const std::string deep = std::string(120, 'a') + "\\" + std::string(150, 'b');
    tree.File(std::wstring(deep.begin(), deep.end()) + L"\\uno.txt");
    const std::string typed = tree.Path(deep);
    ASSERT_GT(typed.size(), 300u);
    Search(typed, "*.txt");
    EXPECT_EQ(g_state.start_folder, typed + "\\");
    ASSERT_EQ(g_state.found_count, 1);
    EXPECT_EQ(search::RowField(g_state.results[0], search::kName), "uno.txt");
}

// Keys typed in the list: it asks the window which row they reach, as LVM_FINDITEM makes it ask.
TEST_F(SearchWindow, TypedTextReachesTheRowWhoseNameBeginsWithIt) {
    vtest::TempTree tree;
    tree.File("alfa.txt");
    tree.File("beta.txt");
    tree.File("bis.txt");
    Search(tree.Root(), "*.txt");
    results::SortRows(g_state.results, search::kName, false);
    app::InstallHandler(app::HandleEvent);
    const struct {
        const char* typed;
        int from;   // the row the search starts at; -1 for the first
        int shown;  // the rows the list has been told of
        LRESULT row;
    } cases[] = {
        {"BE", -1, 3, 1},
        {"gamma", -1, 3, -1},
        // "b" typed again on beta while a search runs: bis is found but not yet in the list, so
        // the search goes round to beta.
        {"b", 2, 2, 1},
    };
    for (const auto& c : cases) {
        SendDlgItemMessageA(window_, app::kResultList, LVM_SETITEMCOUNT,
                            static_cast<WPARAM>(c.shown), 0);
        LVFINDINFOA find = {LVFI_STRING | LVFI_PARTIAL | LVFI_WRAP, c.typed, 0, {}, 0};
        EXPECT_EQ(SendDlgItemMessageA(window_, app::kResultList, LVM_FINDITEMA,
                                      static_cast<WPARAM>(c.from), reinterpret_cast<LPARAM>(&find)),
                  c.row)
            << c.typed;
    }
    app::InstallHandler(nullptr);
}

// Read in process: Wine gives no other process the items of a menu. The system's Open is left
// out, and its items give up the access keys of the row menu's own.
TEST(ShellMenu, SystemItemsFollowTheRowMenusOwnAfterASeparator) {
    vtest::TempTree tree;
    tree.File("nota.txt");
    const std::vector<std::string> own = {"&Apri", "Apri la &cartella", "Copia &percorso",
                                          "Copia &nome"};
    const auto items = [](HMENU menu) {
        std::vector<std::string> texts;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[MAX_PATH] = {};
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            texts.push_back(GetMenuItemID(menu, i) == 0 ? "-" : text);
        }
        return texts;
    };
    const struct {
        std::string file;
        std::vector<std::string> system;
    } cases[] = {
        // Wine's menu for a file: the system's Apri out, Copia, Cancella and Proprietà without
        // their "&" (c and p are the row menu's).
        {"nota.txt",
         {"-", "&Taglia", "Copia", "-", "Crea co&llegamento", "Cancella", "&Rinomina", "-",
          "Propriet\xE0"}},
        // Gone: the system gives no menu, and the row menu's own show alone.
        {"persa.txt", {}},
    };
    for (const auto& c : cases) {
        HMENU menu = app::NewRowMenu();
        {
            const app::ShellMenu shell(
                menu, tree.WideRoot() + std::wstring(c.file.begin(), c.file.end()), false, nullptr);
            std::vector<std::string> expected = own;
            expected.insert(expected.end(), c.system.begin(), c.system.end());
            EXPECT_EQ(items(menu), expected) << c.file;
        }
        DestroyMenu(menu);
    }
}

// A submenu of 8 to 15 items (24 to 31, ...) reads as a separator to GetMenuState, as an
// archiver's cascade in the system's items may be.
TEST(ShellMenu, DoubledSeparatorsGoAndEverySubmenuStays) {
    // "-" is a separator, "N>" a submenu of N items, any other text an item.
    const std::vector<std::string> own = {"Apri", "Cartella", "Percorso", "Nome", "-"};
    const auto build = [](const std::vector<std::string>& items) {
        HMENU menu = CreatePopupMenu();
        UINT id = 1;
        for (const std::string& text : items) {
            if (text == "-") {
                AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            } else if (text.back() == '>') {
                HMENU sub = CreatePopupMenu();
                for (int i = 0; i < std::stoi(text); ++i) {
                    AppendMenuA(sub, MF_STRING, id++, "voce");
                }
                AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text.c_str());
            } else {
                AppendMenuA(menu, MF_STRING, id++, text.c_str());
            }
        }
        return menu;
    };
    const auto read = [](HMENU menu) {
        std::vector<std::string> items;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[MAX_PATH] = {};
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            if (HMENU sub = GetSubMenu(menu, i)) {
                items.push_back(std::to_string(GetMenuItemCount(sub)) + ">");
            } else {
                items.push_back(GetMenuItemID(menu, i) == 0 ? "-" : text);
            }
        }
        return items;
    };
    const struct {
        std::vector<std::string> system;
        std::vector<std::string> kept;
    } cases[] = {
        {{"Taglia", "-", "9>", "Propriet\xE0", "8>"}, {"Taglia", "-", "9>", "Propriet\xE0", "8>"}},
        {{"8>", "-", "9>", "-", "-", "0>"}, {"8>", "-", "9>", "-", "0>"}},
        {{"-", "16>", "-"}, {"16>"}},
        {{"Taglia", "-", "-", "24>", "-"}, {"Taglia", "-", "24>"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> items = own;
        items.insert(items.end(), c.system.begin(), c.system.end());
        HMENU menu = build(items);
        app::DropDoubledSeparators(menu, static_cast<int>(own.size()) - 1);
        std::vector<std::string> expected = own;
        expected.insert(expected.end(), c.kept.begin(), c.kept.end());
        EXPECT_EQ(read(menu), expected) << testing::PrintToString(c.system);
        DestroyMenu(menu);
    }
}

TEST_F(SearchWindow, CheckBoxesAreReadWhenTheSearchStarts) {
    vtest::TempTree tree;
    tree.File("top.txt");
    tree.Dir("Windows");
    tree.File("Windows\\w.txt");
    SendDlgItemMessageA(window_, app::kSubfoldersBox, BM_SETCHECK, BST_UNCHECKED, 0);
    Search(tree.Root(), "*.txt");
    EXPECT_EQ(g_state.found_count, 1);
    SendDlgItemMessageA(window_, app::kSubfoldersBox, BM_SETCHECK, BST_CHECKED, 0);
    g_state.found_count = 0;
    Search(tree.Root(), "*.txt");
    EXPECT_EQ(g_state.found_count, 1);  // the folder named Windows is skipped
    SendDlgItemMessageA(window_, app::kWindowsBox, BM_SETCHECK, BST_CHECKED, 0);
    g_state.found_count = 0;
    Search(tree.Root(), "*.txt");
    EXPECT_EQ(g_state.found_count, 2);
    EXPECT_EQ(g_state.include_subfolders, 1);
    EXPECT_EQ(g_state.admit_windows, 1);
    EXPECT_EQ(g_state.admit_documents, 0);
    EXPECT_EQ(g_state.admit_programmi, 0);
}

// Counts the end blocks by the caption they give back; arms g_refuse_from when the count label
// shows a final count (no leading blank) and g_refuse_at_end is set, so that the end block's
// texts fail.
size_t g_refuse_at_end = 0;
int g_ends = 0;
WNDPROC g_count_proc = nullptr;
WNDPROC g_button_proc = nullptr;

LRESULT CALLBACK CountProbe(HWND label, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_SETTEXT && g_refuse_at_end != 0 &&
        reinterpret_cast<const char*>(lparam)[0] != ' ') {
        g_refuse_from = g_refuse_at_end;
    }
    return CallWindowProcA(g_count_proc, label, msg, wparam, lparam);
}

LRESULT CALLBACK ButtonProbe(HWND button, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_SETTEXT && std::strcmp(reinterpret_cast<const char*>(lparam), "&Cerca") == 0) {
        ++g_ends;
        g_refuse_from = 0;
    }
    return CallWindowProcA(g_button_proc, button, msg, wparam, lparam);
}

TEST_F(SearchWindow, EveryWayOutGivesTheWindowBackOnceAndKeepsTheRows) {
    vtest::TempTree tree;
    for (int i = 0; i < 40; ++i) {
        tree.File("f" + std::to_string(100 + i) + ".txt", 1);
    }
    g_count_proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(GetDlgItem(window_, app::kCountLabel), GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(CountProbe)));
    g_button_proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(GetDlgItem(window_, app::kStartButton), GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(ButtonProbe)));
    // The result array may grow to 32 rows; its growth to 64 is refused.
    const size_t kPast32Rows = 40 * sizeof(std::string);
    const struct {
        const char* way_out;
        const char* pattern;
        size_t refuse_from;
        bool as_fault;
        size_t refuse_at_end;
        int found;
        const char* note;  // after the summary; nullptr: no summary expected
    } cases[] = {
        {"memory running out in the walk", "*.txt", kPast32Rows, false, 0, 32,
         " Memoria esaurita: ricerca interrotta."},
        {"another error in the walk", "*.txt", kPast32Rows, true, 0, 32,
         " Errore: ricerca interrotta."},
        // Finds nothing, so only the end block shows a count; keeps the rows found before.
        {"memory running out in the end block", "*.none", 0, false, 1, 32, nullptr},
        // The next search says nothing of them.
        {"no fault", "*.txt", 0, false, 0, 40, ""},
    };
    for (const auto& c : cases) {
        if (c.refuse_at_end == 0) {
            g_state.found_count = 0;
        }
        g_ends = 0;
        g_refuse_from = c.refuse_from;
        g_refuse_as_fault = c.as_fault;
        g_refuse_at_end = c.refuse_at_end;
        Search(tree.Root(), c.pattern);
        g_refuse_from = 0;
        g_refuse_at_end = 0;
        EXPECT_EQ(g_ends, 1) << c.way_out;
        EXPECT_EQ(win::GetText(window_, app::kStartButton), "&Cerca") << c.way_out;
        EXPECT_TRUE(DisabledControls(window_).empty()) << c.way_out;
        EXPECT_FALSE(CloseGreyed(window_)) << c.way_out;
        EXPECT_EQ(g_state.busy, 0) << c.way_out;
        ASSERT_EQ(g_state.found_count, c.found) << c.way_out;
        for (const std::string& row : Rows()) {
            EXPECT_EQ(search::RowField(row, search::kDirectory), tree.Root()) << row;
        }
        if (c.note != nullptr) {
            const std::string status = win::GetText(window_, app::kStatusLabel);
            const std::regex shape("Trovati:  " + std::to_string(c.found) +
                                   " \\*\\.txt  per un totale di " + std::to_string(c.found) +
                                   " bytes\\. \\(in [0-9]+\\.[0-9]{3} sec\\.\\)" +
                                   std::regex_replace(c.note, std::regex("\\."), "\\."));
            EXPECT_TRUE(std::regex_match(status, shape)) << c.way_out << ": " << status;
        }
    }
}

TEST_F(SearchWindow, TimerAndTaskbarMarkOnlyTheRunningSearch) {
    vtest::TempTree tree;
    for (int i = 0; i < 40; ++i) {
        tree.File("f" + std::to_string(100 + i) + ".txt", 1);
    }
    const struct {
        const char* way_out;
        void (*during)(HWND window);
        size_t refuse_from;
        int found;
    } cases[] = {
        // First, while the result array has yet to grow past 32 rows.
        {"memory running out", nullptr, 40 * sizeof(std::string), 32},
        {"the end", nullptr, 0, 40},
        // As a confirmed cancel leaves the flags.
        {"a cancel",
         [](HWND) {
             g_state.abort = 1;
             g_state.busy = 0;
         },
         0, 0},
        // Fine, as Esc presses it: the window goes and WM_DESTROY stops the walk. Last, since the
        // window is gone after it.
        {"the window's destruction",
         [](HWND window) {
             PostMessageA(window, WM_COMMAND, MAKEWPARAM(app::kQuitButton, BN_CLICKED), 0);
         },
         0, 0},
    };
    app::InstallHandler(app::HandleEvent);
    // The window's taskbar button appears: the program takes the taskbar object then.
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(CLSID_TaskbarList, static_cast<IClassFactory*>(&g_taskbar),
                                    CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
              S_OK);
    const LONG unheld = g_taskbar.references;
    SendMessageA(window_, win::TaskbarButtonCreatedMessage(), 0, 0);
    ASSERT_EQ(g_taskbar.references, unheld + 1);
    for (const auto& c : cases) {
        g_state.found_count = 0;
        g_taskbar.states.clear();
        g_during_walk = c.during;
        g_refuse_from = c.refuse_from;
        Search(tree.Root(), "*.txt");
        g_refuse_from = 0;
        g_during_walk = nullptr;
        EXPECT_EQ(g_snapshot.fine_timers, 1) << c.way_out;
        EXPECT_EQ(win::FineTimer::Raised(), 0) << c.way_out;
        EXPECT_EQ(g_snapshot.progress, std::vector<int>{TBPF_INDETERMINATE}) << c.way_out;
        EXPECT_EQ(g_taskbar.states, (std::vector<int>{TBPF_INDETERMINATE, TBPF_NOPROGRESS}))
            << c.way_out;
        EXPECT_EQ(g_state.found_count, c.found) << c.way_out;
        EXPECT_EQ(g_state.busy, 0) << c.way_out;
    }
    app::InstallHandler(nullptr);
    EXPECT_FALSE(IsWindow(window_));
    // Let go with the window, before COM ends.
    EXPECT_EQ(g_taskbar.references, unheld);
    CoRevokeClassObject(cookie);
}

struct MemoryDcTraits {
    using Handle = HDC;
    static bool Valid(HDC h) { return h != nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};

struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static bool Valid(HGDIOBJ h) { return h != nullptr; }
    static void Close(HGDIOBJ h) { DeleteObject(h); }
};

// The list's whole window (heading, rows, scroll bars) as it stands on the screen.
std::vector<uint32_t> ScreenPixels(HWND list) {
    RECT outer;
    GetWindowRect(list, &outer);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    HDC screen = GetWindowDC(list);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    {
        win::Owned<MemoryDcTraits> memory(CreateCompatibleDC(screen));
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        win::Owned<GdiObjectTraits> bitmap(
            CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (memory.Valid() && bitmap.Valid()) {
            HGDIOBJ old = SelectObject(memory.Get(), bitmap.Get());
            BitBlt(memory.Get(), 0, 0, width, height, screen, 0, 0, SRCCOPY);
            GdiFlush();
            std::memcpy(pixels.data(), bits, pixels.size() * sizeof pixels[0]);
            SelectObject(memory.Get(), old);
        }
    }
    ReleaseDC(list, screen);
    return pixels;
}

TEST_F(SearchWindow, ListOnScreenIsWhatAFullRepaintDraws) {
    // Past the first page the count reaches the list without drawing its scroll bars each time:
    // whatever it shows once the search's paints are done must be what it draws afresh.
    vtest::TempTree tree;
    for (int i = 0; i < 300; ++i) {
        tree.File("f" + std::to_string(1000 + i) + ".txt", i);
    }
    ShowWindow(window_, SW_SHOW);
    Search(tree.Root(), "*.txt");
    ASSERT_EQ(g_state.found_count, 300);
    HWND list = win::g_handles.list;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&msg);
    }
    UpdateWindow(list);
    const std::vector<uint32_t> shown = ScreenPixels(list);
    RedrawWindow(list, nullptr, nullptr,
                 RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const std::vector<uint32_t> drawn = ScreenPixels(list);
    ASSERT_FALSE(shown.empty());
    EXPECT_NE(std::count(shown.begin(), shown.end(), shown[0]), static_cast<long>(shown.size()));
    EXPECT_TRUE(shown == drawn);
}

// The icon index that the window answers the list's request for a cell's image with, as the
// list asks it when it paints; kUnasked when it answers none.
constexpr int kUnasked = -7;

int CellImage(int row, int column) {
    NMLVDISPINFOA info = {};
    info.hdr.hwndFrom = win::g_handles.list;
    info.hdr.idFrom = app::kResultList;
    info.hdr.code = LVN_GETDISPINFOA;
    info.item.mask = LVIF_IMAGE;
    info.item.iItem = row;
    info.item.iSubItem = column;
    info.item.iImage = kUnasked;
    SendMessageA(win::g_handles.window, WM_NOTIFY, app::kResultList,
                 reinterpret_cast<LPARAM>(&info));
    return info.item.iImage;
}

// The system's small icon of a type (named by a file name), or of a real file.
int SystemIcon(const std::wstring& name, bool by_type) {
    SHFILEINFOW info = {};
    SHGetFileInfoW(name.c_str(), by_type ? FILE_ATTRIBUTE_NORMAL : 0, &info, sizeof info,
                   SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (by_type ? SHGFI_USEFILEATTRIBUTES : 0));
    return info.iIcon;
}

// A shortcut whose icon is one of shell32's own.
void Shortcut(const std::wstring& path, int icon) {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring shell32 = std::wstring(system) + L"\\shell32.dll";
    IShellLinkW* link = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                               reinterpret_cast<void**>(&link)),
              S_OK);
    const win::ComPtr<IShellLinkW> owned(link);
    link->SetPath(shell32.c_str());
    link->SetIconLocation(shell32.c_str(), icon);
    IPersistFile* file = nullptr;
    ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
    const win::ComPtr<IPersistFile> saved(file);
    ASSERT_EQ(file->Save(path.c_str(), TRUE), S_OK);
}

// Wine gives its own types few icons (chm and msi have theirs) and an exe none of its own, but a
// shortcut the one it names.
TEST_F(SearchWindow, NomeCellShowsTheIconOfTheFilesTypeOrOfTheFileItself) {
    vtest::TempTree tree;
    for (const char* name : {"nota.txt", "leggimi", "guida.chm", "SETUP.MSI", "prova.exe"}) {
        tree.File(name);
    }
    Shortcut(tree.WideRoot() + L"uno.lnk", 3);
    Shortcut(tree.WideRoot() + L"due.lnk", 4);
    Search(tree.Root(), "*");
    ASSERT_EQ(g_state.found_count, 7);
    const auto own = [&](const wchar_t* name) { return SystemIcon(tree.WideRoot() + name, false); };
    ASSERT_NE(own(L"uno.lnk"), own(L"due.lnk"));
    ASSERT_NE(own(L"uno.lnk"), SystemIcon(L"uno.lnk", true));
    ASSERT_NE(SystemIcon(L"guida.chm", true), SystemIcon(L"nota.txt", true));
    SHFILEINFOW info = {};
    EXPECT_EQ(SendMessageA(win::g_handles.list, LVM_GETIMAGELIST, LVSIL_SMALL, 0),
              static_cast<LRESULT>(
                  SHGetFileInfoW(L"x", FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                                 SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES)));
    const struct {
        const char* row;
        int icon;
    } cases[] = {
        {"nota.txt", SystemIcon(L"nota.txt", true)},
        {"leggimi", SystemIcon(L"leggimi", true)},
        {"guida.chm", SystemIcon(L"guida.chm", true)},
        {"setup.msi", SystemIcon(L"SETUP.MSI", true)},
        {"prova.exe", own(L"prova.exe")},
        {"uno.lnk", own(L"uno.lnk")},
        {"due.lnk", own(L"due.lnk")},
    };
    app::InstallHandler(app::HandleEvent);
    // Asked again once the rows have moved: an icon goes with its file, not with a position.
    for (const bool descending : {false, true}) {
        results::SortRows(g_state.results, search::kName, descending);
        for (const auto& c : cases) {
            const auto row = std::find_if(g_state.results.begin(), g_state.results.end(),
                                          [&](const std::string& r) {
                                              return search::RowField(r, search::kName) == c.row;
                                          }) -
                             g_state.results.begin();
            EXPECT_EQ(CellImage(static_cast<int>(row), 0), c.icon) << c.row;
            // Only the Nome column shows an icon.
            EXPECT_EQ(CellImage(static_cast<int>(row), 2), kUnasked) << c.row;
        }
    }
    app::InstallHandler(nullptr);
}

// The text of the tooltip over a control of the window; "" where it has none.
std::string TooltipOf(HWND window, HWND control) {
    for (HWND tips = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); tips != nullptr;
         tips = FindWindowExA(nullptr, tips, TOOLTIPS_CLASSA, nullptr)) {
        char text[MAX_PATH] = {};
        TTTOOLINFOA tool = {};
        tool.cbSize = sizeof tool;
        tool.hwnd = window;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = text;
        if (GetWindow(tips, GW_OWNER) == window) {
            SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
        }
        if (text[0] != '\0') {
            return text;
        }
    }
    return "";
}

TEST_F(SearchWindow, TooltipsSayWhatTheTwoBrowseButtonsDo) {
    const struct {
        int id;
        const char* tip;
    } cases[] = {
        {app::kPatternBrowseButton, "Scegli un file: il suo nome diventa il modello"},
        {app::kFolderBrowseButton, "Scegli la cartella da cui partire"},
        {app::kStartButton, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TooltipOf(window_, GetDlgItem(window_, c.id)), c.tip) << c.id;
    }
}

TEST_F(SearchWindow, PatternIsTakenAsTypedBlanksIncluded) {
    vtest::TempTree tree;
    tree.File("a b.txt");
    tree.File("a.txt");
    Search(tree.Root(), "a b.txt");
    EXPECT_EQ(g_state.pattern, "a b.txt");
    EXPECT_EQ(g_state.found_count, 1);
    g_state.found_count = 0;
    Search(tree.Root(), " a.txt");
    EXPECT_EQ(g_state.pattern, " a.txt");
}

}  // namespace
