#pragma once

// The program's start-up and the dialog layer that the Search window is built on.

#include <string>
#include <vector>

#include "app/win.h"

namespace app {

// Shape of the Event handler: it sees every message of the Search window once the modal loop
// has started (except WM_ACTIVATE); a non-zero result means that it dealt with the message.
using EventHandler = INT_PTR (*)(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Process-wide start-up values, set by the entry point before the main routine runs.
extern HINSTANCE g_module;
extern const char* g_command_text;

// The text after the program name in a command line, as a pointer into line: a quoted name
// runs to the closing quote (to the end when there is none), an unquoted one to the first
// byte of code 32 or less; only blanks after the name are skipped, so a tab stays.
const char* CommandLineText(const char* line);

// Round to nearest (ties to even), 64-bit precision, all exceptions masked: control word 0x037F;
// on x86_64 also the SSE control word 0x1F80, the same rounding for the arithmetic done there.
void SetFpuRounding();
unsigned short FpuControlWord();

// Width of a column: the nearest whole number (ties to even) to fraction x list width.
int ColumnWidth(float fraction, int list_width);

// The in-memory dialog template with no controls: the style gets DS_SETFONT | DS_3DLOOK |
// DS_NOFAILCREATE and loses WS_VISIBLE; the title is widened byte by byte, at most 256 units,
// an empty one becomes one blank.
std::vector<WORD> DialogTemplate(const std::string& title, DWORD style, DWORD ex_style);

// Dialog layer. Creates the hidden window with a client area of the given size, centred on the
// work area; null when it cannot be created.
HWND CreateDialogWindow(const std::string& title,
                        int client_width,
                        int client_height,
                        DWORD style,
                        DWORD ex_style);
// Adds a child control with the window's font; a BS_DEFPUSHBUTTON becomes the default button,
// a combo box gets items in order up to the first empty one. Null when nothing was created.
HWND AddControl(HWND window,
                int id,
                const char* class_name,
                const std::string& text,
                int x,
                int y,
                int width,
                int height,
                DWORD style,
                DWORD ex_style,
                const std::vector<std::string>& items = {});
// The GetWindowRect size of the window (id 0) or of one of its controls.
SIZE OuterSize(HWND window, int id = 0);
void SetCheck(HWND window, int id, int state);
void SelectItem(HWND window, int id, int index);
// The selected item's text, "" when nothing is selected.
std::string SelectedText(HWND window, int id);
// Primes the handler with WM_INITDIALOG and WM_SIZE, installs it, shows the window and handles
// messages until the window no longer exists.
void RunModal(HWND window, EventHandler handler);
// Closes and destroys the window; the modal loop notices and returns.
void EndWindow(HWND window, int result);

// Initialises the common controls and builds the hidden Search window with its controls, the
// default patterns, the start folder and the list's columns; returns the window (null when it
// cannot be created).
HWND BuildSearchWindow();

// Builds the Search window and runs it until it is gone; returns 0.
int MainRoutine();

// Releases the Search pattern, the Start folder and the result array.
void ReleaseState();

}  // namespace app
