#pragma once

// Names and paths on their way between the ANSI code page the window lives in and the wide
// forms the file system knows them by.

#include <string>

#include "win32/win.h"

namespace win {

// How the system's ANSI code page spells its characters: GetACP with GetCPInfo's lead bytes.
format::CodePage SystemCodePage();

// True for a character that changes the direction of the text around it (U+061C, U+200E,
// U+200F, U+202A to U+202E, U+2066 to U+2069): in a name it can make "foto" + U+202E +
// "gpj.exe" read "fotoexe.jpg".
bool IsBidiControl(wchar_t c);

// The text with each bidirectional control shown as "?".
std::wstring WithoutBidi(std::wstring text);
std::string WithoutBidi(const std::string& text);

// A wide text as the ANSI calls hand it on: WideCharToMultiByte with CP_ACP and no flags, best
// fit where the code page has a look-alike and "?" where it has nothing; and "?" for each
// bidirectional control, which the code page may hold (UTF-8 does).
std::string Narrow(const wchar_t* text, size_t length);
std::string Narrow(const std::wstring& text);

// An ANSI text as the ANSI calls read it: MultiByteToWideChar with CP_ACP.
std::wstring Widen(const std::string& text);

// True when a name can stand in a path as it is: the platform's path rules drop trailing dots
// and blanks from a name, so such a name (Linux allows them) needs the long form to be reached.
bool PlainName(const std::wstring& name);

// True when text, the name as Narrow gives it, names that same entry in a path: it reads back as
// the name, and the name is plain. Best-fit look-alikes ("Omega" for a Greek capital omega) and
// "?" do not read back.
bool TextNames(const std::wstring& name, const std::string& text);

// True when no name in path ends in a dot or a blank ("." and ".." aside).
bool PlainPath(const std::wstring& path);

// An absolute path in the long form, \\?\C:\... or \\?\UNC\server\share\..., which the platform
// takes past MAX_PATH and with every name as it is. A path already in that form stays as it is.
std::wstring LongForm(const std::wstring& path);

// A path as the shell takes it: as it is, or in the long form past MAX_PATH or where a name ends
// in a dot or a blank.
std::wstring ShellForm(const std::wstring& path);

// The absolute form of a path as the ANSI calls would resolve it (".", "..", "/" and the current
// directory); "" when it cannot be resolved.
std::wstring FullPath(const std::wstring& path);

// The pattern as the platform reads the last name of a path: without its trailing dots and blanks.
std::wstring PatternAsRead(std::wstring pattern);

}  // namespace win
