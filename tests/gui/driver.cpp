#include "tests/gui/driver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace drive {

std::string InCodePage(const std::wstring& text, UINT code_page) {
    const int size = WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::string Utf8(const std::wstring& text) {
    return InCodePage(text, CP_UTF8);
}

const char kTitle[] = "Vortilo Quadrel Soft v 0.1";

namespace {

// How long one synchronous message to the program may take before the program counts as hung.
constexpr UINT kAnswerMs = 5000;
// Cells read per batch: the list fills them all during one turn of the program's loop.
constexpr int kBatchCells = 1000;
constexpr int kTextMax = 260;

std::string Hex(ULONG_PTR value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

std::string Quote(const std::string& text) {
    return "\"" + text + "\"";
}

DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

// Sends a message and waits at most kAnswerMs for the answer.
LRESULT Send(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, msg, wparam, lparam, SMTO_NORMAL, kAnswerMs, &result)) {
        throw Failure("no answer to message " + Hex(msg) + " from " + Describe(window) +
                      " within " + std::to_string(kAnswerMs) + " ms");
    }
    return static_cast<LRESULT>(result);
}

void Post(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (!PostMessageA(window, msg, wparam, lparam)) {
        throw Failure("could not post message " + Hex(msg) + " to " + Describe(window));
    }
}

LPARAM PointParam(POINT p) {
    return MAKELPARAM(p.x, p.y);
}

POINT Middle(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Memory inside the program's process, for the list and header messages that carry pointers
// (the system copies nothing for them across processes).
class RemoteMemory {
  public:
    RemoteMemory(HWND window, size_t size) : size_(size) {
        process_ = OpenProcess(
            PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
            FALSE, ProcessOf(window));
        if (process_ == nullptr) {
            throw Failure("cannot open the process of " + Describe(window));
        }
        base_ = static_cast<char*>(
            VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (base_ == nullptr) {
            CloseHandle(process_);
            throw Failure("cannot allocate " + std::to_string(size) + " bytes in the program");
        }
    }
    ~RemoteMemory() {
        if (!kept_) {
            VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
        }
        CloseHandle(process_);
    }
    // Leaves the memory to the program: requests that did not come back in time may still
    // write into it.
    void Keep() { kept_ = true; }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    // The address as the program sees it.
    char* At(size_t offset) const { return base_ + offset; }
    LPARAM Param(size_t offset = 0) const { return reinterpret_cast<LPARAM>(At(offset)); }

    void Write(size_t offset, const void* data, size_t size) const {
        SIZE_T done = 0;
        if (offset + size > size_ || !WriteProcessMemory(process_, At(offset), data, size, &done) ||
            done != size) {
            throw Failure("cannot write into the program's memory");
        }
    }
    void Read(size_t offset, void* data, size_t size) const {
        SIZE_T done = 0;
        if (offset + size > size_ || !ReadProcessMemory(process_, At(offset), data, size, &done) ||
            done != size) {
            throw Failure("cannot read the program's memory");
        }
    }
    // A NUL-terminated text at an address of the program, at most max bytes.
    std::string ReadText(const char* address, size_t max) const {
        std::vector<char> buffer(max + 1, '\0');
        SIZE_T done = 0;
        if (!ReadProcessMemory(process_, address, buffer.data(), max, &done)) {
            throw Failure("cannot read a text in the program's memory");
        }
        return std::string(buffer.data());
    }

  private:
    HANDLE process_ = nullptr;
    char* base_ = nullptr;
    size_t size_ = 0;
    bool kept_ = false;
};

struct EnumData {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM lparam) {
    auto* data = reinterpret_cast<EnumData*>(lparam);
    if (data->pid == 0 || ProcessOf(window) == data->pid) {
        data->found.push_back(window);
    }
    return TRUE;
}

// The top-level windows of process pid (of every process when pid is 0) on the named desktop,
// or on this thread's own desktop when the name is empty.
std::vector<HWND> TopLevelWindows(DWORD pid, const std::string& desktop = "") {
    EnumData data{pid, {}};
    if (desktop.empty()) {
        EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&data));
        return data.found;
    }
    HDESK handle = OpenDesktopA(desktop.c_str(), 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_ENUMERATE);
    if (handle != nullptr) {
        EnumDesktopWindows(handle, CollectTopLevel, reinterpret_cast<LPARAM>(&data));
        CloseDesktop(handle);
    }
    return data.found;
}

// Shown: WS_VISIBLE on the window and on each parent up to its top-level window. (IsWindowVisible
// also asks the desktop, and the desktop of a Wine virtual desktop is not visible from here.)
bool Shown(HWND window) {
    for (HWND w = window; w != nullptr; w = GetParent(w)) {
        const LONG style = GetWindowLongA(w, GWL_STYLE);
        if ((style & WS_VISIBLE) == 0) {
            return false;
        }
        if ((style & WS_CHILD) == 0) {
            break;
        }
    }
    return true;
}

std::string ClassName(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The title as the system keeps it, without a message to the program.
std::string StoredTitle(HWND window) {
    char title[512] = {};
    GetWindowTextA(window, title, sizeof title);
    return title;
}

void CALLBACK SendAsyncDone(HWND, UINT, ULONG_PTR data, LRESULT) {
    ++*reinterpret_cast<int*>(data);
}

// Single-quotes a text for /bin/sh.
std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

// A UTF-16 text of n units (as bytes, possibly unaligned) in the ANSI code page.
std::string Narrow(const char* bytes, size_t n) {
    std::vector<wchar_t> wide(n + 1, L'\0');
    std::memcpy(wide.data(), bytes, 2 * n);
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(n), nullptr, 0,
                                         nullptr, nullptr);
    std::string text(static_cast<size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(n), &text[0], size, nullptr,
                        nullptr);
    return text;
}

// An ANSI text in UTF-8, as the Linux side reads its arguments.
std::string Utf8(const std::string& text) {
    const int n =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(n, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return drive::Utf8(wide);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

}  // namespace

// ---- The program ----

namespace {

// Spawn, with both handles left as CreateProcessA gave them.
PROCESS_INFORMATION StartProcess(const std::string& exe,
                                 const std::string& command_line,
                                 const std::string& folder) {
    // A started process holds its standard handles' Unix files open for as long as it lives,
    // and so does the wineserver for every handle it inherits: it gets NUL for all three and
    // none of ours, so that it never keeps the test run's output pipe from closing.
    for (DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        SetHandleInformation(GetStdHandle(which), HANDLE_FLAG_INHERIT, 0);
    }
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    win::KernelHandle null(CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                       0, nullptr));
    if (!null.Valid()) {
        throw Failure("cannot open NUL");
    }
    std::vector<char> line(command_line.begin(), command_line.end());
    line.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = null.Get();
    si.hStdOutput = null.Get();
    si.hStdError = null.Get();
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi)) {
        throw Failure("cannot start " + exe + (folder.empty() ? "" : " in " + folder) + " (error " +
                      std::to_string(GetLastError()) + ")");
    }
    return pi;
}

}  // namespace

