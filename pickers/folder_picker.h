#pragma once

// The start-folder picker.

#include <string>

#include "win32/win.h"

#include <shlobj.h>

namespace pickers {

// The browse request: the whole desktop tree, no instruction line, only file-system folders.
BROWSEINFOA BrowseRequest(HWND owner);

// Refuses a folder whose path the code page cannot hold.
constexpr char kFolderNameLostText[] =
    "Il nome della cartella scelta contiene caratteri che Vortilo non sa scrivere.\r\n"
    "Scegli la cartella che la contiene: la ricerca entra anche in questa.";

// Shows the system's folder browser. A chosen folder of the file system becomes the Start folder,
// exactly as the platform spells it, and is returned; "" (Start folder unchanged) otherwise. A
// folder whose path the code page cannot hold is refused with a message owned by owner. COM must
// be initialised on the calling thread.
std::string StartFolderPicker(HWND owner);

}  // namespace pickers
