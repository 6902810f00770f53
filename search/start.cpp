#include "search/start.h"

#include "app/controls.h"
#include "app/handles.h"
#include "format/number_text.h"
#include "search/pump.h"
#include "search/state.h"
#include "search/summary.h"
#include "search/walker.h"

namespace search {
namespace {

constexpr char kCancelCaption[] = "&Cancel";

void ConfirmCancel() {
    if (MessageBoxA(app::g_handles.window, "Annullo ricerca?", "Torvesk",
                    MB_YESNO | MB_ICONQUESTION) == IDYES) {
        g_state.abort = 1;
        g_state.busy = 0;
    }
    PumpStep();
}

void Start() {
    SYSTEMTIME clock;
    GetLocalTime(&clock);
    const auto start_time = static_cast<float>(ClockSeconds(clock));
    HWND window = app::g_handles.window;

    g_state.busy = 1;
    g_state.abort = 0;
    // No free element is added ahead of the rows: the walker sizes the array before each store,
    // so a sort between a confirmed cancel and the end block sees only real rows.
    win::SetText(window, app::kCountLabel,
                 format::NumberText(g_state.found_count, format::Form::kSigned) + " files trovati");
    g_state.pattern = win::GetText(window, app::kPatternBox);
    g_state.start_folder = win::GetText(window, app::kStartFolderBox);
    g_state.include_subfolders = win::GetCheck(window, app::kSubfoldersBox);
    g_state.admit_windows = win::GetCheck(window, app::kWindowsBox);
    g_state.admit_documents = win::GetCheck(window, app::kDocumentsBox);
    g_state.admit_programmi = win::GetCheck(window, app::kProgrammiBox);
    win::SetCloseCommand(window, MF_GRAYED);
    win::SetText(window, app::kStartButton, kCancelCaption);
    for (int id : kLockedDuringSearch) {
        win::Enable(window, id, false);
    }
    PumpStep();

    g_state.total_bytes = 0;
    g_state.start_folder = NormaliseStartFolder(g_state.start_folder);
    WalkFolder(g_state.start_folder);
    g_state.results.resize(static_cast<size_t>(g_state.found_count));
    EndSearch(start_time);
}

}  // namespace

double ClockSeconds(const SYSTEMTIME& clock) {
    const double ms = clock.wHour * 3600000.0 + clock.wMinute * 60000.0 + clock.wSecond * 1000.0 +
                      clock.wMilliseconds;
    return ms / 1000.0;
}

std::string NormaliseStartFolder(std::string folder) {
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) {
        folder.pop_back();
    }
    return folder + "\\";
}

void StartOrCancel() {
    PumpStep();
    if (win::GetText(app::g_handles.window, app::kStartButton) == kCancelCaption) {
        ConfirmCancel();
        return;
    }
    Start();
}

}  // namespace search
