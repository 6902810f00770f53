#pragma once

// The result list's cell supply, cell reading and column sort.

#include "win32/win.h"

namespace results {

// Answers the list's request for the text of one cell (LVN_GETDISPINFOA) from the result array,
// as the list paints it. Only a request for text is answered.
void SupplyCell(NMLVDISPINFOA* info);

// Reads the text of a cell back through the list into buffer (size bytes, always terminated).
void ReadCell(HWND list, int row, int column, char* buffer, int size);

// Sorts the result rows by column k (1 to 5) and repaints the list. The direction is shared by
// all columns and flips with every call, so the first sort is descending.
void ColumnSort(int k);

}  // namespace results
