// The end block of a search and its summary line.

#include "search/summary.h"

#include "format/mask_format.h"
#include "format/number_text.h"
#include "search/pump.h"
#include "search/start.h"
#include "search/state.h"
#include "search/walker.h"
#include "win32/search_window.h"
#include "win32/win.h"

namespace search {

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

void EndSearch(float start_time) {
    HWND window = win::g_handles.window;
    // Also when the count is not one at which the walker last showed it.
    ShowFoundCount();
    SYSTEMTIME clock;
    GetLocalTime(&clock);
    const double now = ClockSeconds(clock);
    const float elapsed = ElapsedSeconds(start_time, now);
    std::string status = "Trovati: " + SearchSummary(g_state.found_count, g_state.pattern,
                                                     g_state.total_bytes, elapsed);
    if (g_state.out_of_memory != 0) {
        status += kOutOfMemoryNote;
    }
    win::ShowStatus(status);
    win::SetText(window, win::kStartButton, "&Cerca");
    for (int id : kLockedDuringSearch) {
        win::Enable(window, id, true);
    }
    win::SetCloseCommand(window, MF_ENABLED);
    g_state.busy = 0;
    PumpStep();
}

}  // namespace search