PROCESS_INFORMATION Spawn(const std::string& exe,
                          const std::string& command_line,
                          const std::string& folder) {
    PROCESS_INFORMATION pi = StartProcess(exe, command_line, folder);
    CloseHandle(pi.hThread);
    pi.hThread = nullptr;
    return pi;
}

std::string CommandLine(const std::string& exe, const std::string& text) {
    return text.empty() ? Quote(exe) : Quote(exe) + " " + text;
}

HWND FindSearchWindow(DWORD pid, const std::string& desktop) {
    for (HWND window : TopLevelWindows(pid, desktop)) {
        if (Shown(window) && StoredTitle(window) == kTitle) {
            return window;
        }
    }
    return nullptr;
}

HWND WaitSearchWindow(DWORD pid, DWORD ms, const std::string& desktop) {
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindSearchWindow(pid, desktop)) != nullptr; },
              "the visible window \"" + std::string(kTitle) + "\"" +
                  (desktop.empty() ? "" : " on the desktop " + desktop),
              ms);
    return window;
}

void WaitGone(HWND window, const std::string& what, DWORD ms) {
    WaitUntil([&] { return !IsWindow(window); }, what + " to close", ms);
}

Program::Program(const std::string& exe,
                 const std::string& command_line,
                 const std::string& folder) {
    const PROCESS_INFORMATION pi = Spawn(exe, command_line, folder);
    process_ = pi.hProcess;
    id_ = pi.dwProcessId;
    try {
        WaitUntil(
            [&] {
                window_ = FindSearchWindow(id_);
                if (window_ == nullptr && !Running()) {
                    DWORD code = 0;
                    GetExitCodeProcess(process_, &code);
                    throw Failure(exe + " ended with exit code " + std::to_string(code) +
                                  " without showing its window");
                }
                return window_ != nullptr;
            },
            "the window \"" + std::string(kTitle) + "\" of " + exe);
    } catch (...) {
        Kill();
        CloseHandle(process_);
        throw;
    }
}

