// The folder walker: a file pass and a subfolder pass per folder, depth first.

#include "search/walker.h"

#include <cstdint>
#include <cstring>
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

bool SameFolder(const FolderId& a, const FolderId& b) {
    return a.volume == b.volume && a.index_high == b.index_high && a.index_low == b.index_low;
}

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

// One folder on the path from the start folder down to the folder being walked. Its identity is
// read only when a link asks for it, so ordinary trees cost nothing extra.
struct Level {
    std::string folder;
    bool id_read = false;
    bool id_valid = false;
    FolderId id;
};

std::vector<Level> g_path;

// Keeps g_path in step with the recursion on every way out of a folder.
class PathEntry {
  public:
    explicit PathEntry(const std::string& folder) {
        g_path.emplace_back();
        g_path.back().folder = folder;
    }
    ~PathEntry() { g_path.pop_back(); }
    PathEntry(const PathEntry&) = delete;
    PathEntry& operator=(const PathEntry&) = delete;
};

// True when the folder that link_path leads to is already on the path being walked.
bool LeadsBackOnPath(const std::string& link_path) {
    FolderId target;
    if (!ReadFolderId(link_path, &target)) {
        return false;
    }
    for (Level& level : g_path) {
        if (!level.id_read) {
            level.id_valid = ReadFolderId(level.folder, &level.id);
            level.id_read = true;
        }
        if (level.id_valid && SameFolder(level.id, target)) {
            return true;
        }
    }
    return false;
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
        // Wine reports Linux symbolic links as reparse points. One that leads back to a folder on
        // this path would list the same files again on every level until paths run out.
        const std::string subfolder = folder + name;
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && LeadsBackOnPath(subfolder)) {
            continue;
        }
        PumpStep();
        if (g_state.abort != 0) {
            return;
        }
        WalkFolder(subfolder + "\\");
    } while (FindNextFileA(find.Get(), &entry));
}

}  // namespace

void ShowFoundCount() {
    win::SetItemCount(g_state.found_count);
    win::ShowCount(format::NumberText(g_state.found_count, format::Form::kBare) + " files trovati");
}

void WalkFolder(const std::string& folder) {
    // A folder whose "*" mask would not fit cannot be listed without cutting: it is not entered.
    if (Skipped(folder) || folder.size() + 1 > kMaskLimit) {
        return;
    }
    PathEntry on_path(folder);
    win::ShowStatus("Ricerca: " + folder);
    ListFiles(folder);
    if (g_state.include_subfolders == 0) {
        return;
    }
    WalkSubfolders(folder);
}

}  // namespace search
