#pragma once

// The dialog layer that the Search window is built on: an in-memory dialog template, the window
// made from it and its controls, their state, and the dialog procedure that hands every message
// to the Event handler.

#include <string>
#include <vector>

#include "win32/win.h"

namespace app {

// Shape of the Event handler: it sees every message of the Search window once the modal loop
// has started (except WM_ACTIVATE); a non-zero result means that it dealt with the message.
using EventHandler = INT_PTR (*)(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The in-memory dialog template with no controls: the style gets DS_SETFONT | DS_3DLOOK |
// DS_NOFAILCREATE and loses WS_VISIBLE; the title is widened byte by byte, at most 256 units,
// an empty one becomes one blank.
std::vector<WORD> DialogTemplate(const std::string& title, DWORD style, DWORD ex_style);

// Creates the hidden window with a client area of the given size, centred on the work area;
// null when it cannot be created.
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
// The handler that the dialog procedure hands messages to; null hands none.
void InstallHandler(EventHandler handler);
// Closes and destroys the window; the modal loop notices and returns.
void EndWindow(HWND window);

}  // namespace app