Program::~Program() {
    Kill();
    CloseHandle(process_);
}

bool Program::Running() const {
    return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

DWORD Program::WaitExit(DWORD ms) {
    if (WaitForSingleObject(process_, ms) != WAIT_OBJECT_0) {
        throw Failure("the program still runs " + std::to_string(ms) + " ms later");
    }
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

void Program::Kill() {
    if (Running()) {
        TerminateProcess(process_, 255);
        WaitForSingleObject(process_, kWaitMs);
    }
}

std::string ExePath() {
    char buffer[MAX_PATH] = {};
    GetEnvironmentVariableA("VORTILO_EXE", buffer, sizeof buffer);
    std::string path = buffer;
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
    }
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

// ---- Reading ----

WindowInfo ReadWindow(HWND window) {
    if (!IsWindow(window)) {
        throw Failure("the window " + Hex(reinterpret_cast<ULONG_PTR>(window)) + " does not exist");
    }
    WindowInfo info;
    info.title = Text(window);
    info.style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    info.ex_style = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
    GetWindowRect(window, &info.outer);
    RECT client = {};
    GetClientRect(window, &client);
    info.client_width = client.right - client.left;
    info.client_height = client.bottom - client.top;
    info.visible = Shown(window);
    info.iconic = IsIconic(window) != FALSE;
    info.owner = GetWindow(window, GW_OWNER);
    info.process = ProcessOf(window);
    return info;
}

std::string Text(HWND window) {
    const LRESULT length = Send(window, WM_GETTEXTLENGTH, 0, 0);
    std::vector<char> buffer(static_cast<size_t>(length) + 2, '\0');
    const LRESULT got =
        Send(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data(), static_cast<size_t>(std::max<LRESULT>(got, 0)));
}

std::string Text(HWND window, int id) {
    return Text(ControlHandle(window, id));
}

int Check(HWND window, int id) {
    return static_cast<int>(Send(ControlHandle(window, id), BM_GETCHECK, 0, 0));
}

HWND ControlHandle(HWND window, int id) {
    HWND control = GetDlgItem(window, id);
    if (control == nullptr) {
        throw Failure("the window has no control " + std::to_string(id));
    }
    return control;
}

static Control ReadChild(HWND parent, HWND child) {
    Control c;
    c.hwnd = child;
    c.id = GetDlgCtrlID(child);
    c.class_name = ClassName(child);
    c.text = Text(child);
    c.style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
    c.ex_style = static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE));
    GetWindowRect(child, &c.rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&c.rect), 2);
    c.enabled = IsWindowEnabled(child) != FALSE;
    c.visible = Shown(child);
    if (lstrcmpiA(c.class_name.c_str(), "BUTTON") == 0) {
        c.check = static_cast<int>(Send(child, BM_GETCHECK, 0, 0));
    }
    return c;
}

std::vector<Control> ReadControls(HWND window) {
    std::vector<Control> controls;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        controls.push_back(ReadChild(window, child));
    }
    return controls;
}

Control ReadControl(HWND window, int id) {
    return ReadChild(window, ControlHandle(window, id));
}

HWND Focus(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
        throw Failure("cannot read the focus of the program's thread");
    }
    return info.hwndFocus;
}

std::string Describe(HWND control) {
    if (control == nullptr) {
        return "no window";
    }
    if (!IsWindow(control)) {
        return "a window that no longer exists";
    }
    return std::to_string(GetDlgCtrlID(control)) + " " + ClassName(control) + " \"" +
           StoredTitle(control) + "\"";
}

ComboState ReadCombo(HWND window, int id) {
    HWND combo = ControlHandle(window, id);
    ComboState state;
    const LRESULT count = Send(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = Send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0) {
            throw Failure("no text for item " + std::to_string(i) + " of " + Describe(combo));
        }
        // Room for the text in UTF-16: Wine 8 hands an item across processes in UTF-16 even to
        // an ANSI caller. An ANSI answer is a NUL-terminated text of the announced length.
        const size_t n = static_cast<size_t>(length);
        std::vector<char> text(2 * n + 2, '\0');
        Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        if (strnlen(text.data(), text.size()) == n) {
            state.items.emplace_back(text.data(), n);
        } else {
            state.items.push_back(Narrow(text.data(), n));
        }
    }
    state.selection = static_cast<int>(Send(combo, CB_GETCURSEL, 0, 0));
    state.edit_text = Text(combo);
    return state;
}

