#pragma once

// Code comes only from Windows' own folder. A program unpacked into Downloads lies beside
// whatever else was downloaded there, and a DLL asked for by its bare name is looked for first in
// the program's folder: a "winmm.dll" left there would run inside Vortilo.

#include "win32/win.h"

namespace win {

// The first thing the process does, before COM and before any window: later loads by bare name
// search the system folder and never the program's folder or the current one, the DLLs that
// Windows' own libraries load by name on demand are loaded now from the system folder (so that
// a copy beside the program is never the one chosen), and heap corruption ends the process.
void LoadOnlyFromSystemFolder();

// A DLL of Windows' own, loaded from the system folder, never by its bare name; nullptr when it
// cannot be loaded there. It stays loaded for the life of the process.
HMODULE SystemLibrary(const wchar_t* name);

// A function of a DLL of Windows' own; nullptr when the DLL or the function is missing.
template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = SystemLibrary(library);
    // Through void*: FARPROC has no parameters, the real function has its own.
    return module == nullptr
               ? nullptr
               : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace win
