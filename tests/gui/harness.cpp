#include "tests/gui/harness.h"

namespace gui {

std::unique_ptr<drive::Program> StartProgram(const std::string& folder, const std::string& text) {
    const std::string exe = ExePath();
    if (exe.empty() || GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
        throw drive::Failure("no program to test at \"" + exe + "\" (VORTILO_EXE)");
    }
    return std::make_unique<drive::Program>(exe, drive::CommandLine(exe, text), folder);
}

void WaitCaption(HWND window, const std::string& caption, DWORD ms) {
    drive::WaitUntil([&] { return drive::Text(window, kStartButton) == caption; },
                     "the Start button to read " + caption, ms);
}

void RunSearch(HWND window, const std::string& folder, const std::string& pattern) {
    drive::SetText(window, kStartFolderBox, folder);
    drive::SetText(window, kPatternBox, pattern);
    // A mark in the status label tells this search's summary from the last one's.
    drive::SetText(window, kStatusLabel, "-");
    drive::Click(window, kStartButton);
    drive::WaitUntil(
        [&] {
            return drive::Text(window, kStatusLabel).rfind("Trovati: ", 0) == 0 &&
                   drive::Text(window, kStartButton) == "&Cerca";
        },
        "the end of the search for " + pattern + " in " + folder);
}

namespace {

struct DialogSearch {
    DWORD pid;
    HWND except;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM lparam) {
    auto* search = reinterpret_cast<DialogSearch*>(lparam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char class_name[64] = {};
    GetClassNameA(window, class_name, sizeof class_name);
    if (pid == search->pid && window != search->except && IsWindowVisible(window) &&
        std::string(class_name) == "#32770") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND WaitOtherDialog(DWORD pid, HWND search_window, DWORD ms) {
    DialogSearch search = {pid, search_window, nullptr};
    drive::WaitUntil(
        [&] {
            EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        "a dialog of the program besides its window", ms);
    return search.found;
}

int Rows(HWND window) {
    return drive::ItemCount(drive::ControlHandle(window, kResultList));
}

void ManyFiles(const vtest::TempTree& tree, const std::string& folder, int n) {
    const std::string path = vtest::UnixPath(tree.Path(folder));
    vtest::Shell("mkdir -p " + path + " && cd " + path + " && touch $(seq -f f%04g.txt 1 " +
                 std::to_string(n) + ")");
}

void StartLongSearch(const vtest::TempTree& tree, HWND window) {
    ManyFiles(tree, "a", 700);
    ManyFiles(tree, "b", 700);
    drive::SetText(window, kStartFolderBox, tree.Root());
    drive::SetText(window, kPatternBox, "*.txt");
    drive::Click(window, kStartButton);
    WaitCaption(window, "&Cancel");
}

}  // namespace gui
