#include "tests/win32/fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "app/controls.h"
#include "win32/search_window.h"
#include "search/state.h"

namespace vtest {

FILETIME UtcTime(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    FILETIME ft = {};
    EXPECT_TRUE(SystemTimeToFileTime(&st, &ft));
    return ft;
}

std::string UnixPath(const std::string& windows_path) {
    std::string path = windows_path.substr(2);
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    return path;
}

void Shell(const std::string& command) {
    // Wine hands back no process that can be waited for when it starts a Linux program, so the
    // command leaves a marker behind when it is done.
    // Process ids repeat across Wine sessions: the clock keeps markers of two runs apart.
    static unsigned serial = GetTickCount();
    const std::string marker = "Z:\\tmp\\vortilo-shell-" + std::to_string(GetCurrentProcessId()) +
                               "-" + std::to_string(++serial);
    std::string line = "/bin/sh -c \"" + command + "; touch " + UnixPath(marker) + "\"";
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    // The handles that come back are not closed: for a Linux program Wine fills them from
    // whatever its stack held, which may name one of ours (the standard output, say).
    ASSERT_TRUE(CreateProcessA("Z:\\bin\\sh", buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi))
        << line;
    for (int waited = 0; GetFileAttributesA(marker.c_str()) == INVALID_FILE_ATTRIBUTES; ++waited) {
        ASSERT_LT(waited, 3000) << "no end of: " << command;
        Sleep(5);
    }
    DeleteFileA(marker.c_str());
}

TempTree::TempTree() {
    // Wine reuses small process ids across sessions and other test programs may run at the same
    // time: the folder that this call manages to create is the one that is ours.
    static unsigned serial = GetTickCount();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        root_ = "Z:\\tmp\\vortilo-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++serial) + "\\";
        if (CreateDirectoryA(root_.c_str(), nullptr)) {
            return;
        }
    }
    ADD_FAILURE() << "no new folder under Z:\\tmp";
}

TempTree::~TempTree() {
    Shell("rm -rf " + UnixPath(root_));
}

void TempTree::Dir(const std::string& relative) const {
    const std::string path = Path(relative);
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
}

void TempTree::File(const std::string& relative, int64_t size, const FILETIME* written) const {
    const std::string path = Path(relative);
    win::KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.Valid()) << path;
    if (size > 0) {
        LARGE_INTEGER end;
        end.QuadPart = size;
        ASSERT_TRUE(SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.Get())) << path;
    }
    if (written != nullptr) {
        ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, written));
    }
}

void TempTree::Hide(const std::string& relative) const {
    const std::string path = Path(relative);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << path;
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN) << path;
}

void TempTree::Link(const std::string& relative, const std::string& target) const {
    std::string unix_target = UnixPath(Path(target));
    if (unix_target.size() > 1 && unix_target.back() == '/') {
        unix_target.pop_back();
    }
    Shell("ln -s " + unix_target + " " + UnixPath(Path(relative)));
    const std::string path = Path(relative);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << path;
    ASSERT_TRUE(attributes & FILE_ATTRIBUTE_REPARSE_POINT) << path;
}

namespace {

// A Z: path as a shell word, whatever its characters: its Linux bytes (UTF-8) written as octal
// escapes for printf, since the command line itself is ANSI.
std::string ShellWord(const std::wstring& windows_path) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, windows_path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, windows_path.c_str(), -1, &utf8[0], size, nullptr, nullptr);
    utf8.pop_back();
    std::string word = "$(printf '";
    for (char c : UnixPath(utf8)) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\%03o", static_cast<unsigned char>(c));
        word += escape;
    }
    return word + "')";
}

}  // namespace

void TempTree::File(const std::wstring& relative, const std::string& content) const {
    const std::wstring root = WideRoot();
    for (size_t slash = relative.find(L'\\'); slash != std::wstring::npos;
         slash = relative.find(L'\\', slash + 1)) {
        CreateDirectoryW((L"\\\\?\\" + root + relative.substr(0, slash)).c_str(), nullptr);
    }
    const std::wstring path = L"\\\\?\\" + root + relative;
    win::KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.Valid()) << relative.size() << " characters";
    DWORD written = 0;
    ASSERT_TRUE(content.empty() ||
                WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written,
                          nullptr));
}

void TempTree::Link(const std::wstring& relative, const std::wstring& target) const {
    const std::wstring root = WideRoot();
    Shell("ln -s " + ShellWord(root + target) + " " + ShellWord(root + relative));
    const DWORD attributes = GetFileAttributesW((L"\\\\?\\" + root + relative).c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

LRESULT CALLBACK FakeWindow::Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<FakeWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        HWND parent = GetParent(hwnd);
        if (parent != nullptr) {
            self = reinterpret_cast<FakeWindow*>(GetWindowLongPtrA(parent, GWLP_USERDATA));
        }
    }
    if (msg == WM_APP) {
        search::g_state.abort = 1;
        return 0;
    }
    if (self != nullptr && msg == WM_SETTEXT) {
        const std::string text = reinterpret_cast<const char*>(lparam);
        if (GetDlgCtrlID(hwnd) == app::kStatusLabel) {
            self->status.push_back(text);
        } else if (GetDlgCtrlID(hwnd) == app::kCountLabel) {
            self->count.push_back(text);
            if (!self->abort_at_.empty() && text == self->abort_at_) {
                PostMessageA(GetParent(hwnd), WM_APP, 0, 0);
            }
        }
    }
    if (self != nullptr && msg == LVM_SETITEMCOUNT) {
        self->list_counts.push_back(static_cast<int>(wparam));
        self->list_flags.push_back(lparam);
        return TRUE;
    }
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

FakeWindow::FakeWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VortiloFakeWindow";
        registered = RegisterClassA(&wc) != 0;
    }
    window_ = CreateWindowExA(0, "VortiloFakeWindow", "fake", WS_OVERLAPPED, 0, 0, 100, 100,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(window_, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    const int ids[] = {app::kStatusLabel, app::kCountLabel, app::kResultList};
    HWND children[3] = {};
    for (int i = 0; i < 3; ++i) {
        children[i] = CreateWindowExA(0, "VortiloFakeWindow", "", WS_CHILD, 0, 0, 10, 10, window_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids[i])),
                                      GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(children[i], nullptr);
    }
    win::g_handles.window = window_;
    win::g_handles.list = children[2];
}

FakeWindow::~FakeWindow() {
    win::g_handles = win::Handles{};
    DestroyWindow(window_);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

void ResetSearch(const std::string& pattern, bool subfolders) {
    search::g_state = search::State{};
    search::g_state.pattern = pattern;
    search::g_state.include_subfolders = subfolders ? 1 : 0;
}

}  // namespace vtest
