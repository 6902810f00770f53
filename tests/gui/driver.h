#pragma once

// Drives the Search window of a running vortilo.exe from another Wine process of the same
// wineserver session: starts and ends the program, reads every control, the list's columns and
// cells and the message boxes, and operates them with posted messages or with real keys and
// mouse clicks through xdotool on the X display.
//
// Every operation that cannot do what it was asked throws drive::Failure with a message that
// says what was expected and what was seen. Every wait is bounded.

#include "win32/win.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace drive {

class Failure : public std::runtime_error {
  public:
    explicit Failure(const std::string& what) : std::runtime_error(what) {}
};

// The Search window's title.
extern const char kTitle[];

// The longest any single wait lasts unless the caller gives its own limit.
constexpr DWORD kWaitMs = 10000;

// Polls condition every few milliseconds until it holds; throws after ms with "timed out
// waiting for " + what.
template <class Condition>
void WaitUntil(Condition condition, const std::string& what, DWORD ms = kWaitMs);

// ---- The program ----

// The program under test: VORTILO_EXE (a Linux path or a Windows one), as the build sets it.
std::string ExePath();

// A running vortilo.exe, started as a child process; ended (terminated when it still runs) when
// this object goes away.
class Program {
  public:
    // Starts exe with the whole command line (program name included, exactly as given) in the
    // folder, and waits until the process shows its Search window.
    Program(const std::string& exe, const std::string& command_line, const std::string& folder);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    HWND Window() const { return window_; }
    DWORD Id() const { return id_; }
    bool Running() const;
    // Waits until the process has ended and returns its exit code.
    DWORD WaitExit(DWORD ms = kWaitMs);
    // Ends the process at once.
    void Kill();

  private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
    HWND window_ = nullptr;
};

// Starts exe with the whole command line in the folder (the current one when empty), its
// standard handles on NUL. The caller owns the process handle; the thread handle is closed.
PROCESS_INFORMATION Spawn(const std::string& exe,
                          const std::string& command_line,
                          const std::string& folder);

// The command line that passes text to exe the way a shell does: the program name in quotes, a
// blank, then the text; just the quoted name when the text is empty.
std::string CommandLine(const std::string& exe, const std::string& text);

// The visible Search window of process pid (any process when pid is 0), or null. It is looked
// for on the named desktop (a Wine virtual desktop), or on this process's own when none is named.
HWND FindSearchWindow(DWORD pid, const std::string& desktop = "");
// Waits for it.
HWND WaitSearchWindow(DWORD pid, DWORD ms = kWaitMs, const std::string& desktop = "");

// Waits until the window no longer exists.
void WaitGone(HWND window, const std::string& what, DWORD ms = kWaitMs);

// ---- Reading ----

struct WindowInfo {
    std::string title;
    DWORD style = 0;
    DWORD ex_style = 0;
    RECT outer = {};  // screen coordinates
    int client_width = 0;
    int client_height = 0;
    bool visible = false;
    bool iconic = false;
    HWND owner = nullptr;
    DWORD process = 0;
};

WindowInfo ReadWindow(HWND window);

struct Control {
    HWND hwnd = nullptr;
    int id = 0;
    std::string class_name;
    std::string text;
    DWORD style = 0;
    DWORD ex_style = 0;
    RECT rect = {};  // client coordinates of the parent window
    bool enabled = false;
    bool visible = false;
    int check = -1;  // BM_GETCHECK for buttons, -1 for every other class
    int Width() const { return rect.right - rect.left; }
    int Height() const { return rect.bottom - rect.top; }
};

// The window's direct children in creation order (the order of GW_CHILD, GW_HWNDNEXT).
std::vector<Control> ReadControls(HWND window);
// The child with this identifier; throws when there is none.
Control ReadControl(HWND window, int id);
HWND ControlHandle(HWND window, int id);
std::string Text(HWND window);
std::string Text(HWND window, int id);
int Check(HWND window, int id);

// The control that has the keyboard focus in the window's thread (null when none).
HWND Focus(HWND window);
// One line that names a control for messages: "3145 BUTTON \"&Inizio ricerca\"".
std::string Describe(HWND control);

struct ComboState {
    std::vector<std::string> items;
    int selection = -1;
    std::string edit_text;
};

ComboState ReadCombo(HWND window, int id);
// The rectangle of a combo box with its list dropped down, in the parent's client coordinates.
RECT DroppedRect(HWND window, int id);

struct Column {
    std::string caption;
    int width = 0;
    int format = 0;  // LVCFMT_* bits
    int sub_item = 0;
};

