// Start-up pieces of the program: the command-line text, the FPU mode, the column widths, the
// dialog template and dialog layer, and the two exported functions.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "app/controls.h"
#include "app/exports.h"
#include "app/dialog.h"
#include "app/modal.h"
#include "app/process.h"
#include "app/row_actions.h"
#include "app/window.h"
#include "tests/host/code_pages.h"
#include "win32/system_dll.h"

#include <oleauto.h>
#include <winver.h>

namespace {

// ---- Command-line text ----

TEST(CommandLine, TextAfterProgramName) {
    struct Case {
        const char* line;
        const char* text;
    };
    const Case cases[] = {
        {"vortilo.exe", ""},
        {"vortilo.exe *.txt", "*.txt"},
        {"vortilo.exe    *.txt", "*.txt"},
        {"vortilo.exe *.txt   ", "*.txt   "},
        {"vortilo.exe *.txt *.doc", "*.txt *.doc"},
        {"vortilo.exe\t*.txt", "\t*.txt"},
        {"vortilo.exe  \t *.txt", "\t *.txt"},
        {"vortilo.exe \"*.t xt\"", "\"*.t xt\""},
        {"vortilo.exe a\"b\" c", "a\"b\" c"},
        {"C:\\dati\\vortil\xe0.exe *.gif", "*.gif"},
        {"\"C:\\Program Files\\vortilo.exe\"", ""},
        {"\"C:\\Program Files\\vortilo.exe\" *.txt", "*.txt"},
        {"\"C:\\Program Files\\vortilo.exe\"   *.txt *.doc", "*.txt *.doc"},
        {"\"C:\\Program Files\\vortilo.exe\"\t*.txt", "\t*.txt"},
        {"\"C:\\Program Files\\vortilo.exe\"*.txt", "*.txt"},
        {"\"C:\\Program Files\\vortilo.exe *.txt", ""},
        {"\"\" *.txt", "*.txt"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(app::CommandLineText(c.line), c.text) << "line: " << c.line;
    }
    EXPECT_STREQ(app::CommandLineText(nullptr), "");
}

// ---- FPU mode ----

TEST(Fpu, RoundsToNearestEvenWithAllExceptionsMasked) {
    const unsigned short chop_single = 0x0C7F;  // toward zero, 24-bit precision
    __asm__ volatile("fldcw %0" : : "m"(chop_single));
    ASSERT_NE(app::FpuControlWord(), 0x037F);
#ifdef __x86_64__
    // The rounding below is done in SSE here: chop there too, then check both words.
    unsigned int sse_control = 0x7F80;
    __asm__ volatile("ldmxcsr %0" : : "m"(sse_control));
#endif
    app::SetFpuRounding();
    EXPECT_EQ(app::FpuControlWord(), 0x037F);
#ifdef __x86_64__
    __asm__ volatile("stmxcsr %0" : "=m"(sse_control));
    EXPECT_EQ(sse_control, 0x1F80u);
#endif
    struct Case {
        double value;
        long rounded;
    };
    const Case cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.4999, 2}, {-0.5, 0}, {1.5, 2}};
    for (const Case& c : cases) {
        volatile double v = c.value;
        EXPECT_EQ(std::lrint(v), c.rounded) << c.value;
    }
}

// ---- Column widths ----

TEST(ColumnWidth, FractionsOfTheListWidth) {
    struct Case {
        int list_width;
        std::vector<int> widths;
    };
    const Case cases[] = {
        {880, {176, 44, 440, 88, 132}},
        {890, {178, 45, 445, 89, 134}},
    };
    for (const Case& c : cases) {
        std::vector<int> widths;
        for (const app::ColumnRow& column : app::kColumnTable) {
            widths.push_back(app::ColumnWidth(column.fraction, c.list_width));
        }
        EXPECT_EQ(widths, c.widths) << "list width " << c.list_width;
    }
}

TEST(ColumnWidth, ExactHalvesGoToEven) {
    // 0.5 is exact in single precision: 445.5 and 444.5 are true halves.
    EXPECT_EQ(app::ColumnWidth(0.5f, 891), 446);
    EXPECT_EQ(app::ColumnWidth(0.5f, 889), 444);
    EXPECT_EQ(app::ColumnWidth(0.5f, 5), 2);
}

TEST(ColumnWidth, CaptionsAndAlignments) {
    const char* captions[] = {"Nome", "Estensione", "Directory", "Grandezza", "Data"};
    const int formats[] = {LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER};
    ASSERT_EQ(std::size(app::kColumnTable), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_STREQ(app::kColumnTable[i].caption, captions[i]);
        EXPECT_EQ(app::kColumnTable[i].format, formats[i]);
    }
}

