#pragma once

// The Start button's start-or-cancel action.

#include <string>

#include "win32/search_window.h"
#include "win32/win.h"

namespace search {

// The controls a search disables, in this order, and gives back at its end.
constexpr int kLockedDuringSearch[] = {win::kQuitButton,         win::kHelpButton,
                                       win::kFolderBrowseButton, win::kPatternBox,
                                       win::kSubfoldersBox,      win::kStartFolderBox};

// The message that refuses a pattern holding a folder part ("\\", "/" or ":"), in code page 1252.
constexpr char kFolderInPatternText[] =
    "Il modello di ricerca non pu\xF2 contenere cartelle (\\ / :).\r\n"
    "Scrivi la cartella in \"Parto da:\" e qui solo il nome, con * e ?.";

// True when a pattern names a folder too: the platform would list that folder's files, and the
// rows would show them under the folder being walked.
bool HasFolderPart(const std::string& pattern);

// The Start button: starts a search from the window's inputs and returns when it is over, or,
// called again from inside a running search's Pump step, asks whether to cancel it.
void StartOrCancel();

// Seconds since local midnight of a clock reading.
double ClockSeconds(const SYSTEMTIME& clock);

// The start folder without its trailing "\" and "/" characters, plus exactly one "\".
std::string NormaliseStartFolder(std::string folder);

}  // namespace search
