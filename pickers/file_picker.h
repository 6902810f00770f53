#pragma once

// The open-file dialog wrapper and the file picker of the Pattern box.

#include <cstddef>
#include <string>

#include "win32/win.h"

#include <commdlg.h>

namespace pickers {

// Size of the file name buffer handed to the open-file dialog.
constexpr size_t kFileBufferSize = 8192;
// OPENFILENAMEA without pvReserved, dwReserved and FlagsEx, what every version accepts: 76 bytes
// on 32-bit Windows, 136 on 64-bit, where 76 is refused.
constexpr DWORD kRequestSize = offsetof(OPENFILENAMEA, pvReserved);

// The filter as the dialog reads it: each "|" becomes a NUL and one more NUL ends the list.
std::string FilterBuffer(const std::string& filter);

// The dialog's file name buffer, kFileBufferSize bytes: the name up to and with its first NUL (one
// is added when it has none), then blanks. A name that would leave no room for its NUL is cut to
// kFileBufferSize - 1 bytes.
std::string FileBuffer(const std::string& file_name);

// The name in a file name buffer: the bytes before its first NUL, "" when it holds none.
std::string ReadBack(const std::string& buffer);

// What follows the last "\" of a path (a character of its own, not a second byte); the whole path
// when it holds none.
std::string NameAfterLastBackslash(const std::string& path);

// True when the file name of a picked path names one file and no other: exactly one file of its
// folder reads as that text in the code page, and that file's real name is that text (case aside).
// The ANSI dialog hands back "?" where the code page has no character and a look-alike where it has
// one ("A.txt" for a Latin A with macron, "a/b.txt" for a division slash), and cannot say which of
// two names that read the same was chosen. The folder is read by its text, or where that names
// none (a name the code page cannot hold), as browsed_folder, where the dialog was at its end.
bool NamesOneFile(const std::string& path, const std::wstring& browsed_folder);

// The name that the file picker hands on: the file name of the path with its ASCII letters
// lower-cased where they stand as characters of their own, every other byte as it is.
std::string PickedName(const std::string& path);

// The request and the buffers it points into; lives as long as the dialog runs.
struct OpenRequest {
    std::string filter;
    std::string file;
    char file_title[MAX_PATH] = {};
    std::string initial_folder;
    std::string title;
    std::string default_ext;
    OPENFILENAMEA ofn = {};

    OpenRequest() = default;
    OpenRequest(const OpenRequest&) = delete;
    OpenRequest& operator=(const OpenRequest&) = delete;
};

// Fills the request from the caller's texts; an empty initial folder means the current folder.
void BuildOpenRequest(HWND owner,
                      const std::string& title,
                      const std::string& file_name,
                      const std::string& initial_folder,
                      const std::string& filter,
                      const std::string& default_ext,
                      DWORD flags,
                      OpenRequest& request);

// Runs the open-file dialog. Returns GetOpenFileNameA's result; file_name receives the name left
// in the buffer (the one passed in after a cancel), flags the request's flags as the dialog left
// them, and browsed_folder, where given, the folder the dialog was in at its end.
int OpenFileDialog(HWND owner,
                   const std::string& title,
                   std::string& file_name,
                   const std::string& initial_folder,
                   const std::string& filter,
                   const std::string& default_ext,
                   DWORD& flags,
                   std::wstring* browsed_folder = nullptr);

// The filter that the file picker offers.
std::string FilePickerFilter();

// Flags of the file picker's request: no OFN_EXPLORER, no hook, no template.
constexpr DWORD kFilePickerFlags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_LONGNAMES;

// Refuses a picked file whose name the code page cannot hold, or holds only as a look-alike.
constexpr char kFileNameLostText[] =
    "Il nome del file scelto contiene caratteri che Vortilo non sa scrivere.\r\n"
    "Scrivi il modello a mano, con * e ?.";

// How the file picker ended.
enum class FilePick {
    kChosen,
    kCancelled,  // or the dialog failed
    kRefused,    // the message said why
};

// Lets the user pick an existing file, owned by the Search window. kChosen puts its name, without
// its folder and lower-cased, into name; otherwise name is left alone. A name the code page
// cannot hold is refused with a message.
FilePick FilePicker(std::string& name);

}  // namespace pickers
