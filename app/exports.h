#pragma once

// The two functions that vortilo.exe exports (app/vortilo.def gives their names and ordinals).

#include <cstdint>
#include <string>
#include <vector>

#include "win32/win.h"

extern "C" {

// The file version (major + minor / 100) of a DLL in the system folder; 0 when it has none.
// name is a byte string made with SysAllocStringByteLen: the function frees it before returning.
double __stdcall GETSYSFILEVER(char* name);

// Registers the common-control classes (flags 0: the eight classes 0xFF) through the newest
// entry point of COMCTL32.DLL; returns the version of the system folder's COMCTL32.DLL, or 0
// when the library does not load.
double __stdcall INITCOMCTL32(DWORD flags);
}

namespace app {

// folder + "\" (unless it already ends in one) + file, each step cut to 259 bytes.
std::string SystemFilePath(const std::string& folder, const std::string& file);

// major + minor / 100, through a whole count of hundredths.
double VersionNumber(uint32_t major, uint32_t minor);

// The version number in a block of version information: 0 when its root block gives no fixed
// part, or one that does not lie wholly inside the block.
double FixedFileVersion(const std::vector<char>& block);

// The version number of the file at path; 0 without version information, or when it cannot be
// read.
double FileVersion(const std::string& path);

// Loads library and calls its InitCommonControlsEx with the flags (0 becomes 0xFF), or fallback
// when it has none. False, with nothing called, when the library does not load.
bool RegisterCommonControls(const char* library, DWORD flags, void(WINAPI* fallback)());

}  // namespace app
