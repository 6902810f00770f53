#pragma once

// The result list's cell supply, cell reading and column sort.

#include <string>

#include "win32/win.h"

namespace results {

// Answers the list's request for the text of one cell (LVN_GETDISPINFOA) from the result array,
// as the list paints it. Only a request for text is answered.
void SupplyCell(NMLVDISPINFOA* info);

// The path of the file of row r as the file system names it (its folder and its real name, not
// the lower-cased Name cell); "" for a row outside the stored rows.
std::string FilePath(int row);

// Sorts the result rows by column k (1 to 5) and repaints the list. The direction is shared by
// all columns and flips with every call, so the first sort is descending.
void ColumnSort(int k);

}  // namespace results