// ---- Start folder ----

TEST(StartFolderOf, FirstThreeCharactersOrTheShareRoot) {
    const struct {
        const char* directory;
        const char* folder;
        unsigned page = 1252;
    } cases[] = {
        {"C:\\Users\\x", "C:\\"},
        {"D:\\", "D:\\"},
        {"C:", "C:"},
        {"", ""},
        {"\\\\server\\share", "\\\\server\\share\\"},
        {"\\\\server\\share\\", "\\\\server\\share\\"},
        {"\\\\server\\share\\a\\b", "\\\\server\\share\\"},
        // No share to go to: the server as it stands, as a folder.
        {"\\\\server", "\\\\server\\"},
        // A share whose name ends in a character whose second byte is 0x5C.
        {"\\\\server\\\x95\x5C\\a", "\\\\server\\\x95\x5C\\", 932},
    };
    for (const auto& c : cases) {
        const testpages::ScopedPage page(c.page);
        EXPECT_EQ(app::StartFolderOf(c.directory), c.folder) << c.directory;
    }
}

// ---- Dialog template ----

DWORD DwordAt(const std::vector<WORD>& t, size_t i) {
    return MAKELONG(t[i], t[i + 1]);
}

// The title units of a template made by app::DialogTemplate, which starts at unit 11.
std::vector<WORD> TitleUnits(const std::vector<WORD>& t) {
    std::vector<WORD> units;
    for (size_t i = 11; t.at(i) != 0; ++i) {
        units.push_back(t[i]);
    }
    return units;
}

TEST(DialogTemplate, HeaderStyleAndFont) {
    const std::vector<WORD> t =
        app::DialogTemplate("Ab", WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_CENTER, 0x10);
    const std::vector<WORD> expected = {
        LOWORD(WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_SETFONT | DS_3DLOOK | DS_NOFAILCREATE),
        HIWORD(WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_SETFONT | DS_3DLOOK | DS_NOFAILCREATE),
        0x10,
        0,  // extended style
        0,  // no controls
        0,
        0,
        0,
        0,  // position and size
        0,
        0,  // no menu, dialog class
        'A',
        'b',
        0,  // title
        8,  // points
        'M',
        'S',
        ' ',
        'S',
        'a',
        'n',
        's',
        ' ',
        'S',
        'e',
        'r',
        'i',
        'f',
        0,
    };
    EXPECT_EQ(t, expected);
    EXPECT_EQ(DwordAt(t, 0) & WS_VISIBLE, 0u);
}

TEST(DialogTemplate, TitleWidenedByteByByte) {
    struct Case {
        std::string title;
        std::vector<WORD> units;
    };
    const Case cases[] = {
        {"", {' '}},
        {"Vortilo", {'V', 'o', 'r', 't', 'i', 'l', 'o'}},
        // Bytes above 127 are not looked up in the code page: 0xE0 stays 0x00E0, 0x80 stays 0x0080.
        {"\xe0\x80\xff", {0xE0, 0x80, 0xFF}},
        {std::string(256, 'x'), std::vector<WORD>(256, 'x')},
        {std::string(257, 'y'), std::vector<WORD>(256, 'y')},
        {std::string(400, 'z'), std::vector<WORD>(256, 'z')},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TitleUnits(app::DialogTemplate(c.title, WS_CAPTION, 0)), c.units)
            << "title of " << c.title.size() << " bytes";
    }
}

// ---- Dialog layer ----

struct Seen {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};

std::vector<Seen> g_seen;
INT_PTR g_answer_syscommand = 0;

INT_PTR RecordingHandler(HWND, UINT message, WPARAM wparam, LPARAM lparam) {
    g_seen.push_back(Seen{message, wparam, lparam});
    return message == WM_SYSCOMMAND ? g_answer_syscommand : 0;
}

std::vector<UINT> SeenOf(std::initializer_list<UINT> wanted) {
    std::vector<UINT> out;
    for (const Seen& s : g_seen) {
        if (std::find(wanted.begin(), wanted.end(), s.message) != wanted.end()) {
            out.push_back(s.message);
        }
    }
    return out;
}

class DialogLayer : public ::testing::Test {
  protected:
    void SetUp() override {
        app::g_module = GetModuleHandleA(nullptr);
        g_seen.clear();
        g_answer_syscommand = 0;
        window_ = app::CreateDialogWindow("Prova", 900, 600, app::kWindowStyle, 0);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        if (IsWindow(window_)) {
            DestroyWindow(window_);
        }
    }
    HWND window_ = nullptr;
};

