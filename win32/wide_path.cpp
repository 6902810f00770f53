// Names and paths between the ANSI code page and the file system's wide forms.

#include "win32/wide_path.h"

#include <algorithm>
#include <vector>

namespace win {

format::CodePage SystemCodePage() {
    const UINT id = GetACP();
    // UTF-8 has no lead bytes for GetCPInfo to give.
    if (id == CP_UTF8) {
        return format::Utf8Page();
    }
    CPINFO info = {};
    if (!GetCPInfo(id, &info) || info.MaxCharSize < 2) {
        return format::SingleBytePage(id);
    }
    format::LeadRange ranges[MAX_LEADBYTES / 2] = {};
    size_t count = 0;
    for (size_t i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
        ranges[count++] = {info.LeadByte[i], info.LeadByte[i + 1]};
    }
    return format::DoubleBytePage(id, ranges, count);
}

bool IsBidiControl(wchar_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

std::wstring WithoutBidi(std::wstring text) {
    for (wchar_t& c : text) {
        if (IsBidiControl(c)) {
            c = L'?';
        }
    }
    return text;
}

std::string WithoutBidi(const std::string& text) {
    const std::wstring wide = Widen(text);
    const bool held = std::any_of(wide.begin(), wide.end(), IsBidiControl);
    return held ? Narrow(wide) : text;
}

std::string Narrow(const wchar_t* text, size_t length) {
    std::string narrow(length, '\0');
    // Plain ASCII, most names, gives the same bytes.
    for (size_t i = 0; i < length; ++i) {
        if (text[i] >= 0x80) {
            const std::wstring shown = WithoutBidi(std::wstring(text, length));
            const int size = WideCharToMultiByte(CP_ACP, 0, shown.data(), static_cast<int>(length),
                                                 nullptr, 0, nullptr, nullptr);
            narrow.assign(static_cast<size_t>(size > 0 ? size : 0), '\0');
            if (size > 0) {
                WideCharToMultiByte(CP_ACP, 0, shown.data(), static_cast<int>(length), &narrow[0],
                                    size, nullptr, nullptr);
            }
            return narrow;
        }
        narrow[i] = static_cast<char>(text[i]);
    }
    return narrow;
}

std::string Narrow(const std::wstring& text) {
    return Narrow(text.data(), text.size());
}

std::wstring Widen(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80) {
            const int size = MultiByteToWideChar(CP_ACP, 0, text.data(),
                                                 static_cast<int>(text.size()), nullptr, 0);
            wide.assign(static_cast<size_t>(size > 0 ? size : 0), L'\0');
            if (size > 0) {
                MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                    size);
            }
            return wide;
        }
        wide[i] = static_cast<wchar_t>(byte);
    }
    return wide;
}

bool PlainName(const std::wstring& name) {
    return name.empty() || (name.back() != L'.' && name.back() != L' ');
}

bool TextNames(const std::wstring& name, const std::string& text) {
    if (!PlainName(name)) {
        return false;
    }
    // Plain ASCII, most names, reads back as it is.
    for (wchar_t c : name) {
        if (c >= 0x80) {
            return Widen(text) == name;
        }
    }
    return true;
}

bool PlainPath(const std::wstring& path) {
    size_t begin = 0;
    while (begin <= path.size()) {
        size_t end = path.find(L'\\', begin);
        if (end == std::wstring::npos) {
            end = path.size();
        }
        const std::wstring name = path.substr(begin, end - begin);
        if (name != L"." && name != L".." && !PlainName(name)) {
            return false;
        }
        begin = end + 1;
    }
    return true;
}

std::wstring LongForm(const std::wstring& path) {
    if (path.compare(0, 4, L"\\\\?\\") == 0 || path.compare(0, 4, L"\\\\.\\") == 0) {
        return path;
    }
    if (path.compare(0, 2, L"\\\\") == 0) {
        return L"\\\\?\\UNC\\" + path.substr(2);
    }
    return L"\\\\?\\" + path;
}

std::wstring ShellForm(const std::wstring& path) {
    return path.size() < MAX_PATH && PlainPath(path) ? path : LongForm(path);
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return L"";
    }
    std::vector<wchar_t> full(size);
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    return length == 0 || length >= size ? L"" : std::wstring(full.data(), length);
}

std::wstring PatternAsRead(std::wstring pattern) {
    while (!PlainName(pattern)) {
        pattern.pop_back();
    }
    return pattern;
}

}  // namespace win
