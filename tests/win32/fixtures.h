#pragma once

// Test helpers for the Win32 tests: folder trees on Wine's Z: drive and a stand-in for the
// Search window that records what the walker shows.

#include <cstdint>
#include <string>
#include <vector>

#include "win32/win.h"

namespace vtest {

// A FILETIME (UTC) from its calendar parts.
FILETIME UtcTime(int year, int month, int day, int hour, int minute, int second);

// Runs a Linux shell command (Wine starts ELF programs too) and waits until it has finished.
// The command must not contain double quotes.
void Shell(const std::string& command);

// A folder tree under Z:\tmp, made for one test and removed with everything in it afterwards.
class TempTree {
  public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The root folder, ending in "\"; its characters are all ASCII.
    const std::string& Root() const { return root_; }
    std::wstring WideRoot() const { return std::wstring(root_.begin(), root_.end()); }
    // Root + relative path (relative paths use "\").
    std::string Path(const std::string& relative) const { return root_ + relative; }

    void Dir(const std::string& relative) const;
    // A file of the given size (sparse when large) with the given last-write time.
    void File(const std::string& relative,
              int64_t size = 0,
              const FILETIME* written = nullptr) const;
    void Hide(const std::string& relative) const;
    // A Linux symbolic link at relative that points to target (a path below the root, or "" for
    // the root itself). Wine cannot make one itself.
    void Link(const std::string& relative, const std::string& target) const;

    // The same by wide relative paths: names that the code page cannot hold, which become
    // UTF-8 names on Linux, and paths past MAX_PATH. Missing folders on the way are made.
    void File(const std::wstring& relative, const std::string& content = "") const;
    void Link(const std::wstring& relative, const std::wstring& target) const;

  private:
    std::string root_;
};

// The Linux path of a Z: path.
std::string UnixPath(const std::string& windows_path);

// A stand-in for the Search window with the status label, the count label and the list: it
// records, in order, every text set on the labels and every item count set on the list. While
// it exists it is the window that the walker reports to.
class FakeWindow {
  public:
    FakeWindow();
    ~FakeWindow();
    FakeWindow(const FakeWindow&) = delete;
    FakeWindow& operator=(const FakeWindow&) = delete;

    // Posts a message that sets the abort flag when the count label is set to this text.
    void AbortWhenCountReads(const std::string& text) { abort_at_ = text; }

    std::vector<std::string> status;
    std::vector<std::string> count;
    std::vector<int> list_counts;
    std::vector<LPARAM> list_flags;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

  private:
    HWND window_ = nullptr;
    std::string abort_at_;
};

// Resets the search state to what it is at program start, with the given pattern.
void ResetSearch(const std::string& pattern, bool subfolders);

}  // namespace vtest