TEST_F(DialogLayer, HiddenWithExactClientAreaCentredOnWorkArea) {
    EXPECT_FALSE(IsWindowVisible(window_));
    RECT client{};
    GetClientRect(window_, &client);
    EXPECT_EQ(client.right - client.left, 900);
    EXPECT_EQ(client.bottom - client.top, 600);
    RECT outer{};
    GetWindowRect(window_, &outer);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const SIZE size = app::OuterSize(window_);
    EXPECT_EQ(size.cx, outer.right - outer.left);
    EXPECT_EQ(size.cy, outer.bottom - outer.top);
    EXPECT_EQ(outer.left, (work.left + work.right - size.cx) / 2);
    EXPECT_EQ(outer.top, (work.top + work.bottom - size.cy) / 2);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0u);
    // The system adds WS_EX_WINDOWEDGE and WS_EX_CONTROLPARENT to the template's 0.
    EXPECT_EQ(GetWindowLongA(window_, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_TOPMOST), 0);
    char title[64] = {};
    GetWindowTextA(window_, title, sizeof title);
    EXPECT_STREQ(title, "Prova");
    char class_name[16] = {};
    GetClassNameA(window_, class_name, sizeof class_name);
    EXPECT_STREQ(class_name, "#32770");
}

TEST_F(DialogLayer, ControlsGetTheFontAndTheDefaultButtonItsId) {
    HWND button = app::AddControl(window_, 3145, "BUTTON", "&Inizio", 5, 540, 100, 20,
                                  WS_TABSTOP | BS_DEFPUSHBUTTON, 0);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(GetDlgCtrlID(button), 3145);
    EXPECT_EQ(SendMessageA(button, WM_GETFONT, 0, 0), SendMessageA(window_, WM_GETFONT, 0, 0));
    EXPECT_EQ(LOWORD(SendMessageA(window_, DM_GETDEFID, 0, 0)), 3145);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(button, GWL_STYLE));
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_TABSTOP), WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    RECT rect{};
    GetWindowRect(button, &rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 5);
    EXPECT_EQ(rect.top, 540);
    EXPECT_EQ(rect.right - rect.left, 100);
    EXPECT_EQ(rect.bottom - rect.top, 20);
    EXPECT_EQ(app::OuterSize(window_, 3145).cx, 100);
    EXPECT_EQ(app::OuterSize(window_, 9999).cx, 0);

    app::AddControl(window_, 3147, "BUTTON", "&Reset", 109, 540, 100, 20, BS_PUSHBUTTON, 0);
    EXPECT_EQ(LOWORD(SendMessageA(window_, DM_GETDEFID, 0, 0)), 3145);
}

