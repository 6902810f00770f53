// Names and paths between the ANSI code page and the file system's wide forms.

#include "win32/wide_path.h"

#include <vector>

namespace win {

std::string Narrow(const wchar_t* text, size_t length) {
    std::string narrow(length, '\0');
    // Plain ASCII, most names, gives the same bytes.
    for (size_t i = 0; i < length; ++i) {
        if (text[i] >= 0x80) {
            const int size = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr,
                                                 0, nullptr, nullptr);
            narrow.assign(static_cast<size_t>(size > 0 ? size : 0), '\0');
            if (size > 0) {
                WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), &narrow[0], size,
                                    nullptr, nullptr);
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
