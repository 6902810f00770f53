// Measures the folder walk against a bare enumeration of the same tree (one "*" pass a folder by
// the wide calls, nothing else), with the floor that the walk's Pump steps set beside it: one step
// a file and a subfolder, each a 1 ms sleep when no message waits, timed as the walk sleeps; and
// what a row costs in memory.
// Usage: walk_bench.exe FOLDER\ [star] [rows] [hit]   (the tree that scripts/bench makes: 500
// folders of 99 files fNNN.dat and one hit.hit)
//   star  the walk of every file ("*"), once;
//   rows  the bytes a row costs with 100,000 rows held: the tree walked again without a Reset,
//         as searches one after another append, until they are there (after star, once more);
//   hit   the walk of about 1% of the files ("*.hit"), best of three.
// With no part named, all three, in that order.
// Or: walk_bench.exe FOLDER\ gap   (a tree of 5,000 empty folders, 50 of 100): the longest time
// without a Pump step in a walk whose first link, back to the start folder, comes after every
// other folder, so that all 5,000 are identified at once.
// Lines that begin "summary" feed the table that scripts/bench prints at its end.

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "bench/sleep_hook.h"
#include "search/state.h"
#include "search/walker.h"
#include "win32/search_window.h"
#include "win32/wide_path.h"
#include "win32/win.h"

// After <windows.h>, which win.h brings in.
#include <psapi.h>

namespace {

// Bytes that operator new handed out and that are not given back yet. The bench runs on one
// thread.
size_t g_new_bytes = 0;

}  // namespace

// Counted, so that what the rows hold shows apart from what the heap keeps around them. _msize
// gives the size a block was asked with, on both sides.
void* operator new(size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    g_new_bytes += _msize(block);
    return block;
}

void* operator new[](size_t size) {
    return operator new(size);
}

void operator delete(void* block) noexcept {
    if (block != nullptr) {
        g_new_bytes -= _msize(block);
        std::free(block);
    }
}

void operator delete[](void* block) noexcept {
    operator delete(block);
}

void operator delete(void* block, size_t) noexcept {
    operator delete(block);
}

void operator delete[](void* block, size_t) noexcept {
    operator delete(block);
}

namespace {

constexpr char kRatioGoal[] = "at most 1.05";
constexpr char kRowGoal[] = "unchanged for names the code page holds";
constexpr char kGapGoal[] = "at most 100 ms";
constexpr int kHeldRows = 100000;

using bench::Now;

struct BareCount {
    long files = 0;
    long folders = 0;
};

// Every entry of every folder, listed once; subfolders entered by their own wide names.
void BareWalk(const std::wstring& folder, BareCount* count) {
    WIN32_FIND_DATAW entry;
    win::FindHandle find(FindFirstFileW((folder + L"*").c_str(), &entry));
    if (!find.Valid()) {
        return;
    }
    do {
        const std::wstring name = entry.cFileName;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ++count->files;
        } else if (name != L"." && name != L"..") {
            ++count->folders;
            BareWalk(folder + name + L"\\", count);
        }
    } while (FindNextFileW(find.Get(), &entry));
}

// The sleeps of the walk being measured, each timed as it runs.
bench::SleepCall g_sleep = nullptr;
double g_slept = 0;
long g_sleeps = 0;

