#pragma once

// The result list's cell supply, cell reading and column sort.

#include <string>

#include "win32/win.h"

namespace results {

// Answers the list's request for the text of one cell (LVN_GETDISPINFOA) from the result array,
// and for the icon of a row's Nome cell, as the list paints it. Nothing else is answered.
void SupplyCell(NMLVDISPINFOA* info);

// The path of the file of row r in the code page: its folder and its name as the file system
// gave it (not the lower-cased Name cell); "" for a row outside the stored rows.
std::string FilePath(int row);

// True when the text of row r names its file; false where its real path is kept beside it
// (a name the code page cannot hold or shows as a look-alike, a path past MAX_PATH) and for a
// row outside the stored rows.
bool NamesItsFile(int row);

// The absolute path that opens the file of row r: the real one kept beside the row where the
// row's texts do not name the file, else FilePath read back, from the absolute start folder of
// its search where that was typed relative; "" for a row outside the stored rows.
std::wstring RealFilePath(int row);

// Sorts the result rows by column k (1 to 5), puts the arrow of its direction on the column's
// heading and repaints the list. The direction is shared by all columns and flips with every
// call, so the first sort is descending.
void ColumnSort(int k);

}  // namespace results
