// vdrive: the UI driver from the command line. Finds the Search window of a running vortilo.exe
// in the same Wine session and prints or operates it; one command per call, for shell scripts
// and for hands. Run it through tests/wine-run.

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/gui/driver.h"

namespace {

const char kUsage[] =
    "usage: vdrive [--pid N] [--desktop NAME] COMMAND [ARGUMENTS]\n"
    "  (--desktop: the window runs in the Wine virtual desktop NAME)\n"
    "  window                   title, styles and sizes of the Search window\n"
    "  controls                 every control, in creation order\n"
    "  focus                    the control that has the keyboard focus\n"
    "  wait                     waits until the Search window shows\n"
    "  text ID | waittext ID TEXT | settext ID TEXT | click ID | check ID | combo ID\n"
    "  columns | count | cells [FIRST [COUNT]]\n"
    "  cellclick ROW COL | dblclick ROW COL | heading COL\n"
    "  rightclick ROW COL       a real right-click in the middle of a cell\n"
    "  msgbox CAPTION [ok|cancel|yes|no]   prints the box's text and buttons, then presses one\n"
    "  close | minimize | restore           posts the system command\n"
    "  mouseclick ID            a real click in the middle of a control\n"
    "  closebox                 a real click on the close box\n"
    "  keys KEY...              real keys through xdotool (Tab, Escape, alt+F4, ...)\n"
    "  type TEXT                real typing through xdotool\n"
    "  start FOLDER [TEXT]      starts vortilo.exe (VORTILO_EXE, or beside vdrive.exe) in\n"
    "                           FOLDER with the command-line text TEXT; prints its process id\n"
    "  wait-exit PID            waits until the process ends; prints its exit code\n";

// Shows control characters, so that blanks, tabs and line breaks can be counted.
std::string Visible(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c < 32) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", c);
            out += code;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int Number(const std::string& text) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0') {
        throw drive::Failure("not a number: " + text);
    }
    return static_cast<int>(value);
}

void PrintWindow(HWND window) {
    const drive::WindowInfo w = drive::ReadWindow(window);
    std::printf("title \"%s\"\nprocess %lu\nstyle 0x%08lX\nex-style 0x%08lX\n",
                Visible(w.title).c_str(), w.process, w.style, w.ex_style);
    std::printf("outer %ld,%ld %ldx%ld\nclient %dx%d\nvisible %d\niconic %d\n", w.outer.left,
                w.outer.top, w.outer.right - w.outer.left, w.outer.bottom - w.outer.top,
                w.client_width, w.client_height, w.visible, w.iconic);
}

void PrintControl(const drive::Control& c) {
    std::printf("%5d %-15s style 0x%08lX ex 0x%08lX at %4ld,%4ld %4dx%-4d %s %s check %2d \"%s\"\n",
                c.id, c.class_name.c_str(), c.style, c.ex_style, c.rect.left, c.rect.top, c.Width(),
                c.Height(), c.enabled ? "enabled " : "disabled", c.visible ? "visible" : "hidden ",
                c.check, Visible(c.text).c_str());
}

std::string ExePath() {
    char buffer[MAX_PATH] = {};
    if (GetEnvironmentVariableA("VORTILO_EXE", buffer, sizeof buffer) > 0) {
        return buffer;
    }
    GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    std::string path = buffer;
    return path.substr(0, path.find_last_of('\\') + 1) + "vortilo.exe";
}

int Start(const std::vector<std::string>& args) {
    if (args.empty()) {
        throw drive::Failure("start needs a folder");
    }
    const std::string exe = ExePath();
    std::string text;
    for (size_t i = 1; i < args.size(); ++i) {
        text += (i > 1 ? " " : "") + args[i];
    }
    // Started here and left running: later calls of vdrive find it by its window.
    const PROCESS_INFORMATION pi = drive::Spawn(exe, drive::CommandLine(exe, text), args[0]);
    CloseHandle(pi.hProcess);
    drive::WaitSearchWindow(pi.dwProcessId);
    std::printf("%lu\n", pi.dwProcessId);
    return 0;
}

int WaitExit(const std::string& pid) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE,
                                 static_cast<DWORD>(Number(pid)));
    if (process == nullptr) {
        throw drive::Failure("no process " + pid);
    }
    const DWORD waited = WaitForSingleObject(process, drive::kWaitMs);
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    if (waited != WAIT_OBJECT_0) {
        throw drive::Failure("process " + pid + " still runs");
    }
    std::printf("%lu\n", code);
    return 0;
}

int MessageBoxCommand(DWORD pid, const std::vector<std::string>& args) {
    if (args.empty()) {
        throw drive::Failure("msgbox needs a caption");
    }
    HWND box = drive::WaitMessageBox(pid, args[0]);
    std::printf("text \"%s\"\nbuttons", Visible(drive::MessageBoxText(box)).c_str());
    for (int id : drive::MessageBoxButtons(box)) {
        std::printf(" %d", id);
    }
    std::printf("\n");
    if (args.size() > 1) {
        const std::string& answer = args[1];
        const int id = answer == "ok"       ? IDOK
                       : answer == "cancel" ? IDCANCEL
                       : answer == "yes"    ? IDYES
                       : answer == "no"     ? IDNO
                                            : Number(answer);
        drive::Answer(box, id);
    }
    return 0;
}

