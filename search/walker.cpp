// The folder walker: a file pass and a subfolder pass per folder, depth first.

#include "search/walker.h"

#include <cstdint>
#include <cstring>
#include <set>
#include <tuple>
#include <vector>

#include "format/number_text.h"
#include "search/case_rule.h"
#include "search/pump.h"
#include "search/result_row.h"
#include "search/state.h"
#include "win32/date_text.h"
#include "win32/search_window.h"
#include "win32/win.h"

namespace search {
namespace {

// FindFirstFileA takes its mask through a MAX_PATH buffer. A mask cut short there would name
// another folder or file, so a pass whose mask does not fit is never made.
constexpr size_t kMaskLimit = MAX_PATH - 1;

// A folder as the file system knows it, whichever path or link led to it.
struct FolderId {
    DWORD volume = 0;
    DWORD index_high = 0;
    DWORD index_low = 0;
};

bool ReadFolderId(const std::string& path, FolderId* id) {
    if (path.size() > kMaskLimit) {
        return false;
    }
    char buffer[MAX_PATH];
    win::CopyBounded(buffer, path);
    win::KernelHandle folder(
        CreateFileA(buffer, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!folder.Valid() || !GetFileInformationByHandle(folder.Get(), &info)) {
        return false;
    }
    id->volume = info.dwVolumeSerialNumber;
    id->index_high = info.nFileIndexHigh;
    id->index_low = info.nFileIndexLow;
    return true;
}

// The folders this search has walked, by identity, so that a folder reached again through a
// link (Wine reports Linux symbolic links as reparse points; Windows has junctions) is not walked
// again. An identity costs a file open, so until the search meets its first link only the walked
// folders' texts are kept; the first link has them all identified, and from then on each folder
// is identified before it is entered.
struct Walked {
    std::vector<std::string> unread;
    std::set<std::tuple<DWORD, DWORD, DWORD>> ids;
    bool links_met = false;
};

Walked g_walked;
int g_depth = 0;

std::tuple<DWORD, DWORD, DWORD> Key(const FolderId& id) {
    return {id.volume, id.index_high, id.index_low};
}

// Keeps the nesting count in step on every way out of a folder; a walk that starts at depth 0
// is a new search, with nothing walked yet.
class Nesting {
  public:
    Nesting() {
        if (g_depth++ == 0) {
            g_walked = Walked();
        }
    }
    ~Nesting() { --g_depth; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;
};

void NoteWalked(const std::string& folder, const FolderId* id) {
    if (id != nullptr) {
        g_walked.ids.insert(Key(*id));
    } else if (!g_walked.links_met) {
        g_walked.unread.push_back(folder);
    }
}

// True when subfolder (a link when is_link) leads to a folder that this search has walked
// already. Otherwise, once links are in play, *id receives the folder's identity and *id_read
// says whether it could be read.
bool WalkedAlready(const std::string& subfolder, bool is_link, FolderId* id, bool* id_read) {
    *id_read = false;
    if (!is_link && !g_walked.links_met) {
        return false;
    }
    if (!g_walked.links_met) {
        g_walked.links_met = true;
        for (const std::string& folder : g_walked.unread) {
            FolderId walked;
            if (ReadFolderId(folder, &walked)) {
                g_walked.ids.insert(Key(walked));
            }
        }
        std::vector<std::string>().swap(g_walked.unread);
    }
    *id_read = ReadFolderId(subfolder, id);
    return *id_read && g_walked.ids.count(Key(*id)) != 0;
}

bool Skipped(const std::string& folder) {
    const std::string upper = UpperCase(folder);
    const auto contains = [&upper](const char* text) {
        return upper.find(text) != std::string::npos;
    };
    if (g_state.admit_windows == 0 && (contains("C:\\WINDOWS") || contains("\\WINDOWS\\"))) {
        return true;
    }
    if (g_state.admit_programmi == 0 && contains("C:\\PROGRAMMI")) {
        return true;
    }
    return g_state.admit_documents == 0 && contains("C:\\DOCUMENTS");
}

std::string NameOf(const WIN32_FIND_DATAA& entry) {
    return std::string(entry.cFileName, strnlen(entry.cFileName, sizeof entry.cFileName));
}

// Appends the row of one file. When memory runs out nothing is stored: every row already found
// stays as it was.
void AddRow(const std::string& folder, const WIN32_FIND_DATAA& entry) {
    const auto size = static_cast<int64_t>((static_cast<uint64_t>(entry.nFileSizeHigh) << 32) |
                                           entry.nFileSizeLow);
    std::string row = MakeRow(NameOf(entry), folder, size, win::DateText(entry.ftLastWriteTime));
    // Sized right before the store: the array never holds an element that is not a row.
    g_state.results.resize(static_cast<size_t>(g_state.found_count) + 1);
    g_state.results[static_cast<size_t>(g_state.found_count)] = std::move(row);
    g_state.total_bytes += size;
    ++g_state.found_count;
    if (g_state.found_count < 20 || g_state.found_count % 10 == 0) {
        ShowFoundCount();
    }
}

// Starts an enumeration of mask into entry; an invalid handle when the mask would not fit the
// platform's buffer or nothing can be listed.
HANDLE FindFirst(const std::string& mask, WIN32_FIND_DATAA* entry) {
    if (mask.size() > kMaskLimit) {
        return INVALID_HANDLE_VALUE;
    }
    char buffer[MAX_PATH];
    win::CopyBounded(buffer, mask);
    return FindFirstFileA(buffer, entry);
}

void ListFiles(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    win::FindHandle find(FindFirst(folder + g_state.pattern, &entry));
    if (!find.Valid()) {
        return;
    }
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            continue;
        }
        PumpStep();
        if (g_state.abort != 0) {
            return;
        }
        AddRow(folder, entry);
    } while (FindNextFileA(find.Get(), &entry));
}

void Walk(const std::string& folder, const FolderId* id);

void WalkSubfolders(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    win::FindHandle find(FindFirst(folder + "*", &entry));
    if (!find.Valid()) {
        return;
    }
    do {
        const DWORD attributes = entry.dwFileAttributes;
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_HIDDEN)) {
            continue;
        }
        const std::string name = NameOf(entry);
        if (name == "." || name == "..") {
            continue;
        }
        // A link back onto this path would list the same files again on every level until paths
        // run out; links between folders would walk them over and over.
        const std::string subfolder = folder + name;
        FolderId id;
        bool id_read = false;
        if (WalkedAlready(subfolder, (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0, &id,
                          &id_read)) {
            continue;
        }
        PumpStep();
        if (g_state.abort != 0) {
            return;
        }
        Walk(subfolder + "\\", id_read ? &id : nullptr);
    } while (FindNextFileA(find.Get(), &entry));
}

// WalkFolder, for a folder whose identity is known (id) or not yet read (null).
void Walk(const std::string& folder, const FolderId* id) {
    // A folder whose "*" mask would not fit cannot be listed without cutting: it is not entered.
    if (Skipped(folder) || folder.size() + 1 > kMaskLimit) {
        return;
    }
    const Nesting nesting;
    NoteWalked(folder, id);
    win::ShowStatus("Ricerca: " + folder);
    ListFiles(folder);
    if (g_state.include_subfolders == 0) {
        return;
    }
    WalkSubfolders(folder);
}

}  // namespace

void ShowFoundCount() {
    win::SetItemCount(g_state.found_count);
    win::ShowCount(format::NumberText(g_state.found_count, format::Form::kBare) + " files trovati");
}

void WalkFolder(const std::string& folder) {
    Walk(folder, nullptr);
}

}  // namespace search
