// The process entry: code from the system folder only, the code page, COM and OLE, the
// command-line text, the FPU mode, the main routine, exit code 0.

#include <ole2.h>

#include "app/process.h"
#include "app/window.h"
#include "win32/system_dll.h"
#include "win32/wide_path.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything else can load a DLL by its bare name.
    win::LoadOnlyFromSystemFolder();
    // Known once, before any text is looked into: every search for a character steps by it.
    format::g_code_page = win::SystemCodePage();
    CoInitialize(nullptr);
    // Dragging a file out of the list needs OLE on top of COM.
    OleInitialize(nullptr);
    app::g_command_text = app::CommandLineText(GetCommandLineA());
    app::g_module = GetModuleHandleA(nullptr);
    // Every number the program rounds to a whole number rounds to nearest, ties to even.
    app::SetFpuRounding();
    int result = 0;
    try {
        result = app::MainRoutine();
    } catch (...) {
        win::NoteCurrentException("main routine");
    }
    app::ReleaseState();
    OleUninitialize();
    CoUninitialize();
    ExitProcess(static_cast<UINT>(result));
}
