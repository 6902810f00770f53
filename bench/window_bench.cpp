// Measures a whole search from the real Search window, driven from another process as a user
// drives it: Start pressed, then nothing but a look at the window every quarter second until the
// summary line shows; then two clicks on the Nome heading, each timed until the list answers in
// its new order. Usage: window_bench.exe FOLDER\   (the tree that scripts/bench makes: 500
// folders of 99 files fNNN.dat and one hit.hit; VORTILO_EXE names the program)
// Lines that begin "summary" feed the table that scripts/bench prints at its end.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/gui/driver.h"

namespace {

constexpr int kStatusLabel = 3134;
constexpr int kStartButton = 3145;
constexpr int kResultList = 3154;
constexpr int kPatternBox = 3164;
constexpr int kStartFolderBox = 3174;

double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
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
