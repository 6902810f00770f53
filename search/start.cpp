// The Start button's action: starts a search, or asks whether to cancel the running one.

#include "search/start.h"

#include <new>

#include "format/code_page.h"
#include "format/number_text.h"
#include "search/pump.h"
#include "search/state.h"
#include "search/summary.h"
#include "search/walker.h"
#include "win32/taskbar.h"

namespace search {
namespace {

constexpr char kCancelCaption[] = "&Cancel";

void ConfirmCancel() {
    if (MessageBoxA(win::g_handles.window, "Annullo ricerca?", "Torvesk",
                    MB_YESNO | MB_ICONQUESTION) == IDYES) {
        g_state.abort = 1;
        g_state.busy = 0;
    }
    PumpStep();
}

// Takes the window's inputs, locks it and walks the start folder.
void Search(HWND window) {
    g_state.busy = 1;
    g_state.abort = 0;
    // No free element is added ahead of the rows: the walker sizes the array before each store,
    // so a sort between a confirmed cancel and the end block sees only real rows.
    win::ShowCount(format::NumberText(g_state.found_count, format::Form::kSigned) +
                   kFilesFoundText);
    g_state.pattern = win::GetText(window, win::kPatternBox);
    g_state.start_folder = win::GetText(window, win::kStartFolderBox);
    g_state.include_subfolders = win::GetCheck(window, win::kSubfoldersBox);
    g_state.admit_windows = win::GetCheck(window, win::kWindowsBox);
    g_state.admit_documents = win::GetCheck(window, win::kDocumentsBox);
    g_state.admit_programmi = win::GetCheck(window, win::kProgrammiBox);
    win::SetCloseCommand(window, MF_GRAYED);
    win::SetText(window, win::kStartButton, kCancelCaption);
    for (int id : kLockedDuringSearch) {
        win::Enable(window, id, false);
    }
    win::ShowSearchRunning(true);
    PumpStep();

    g_state.total_bytes = 0;
    g_state.start_folder = NormaliseStartFolder(g_state.start_folder);
    WalkFolder(g_state.start_folder);
}

void Start() {
    HWND window = win::g_handles.window;
    if (HasFolderPart(win::GetText(window, win::kPatternBox))) {
        // No search starts: the rows, the labels and the controls stay as they are.
        win::OwnMessageBox(window, kFolderInPatternText, win::kMessageCaption,
                           MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // Each Pump step may sleep 1 ms: on Windows that lasts a whole timer tick unless the
    // resolution is raised. Lowered again on every way out of the search.
    win::FineTimer fine_timer;
    SYSTEMTIME clock;
    GetLocalTime(&clock);
    const auto start_time = static_cast<float>(ClockSeconds(clock));

    // Whatever the search throws ends it like a cancel, keeping every row found; the summary
    // says why. The end block then gives the window back.
    const char* stop_note = "";
    try {
        Search(window);
    } catch (const std::bad_alloc&) {
        win::NoteCurrentException("search");
        stop_note = kOutOfMemoryNote;
    } catch (...) {
        win::NoteCurrentException("search");
        stop_note = kErrorNote;
    }
    g_state.results.resize(static_cast<size_t>(g_state.found_count));
    EndSearch(start_time, stop_note);
}

}  // namespace

bool HasFolderPart(const std::string& pattern) {
    return format::FindCharOf(pattern, "\\/:") != std::string::npos;
}

double ClockSeconds(const SYSTEMTIME& clock) {
    const double ms = clock.wHour * 3600000.0 + clock.wMinute * 60000.0 + clock.wSecond * 1000.0 +
                      clock.wMilliseconds;
    return ms / 1000.0;
}

std::string NormaliseStartFolder(std::string folder) {
    // Stepped by characters: the last byte of a folder name may be a character's second byte
    // that reads as "\\" (0x5C), and the separator must not be taken for it.
    size_t kept = 0;
    for (size_t at = 0; at < folder.size();) {
        const size_t length = format::CharLength(folder.data(), folder.size(), at);
        if (length != 1 || (folder[at] != '\\' && folder[at] != '/')) {
            kept = at + length;
        }
        at += length;
    }
    folder.resize(kept);
    return folder + "\\";
}

void StartOrCancel() {
    PumpStep();
    if (win::GetText(win::g_handles.window, win::kStartButton) == kCancelCaption) {
        ConfirmCancel();
        return;
    }
    Start();
}

}  // namespace search