int Run(DWORD pid,
        const std::string& desktop,
        const std::string& command,
        const std::vector<std::string>& args) {
    auto need = [&](size_t n) {
        if (args.size() < n) {
            throw drive::Failure(command + " needs " + std::to_string(n) + " argument(s)");
        }
    };
    if (command == "start") {
        return Start(args);
    }
    if (command == "wait-exit") {
        need(1);
        return WaitExit(args[0]);
    }
    if (command == "msgbox") {
        return MessageBoxCommand(pid, args);
    }
    if (command == "wait") {
        drive::WaitSearchWindow(pid, drive::kWaitMs, desktop);
        return 0;
    }
    HWND window = drive::FindSearchWindow(pid, desktop);
    if (window == nullptr) {
        throw drive::Failure("no visible window \"" + std::string(drive::kTitle) + "\"");
    }
    if (command == "window") {
        PrintWindow(window);
    } else if (command == "controls") {
        for (const drive::Control& c : drive::ReadControls(window)) {
            PrintControl(c);
        }
    } else if (command == "focus") {
        HWND focus = drive::Focus(window);
        if (focus == nullptr) {
            std::printf("none\n");
        } else {
            PrintControl(drive::ReadControl(GetParent(focus), GetDlgCtrlID(focus)));
        }
    } else if (command == "text") {
        need(1);
        std::printf("\"%s\"\n", Visible(drive::Text(window, Number(args[0]))).c_str());
    } else if (command == "waittext") {
        need(2);
        const int id = Number(args[0]);
        drive::WaitUntil([&] { return drive::Text(window, id) == args[1]; },
                         "control " + args[0] + " to read \"" + args[1] + "\"");
    } else if (command == "settext") {
        need(2);
        drive::SetText(window, Number(args[0]), args[1]);
    } else if (command == "click") {
        need(1);
        drive::Click(window, Number(args[0]));
    } else if (command == "check") {
        need(1);
        std::printf("%d\n", drive::Check(window, Number(args[0])));
    } else if (command == "combo") {
        need(1);
        const drive::ComboState combo = drive::ReadCombo(window, Number(args[0]));
        for (size_t i = 0; i < combo.items.size(); ++i) {
            std::printf("%c %2u \"%s\"\n", static_cast<int>(i) == combo.selection ? '*' : ' ',
                        static_cast<unsigned>(i), Visible(combo.items[i]).c_str());
        }
        std::printf("edit \"%s\"\n", Visible(combo.edit_text).c_str());
    } else if (command == "columns") {
        HWND list = drive::ControlHandle(window, 3154);
        for (const drive::Column& c : drive::ReadColumns(list)) {
            std::printf("\"%s\" width %d format %d sub-item %d\n", Visible(c.caption).c_str(),
                        c.width, c.format, c.sub_item);
        }
    } else if (command == "count") {
        std::printf("%d\n", drive::ItemCount(drive::ControlHandle(window, 3154)));
    } else if (command == "cells") {
        HWND list = drive::ControlHandle(window, 3154);
        const int first = args.size() > 0 ? Number(args[0]) : 0;
        const int count = args.size() > 1 ? Number(args[1]) : drive::ItemCount(list) - first;
        const auto rows = drive::ReadCells(list, first, count);
        for (size_t r = 0; r < rows.size(); ++r) {
            std::printf("%d", first + static_cast<int>(r));
            for (const std::string& cell : rows[r]) {
                std::printf("\t\"%s\"", Visible(cell).c_str());
            }
            std::printf("\n");
        }
    } else if (command == "cellclick" || command == "dblclick") {
        need(2);
        HWND list = drive::ControlHandle(window, 3154);
        if (command == "cellclick") {
            drive::ClickCell(list, Number(args[0]), Number(args[1]));
        } else {
            drive::DoubleClickCell(list, Number(args[0]), Number(args[1]));
        }
    } else if (command == "rightclick") {
        need(2);
        drive::MouseClickCell(window, drive::ControlHandle(window, 3154), Number(args[0]),
                              Number(args[1]), 3);
    } else if (command == "heading") {
        need(1);
        drive::ClickHeading(drive::ControlHandle(window, 3154), Number(args[0]));
    } else if (command == "close" || command == "minimize" || command == "restore") {
        drive::PostSysCommand(window, command == "close"      ? SC_CLOSE
                                      : command == "minimize" ? SC_MINIMIZE
                                                              : SC_RESTORE);
    } else if (command == "mouseclick") {
        need(1);
        drive::MouseClick(window, Number(args[0]));
    } else if (command == "closebox") {
        drive::MouseClickAt(window, drive::CloseBox(window));
    } else if (command == "keys") {
        need(1);
        std::string keys;
        for (const std::string& k : args) {
            keys += (keys.empty() ? "" : " ") + k;
        }
        drive::Keys(window, keys);
    } else if (command == "type") {
        need(1);
        drive::Type(window, args[0]);
    } else {
        std::fputs(kUsage, stderr);
        return 2;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Plain line feeds, so that shell scripts read the output as it is.
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> args(argv + 1, argv + argc);
    DWORD pid = 0;
    std::string desktop;
    while (args.size() >= 2 && (args[0] == "--pid" || args[0] == "--desktop")) {
        if (args[0] == "--pid") {
            pid = static_cast<DWORD>(std::atol(args[1].c_str()));
        } else {
            desktop = args[1];
        }
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = args[0];
    args.erase(args.begin());
    try {
        const int status = Run(pid, desktop, command, args);
        std::fflush(stdout);
        return status;
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "vdrive: %s\n", e.what());
        return 1;
    }
}