TEST_F(DialogLayer, ComboItemsStopAtFirstEmptyAndSelectedTextFollowsSelection) {
    app::AddControl(window_, 3164, "COMBOBOX", "", 55, 450, 150, 220,
                    CBS_DROPDOWN | CBS_AUTOHSCROLL, 0, {"*b*", "*a*", "", "*c*"});
    EXPECT_EQ(SendDlgItemMessageA(window_, 3164, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(app::SelectedText(window_, 3164), "");
    app::SelectItem(window_, 3164, 1);
    EXPECT_EQ(app::SelectedText(window_, 3164), "*a*");
    app::SelectItem(window_, 3164, 0);
    EXPECT_EQ(app::SelectedText(window_, 3164), "*b*");
    EXPECT_EQ(app::SelectedText(window_, 4000), "");
}

TEST_F(DialogLayer, CheckStates) {
    app::AddControl(window_, 3184, "BUTTON", "Incl&udo", 350, 450, 150, 20,
                    WS_TABSTOP | BS_AUTOCHECKBOX, 0);
    app::SetCheck(window_, 3184, 1);
    EXPECT_EQ(SendDlgItemMessageA(window_, 3184, BM_GETCHECK, 0, 0), BST_CHECKED);
    app::SetCheck(window_, 3184, 0);
    EXPECT_EQ(SendDlgItemMessageA(window_, 3184, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(DialogLayer, ModalLoopPrimesTheHandlerAndCloseBoxEndsTheWindow) {
    PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    app::RunModal(window_, RecordingHandler);
    EXPECT_FALSE(IsWindow(window_));
    ASSERT_GE(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0].message, static_cast<UINT>(WM_INITDIALOG));
    EXPECT_EQ(g_seen[0].wparam, reinterpret_cast<WPARAM>(window_));
    EXPECT_EQ(g_seen[0].lparam, 0);
    EXPECT_EQ(g_seen[1].message, static_cast<UINT>(WM_SIZE));
    EXPECT_EQ(g_seen[1].wparam, static_cast<WPARAM>(SIZE_RESTORED));
    EXPECT_EQ(g_seen[1].lparam, 900 | (600 << 16));
    const std::vector<UINT> order = {WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY};
    EXPECT_EQ(SeenOf({WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}), order);
    EXPECT_TRUE(SeenOf({WM_ACTIVATE}).empty());
}

TEST_F(DialogLayer, HandlerThatAnswersCloseKeepsTheWindow) {
    g_answer_syscommand = 1;
    PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    // The close box is answered by the handler; a later end operation ends the loop.
    PostMessageA(window_, WM_APP, 0, 0);
    struct Ender {
        static INT_PTR Handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
            RecordingHandler(window, message, wparam, lparam);
            if (message == WM_APP) {
                EXPECT_TRUE(IsWindow(window));
                app::EndWindow(window);
            }
            return message == WM_SYSCOMMAND ? g_answer_syscommand : 0;
        }
    };
    app::RunModal(window_, Ender::Handle);
    EXPECT_FALSE(IsWindow(window_));
    const std::vector<UINT> order = {WM_SYSCOMMAND, WM_APP, WM_CLOSE, WM_DESTROY};
    EXPECT_EQ(SeenOf({WM_SYSCOMMAND, WM_APP, WM_CLOSE, WM_DESTROY}), order);
}

TEST_F(DialogLayer, OnlyTheExactCloseCommandEndsTheWindow) {
    // The low word must be exactly SC_CLOSE: 0xF062 goes on to the default processing, which
    // does not destroy a dialog box.
    PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE | 2, 0);
    PostMessageA(window_, WM_APP, 0, 0);
    struct Ender {
        static INT_PTR Handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
            RecordingHandler(window, message, wparam, lparam);
            if (message == WM_APP) {
                EXPECT_TRUE(IsWindow(window));
                app::EndWindow(window);
            }
            return 0;
        }
    };
    app::RunModal(window_, Ender::Handle);
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_EQ(SeenOf({WM_SYSCOMMAND}).size(), 1u);
    EXPECT_EQ(SeenOf({WM_APP}).size(), 1u);
    EXPECT_EQ(SeenOf({WM_DESTROY}).size(), 1u);
}

// ---- Exported functions: pure parts ----

TEST(RowMenu, ItemsInTheirOrderOpenIsTheDefault) {
    HMENU menu = app::NewRowMenu();
    ASSERT_NE(menu, nullptr);
    std::vector<std::string> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[MAX_PATH] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        items.push_back(text);
    }
    EXPECT_EQ(items, (std::vector<std::string>{"&Apri", "Apri la &cartella", "Copia &percorso",
                                               "Copia &nome"}));
    EXPECT_EQ(GetMenuDefaultItem(menu, TRUE, 0), 0u);
    DestroyMenu(menu);
}

TEST(SystemFilePath, JoinsWithOneBackslashWithin259Bytes) {
    const std::string folder258 = "C:\\" + std::string(255, 'd');
    const std::string folder259 = "C:\\" + std::string(256, 'd');
    struct Case {
        std::string folder;
        std::string file;
        std::string path;
    };
    const Case cases[] = {
        {"C:\\windows\\system32", "comctl32.dll", "C:\\windows\\system32\\comctl32.dll"},
        {"C:\\", "comctl32.dll", "C:\\comctl32.dll"},
        {"C:\\sys\\", "a.dll", "C:\\sys\\a.dll"},
        {"", "a.dll", "\\a.dll"},
        {"C:\\windows", "", "C:\\windows\\"},
        {folder258, "a.dll", folder258 + "\\"},
        {folder258 + "\\", "a.dll", folder258 + "\\"},
        {folder259, "a.dll", folder259},
        {folder259 + "xyz", "a.dll", folder259},
        {"C:\\w", std::string(300, 'f'), "C:\\w\\" + std::string(254, 'f')},
    };
    for (const Case& c : cases) {
        const std::string path = app::SystemFilePath(c.folder, c.file);
        EXPECT_EQ(path, c.path) << c.folder.size() << " + " << c.file.size() << " bytes";
        EXPECT_LE(path.size(), 259u);
    }
}

