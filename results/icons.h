#pragma once

// The system's small icon of each found file, asked for only as the list paints its row.

#include "win32/win.h"

namespace results {

// The system's image list of small icons. Every window of the process shares it: a list that
// shows it must leave it undestroyed (LVS_SHAREIMAGELISTS). Null where the system gives none.
HIMAGELIST SystemSmallIcons();

// The index in that list of the icon of row r's file: its type's icon, asked for by extension,
// or, for the types whose files carry an icon of their own (.exe, .ico, .lnk, .url, .cur, .ani,
// .scr), the file's own, asked for by its real path. I_IMAGENONE where the system gives none and
// for a row outside the stored rows.
int RowIcon(int row);

// Forgets every icon asked for so far, so that a new search asks the system afresh: a file or
// a type may have changed its icon since.
void ForgetIcons();

}  // namespace results
