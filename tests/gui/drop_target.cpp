// A window of another program that files can be dropped on: it notes what a drag offers it and
// what a drop hands over, then ends at the first drop.
//
// Usage: drop_target.exe LOG X Y
// Shows the window "Vortilo drop target" at X, Y (screen) and appends to LOG, one line each,
// flushed at once:
//   enter EFFECTS        a drag came in, offering these DROPEFFECT bits (decimal)
//   leave                it went out again
//   drop EFFECTS         a drop, offering these bits
//   file PATH            each CF_HDROP name of the drop, as UTF-8
//   unicodetext HRESULT  what the dropped object answers when asked for text (hex)

#include <ole2.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "win32/win.h"

namespace {

constexpr char kTitle[] = "Vortilo drop target";

std::ofstream g_log;

void Note(const std::string& line) {
    g_log << line << '\n' << std::flush;
}

std::string Utf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
}

std::string Hex(HRESULT value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(value));
    return text;
}

FORMATETC Format(CLIPFORMAT format) {
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// Accepts a copy of anything that offers a file list; lives as long as the program.
class Target final : public IDropTarget {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
            *object = static_cast<IDropTarget*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        Note("enter " + std::to_string(*effect));
        FORMATETC files = Format(CF_HDROP);
        accept_ = data->QueryGetData(&files) == S_OK;
        *effect = Answer(*effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = Answer(*effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        Note("leave");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        Note("drop " + std::to_string(*effect));
        FORMATETC files = Format(CF_HDROP);
        STGMEDIUM medium = {};
        if (data->GetData(&files, &medium) == S_OK) {
            auto drop = static_cast<HDROP>(medium.hGlobal);
            const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < count; ++i) {
                std::wstring name(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
                DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size()));
                Note("file " + Utf8(name.c_str()));
            }
            ReleaseStgMedium(&medium);
        }
        FORMATETC text = Format(CF_UNICODETEXT);
        Note("unicodetext " + Hex(data->QueryGetData(&text)));
        *effect = Answer(*effect);
        PostQuitMessage(0);
        return S_OK;
    }

  private:
    DWORD Answer(DWORD offered) const { return accept_ ? offered & DROPEFFECT_COPY : 0; }

    bool accept_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: drop_target LOG X Y\n");
        return 2;
    }
    g_log.open(argv[1], std::ios::binary | std::ios::app);
    if (!g_log || OleInitialize(nullptr) != S_OK) {
        return 1;
    }
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = "VortiloDropTarget";
    RegisterClassA(&window_class);
    HWND window = CreateWindowA(window_class.lpszClassName, kTitle, WS_OVERLAPPEDWINDOW,
                                std::atoi(argv[2]), std::atoi(argv[3]), 160, 160, nullptr, nullptr,
                                window_class.hInstance, nullptr);
    static Target target;
    if (window == nullptr || RegisterDragDrop(window, &target) != S_OK) {
        return 1;
    }
    // Shown only once it takes drops: the test starts dragging as soon as it sees the window.
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    RevokeDragDrop(window);
    DestroyWindow(window);
    OleUninitialize();
    return 0;
}