TEST(VersionNumber, MajorPlusMinorHundredths) {
    struct Case {
        uint32_t major, minor;
        double number;
    };
    const Case cases[] = {
        {5, 81, 5.81},
        {5, 82, 5.82},
        {6, 0, 6.0},
        {6, 10, 6.1},
        {6, 1, 6.01},
        {6, 99, 6.99},
        {6, 100, 7.0},
        {6, 1000, 16.0},
        {0, 0, 0.0},
        {0, 7, 0.07},
        {10, 5, 10.05},
        {4, 72, 4.72},
        {65535, 65535, 66190.35},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(app::VersionNumber(c.major, c.minor), c.number) << c.major << "." << c.minor;
    }
}

// ---- Exported functions on real files ----

char* ByteString(const std::string& text) {
    return reinterpret_cast<char*>(
        SysAllocStringByteLen(text.data(), static_cast<UINT>(text.size())));
}

std::string SystemFolder() {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, sizeof folder);
    return folder;
}

std::string TestFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1);
}

// The version read here on its own: major + minor / 100, or -1 without one.
double IndependentVersion(const std::string& path) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) {
        return -1;
    }
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) {
        return -1;
    }
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length)) {
        return -1;
    }
    return HIWORD(info->dwFileVersionMS) + LOWORD(info->dwFileVersionMS) / 100.0;
}

TEST(GetSysFileVer, SystemDllMatchesTheVersionApi) {
    for (const char* name : {"comctl32.dll", "COMCTL32.DLL", "kernel32.dll", "version.dll"}) {
        const double expected = IndependentVersion(SystemFolder() + "\\" + name);
        ASSERT_GT(expected, 0) << name;
        EXPECT_DOUBLE_EQ(GETSYSFILEVER(ByteString(name)), expected) << name;
    }
}

TEST(GetSysFileVer, MissingFileGivesZero) {
    EXPECT_EQ(GETSYSFILEVER(ByteString("vortilo-no-such-file.dll")), 0.0);
    EXPECT_EQ(GETSYSFILEVER(ByteString("")), 0.0);  // the system folder itself
    EXPECT_EQ(GETSYSFILEVER(nullptr), 0.0);
}

// A VS_VERSIONINFO resource with the given file version, or without its fixed part.
std::vector<BYTE> VersionResource(DWORD version_ms, DWORD version_ls, bool fixed_part) {
    std::vector<BYTE> out;
    auto word = [&out](WORD w) {
        out.push_back(LOBYTE(w));
        out.push_back(HIBYTE(w));
    };
    word(0);  // length, set below
    word(fixed_part ? sizeof(VS_FIXEDFILEINFO) : 0);
    word(0);  // binary
    for (const char* c = "VS_VERSION_INFO";; ++c) {
        word(static_cast<WORD>(*c));
        if (*c == '\0') {
            break;
        }
    }
    while (out.size() % 4 != 0) {
        out.push_back(0);
    }
    if (fixed_part) {
        VS_FIXEDFILEINFO info{};
        info.dwSignature = 0xFEEF04BD;
        info.dwStrucVersion = 0x00010000;
        info.dwFileVersionMS = version_ms;
        info.dwFileVersionLS = version_ls;
        info.dwProductVersionMS = version_ms;
        info.dwProductVersionLS = version_ls;
        info.dwFileOS = VOS_NT_WINDOWS32;
        info.dwFileType = VFT_DLL;
        const BYTE* bytes = reinterpret_cast<const BYTE*>(&info);
        out.insert(out.end(), bytes, bytes + sizeof info);
    }
    out[0] = LOBYTE(out.size());
    out[1] = HIBYTE(out.size());
    return out;
}

// A copy of the test DLL without InitCommonControlsEx in the system folder, with the given
// version resource (none when empty); removed again afterwards.
class SystemDll {
  public:
    explicit SystemDll(const std::vector<BYTE>& version) {
        static int serial = 0;
        name_ = "vortilo-ver-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++serial) + ".dll";
        path_ = SystemFolder() + "\\" + name_;
        const std::string source = TestFolder() + "fake_comctl32_old.dll";
        EXPECT_TRUE(CopyFileA(source.c_str(), path_.c_str(), FALSE)) << source << " -> " << path_;
        if (!version.empty()) {
            HANDLE update = BeginUpdateResourceA(path_.c_str(), FALSE);
            EXPECT_NE(update, nullptr);
            EXPECT_TRUE(UpdateResourceA(update, RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO),
                                        MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                        const_cast<BYTE*>(version.data()),
                                        static_cast<DWORD>(version.size())));
            EXPECT_TRUE(EndUpdateResourceA(update, FALSE));
        }
    }
    ~SystemDll() { DeleteFileA(path_.c_str()); }
    SystemDll(const SystemDll&) = delete;
    SystemDll& operator=(const SystemDll&) = delete;
    const std::string& Name() const { return name_; }

  private:
    std::string name_;
    std::string path_;
};

