// Measures the folder walk against a bare loop that makes the same enumeration calls over the
// same tree. Usage: walk_bench.exe FOLDER\   (a tree made by scripts/bench: 1,000 folders of 100
// files, one in a hundred named *.hit)

#include <algorithm>
#include <cstdio>
#include <string>

#include "win32/win.h"
#include "search/pump.h"
#include "search/state.h"
#include "search/walker.h"

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

// The walk's enumeration calls alone: the pattern pass and the "*" pass of every folder.
void BareWalk(const std::string& folder, const std::string& pattern, BareCount* count) {
    WIN32_FIND_DATAA entry;
    {
        win::FindHandle find(FindFirstFileA((folder + pattern).c_str(), &entry));
        if (find.Valid()) {
            do {
                if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                    ++count->files;
                }
            } while (FindNextFileA(find.Get(), &entry));
        }
    }
    win::FindHandle find(FindFirstFileA((folder + "*").c_str(), &entry));
    if (!find.Valid()) {
        return;
    }
    do {
        const std::string name = entry.cFileName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..") {
            ++count->folders;
            BareWalk(folder + name + "\\", pattern, count);
        }
    } while (FindNextFileA(find.Get(), &entry));
}

double PumpStepCost() {
    const int steps = 500;
    const double start = Now();
    for (int i = 0; i < steps; ++i) {
        search::PumpStep();
    }
    return (Now() - start) / steps;
}

void Measure(const std::string& root, const std::string& pattern, double step_cost) {
    // Alternate the two loops and keep each one's best time: Wine's timings wander by tens of
    // percent from one run to the next.
    const int rounds = 3;
    double bare_time = 1e9;
    double walk_time = 1e9;
    BareCount bare;
    for (int round = 0; round < rounds; ++round) {
        bare = BareCount{};
        double start = Now();
        BareWalk(root, pattern, &bare);
        bare_time = std::min(bare_time, Now() - start);

        search::g_state = search::State{};
        search::g_state.pattern = pattern;
        search::g_state.include_subfolders = 1;
        start = Now();
        search::WalkFolder(root);
        walk_time = std::min(walk_time, Now() - start);
    }

    const long steps = search::g_state.found_count + bare.folders;
    const double pump_time = static_cast<double>(steps) * step_cost;
    std::printf("pattern %-10s rows %6d  folders %5ld  (best of %d)\n", pattern.c_str(),
                search::g_state.found_count, bare.folders, rounds);
    std::printf("  walk              %8.3f s\n", walk_time);
    std::printf("  bare enumeration  %8.3f s\n", bare_time);
    std::printf("  pump sleeps       %8.3f s  (%ld steps at %.3f ms)\n", pump_time, steps,
                step_cost * 1000);
    std::printf("  walk / bare       %8.3f\n", walk_time / bare_time);
    std::printf("  walk / (bare + pump) %5.3f  (goal: at most 1.050)\n",
                walk_time / (bare_time + pump_time));
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
    const double step_cost = PumpStepCost();
    Measure(root, "*.none", step_cost);
    Measure(root, "*.hit", step_cost);
    return 0;
}