VOID WINAPI TimedSleep(DWORD ms) {
    const double start = Now();
    g_sleep(ms);
    g_slept += Now() - start;
    ++g_sleeps;
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

// The walk as a search makes it: the timer raised, no window.
void Walk(const std::string& root) {
    win::FineTimer fine_timer;
    search::WalkFolder(root);
}

// Each pass starts from no rows; the rows of the last one stay.
void Measure(const std::string& root, const std::string& pattern, int rounds) {
    // Alternate the two and keep each one's best time: Wine's timings wander by tens of percent
    // from one run to the next.
    const std::wstring long_root = win::LongForm(win::FullPath(win::Widen(root)));
    double bare_time = 1e9;
    double walk_time = 1e9;
    double floor = 0;
    long sleeps = 0;
    BareCount bare;
    for (int round = 0; round < rounds; ++round) {
        bare = BareCount{};
        double start = Now();
        BareWalk(long_root, &bare);
        bare_time = std::min(bare_time, Now() - start);

        search::g_state = search::State{};
        search::g_state.pattern = pattern;
        search::g_state.include_subfolders = 1;
        g_slept = 0;
        g_sleeps = 0;
        start = Now();
        Walk(root);
        const double elapsed = Now() - start;
        if (elapsed < walk_time) {
            walk_time = elapsed;
            floor = g_slept;
            sleeps = g_sleeps;
        }
    }

    const int rows = search::g_state.found_count;
    std::printf("pattern %-6s rows %6d of %6ld files, %5ld folders  (best of %d)\n",
                pattern.c_str(), rows, bare.files, bare.folders, rounds);
    std::printf("  walker                 %8.3f s  (%.3f ms a row)\n", walk_time,
                rows > 0 ? walk_time * 1e3 / rows : 0.0);
    std::printf("  bare enumeration       %8.3f s\n", bare_time);
    // No message waits: one sleep before each file and before entering each subfolder.
    std::printf("  sleep floor            %8.3f s  (the walk's %ld sleeps, %.3f ms each)\n", floor,
                sleeps, sleeps > 0 ? floor * 1e3 / sleeps : 0.0);
    std::printf("  walker / bare          %8.2f\n", walk_time / bare_time);
    std::printf("  walker / (bare + floor) %7.3f\n", walk_time / (bare_time + floor));
    std::printf("summary\twalker, pattern %s, %d rows\t%.3f s\t\n", pattern.c_str(), rows,
                walk_time);
    std::printf("summary\twalker / bare enumeration, pattern %s\t%.2f\t\n", pattern.c_str(),
                walk_time / bare_time);
    std::printf("summary\twalker / (bare + sleep floor), pattern %s\t%.3f\t%s\n", pattern.c_str(),
                walk_time / (bare_time + floor), kRatioGoal);
    std::printf("summary\ta sleep in the walk, pattern %s\t%.3f ms\t\n", pattern.c_str(),
                sleeps > 0 ? floor * 1e3 / sleeps : 0.0);
}

// What the process holds in memory.
struct Held {
    size_t new_bytes = 0;
    // The commit charge: the private memory committed for the process.
    SIZE_T private_bytes = 0;
};

Held HeldNow() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    // Wine fills only the older counters and leaves PrivateUsage 0; from Windows 8 on,
    // PagefileUsage gives the same value.
    return Held{g_new_bytes,
                counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage};
}

// Walks "*" without a Reset until kHeldRows rows are held, then sets what the process holds
// against before, taken when it held no row. False when a walk finds nothing.
bool MeasureRows(const std::string& root, const Held& before) {
    search::g_state.pattern = "*";
    search::g_state.include_subfolders = 1;
    int walks = 0;
    while (search::g_state.found_count < kHeldRows) {
        const int found = search::g_state.found_count;
        Walk(root);
        ++walks;
        if (search::g_state.found_count == found) {
            std::fprintf(stderr, "walk_bench: %s holds no file\n", root.c_str());
            return false;
        }
    }
    const Held after = HeldNow();
    const int rows = search::g_state.found_count;
    const auto per_row = [rows](size_t now, size_t then) {
        return (static_cast<double>(now) - static_cast<double>(then)) / rows;
    };
    const double new_bytes = per_row(after.new_bytes, before.new_bytes);
    const double private_bytes = per_row(after.private_bytes, before.private_bytes);
    const size_t slots = search::g_state.results.capacity();
    std::printf("rows %d held (walks of * without a Reset made for them here: %d)\n", rows, walks);
    std::printf(
        "  from operator new      %8.1f bytes a row  (%zu slots of %zu bytes in the array)\n",
        new_bytes, slots, sizeof(std::string));
    std::printf("  private bytes          %8.1f bytes a row\n", private_bytes);
    std::printf("summary\tmemory a row at %d rows, from operator new\t%.1f bytes\t%s\n", rows,
                new_bytes, kRowGoal);
    std::printf("summary\tmemory a row at %d rows, private bytes\t%.1f bytes\t%s\n", rows,
                private_bytes, kRowGoal);
    return true;
}

// The last folder that the file system lists in folder (ending in "\\").
std::string LastFolder(const std::string& folder) {
    std::string last;
    WIN32_FIND_DATAA entry;
    win::FindHandle find(FindFirstFileA((folder + "*").c_str(), &entry));
    while (find.Valid()) {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && entry.cFileName[0] != '.') {
            last = entry.cFileName;
        }
        if (!FindNextFileA(find.Get(), &entry)) {
            break;
        }
    }
    return folder + last + "\\";
}

