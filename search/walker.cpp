// The folder walker: a file pass and a subfolder pass per folder, depth first.

#include "search/walker.h"

#include <chrono>
#include <cstdint>
#include <set>
#include <tuple>
#include <vector>

#include "format/code_page.h"
#include "format/number_text.h"
#include "search/pump.h"
#include "search/case_rule.h"
#include "search/result_row.h"
#include "search/state.h"
#include "win32/date_text.h"
#include "win32/search_window.h"
#include "win32/wide_path.h"
#include "win32/win.h"

namespace search {
namespace {

// Where a folder is for the file system.
struct RealFolder {
    // Ends in "\": the start folder made absolute, then each real name.
    std::wstring path;
    // No name in it ends in a dot or a blank, which the platform's path rules would drop.
    bool plain = true;
};

// A folder on the way down. Its rows and the status label show text; the file system is asked
// for the real path, by the real names, which text may not give back.
struct Folder {
    // Ends in "\": the start folder as typed, then each name as the ANSI calls show it.
    std::string text;
    RealFolder real;
    // Read back through the code page, text names this same folder.
    bool text_names_it = true;
};

// A folder as the file system knows it, whichever path or link led to it.
using FolderId = std::tuple<DWORD, DWORD, DWORD>;

// The path to ask the platform for: as it is while it fits a MAX_PATH buffer and holds no name
// that the platform's path rules would change, the long form otherwise.
std::wstring AskFor(const RealFolder& folder, const std::wstring& last) {
    if (folder.plain && folder.path.size() + last.size() < MAX_PATH) {
        return folder.path + last;
    }
    return win::LongForm(folder.path) + win::PatternAsRead(last);
}

bool ReadFolderId(const RealFolder& folder, FolderId* id) {
    win::KernelHandle handle(CreateFileW(
        AskFor(folder, L"").c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!handle.Valid() || !GetFileInformationByHandle(handle.Get(), &info)) {
        return false;
    }
    *id = FolderId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

// Reading a folder's identity costs a file open (a millisecond or two under Wine): the window
// gets a Pump step at least this often while a run of them is read.
constexpr std::chrono::milliseconds kIdentityRun(20);

// What one search learns on its way down: the folders it has walked, so that a folder reached
// again through a link (Wine reports Linux symbolic links as reparse points; Windows has
// junctions) is not walked again. Until the first link only the walked folders are kept; the
// first link has them all identified, and from then on each folder is identified before it is
// entered.
struct Walk {
    // The search pattern as the ANSI call would have handed it on.
    std::wstring pattern;
    // Which of the kept start folders the rows of this search begin from, where it was typed
    // relative.
    bool relative = false;
    size_t start_folder = 0;
    std::vector<RealFolder> unread;
    std::set<FolderId> ids;
    bool links_met = false;
};

// Identifies every folder walked so far, with a Pump step between runs of them. False when the
// search was aborted meanwhile.
bool IdentifyWalked(Walk& walk) {
    walk.links_met = true;
    auto pumped = std::chrono::steady_clock::now();
    for (const RealFolder& folder : walk.unread) {
        FolderId id;
        if (ReadFolderId(folder, &id)) {
            walk.ids.insert(id);
        }
        if (std::chrono::steady_clock::now() - pumped >= kIdentityRun) {
            PumpStep();
            if (g_state.abort != 0) {
                return false;
            }
            pumped = std::chrono::steady_clock::now();
        }
    }
    std::vector<RealFolder>().swap(walk.unread);
    return true;
}

// True when subfolder (a link when is_link) leads to a folder that this search has walked
// already or the search was aborted. Otherwise, once links are in play, *id receives the
// folder's identity and *id_read says whether it could be read.
bool WalkedAlready(Walk& walk, const Folder& subfolder, bool is_link, FolderId* id, bool* id_read) {
    *id_read = false;
    if (!is_link && !walk.links_met) {
        return false;
    }
    if (!walk.links_met && !IdentifyWalked(walk)) {
        return true;
    }
    *id_read = ReadFolderId(subfolder.real, id);
    return *id_read && walk.ids.count(*id) != 0;
}

void NoteWalked(Walk& walk, const Folder& folder, const FolderId* id) {
    if (id != nullptr) {
        walk.ids.insert(*id);
    } else if (!walk.links_met) {
        walk.unread.push_back(folder.real);
    }
}

bool Skipped(const std::string& folder) {
    const std::string upper = UpperCase(folder);
    // Only at a character's start: in a folder named 0x95 0x5C "Windows" (a Japanese character
    // and the word), the character's second byte and the word read "\\WINDOWS\\" byte for byte.
    const auto contains = [&upper](const char* text) {
        return format::FindText(upper, text) != std::string::npos;
    };
    if (g_state.admit_windows == 0 && (contains("C:\\WINDOWS") || contains("\\WINDOWS\\"))) {
        return true;
    }
    if (g_state.admit_programmi == 0 && contains("C:\\PROGRAMMI")) {
        return true;
    }
    return g_state.admit_documents == 0 && contains("C:\\DOCUMENTS");
}

std::wstring NameOf(const WIN32_FIND_DATAW& entry) {
    return std::wstring(entry.cFileName, wcsnlen(entry.cFileName, MAX_PATH));
}

// Appends the row of one file. When memory runs out nothing is stored: every row already found
// stays as it was.
void AddRow(const Walk& walk, const Folder& folder, const WIN32_FIND_DATAW& entry) {
    const auto size = static_cast<int64_t>((static_cast<uint64_t>(entry.nFileSizeHigh) << 32) |
                                           entry.nFileSizeLow);
    const std::wstring name = NameOf(entry);
    const std::string shown = win::Narrow(name);
    SYSTEMTIME time;
    const std::string date = win::DateText(entry.ftLastWriteTime, &time);
    std::string row = MakeRow(
        shown, folder.text, size, date,
        time.wYear == 0 ? std::string()
                        : DateKey(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute));
    // Where the row's text would open another file or none, the real path goes beside it.
    if (!folder.text_names_it || !win::TextNames(name, shown) ||
        folder.real.path.size() + name.size() >= MAX_PATH) {
        AttachNumber(row, kRealPath, g_state.real_paths.size());
        g_state.real_paths.push_back(folder.real.path + name);
    } else if (walk.relative) {
        AttachNumber(row, kStartFolder, walk.start_folder);
    }
    // Sized right before the store: the array never holds an element that is not a row.
    g_state.results.resize(static_cast<size_t>(g_state.found_count) + 1);
    g_state.results[static_cast<size_t>(g_state.found_count)] = std::move(row);
    g_state.total_bytes += size;
    ++g_state.found_count;
    // The list no longer shows the order of its last sort.
    win::ClearSortArrows();
    if (g_state.found_count < 20 || g_state.found_count % 10 == 0) {
        ShowFoundCount();
    }
}

void ListFiles(const Walk& walk, const Folder& folder) {
    WIN32_FIND_DATAW entry;
    win::FindHandle find(FindFirstFileW(AskFor(folder.real, walk.pattern).c_str(), &entry));
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
        AddRow(walk, folder, entry);
    } while (FindNextFileW(find.Get(), &entry));
}

void WalkTree(Walk& walk, const Folder& folder, const FolderId* id);

void WalkSubfolders(Walk& walk, const Folder& folder) {
    WIN32_FIND_DATAW entry;
    win::FindHandle find(FindFirstFileW(AskFor(folder.real, L"*").c_str(), &entry));
    if (!find.Valid()) {
        return;
    }
    do {
        const DWORD attributes = entry.dwFileAttributes;
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_HIDDEN)) {
            continue;
        }
        const std::wstring name = NameOf(entry);
        if (name == L"." || name == L"..") {
            continue;
        }
        // Entered by its real name: a name the code page shows as "??" or as a look-alike
        // ("x/.." for a Linux name with a division slash) would name another folder or none.
        const std::string shown = win::Narrow(name);
        Folder subfolder;
        subfolder.text = folder.text + shown + "\\";
        subfolder.real.path = folder.real.path + name + L"\\";
        subfolder.real.plain = folder.real.plain && win::PlainName(name);
        subfolder.text_names_it = folder.text_names_it && win::TextNames(name, shown);
        // A link back onto this path would list the same files again on every level until paths
        // run out; links between folders would walk them over and over.
        FolderId subfolder_id;
        bool id_read = false;
        if (WalkedAlready(walk, subfolder, (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0,
                          &subfolder_id, &id_read)) {
            if (g_state.abort != 0) {
                return;
            }
            continue;
        }
        PumpStep();
        if (g_state.abort != 0) {
            return;
        }
        WalkTree(walk, subfolder, id_read ? &subfolder_id : nullptr);
    } while (FindNextFileW(find.Get(), &entry));
}

// One folder and, when subfolders are included, its subtree; its identity known (id) or not
// yet read (null).
void WalkTree(Walk& walk, const Folder& folder, const FolderId* id) {
    if (Skipped(folder.text)) {
        return;
    }
    NoteWalked(walk, folder, id);
    win::ShowStatus("Ricerca: " + folder.text);
    ListFiles(walk, folder);
    if (g_state.include_subfolders == 0) {
        return;
    }
    WalkSubfolders(walk, folder);
}

}  // namespace

void ShowFoundCount() {
    win::SetItemCount(g_state.found_count);
    win::ShowCount(format::NumberText(g_state.found_count, format::Form::kBare) + kFilesFoundText);
}

void WalkFolder(const std::string& folder) {
    if (g_state.found_count == 0) {
        // No row refers to a real path or a start folder any longer: Reset or a new start dropped
        // them all.
        std::vector<std::wstring>().swap(g_state.real_paths);
        std::vector<State::StartFolder>().swap(g_state.start_folders);
    }
    Walk walk;
    walk.pattern = win::Widen(g_state.pattern);
    Folder start;
    // A bidirectional control typed there would turn the rows' folder text round.
    start.text = win::WithoutBidi(folder);
    start.text_names_it = start.text == folder;
    // Made absolute as the ANSI calls would resolve the text, so that the real path of each
    // subfolder can be built on it.
    start.real.path = win::FullPath(win::Widen(folder));
    if (start.real.path.empty()) {
        start.real.path = win::Widen(folder);
    }
    if (start.real.path.empty() || start.real.path.back() != L'\\') {
        start.real.path += L'\\';
    }
    // Resolved once, now: the rows keep the folder as typed, and every path handed out names
    // the file from this absolute folder.
    if (win::Widen(start.text) != start.real.path) {
        walk.relative = true;
        walk.start_folder = g_state.start_folders.size();
        g_state.start_folders.push_back({start.text, start.real.path});
    }
    WalkTree(walk, start, nullptr);
}

}  // namespace search
