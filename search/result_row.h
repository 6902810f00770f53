#pragma once

// Result rows: how one found file becomes a row, and how fields are read back.

#include <cstdint>
#include <string>

namespace search {

// The fields of a result row, joined by TAB in this order. The list shows the first five; the
// sixth is the date's sort key; the seventh, the name as the file system gave it, is there only
// when lower-casing changed the name; the eighth, where the row's texts do not name the file,
// says which real path is the file's; the ninth, where the search's start folder was typed
// relative, says which absolute start folder the row's folder text begins from.
enum Field : int {
    kName = 1,
    kExtension = 2,
    kDirectory = 3,
    kSize = 4,
    kDate = 5,
    kDateKey = 6,
    kFileName = 7,
    kRealPath = 8,
    kStartFolder = 9
};

// Everything after the first dot of a file name, upper-cased; empty when the name has no dot.
std::string ExtensionOf(const std::string& name);

// The sort key of the local time that a date text shows, to the minute: the year in five digits,
// then month, day, hour and minute in two each, so that keys in byte order are in time order
// (years past 9999 after 9999) whatever layout the text has. "" for a time the text could not
// show, which sorts before every other.
std::string DateKey(int year, int month, int day, int hour, int minute);

// One row for a found file: the name lower-cased, its extension, the folder text as the walker
// was given it (ending in "\"), the size through the size mask, the date text and its key, and
// the name itself when lower-casing changed it.
std::string MakeRow(const std::string& name,
                    const std::string& directory,
                    int64_t size,
                    const std::string& date,
                    const std::string& date_key);

// Field k of a row, counted from 1; a field the row does not have is empty.
std::string RowField(const std::string& row, int k);

// Gives a row field k, after every field it has, holding a number: which real path (kRealPath)
// or which start folder (kStartFolder) of those kept beside the rows is the row's.
void AttachNumber(std::string& row, Field k, size_t number);

// The number that field k of a row holds; false when it holds none.
bool NumberField(const std::string& row, Field k, size_t* number);

// The file's name as the file system gave it, which opens the file: the lower-cased Name field
// names another file where the Case rule turns a byte into a different character.
std::string FileName(const std::string& row);

}  // namespace search