// A Linux symbolic link at link to target (Wine makes none): ln through the shell.
bool MakeLink(const std::string& link, const std::string& target) {
    const auto unix_path = [](std::string path) {
        path = path.substr(2);
        std::replace(path.begin(), path.end(), '\\', '/');
        return path;
    };
    std::string line = "/bin/sh -c \"ln -s " + unix_path(target) + " " + unix_path(link) + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    // Wine gives back no handle to wait for when it starts a Linux program: the link is.
    if (!CreateProcessA("Z:\\bin\\sh", &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        return false;
    }
    for (int waited = 0; waited < 2000; ++waited) {
        if (GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES) {
            return true;
        }
        Sleep(5);
    }
    return false;
}

constexpr UINT kTick = WM_APP + 1;
std::vector<double> g_ticks;

LRESULT CALLBACK TickProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kTick) {
        g_ticks.push_back(Now());
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

// The walk with a message waiting all along, so that every Pump step handles one and notes when.
bool MeasureGap(const std::string& root) {
    const std::string link = LastFolder(LastFolder(root)) + "loop";
    if (GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES && !MakeLink(link, root)) {
        std::fprintf(stderr, "walk_bench: no link %s\n", link.c_str());
        return false;
    }
    WNDCLASSA type = {};
    type.lpfnWndProc = TickProc;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = "VortiloBenchTicks";
    RegisterClassA(&type);
    HWND window = CreateWindowA(type.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                type.hInstance, nullptr);
    win::g_handles.window = window;
    search::g_state = search::State{};
    search::g_state.pattern = "*";
    search::g_state.include_subfolders = 1;
    std::atomic<bool> walking{true};
    std::thread poster([&] {
        while (walking) {
            PostMessageA(window, kTick, 0, 0);
            Sleep(1);
        }
    });
    const double start = Now();
    Walk(root);
    const double end = Now();
    walking = false;
    poster.join();
    DestroyWindow(window);
    win::g_handles.window = nullptr;
    // From the start to the first Pump step, and from the last one to the end, count too.
    g_ticks.insert(g_ticks.begin(), start);
    g_ticks.push_back(end);
    double longest = 0;
    for (size_t i = 1; i < g_ticks.size(); ++i) {
        longest = std::max(longest, g_ticks[i] - g_ticks[i - 1]);
    }
    std::printf("longest time without a Pump step, first link after 5000 folders: %.1f ms\n",
                longest * 1e3);
    std::printf(
        "summary\tlongest time without a Pump step, first link after 5000 folders\t%.1f "
        "ms\t%s\n",
        longest * 1e3, kGapGoal);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: walk_bench FOLDER\\ [star] [rows] [hit]\n");
        return 2;
    }
    std::string root = argv[1];
    if (root.empty() || root.back() != '\\') {
        root += '\\';
    }
    bool star = false;
    bool rows = false;
    bool hit = false;
    bool gap = false;
    for (int i = 2; i < argc; ++i) {
        const std::string part = argv[i];
        if (part == "star") {
            star = true;
        } else if (part == "rows") {
            rows = true;
        } else if (part == "hit") {
            hit = true;
        } else if (part == "gap") {
            gap = true;
        } else {
            std::fprintf(stderr, "walk_bench: no part %s (star, rows, hit, gap)\n", part.c_str());
            return 2;
        }
    }
    if (argc == 2) {
        star = rows = hit = true;
    }
    if (gap) {
        return MeasureGap(root) ? 0 : 1;
    }
    g_sleep = bench::HookSleep(GetModuleHandleA(nullptr), &TimedSleep);
    if (g_sleep == nullptr) {
        std::fprintf(stderr, "walk_bench: this program imports no Sleep to time\n");
        return 1;
    }
    const double sleep_cost = SleepCost();
    std::printf("walk_bench: Sleep(1) lasts %.3f ms with the timer at 1 ms\n", sleep_cost * 1e3);
    std::printf("summary\tSleep(1), timer at 1 ms\t%.3f ms\t\n", sleep_cost * 1e3);
    const Held before = HeldNow();
    // The walk of every file is long and steady (its sleeps dominate): one round.
    if (star) {
        Measure(root, "*", 1);
    }
    if (rows && !MeasureRows(root, before)) {
        return 1;
    }
    if (hit) {
        Measure(root, "*.hit", 3);
    }
    return 0;
}