RECT DroppedRect(HWND window, int id) {
    HWND combo = ControlHandle(window, id);
    // The system carries the rectangle across processes for this message.
    RECT r = {};
    Send(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

static HWND Header(HWND list) {
    HWND header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER, 0, 0));
    if (header == nullptr) {
        throw Failure("the list has no header");
    }
    return header;
}

std::vector<Column> ReadColumns(HWND list) {
    const int count = static_cast<int>(Send(Header(list), HDM_GETITEMCOUNT, 0, 0));
    RemoteMemory memory(list, sizeof(LVCOLUMNA) + kTextMax);
    std::vector<Column> columns;
    for (int i = 0; i < count; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.pszText = memory.At(sizeof(LVCOLUMNA));
        column.cchTextMax = kTextMax;
        const char empty[kTextMax] = {};
        memory.Write(sizeof(LVCOLUMNA), empty, sizeof empty);
        memory.Write(0, &column, sizeof column);
        if (!Send(list, LVM_GETCOLUMNA, static_cast<WPARAM>(i), memory.Param())) {
            throw Failure("the list refuses LVM_GETCOLUMNA for column " + std::to_string(i));
        }
        memory.Read(0, &column, sizeof column);
        Column c;
        c.caption = memory.ReadText(column.pszText, kTextMax);
        c.width = column.cx;
        c.format = column.fmt;
        c.sub_item = column.iSubItem;
        columns.push_back(c);
    }
    return columns;
}

std::vector<int> ReadHeadingFormats(HWND list) {
    HWND header = Header(list);
    const int count = static_cast<int>(Send(header, HDM_GETITEMCOUNT, 0, 0));
    RemoteMemory memory(list, sizeof(HDITEMA));
    std::vector<int> formats;
    for (int i = 0; i < count; ++i) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        memory.Write(0, &item, sizeof item);
        if (!Send(header, HDM_GETITEMA, static_cast<WPARAM>(i), memory.Param())) {
            throw Failure("the header refuses HDM_GETITEMA for heading " + std::to_string(i));
        }
        memory.Read(0, &item, sizeof item);
        formats.push_back(item.fmt);
    }
    return formats;
}

int ItemCount(HWND list) {
    return static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0));
}

