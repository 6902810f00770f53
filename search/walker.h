#pragma once

// The folder walker that appends the rows of a search.

#include <string>

namespace search {

// Lists the files of folder (which ends in "\") that match the search pattern, appending one row
// each to the result array, then walks its visible subfolders depth first when subfolders are
// included. Reads and writes g_state; stops at the first Pump step that finds the abort flag set.
// Throws std::bad_alloc when memory runs out, with every row found so far kept.
void WalkFolder(const std::string& folder);

// Follows the number in the Count label.
constexpr char kFilesFoundText[] = " files trovati";

// Tells the Result list how many rows there are and shows the count in the Count label.
void ShowFoundCount();

}  // namespace search
