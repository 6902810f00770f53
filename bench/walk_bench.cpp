// Measures the folder walk against a bare enumeration of the same tree (one "*" pass a folder,
// nothing else), with the floor that the walk's Pump steps set beside it: one step a file and a
// subfolder, each a 1 ms sleep when no message waits. Two patterns: one that every file matches
// and one that about 1% match. Usage: walk_bench.exe FOLDER\   (the tree that scripts/bench
// makes: 500 folders of 99 files fNNN.dat and one hit.hit)
// Lines that begin "summary" feed the table that scripts/bench prints at its end.

#include <algorithm>
#include <cstdio>
#include <string>

#include "search/state.h"
#include "search/walker.h"
#include "win32/win.h"

namespace {

double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct BareCount {
    long files = 0;
    long folders = 0;
};

// Every entry of every folder, listed once.
void BareWalk(const std::string& folder, BareCount* count) {
    WIN32_FIND_DATAA entry;
    win::FindHandle find(FindFirstFileA((folder + "*").c_str(), &entry));
    if (!find.Valid()) {
        return;
    }
    do {
        const std::string name = entry.cFileName;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ++count->files;
        } else if (name != "." && name != "..") {
            ++count->folders;
            BareWalk(folder + name + "\\", count);
        }
    } while (FindNextFileA(find.Get(), &entry));
}

// What Sleep(1) lasts with the timer resolution raised, as during a search.
double SleepCost() {
    win::FineTimer fine_timer;
    const int sleeps = 300;
    const double start = Now();
    for (int i = 0; i < sleeps; ++i) {
        Sleep(1);
    }
    return (Now() - start) / sleeps;
}

void Measure(const std::string& root, const std::string& pattern, int rounds, double sleep_cost) {
    // Alternate the two and keep each one's best time: Wine's timings wander by tens of percent
    // from one run to the next.
    double bare_time = 1e9;
    double walk_time = 1e9;
    BareCount bare;
    for (int round = 0; round < rounds; ++round) {
        bare = BareCount{};
        double start = Now();
        BareWalk(root, &bare);
        bare_time = std::min(bare_time, Now() - start);

        search::g_state = search::State{};
        search::g_state.pattern = pattern;
        search::g_state.include_subfolders = 1;
        win::FineTimer fine_timer;  // as a search has it
        start = Now();
        search::WalkFolder(root);
        walk_time = std::min(walk_time, Now() - start);
    }

    const int rows = search::g_state.found_count;
    // One Pump step before each file and before entering each subfolder.
    const long steps = rows + bare.folders;
    const double floor = static_cast<double>(steps) * sleep_cost;
    std::printf("pattern %-6s rows %6d of %6ld files, %5ld folders  (best of %d)\n",
                pattern.c_str(), rows, bare.files, bare.folders, rounds);
    std::printf("  walker                 %8.3f s  (%.3f ms a row)\n", walk_time,
                rows > 0 ? walk_time * 1e3 / rows : 0.0);
    std::printf("  bare enumeration       %8.3f s\n", bare_time);
    std::printf("  sleep floor            %8.3f s  (%ld steps x Sleep(1) at %.3f ms)\n", floor,
                steps, sleep_cost * 1e3);
    std::printf("  walker / bare          %8.2f\n", walk_time / bare_time);
    std::printf("  walker / (bare + floor) %7.3f\n", walk_time / (bare_time + floor));
    std::printf("summary\twalker, pattern %s, %d rows\t%.3f s\t\n", pattern.c_str(), rows,
                walk_time);
    std::printf("summary\twalker / bare enumeration, pattern %s\t%.2f\t\n", pattern.c_str(),
                walk_time / bare_time);
    std::printf("summary\twalker / (bare + sleep floor), pattern %s\t%.3f\t\n", pattern.c_str(),
                walk_time / (bare_time + floor));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: walk_bench FOLDER\\\n");
        return 2;
    }
    std::string root = argv[1];
    if (root.empty() || root.back() != '\\') {
        root += '\\';
    }
    const double sleep_cost = SleepCost();
    std::printf("walk_bench: Sleep(1) lasts %.3f ms with the timer at 1 ms\n", sleep_cost * 1e3);
    std::printf("summary\tSleep(1), timer at 1 ms\t%.3f ms\t\n", sleep_cost * 1e3);
    // The walk of every file is long and steady (its sleeps dominate): one round.
    Measure(root, "*", 1, sleep_cost);
    Measure(root, "*.hit", 3, sleep_cost);
    return 0;
}
