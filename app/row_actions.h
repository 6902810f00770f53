#pragma once

// What a row of the Result list offers: opening its file, showing it in its folder, copying its
// path or name, through a double-click, the row's pop-up menu or Ctrl+C.

#include "win32/win.h"

namespace app {

// Asks before opening the file of a row with the program the system associates with it.
void OpenFile(int row);

// Copies the full path of a row's file to the clipboard.
void CopyPath(int row);

// A new row menu, its items in their order, the first one the default; null when the system
// has no room for it.
HMENU NewRowMenu();

// Shows the pop-up menu of a row at a point of the screen and does what the user picks there.
void RowMenu(int row, POINT screen);

}  // namespace app