DWORD ListExtendedStyle(HWND list) {
    return static_cast<DWORD>(Send(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

int SelectedRow(HWND list) {
    return static_cast<int>(
        Send(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
}

std::vector<std::vector<std::string>> ReadCells(HWND list, int first, int count, int columns) {
    std::vector<std::vector<std::string>> rows(static_cast<size_t>(std::max(count, 0)),
                                               std::vector<std::string>(columns));
    const int total = count * columns;
    const size_t stride = sizeof(LVITEMA) + kTextMax;
    const int batch = std::min(std::max(total, 1), kBatchCells);
    RemoteMemory memory(list, stride * static_cast<size_t>(batch));
    std::vector<char> image(stride * static_cast<size_t>(batch));
    for (int start = 0; start < total; start += batch) {
        const int n = std::min(batch, total - start);
        std::fill(image.begin(), image.end(), '\0');
        for (int k = 0; k < n; ++k) {
            LVITEMA item = {};
            item.iSubItem = (start + k) % columns;
            item.pszText = memory.At(stride * k + sizeof(LVITEMA));
            item.cchTextMax = kTextMax;
            std::memcpy(&image[stride * k], &item, sizeof item);
        }
        memory.Write(0, image.data(), stride * n);
        // All requests are queued at once; the program answers every one of them in the same
        // turn of its loop, where one synchronous request at a time would cost a turn each.
        int done = 0;
        for (int k = 0; k < n; ++k) {
            const WPARAM row = static_cast<WPARAM>(first + (start + k) / columns);
            const LPARAM param = memory.Param(stride * k);
            if (!SendMessageCallbackA(list, LVM_GETITEMTEXTA, row, param, SendAsyncDone,
                                      reinterpret_cast<ULONG_PTR>(&done))) {
                Send(list, LVM_GETITEMTEXTA, row, param);
                ++done;
            }
        }
        try {
            WaitUntil(
                [&] {
                    MSG msg;
                    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
                    return done >= n;
                },
                "the list to answer " + std::to_string(n) + " cell requests", kAnswerMs);
        } catch (...) {
            memory.Keep();
            throw;
        }
        memory.Read(0, image.data(), stride * n);
        for (int k = 0; k < n; ++k) {
            LVITEMA item;
            std::memcpy(&item, &image[stride * k], sizeof item);
            const int row = (start + k) / columns;
            const int column = (start + k) % columns;
            const char* text = &image[stride * k + sizeof(LVITEMA)];
            if (item.pszText == memory.At(stride * k + sizeof(LVITEMA))) {
                rows[row][column] = std::string(text, strnlen(text, kTextMax));
            } else {
                rows[row][column] = memory.ReadText(item.pszText, kTextMax);
            }
        }
    }
    return rows;
}

std::string ReadCell(HWND list, int row, int column) {
    return ReadCells(list, row, 1, column + 1)[0][column];
}

int ReadImage(HWND list, int row) {
    RemoteMemory memory(list, sizeof(LVITEMA));
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = -7;
    memory.Write(0, &item, sizeof item);
    if (!Send(list, LVM_GETITEMA, 0, memory.Param())) {
        throw Failure("the list has no row " + std::to_string(row));
    }
    memory.Read(0, &item, sizeof item);
    return item.iImage;
}

RECT CellRect(HWND list, int row, int column) {
    RemoteMemory memory(list, sizeof(RECT));
    RECT r = {};
    r.top = column;
    r.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    memory.Write(0, &r, sizeof r);
    if (!Send(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), memory.Param())) {
        throw Failure("the list has no cell at row " + std::to_string(row) + ", column " +
                      std::to_string(column));
    }
    memory.Read(0, &r, sizeof r);
    return r;
}

RECT HeadingRect(HWND list, int column) {
    HWND header = Header(list);
    RemoteMemory memory(header, sizeof(RECT));
    RECT r = {};
    memory.Write(0, &r, sizeof r);
    if (!Send(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), memory.Param())) {
        throw Failure("the list has no heading " + std::to_string(column));
    }
    memory.Read(0, &r, sizeof r);
    return r;
}

// ---- Operating ----

void Click(HWND window, int id) {
    HWND button = ControlHandle(window, id);
    if (!Shown(button) || !IsWindowEnabled(button)) {
        throw Failure("cannot click " + Describe(button) + ": it is " +
                      (Shown(button) ? "disabled" : "hidden"));
    }
    Post(button, BM_CLICK, 0, 0);
}

void SetText(HWND window, int id, const std::string& text) {
    HWND control = ControlHandle(window, id);
    if (!Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()))) {
        throw Failure(Describe(control) + " refuses the text \"" + text + "\"");
    }
}

void PostSysCommand(HWND window, WPARAM command) {
    Post(window, WM_SYSCOMMAND, command, 0);
}

void ClickCell(HWND list, int row, int column) {
    const LPARAM at = PointParam(Middle(CellRect(list, row, column)));
    Post(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Post(list, WM_LBUTTONUP, 0, at);
}

void DoubleClickAt(HWND list, POINT point) {
    const LPARAM at = PointParam(point);
    Post(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Post(list, WM_LBUTTONUP, 0, at);
    Post(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    Post(list, WM_LBUTTONUP, 0, at);
}

void DoubleClickCell(HWND list, int row, int column) {
    DoubleClickAt(list, Middle(CellRect(list, row, column)));
}

void ClickHeading(HWND list, int column) {
    HWND header = Header(list);
    const LPARAM at = PointParam(Middle(HeadingRect(list, column)));
    Post(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Post(header, WM_LBUTTONUP, 0, at);
}

// ---- Message boxes ----

HWND FindMessageBox(DWORD pid, const std::string& caption) {
    for (HWND window : TopLevelWindows(pid)) {
        if (Shown(window) && ClassName(window) == "#32770" && StoredTitle(window) == caption) {
            return window;
        }
    }
    return nullptr;
}

HWND WaitMessageBox(DWORD pid, const std::string& caption, DWORD ms) {
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindMessageBox(pid, caption)) != nullptr; },
              "the message box \"" + caption + "\"", ms);
    return box;
}

std::string MessageBoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    if (text == nullptr) {
        throw Failure("the message box has no text control 0xFFFF");
    }
    return Text(text);
}

std::wstring MessageBoxWideText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    const int length = text == nullptr ? 0 : GetWindowTextLengthW(text);
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    wide.resize(static_cast<size_t>(
        text == nullptr ? 0 : GetWindowTextW(text, &wide[0], static_cast<int>(wide.size()))));
    return wide;
}

