#pragma once

// What the end-to-end tests share: the program under test and how to start it.

#include <memory>
#include <string>

#include "tests/gui/driver.h"
#include "tests/win32/fixtures.h"

namespace gui {

// The Search window's controls, written out here so that the tests do not lean on the
// program's own header.
constexpr int kStatusLabel = 3134;
constexpr int kCountLabel = 3135;
constexpr int kStartButton = 3145;
constexpr int kFolderBrowseButton = 3144;
constexpr int kHelpButton = 3146;
constexpr int kResetButton = 3147;
constexpr int kPatternBrowseButton = 3148;
constexpr int kResultList = 3154;
constexpr int kPatternBox = 3164;
constexpr int kStartFolderBox = 3174;
constexpr int kSubfoldersBox = 3184;
constexpr int kWindowsBox = 3194;
constexpr int kDocumentsBox = 3204;
constexpr int kProgrammiBox = 3214;
constexpr int kQuitButton = IDCANCEL;

using drive::ExePath;

// Starts the program in folder with the command-line text after its quoted name ("" for none).
std::unique_ptr<drive::Program> StartProgram(const std::string& folder,
                                             const std::string& text = "");

// Types a start folder and a pattern into the window, presses the Start button and waits until
// the search has ended (the button reads "&Cerca" again).
void RunSearch(HWND window, const std::string& folder, const std::string& pattern);

// Waits until the Start button's caption reads caption.
void WaitCaption(HWND window, const std::string& caption, DWORD ms = drive::kWaitMs);

// Waits for a visible dialog (class #32770) of process pid other than the Search window.
HWND WaitOtherDialog(DWORD pid, HWND search_window, DWORD ms = drive::kWaitMs);

// The number of rows the Result list shows.
int Rows(HWND window);

// n empty files f0001.txt ... in a folder of the tree (made by the shell: quicker than one
// Win32 call each).
void ManyFiles(const vtest::TempTree& tree, const std::string& folder, int n);

// Starts a search of 1,400 files in two folders and returns once it runs (about 1.5 s to go).
void StartLongSearch(const vtest::TempTree& tree, HWND window);

}  // namespace gui
