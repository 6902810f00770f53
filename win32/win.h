#pragma once

// Thin helpers over the ANSI Win32 calls that the program repeats.

#ifdef UNICODE
#error "Vortilo calls only the ANSI forms of Win32 functions"
#endif

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <memory>
#include <string>

#include "format/code_page.h"

namespace win {

// Copies text into a fixed platform buffer: at most N - 1 bytes, always terminated, and never
// half a character.
template <size_t N>
void CopyBounded(char (&out)[N], const std::string& text) {
    const size_t n = format::WholeCharsWithin(text, N - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

// Sets the text of a child control; does nothing while the window does not exist.
void SetText(HWND window, int id, const std::string& text);

// The whole text of a child control, however long; "" when the window or control does not exist.
std::string GetText(HWND window, int id);

// The process's current directory, however long, in the code page and as the file system has
// it; "" when it cannot be read.
std::string CurrentDirectory();
std::wstring CurrentWideDirectory();

// A text of the program's own, written in code page 1252, as the wide calls take it: shown
// through them, a letter such as "\xF2" reads the same under every code page.
std::wstring OwnText(const char* text);

// A message box with a text and caption of the program's own (OwnText).
int OwnMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// The check state of a check box (BM_GETCHECK).
int GetCheck(HWND window, int id);

void Enable(HWND window, int id, bool enabled);

// Greys or enables the Close command of the window's system menu.
void SetCloseCommand(HWND window, UINT state);

// Called inside a catch block: writes "Vortilo: where: what" for the exception being handled to
// the debug output, so that a failure that a callback survives is not lost without a word.
void NoteCurrentException(const char* where) noexcept;

// Owns one platform handle and gives it back on every path out. Traits names the handle type,
// what counts as no handle, and the call that gives one back.
template <typename Traits>
class Owned {
  public:
    using Handle = typename Traits::Handle;
    explicit Owned(Handle h) : h_(h) {}
    ~Owned() {
        if (Valid()) {
            Traits::Close(h_);
        }
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    bool Valid() const { return Traits::Valid(h_); }
    Handle Get() const { return h_; }

  private:
    Handle h_;
};

struct FindTraits {
    using Handle = HANDLE;
    static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { FindClose(h); }
};
// A find handle from FindFirstFileA or FindFirstFileW.
using FindHandle = Owned<FindTraits>;

struct KernelTraits {
    using Handle = HANDLE;
    static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
// A kernel object handle (a file or folder opened with CreateFileA).
using KernelHandle = Owned<KernelTraits>;

// Raises the system timer's resolution to 1 ms while it lives, so that Sleep(1) lasts about a
// millisecond rather than a timer tick (15.6 ms on Windows unless some program raised it), and
// lowers it again on every path out.
class FineTimer {
  public:
    FineTimer();
    ~FineTimer();
    FineTimer(const FineTimer&) = delete;
    FineTimer& operator=(const FineTimer&) = delete;
    // How many FineTimer objects hold the resolution raised now.
    static int Raised();

  private:
    bool raised_;
};

// Lets a COM object go: the deleter of its owner, so that every path out releases it.
template <typename Interface>
struct ComRelease {
    void operator()(Interface* object) const { object->Release(); }
};
// Owns one reference to a COM object.
template <typename Interface>
using ComPtr = std::unique_ptr<Interface, ComRelease<Interface>>;

struct LibraryTraits {
    using Handle = HMODULE;
    static bool Valid(HMODULE h) { return h != nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};
// A library loaded with LoadLibraryA or LoadLibraryExA.
using Library = Owned<LibraryTraits>;

}  // namespace win