std::vector<int> MessageBoxButtons(HWND box) {
    std::vector<Control> buttons;
    for (const Control& c : ReadControls(box)) {
        if (c.visible && lstrcmpiA(c.class_name.c_str(), "BUTTON") == 0) {
            buttons.push_back(c);
        }
    }
    std::sort(buttons.begin(), buttons.end(),
              [](const Control& a, const Control& b) { return a.rect.left < b.rect.left; });
    std::vector<int> ids;
    for (const Control& c : buttons) {
        ids.push_back(c.id);
    }
    return ids;
}

void Answer(HWND box, int button, DWORD ms) {
    Click(box, button);
    WaitGone(box, "the message box \"" + StoredTitle(box) + "\"", ms);
}

// ---- Pop-up menus and the clipboard ----

HWND FindPopupMenu(DWORD pid) {
    for (HWND window : TopLevelWindows(pid)) {
        if (Shown(window) && ClassName(window) == "#32768") {
            return window;
        }
    }
    return nullptr;
}

HWND WaitPopupMenu(DWORD pid, DWORD ms) {
    HWND popup = nullptr;
    WaitUntil([&] { return (popup = FindPopupMenu(pid)) != nullptr; }, "a pop-up menu", ms);
    return popup;
}

namespace {

class OpenedClipboard {
  public:
    OpenedClipboard() {
        WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, "the clipboard");
    }
    ~OpenedClipboard() { CloseClipboard(); }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

template <class Char>
std::basic_string<Char> ClipboardData(UINT format) {
    HANDLE data = GetClipboardData(format);
    const Char* text = data == nullptr ? nullptr : static_cast<const Char*>(GlobalLock(data));
    if (text == nullptr) {
        return {};
    }
    std::basic_string<Char> copy(text);
    GlobalUnlock(data);
    return copy;
}

}  // namespace

ClipboardTexts ReadClipboard() {
    const OpenedClipboard clipboard;
    return {ClipboardData<wchar_t>(CF_UNICODETEXT), ClipboardData<char>(CF_TEXT)};
}

void WriteClipboard(const std::string& text) {
    const OpenedClipboard clipboard;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    if (SetClipboardData(CF_TEXT, block) == nullptr) {
        GlobalFree(block);
        throw Failure("cannot put a text on the clipboard");
    }
}

// ---- Real input ----

std::string RunLinux(const std::string& command, DWORD ms) {
    // A name no other process of any Wine session has: the system makes the file. (Process ids
    // repeat from one wineserver to the next.)
    char unique[MAX_PATH] = {};
    if (GetTempFileNameA("Z:\\tmp", "vdr", 0, unique) == 0) {
        throw Failure("cannot make a file in Z:\\tmp");
    }
    const std::string windows_base = unique;
    std::string base = windows_base.substr(2);
    std::replace(base.begin(), base.end(), '\\', '/');
    // Wine gives back no process that can be waited for when it starts a Linux program, so the
    // script leaves its exit status in a file when it is done.
    const std::string script = "(" + command + ") >" + base + ".out 2>" + base +
                               ".err </dev/null\necho $? >" + base + ".part && mv " + base +
                               ".part " + base + ".status\n";
    struct Cleanup {
        const std::string& base;
        ~Cleanup() {
            for (const char* end : {"", ".sh", ".out", ".err", ".status"}) {
                DeleteFileA((base + end).c_str());
            }
        }
    } cleanup{windows_base};
    if (!WriteWholeFile(windows_base + ".sh", script)) {
        throw Failure("cannot write " + windows_base + ".sh");
    }
    // Its handles are not closed: for a Linux program Wine fills them from whatever its stack
    // held, which may name one of ours.
    StartProcess("Z:\\bin\\sh", "/bin/sh " + base + ".sh", "");
    const std::string status_file = windows_base + ".status";
    WaitUntil([&] { return GetFileAttributesA(status_file.c_str()) != INVALID_FILE_ATTRIBUTES; },
              "the end of: " + command, ms);
    const std::string status = ReadWholeFile(status_file);
    const std::string out = ReadWholeFile(windows_base + ".out");
    const std::string err = ReadWholeFile(windows_base + ".err");
    if (std::atoi(status.c_str()) != 0) {
        throw Failure("`" + command + "` failed with status " + status + ": " + err);
    }
    return out;
}

