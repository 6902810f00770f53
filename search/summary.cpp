// The end block of a search and its summary line.

#include "search/summary.h"

#include "format/mask_format.h"
#include "format/number_text.h"
#include "search/pump.h"
#include "search/start.h"
#include "search/state.h"
#include "search/walker.h"
#include "win32/search_window.h"
#include "win32/taskbar.h"
#include "win32/wide_path.h"
#include "win32/win.h"

namespace search {
namespace {

constexpr char kSearchCaption[] = "&Cerca";

// The final count and the summary line. The note tells why the search stopped early, or is "".
void ShowResults(float start_time, const char* stop_note) {
    // Also when the count is not one at which the walker last showed it.
    ShowFoundCount();
    SYSTEMTIME clock;
    GetLocalTime(&clock);
    const float elapsed = ElapsedSeconds(start_time, ClockSeconds(clock));
    win::ShowStatus("Trovati: " +
                    SearchSummary(g_state.found_count, win::WithoutBidi(g_state.pattern),
                                  g_state.total_bytes, elapsed) +
                    stop_note);
}

// Unlocks what the search locked. Its one text is too short to need memory of its own, so this
// works also when memory has run out.
void GiveWindowBack() {
    HWND window = win::g_handles.window;
    win::SetText(window, win::kStartButton, kSearchCaption);
    for (int id : kLockedDuringSearch) {
        win::Enable(window, id, true);
    }
    win::SetCloseCommand(window, MF_ENABLED);
    win::ShowSearchRunning(false);
    // A search left to run behind other windows calls the user back when it ends.
    win::FlashIfOutOfSight(window);
    g_state.busy = 0;
}

}  // namespace

float ElapsedSeconds(float start, double now) {
    double elapsed = now - static_cast<double>(start);
    if (elapsed < -1.0) {
        elapsed += 86400.0;
    } else if (elapsed < 0.0) {
        elapsed = 0.0;
    }
    return static_cast<float>(elapsed);
}

std::string SearchSummary(int32_t found,
                          const std::string& pattern,
                          int64_t total_bytes,
                          float elapsed) {
    return format::NumberText(found, format::Form::kSigned) + " " + pattern +
           "  per un totale di " + format::MaskFormat(total_bytes, "#,###") + " bytes." + " (in " +
           format::MaskFormat(elapsed, "0.000") + " sec.)";
}

void EndSearch(float start_time, const char* stop_note) {
    try {
        ShowResults(start_time, stop_note);
    } catch (...) {
        // The labels may then lack the summary; the window is given back all the same.
        win::NoteCurrentException("end of search");
    }
    GiveWindowBack();
    PumpStep();
}

}  // namespace search
