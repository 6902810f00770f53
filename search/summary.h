#pragma once

// The end block of a search and the summary line in the status label.

#include <cstdint>
#include <string>

namespace search {

// The end block of a search started at start_time (seconds since local midnight): the final
// count, the summary line followed by stop_note (kOutOfMemoryNote, kErrorNote or ""), and the
// window given back to the user, also when the texts cannot be built.
void EndSearch(float start_time, const char* stop_note);

// Seconds from start to now, both seconds since local midnight. A clock that went back by more
// than a second crossed midnight; a smaller step back is the rounding of the single-precision
// start time and counts as no time at all.
float ElapsedSeconds(float start, double now);

// Follow the summary when the search stopped because memory ran out, or because of another
// error.
constexpr char kOutOfMemoryNote[] = " Memoria esaurita: ricerca interrotta.";
constexpr char kErrorNote[] = " Errore: ricerca interrotta.";

// The text after "Trovati: " in the status label.
std::string SearchSummary(int32_t found,
                          const std::string& pattern,
                          int64_t total_bytes,
                          float elapsed);

}  // namespace search