unsigned long XWindow(HWND window) {
    // Wine notes on every top-level window the X window that shows it.
    const auto x = reinterpret_cast<ULONG_PTR>(GetPropA(window, "__wine_x11_whole_window"));
    if (x == 0) {
        throw Failure("no X window for " + Describe(window));
    }
    return static_cast<unsigned long>(x);
}

namespace {

// The command that gives window the X input focus, followed by what xdotool does next. Wine maps
// the X window of a new window a moment after the window itself is visible, and the X server
// refuses the focus to a window not yet viewable (BadMatch): it waits for that, up to 5 s.
std::string Focused(HWND window, const std::string& then) {
    const std::string x = std::to_string(XWindow(window));
    return "for i in $(seq 250); do xwininfo -id " + x +
           " | grep -q IsViewable && break; sleep 0.02; done; xdotool windowfocus --sync " + x +
           " " + then;
}

}  // namespace

void Keys(HWND window, const std::string& keys) {
    RunLinux(Focused(window, "key " + keys));
}

void Type(HWND window, const std::string& text) {
    RunLinux(Focused(window, "type " + ShellQuote(Utf8(text))));
}

void MouseClickAt(HWND window, POINT screen, int button) {
    // A second click near the last one within the double-click time would reach the program as
    // a double click: it waits that time out.
    static DWORD last_tick = 0;
    static POINT last_point = {-10000, -10000};
    const DWORD interval = GetDoubleClickTime() + 50;
    const DWORD since = GetTickCount() - last_tick;
    if (std::abs(screen.x - last_point.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
        std::abs(screen.y - last_point.y) <= GetSystemMetrics(SM_CYDOUBLECLK) && since < interval) {
        Sleep(interval - since);
    }
    // No --sync on the move: it waits for a motion, and there is none when the pointer is
    // already there. The server handles the move before the click all the same.
    RunLinux(Focused(window, "mousemove " + std::to_string(screen.x) + " " +
                                 std::to_string(screen.y) + " click " + std::to_string(button)));
    last_tick = GetTickCount();
    last_point = screen;
}

void MouseClickCell(HWND window, HWND list, int row, int column, int button) {
    const RECT cell = CellRect(list, row, column);
    POINT middle = Middle(cell);
    ClientToScreen(list, &middle);
    MouseClickAt(window, middle, button);
}

void MouseClick(HWND window, int id) {
    RECT r = {};
    GetWindowRect(ControlHandle(window, id), &r);
    MouseClickAt(window, Middle(r));
}

POINT CloseBox(HWND window) {
    RECT outer = {};
    GetWindowRect(window, &outer);
    auto hit = [&](POINT p) { return Send(window, WM_NCHITTEST, 0, PointParam(p)) == HTCLOSE; };
    // Where the metrics put it: the last caption button, inside the frame.
    const int frame_x = GetSystemMetrics(SM_CXFIXEDFRAME);
    const int frame_y = GetSystemMetrics(SM_CYFIXEDFRAME);
    const int caption_middle = outer.top + frame_y + GetSystemMetrics(SM_CYCAPTION) / 2;
    const POINT guess = {outer.right - frame_x - GetSystemMetrics(SM_CXSIZE) / 2 - 1,
                         caption_middle};
    if (hit(guess)) {
        return guess;
    }
    // Otherwise along the caption's middle line, from the right.
    for (POINT p = {outer.right - 1, caption_middle}; p.x > outer.right - 100; --p.x) {
        if (hit(p)) {
            return POINT{p.x - GetSystemMetrics(SM_CXSIZE) / 4, p.y};
        }
    }
    throw Failure(Describe(window) + " has no close box");
}

std::vector<unsigned long> XIcon(HWND window) {
    const std::string out =
        RunLinux("xprop -id " + std::to_string(XWindow(window)) + " -notype 32c _NET_WM_ICON");
    // "_NET_WM_ICON = 32, 32, 4292902944, ..."
    std::vector<unsigned long> values;
    const size_t equals = out.find('=');
    if (equals == std::string::npos) {
        return values;
    }
    std::istringstream in(out.substr(equals + 1));
    std::string item;
    while (std::getline(in, item, ',')) {
        values.push_back(std::strtoul(item.c_str(), nullptr, 10));
    }
    return values;
}

}  // namespace drive