TEST(GetSysFileVer, KnownVersionsUseMajorAndMinorOnly) {
    struct Case {
        WORD major, minor, build, revision;
        double number;
    };
    const Case cases[] = {
        {5, 81, 4916, 400, 5.81},  {6, 0, 2900, 2180, 6.0}, {5, 82, 2900, 6028, 5.82},
        {6, 10, 7601, 17514, 6.1}, {6, 1000, 0, 0, 16.0},   {0, 0, 1, 1, 0.0},
    };
    for (const Case& c : cases) {
        const SystemDll dll(
            VersionResource(MAKELONG(c.minor, c.major), MAKELONG(c.revision, c.build), true));
        EXPECT_EQ(GETSYSFILEVER(ByteString(dll.Name())), c.number)
            << c.major << "." << c.minor << "." << c.build << "." << c.revision;
    }
}

TEST(GetSysFileVer, FileWithoutVersionOrRootBlockGivesZero) {
    const SystemDll bare({});
    EXPECT_EQ(GETSYSFILEVER(ByteString(bare.Name())), 0.0);
    const SystemDll no_root(VersionResource(0, 0, false));
    EXPECT_EQ(GETSYSFILEVER(ByteString(no_root.Name())), 0.0);
}

TEST(FixedFileVersion, ReadsOnlyAFixedPartWhollyInsideTheBlock) {
    const std::vector<BYTE> resource = VersionResource(MAKELONG(81, 5), 0, true);
    const std::vector<char> exact(resource.begin(), resource.end());
    const struct {
        const char* label;
        std::vector<char> block;
        double version;
    } cases[] = {
        {"fixed part up to the last byte", exact, 5.81},
        {"fixed part cut by the end", std::vector<char>(exact.begin(), exact.end() - 1), 0.0},
        // Wine answers a block it never filled with TRUE, 8,224 bytes and a pointer past it.
        {"1,500 blanks", std::vector<char>(1500, ' '), 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(app::FixedFileVersion(c.block), c.version) << c.label;
    }
}

TEST(GetSysFileVer, NameIsTheCountedByteString) {
    // The count ends the name, not a later NUL: "version.dll" followed by junk bytes is cut by
    // the byte count given to SysAllocStringByteLen.
    const std::string text = "version.dllXYZ";
    char* name = reinterpret_cast<char*>(SysAllocStringByteLen(text.data(), 11));
    EXPECT_DOUBLE_EQ(GETSYSFILEVER(name), IndependentVersion(SystemFolder() + "\\version.dll"));
}

// ---- Exports by name and ordinal ----

using VersionExport = double(__stdcall*)(char*);
using InitExport = double(__stdcall*)(DWORD);

template <typename F>
F Export(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(nullptr), name)));
}

TEST(Exports, ByNameAndOrdinal) {
    const auto by_name = Export<VersionExport>("GETSYSFILEVER");
    ASSERT_NE(by_name, nullptr);
    EXPECT_EQ(by_name, Export<VersionExport>(MAKEINTRESOURCEA(1)));
    const auto init = Export<InitExport>("INITCOMCTL32");
    ASSERT_NE(init, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(init),
              reinterpret_cast<void*>(Export<InitExport>(MAKEINTRESOURCEA(2))));
    EXPECT_EQ(Export<VersionExport>("GETSYSFILEVER@4"), nullptr);
    EXPECT_EQ(Export<VersionExport>("_GETSYSFILEVER@4"), nullptr);

    // Called as a caller of the export would: the callee removes its 4-byte argument.
    const double comctl = IndependentVersion(SystemFolder() + "\\comctl32.dll");
    ASSERT_GT(comctl, 0);
    EXPECT_DOUBLE_EQ(by_name(ByteString("comctl32.dll")), comctl);
    EXPECT_DOUBLE_EQ(init(0), comctl);
}

// ---- INITCOMCTL32 ----

struct FakeCalls {
    DWORD size = 0;
    DWORD classes = 0;
    int calls = 0;
};

