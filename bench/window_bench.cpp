// Measures a whole search from the real Search window, driven from another process as a user
// drives it: Start pressed, then nothing but a look at the window every quarter second until the
// summary line shows; then two clicks on the Nome heading, each timed until the list answers in
// its new order. The program's own sleeps during the search are timed too, by sleep_log.dll
// (beside this program) loaded into it.
// Usage: window_bench.exe FOLDER\   (the tree that scripts/bench makes: 500 folders of 99 files
// fNNN.dat and one hit.hit; VORTILO_EXE names the program)
// Lines that begin "summary" feed the table that scripts/bench prints at its end.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/sleep_hook.h"
#include "tests/gui/driver.h"

namespace {

constexpr int kStatusLabel = 3134;
constexpr int kStartButton = 3145;
constexpr int kResultList = 3154;
constexpr int kPatternBox = 3164;
constexpr int kStartFolderBox = 3174;

using bench::Now;

// Loads sleep_log.dll into the program (a thread of its own that calls LoadLibraryA) and maps the
// log that it keeps.
const bench::SleepLog* LogSleeps(DWORD program_id) {
    char own[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, own, MAX_PATH);
    std::string dll(own, length);
    dll = dll.substr(0, dll.find_last_of('\\') + 1) + "sleep_log.dll";
    win::KernelHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, program_id));
    void* text = process.Valid() ? VirtualAllocEx(process.Get(), nullptr, dll.size() + 1,
                                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)
                                 : nullptr;
    if (text == nullptr ||
        !WriteProcessMemory(process.Get(), text, dll.c_str(), dll.size() + 1, nullptr)) {
        throw drive::Failure("could not hand the program the path of " + dll);
    }
    const auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    win::KernelHandle thread(CreateRemoteThread(process.Get(), nullptr, 0, load, text, 0, nullptr));
    if (!thread.Valid() || WaitForSingleObject(thread.Get(), 10000) != WAIT_OBJECT_0) {
        throw drive::Failure("the program did not load " + dll);
    }
    // The view keeps the log when the handle goes.
    win::KernelHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, bench::kSleepLogName));
    const void* log =
        mapping.Valid() ? MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, sizeof(bench::SleepLog))
                        : nullptr;
    if (log == nullptr) {
        throw drive::Failure(dll + " keeps no log of the program's sleeps");
    }
    return static_cast<const bench::SleepLog*>(log);
}

// Waits until the first two rows both show name in the Nome column, reading them as often as
// the program answers; the seconds from start.
double WaitFirstRows(HWND list, const std::string& name, double start) {
    for (;;) {
        const auto cells = drive::ReadCells(list, 0, 2, 1);
        if (cells[0][0] == name && cells[1][0] == name) {
            return Now() - start;
        }
        if (Now() - start > 60) {
            throw drive::Failure("the list did not show " + name + " first after a minute");
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_bench FOLDER\\\n");
        return 2;
    }
    std::string root = argv[1];
    if (root.empty() || root.back() != '\\') {
        root += '\\';
    }
    try {
        const std::string exe = drive::ExePath();
        drive::Program program(exe, drive::CommandLine(exe, ""), root);
        HWND window = program.Window();
        HWND list = drive::ControlHandle(window, kResultList);
        drive::SetText(window, kStartFolderBox, root);
        drive::SetText(window, kPatternBox, "*");
        drive::SetText(window, kStatusLabel, "-");
        const bench::SleepLog* sleeps = LogSleeps(program.Id());

        const double start = Now();
        drive::Click(window, kStartButton);
        // Looking costs the program a message each time: a few a second are nothing beside the
        // tens of thousands of Pump steps.
        std::string status;
        for (;;) {
            Sleep(250);
            status = drive::Text(window, kStatusLabel);
            if (status.rfind("Trovati: ", 0) == 0 &&
                drive::Text(window, kStartButton) == "&Cerca") {
                break;
            }
            if (Now() - start > 3600) {
                throw drive::Failure("the search did not end within an hour");
            }
        }
        const double seen = Now() - start;
        const int rows = drive::ItemCount(list);
        // The program's own figure, from Start to its end block: "... (in 61.234 sec.)".
        const size_t at = status.rfind("(in ");
        const double own = at == std::string::npos ? 0.0 : std::atof(status.c_str() + at + 4);
        std::printf("window_bench: pattern * from the Search window, %d rows\n", rows);
        std::printf("  search, the program's own summary  %8.3f s  (%.3f ms a row)\n", own,
                    own * 1e3 / rows);
        std::printf("  search, Start click to summary seen %7.3f s  (looked every 0.25 s)\n", seen);
        std::printf("summary\twindow search, %d rows (summary seconds)\t%.3f s\t\n", rows, own);
        // The sleeps that began from the click to the end the program timed itself (the idle
        // window sleeps too, before and after).
        long slept_count = 0;
        double slept = 0;
        const LONG logged = std::min(sleeps->count, bench::kSleepLogSize);
        for (LONG i = 0; i < logged; ++i) {
            if (sleeps->start[i] >= start && sleeps->start[i] < start + own) {
                ++slept_count;
                slept += sleeps->length[i];
            }
        }
        std::printf("  asleep                             %8.3f s  (%ld sleeps, %.3f ms each)\n",
                    slept, slept_count, slept_count > 0 ? slept * 1e3 / slept_count : 0.0);
        std::printf("summary\twindow search, sleeps\t%ld\t\n", slept_count);
        std::printf("summary\twindow search, time asleep\t%.3f s\t\n", slept);

        // The direction flips with each click: descending first (hit.hit leads), then ascending.
        const struct {
            const char* direction;
            const char* first;
        } clicks[] = {{"descending", "hit.hit"}, {"ascending", "f001.dat"}};
        for (const auto& click : clicks) {
            // Two clicks on the heading within the double-click time make a double click.
            Sleep(GetDoubleClickTime() + 100);
            const double clicked = Now();
            drive::ClickHeading(list, 0);
            const double answered = WaitFirstRows(list, click.first, clicked);
            std::printf("  Nome heading, %-10s: list answers in its new order after %.3f s\n",
                        click.direction, answered);
            std::printf(
                "summary\twindow: Nome click %s, %d rows, to the list answering\t%.3f s\t"
                "at most 0.5 s\n",
                click.direction, rows, answered);
        }
        program.Kill();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "window_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