// The list's columns, in position order.
std::vector<Column> ReadColumns(HWND list);
// The format of each heading as its header control holds it (HDF_* bits, the sort arrows
// included), in position order.
std::vector<int> ReadHeadingFormats(HWND list);
int ItemCount(HWND list);
DWORD ListExtendedStyle(HWND list);
// The selected row, or -1.
int SelectedRow(HWND list);
// Cells of rows first to first + count - 1, columns 0 to columns - 1, as the list gives them
// through LVM_GETITEMTEXTA; read in batches, so that many cells cost little more than one.
std::vector<std::vector<std::string>> ReadCells(HWND list, int first, int count, int columns = 5);
std::string ReadCell(HWND list, int row, int column);
// The image index that the list gives a row's first cell (LVM_GETITEMA, LVIF_IMAGE), as when it
// paints it; -7 when it is given none.
int ReadImage(HWND list, int row);
// The rectangle of a cell or a heading, in the list's (the header's) client coordinates.
RECT CellRect(HWND list, int row, int column);
RECT HeadingRect(HWND list, int column);

// ---- Operating with posted messages ----

// Presses a button the way a mouse click does (a posted BM_CLICK); throws when the button is
// hidden or disabled. Returns at once: whatever the click starts runs in the program.
void Click(HWND window, int id);
void SetText(HWND window, int id, const std::string& text);
void PostSysCommand(HWND window, WPARAM command);
// Posted button messages at the middle of a cell or heading; the list sends its own
// notifications. A point may also be given in the list's client coordinates.
void ClickCell(HWND list, int row, int column);
void DoubleClickCell(HWND list, int row, int column);
void DoubleClickAt(HWND list, POINT point);
void ClickHeading(HWND list, int column);

// ---- Message boxes ----

// The visible message box (dialog class #32770) of process pid with this caption, or null.
HWND FindMessageBox(DWORD pid, const std::string& caption);
HWND WaitMessageBox(DWORD pid, const std::string& caption, DWORD ms = kWaitMs);
// The text of its message (the static control 0xFFFF), as the ANSI and the wide calls read it.
std::string MessageBoxText(HWND box);
std::wstring MessageBoxWideText(HWND box);
// Identifiers of its buttons, left to right.
std::vector<int> MessageBoxButtons(HWND box);
// Presses one of its buttons (IDOK, IDYES, IDNO, ...) and waits until the box has closed.
void Answer(HWND box, int button, DWORD ms = kWaitMs);

// A wide text in a code page (CP_ACP: this process's, which is the program's), and in UTF-8, as
// Linux programs write it.
std::string InCodePage(const std::wstring& text, UINT code_page);
std::string Utf8(const std::wstring& text);

// ---- Pop-up menus and the clipboard ----

// The visible pop-up menu (class #32768) of process pid, or null.
HWND FindPopupMenu(DWORD pid);
HWND WaitPopupMenu(DWORD pid, DWORD ms = kWaitMs);

// What the clipboard holds in both text forms; empty where it holds no such form.
struct ClipboardTexts {
    std::wstring wide;
    std::string ansi;
};
ClipboardTexts ReadClipboard();
// Puts a text on the clipboard in both forms.
void WriteClipboard(const std::string& text);

// ---- Real input through the X display ----

// Runs a Linux command through /bin/sh and waits until it has finished; returns its standard
// output. Throws when it exits with a nonzero status or outlasts ms.
std::string RunLinux(const std::string& command, DWORD ms = kWaitMs);
// The X window that shows a top-level window.
unsigned long XWindow(HWND window);
// Gives the window the X input focus and sends xdotool key names ("Tab", "alt+F4", "Escape").
void Keys(HWND window, const std::string& keys);
// Types text into the focused control of the window.
void Type(HWND window, const std::string& text);
// A real left click at the middle of a control.
void MouseClick(HWND window, int id);
// A real left click at a point of the screen, with the window focused first. A click near the
// previous one waits out the double-click time, so that it stays a single click.
void MouseClickAt(HWND window, POINT screen, int button = 1);
// A real click of a mouse button at the middle of a cell of the list.
void MouseClickCell(HWND window, HWND list, int row, int column, int button = 1);
// The middle of the window's close box in screen coordinates, where the window's own hit test
// answers HTCLOSE. A real click there goes through the system's handling of the close box,
// which refuses it while the system menu's Close command is greyed.
POINT CloseBox(HWND window);
// The icon that Wine gives the window's X window (_NET_WM_ICON): width, height, then one ARGB
// value per pixel, row by row, for each image it holds. Empty when it has none.
std::vector<unsigned long> XIcon(HWND window);

// ---- Inline definitions ----

template <class Condition>
void WaitUntil(Condition condition, const std::string& what, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > ms) {
            throw Failure("timed out after " + std::to_string(ms) + " ms waiting for " + what);
        }
        Sleep(5);
    }
}

}  // namespace drive