// Keeps a stand-in library loaded across the call under test, so that what it recorded survives
// the call's FreeLibrary.
class FakeComctl {
  public:
    explicit FakeComctl(const std::string& file)
        : path_(TestFolder() + file), module_(LoadLibraryA(path_.c_str())) {}
    ~FakeComctl() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    FakeComctl(const FakeComctl&) = delete;
    FakeComctl& operator=(const FakeComctl&) = delete;
    bool Loaded() const { return module_ != nullptr; }
    const char* Path() const { return path_.c_str(); }
    FakeCalls Calls() const {
        using Read = void(WINAPI*)(DWORD*, DWORD*, int*);
        auto read = reinterpret_cast<Read>(
            reinterpret_cast<void*>(GetProcAddress(module_, "FakeComctlCalls")));
        FakeCalls calls;
        if (read != nullptr) {
            read(&calls.size, &calls.classes, &calls.calls);
        }
        return calls;
    }

  private:
    std::string path_;
    HMODULE module_;
};

int g_fallback_calls = 0;
void WINAPI CountFallback() {
    ++g_fallback_calls;
}

TEST(InitComctl32, PassesClassFlagsToInitCommonControlsEx) {
    struct Case {
        DWORD flags;
        DWORD passed;
    };
    const Case cases[] = {
        {0, 0xFF}, {1, 1}, {ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES, 0x05}, {0x100, 0x100}};
    for (const Case& c : cases) {
        const FakeComctl fake("fake_comctl32_ex.dll");
        ASSERT_TRUE(fake.Loaded());
        g_fallback_calls = 0;
        EXPECT_TRUE(app::RegisterCommonControls(fake.Path(), c.flags, CountFallback));
        const FakeCalls calls = fake.Calls();
        EXPECT_EQ(calls.calls, 1) << c.flags;
        EXPECT_EQ(calls.size, 8u) << c.flags;
        EXPECT_EQ(calls.classes, c.passed) << c.flags;
        EXPECT_EQ(g_fallback_calls, 0) << c.flags;
    }
}

TEST(InitComctl32, LibraryWithoutInitCommonControlsExGetsTheOldCall) {
    const FakeComctl fake("fake_comctl32_old.dll");
    ASSERT_TRUE(fake.Loaded());
    g_fallback_calls = 0;
    EXPECT_TRUE(app::RegisterCommonControls(fake.Path(), 0, CountFallback));
    EXPECT_EQ(g_fallback_calls, 1);
    EXPECT_EQ(fake.Calls().calls, 0);
}

TEST(InitComctl32, MissingLibraryCallsNothing) {
    g_fallback_calls = 0;
    EXPECT_FALSE(app::RegisterCommonControls("vortilo-no-such-comctl.dll", 0, CountFallback));
    EXPECT_EQ(g_fallback_calls, 0);
}

TEST(InitComctl32, ReturnsTheSystemComctl32Version) {
    const double expected = IndependentVersion(SystemFolder() + "\\comctl32.dll");
    ASSERT_GT(expected, 0);
    EXPECT_DOUBLE_EQ(INITCOMCTL32(0), expected);
    EXPECT_DOUBLE_EQ(INITCOMCTL32(1), expected);
    // The list-view class is registered afterwards.
    WNDCLASSA list_class{};
    EXPECT_TRUE(GetClassInfoA(nullptr, WC_LISTVIEWA, &list_class));
    // Under the program's manifest, which this test carries too (Wine 8 would not redirect a
    // context activated later, once the system folder's copy is loaded), the library in use is
    // the side-by-side 6.0 copy, not the one whose version is reported. Wine 8 gives both copies
    // the version 5.81: only their paths tell them apart there.
    char path[MAX_PATH] = {};
    GetModuleFileNameA(GetModuleHandleA("COMCTL32.DLL"), path, sizeof path);
    const std::string system_copy = SystemFolder() + "\\comctl32.dll";
    EXPECT_NE(lstrcmpiA(path, system_copy.c_str()), 0) << path;
}

// ---- The program's manifest ----

