#pragma once

// The process-wide search state: rows, counts, flags, pattern and start folder.

#include <cstdint>
#include <string>
#include <vector>

namespace search {

// What a search works on, process-wide; zero or empty at start.
struct State {
    // One row per file found since the last Reset; rows 0 to found_count - 1 are valid.
    std::vector<std::string> results;
    // The real paths of the files whose rows do not name them (a name or folder that the code
    // page cannot hold, a path past MAX_PATH), wide as the file system has them; a row says
    // which is its own.
    std::vector<std::wstring> real_paths;
    // The start folders typed relative (".\\", "..\\x", "docs", "C:x", "\\x"), each as its rows
    // show it and made absolute when its search started: a row whose start folder is one of them
    // says which, and its file is found from there whatever the current directory is later.
    struct StartFolder {
        std::string typed;
        std::wstring absolute;
    };
    std::vector<StartFolder> start_folders;
    int32_t found_count = 0;
    // Sum of the sizes of the files found by the current search.
    int64_t total_bytes = 0;
    // Check states taken when a search starts; only ever compared with 0.
    int32_t include_subfolders = 0;
    int32_t admit_windows = 0;
    int32_t admit_documents = 0;
    int32_t admit_programmi = 0;
    // Nonzero: the running walk stops at its next Pump step.
    int32_t abort = 0;
    // Nonzero while a search runs.
    int32_t busy = 0;
    std::string pattern;
    std::string start_folder;
};

extern State g_state;

}  // namespace search
