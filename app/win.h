#pragma once

// Thin helpers over the ANSI Win32 calls that the program repeats.

#ifdef UNICODE
#error "Vortilo calls only the ANSI forms of Win32 functions"
#endif

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace win {

// Copies text into a fixed platform buffer: at most N - 1 bytes, always terminated.
template <size_t N>
void CopyBounded(char (&out)[N], const std::string& text) {
    const size_t n = std::min(text.size(), N - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

// Sets the text of a child control; does nothing while the window does not exist.
void SetText(HWND window, int id, const std::string& text);

// The text of a child control through a 260-byte buffer: at most 259 characters; "" when the
// window or control does not exist.
std::string GetText(HWND window, int id);

// The check state of a check box (BM_GETCHECK).
int GetCheck(HWND window, int id);

void Enable(HWND window, int id, bool enabled);

// Greys or enables the Close command of the window's system menu.
void SetCloseCommand(HWND window, UINT state);

// Owns a find handle and closes it on every path out of an enumeration.
class FindHandle {
  public:
    explicit FindHandle(HANDLE h) : h_(h) {}
    ~FindHandle() {
        if (Valid()) {
            FindClose(h_);
        }
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }

  private:
    HANDLE h_;
};

// Owns a kernel object handle (a file or folder opened with CreateFileA).
class KernelHandle {
  public:
    explicit KernelHandle(HANDLE h) : h_(h) {}
    ~KernelHandle() {
        if (Valid()) {
            CloseHandle(h_);
        }
    }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE Get() const { return h_; }

  private:
    HANDLE h_;
};

}  // namespace win
