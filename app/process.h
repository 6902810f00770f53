#pragma once

// Process start and end: the values that the entry point keeps, the command-line text, the
// floating-point set-up, and the release of what the search kept.

#include "win32/win.h"

namespace app {

// Process-wide start-up values, set by the entry point before the main routine runs.
extern HINSTANCE g_module;
extern const char* g_command_text;

// The text after the program name in a command line, as a pointer into line: a quoted name
// runs to the closing quote (to the end when there is none), an unquoted one to the first
// byte of code 32 or less; only blanks after the name are skipped, so a tab stays.
const char* CommandLineText(const char* line);

// Round to nearest (ties to even), 64-bit precision, all exceptions masked: control word 0x037F;
// on x86_64 also the SSE control word 0x1F80, the same rounding for the arithmetic done there.
void SetFpuRounding();
unsigned short FpuControlWord();

// Releases the Search pattern, the Start folder and the result array.
void ReleaseState();

}  // namespace app
