#pragma once

// Dragging a found file out of the result list into another program, as a file.

namespace app {

// Hands the file of the row to whatever it is dropped on as CF_HDROP, by its real path, to be
// copied or linked, never moved. Returns when the drag has ended.
void DragRow(int row);

}  // namespace app