// The manifest that vortilo.exe carries (RT_MANIFEST 1), or "".
std::string ProgramManifest() {
    const std::string exe = TestFolder() + "vortilo.exe";
    const win::Library module(LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    HRSRC found = FindResourceA(module.Get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    HGLOBAL loaded = found == nullptr ? nullptr : LoadResource(module.Get(), found);
    const char* bytes =
        loaded == nullptr ? nullptr : static_cast<const char*>(LockResource(loaded));
    return bytes == nullptr ? "" : std::string(bytes, SizeofResource(module.Get(), found));
}

// Each element <name ...>...</name> of the text: the attributes of its start tag, every run of
// white space made one blank, with a blank on either side; and what it holds up to its end tag.
std::vector<std::pair<std::string, std::string>> Elements(const std::string& text,
                                                          const std::string& name) {
    std::vector<std::pair<std::string, std::string>> found;
    const std::string open = "<" + name;
    for (size_t at = text.find(open); at != std::string::npos; at = text.find(open, at + 1)) {
        size_t after = at + open.size();
        const size_t end = text.find('>', after);
        if (end == std::string::npos ||
            std::string(" \t\r\n/>").find(text[after]) == std::string::npos) {
            continue;  // another element whose name begins with this one
        }
        const size_t last = text[end - 1] == '/' ? end - 1 : end;
        std::string attributes = " ";
        for (size_t i = after; i < last; ++i) {
            const bool blank = std::isspace(static_cast<unsigned char>(text[i])) != 0;
            if (!blank || attributes.back() != ' ') {
                attributes += blank ? ' ' : text[i];
            }
        }
        if (attributes.back() != ' ') {
            attributes += ' ';
        }
        const size_t close = last == end ? text.find("</" + name + ">", end) : end + 1;
        found.emplace_back(attributes, text.substr(end + 1, close - end - 1));
    }
    return found;
}

TEST(Manifest, EveryFieldAsTheProgramCarriesIt) {
    const std::string manifest = ProgramManifest();
    ASSERT_FALSE(manifest.empty());
    struct Field {
        const char* element;
        const char* attribute;  // "": what the element holds; null: no such element
        const char* value;
    };
    const Field fields[] = {
        {"assemblyIdentity", "type", "win32"},
        {"assemblyIdentity", "name", "Microsoft.Windows.Common-Controls"},
        {"assemblyIdentity", "version", "6.0.0.0"},
        {"assemblyIdentity", "processorArchitecture", "*"},
        {"assemblyIdentity", "publicKeyToken", "6595b64144ccf1df"},
        {"assemblyIdentity", "language", "*"},
        {"requestedExecutionLevel", "level", "asInvoker"},
        {"requestedExecutionLevel", "uiAccess", "false"},
        {"supportedOS", "Id", "{e2011457-1546-43c5-a5fe-008deee3d3f0}"},  // Vista
        {"supportedOS", "Id", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"},  // 7
        {"supportedOS", "Id", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"},  // 8
        {"supportedOS", "Id", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"},  // 8.1
        {"supportedOS", "Id", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"},  // 10 and 11
        {"gdiScaling", "xmlns", "http://schemas.microsoft.com/SMI/2017/WindowsSettings"},
        {"gdiScaling", "", "true"},
        {"longPathAware", "xmlns", "http://schemas.microsoft.com/SMI/2016/WindowsSettings"},
        {"longPathAware", "", "true"},
        // The layout is in pixels, the texts in the system's code page.
        {"dpiAware", nullptr, nullptr},
        {"dpiAwareness", nullptr, nullptr},
        {"activeCodePage", nullptr, nullptr},
    };
    for (const Field& f : fields) {
        const auto elements = Elements(manifest, f.element);
        if (f.attribute == nullptr) {
            EXPECT_TRUE(elements.empty()) << f.element;
            continue;
        }
        const std::string attribute = std::string(" ") + f.attribute + "=\"" + f.value + "\" ";
        EXPECT_TRUE(std::any_of(elements.begin(), elements.end(),
                                [&](const auto& element) {
                                    return *f.attribute == '\0'
                                               ? element.second == f.value
                                               : element.first.find(attribute) != std::string::npos;
                                }))
            << f.element << " " << f.attribute << " " << f.value;
    }
    // One assembly named: the common controls, so that its fields above are all its own.
    EXPECT_EQ(Elements(manifest, "assemblyIdentity").size(), 1u);
}

// ---- Code from the system folder only (last: it changes how this process loads by name) ----

TEST(LoadOnlyFromSystemFolder, BareNamesSkipTheProgramsFolder) {
    // A DLL beside this program, asked for by its bare name: found there before, not after.
    const win::Library before(LoadLibraryA("fake_comctl32_old.dll"));
    ASSERT_NE(before.Get(), nullptr);
    win::LoadOnlyFromSystemFolder();
    EXPECT_EQ(LoadLibraryA("fake_comctl32_ex.dll"), nullptr);
    // Those loaded ahead come from the system folder.
    for (const char* name : {"uxtheme.dll", "winmm.dll", "version.dll", "setupapi.dll"}) {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(GetModuleHandleA(name), path, sizeof path);
        EXPECT_EQ(lstrcmpiA(path, (SystemFolder() + "\\" + name).c_str()), 0)
            << name << ": " << path;
    }
}

}  // namespace
