#pragma once

// The Search window as every part of the program may use it: its handle and its Result list's,
// the identifiers of the controls that a search reads, writes, locks and gives back, and the few
// operations that a running search needs.

#include <string>

#include "win32/win.h"

namespace win {

// The Search window and its Result list; null until the window exists.
struct Handles {
    HWND window = nullptr;
    HWND list = nullptr;
};

extern Handles g_handles;

// Identifiers of the controls that a search works with (the window's others are the window's
// own business).
enum SearchControl : int {
    kQuitButton = 2,  // IDCANCEL, so Esc presses it
    kStatusLabel = 3134,
    kCountLabel = 3135,
    kFolderBrowseButton = 3144,
    kStartButton = 3145,
    kHelpButton = 3146,
    kPatternBox = 3164,
    kStartFolderBox = 3174,
    kSubfoldersBox = 3184,
    kWindowsBox = 3194,
    kDocumentsBox = 3204,
    kProgrammiBox = 3214,
};

// The caption of the message boxes in which the program explains why it refused something.
constexpr char kMessageCaption[] = "Vortilo";

// The text of the status label and of the count label.
void ShowStatus(const std::string& text);
void ShowCount(const std::string& text);

// Tells the Result list how many rows it has, without repainting the rows it shows.
void SetItemCount(int count);

// Puts on the Result list's heading of this column the arrow of the sort just made (down for
// descending, up for ascending) and takes it off every other heading. Each heading keeps its
// alignment.
void ShowSortArrow(int column, bool descending);
// Takes the arrow off every heading: the rows are no longer in the order of the last sort.
void ClearSortArrows();

// The dialog procedure notes the Search window here while it is the active window (null when it
// is deactivated), so that a Pump step can give it its keyboard handling.
void NoteActiveDialog(HWND dialog);
HWND ActiveDialog();

}  // namespace win
