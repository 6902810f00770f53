// The open-file dialog and the file picker built on it.

#include "pickers/file_picker.h"

#include <vector>

#include "format/code_page.h"
#include "win32/search_window.h"
#include "win32/wide_path.h"

namespace pickers {

std::string FilterBuffer(const std::string& filter) {
    std::string buffer = filter;
    for (char& c : buffer) {
        if (c == '|') {
            c = '\0';
        }
    }
    buffer.push_back('\0');
    return buffer;
}

std::string FileBuffer(const std::string& file_name) {
    std::string buffer;
    const size_t nul = file_name.find('\0');
    if (nul != std::string::npos && nul < kFileBufferSize) {
        buffer = file_name.substr(0, nul + 1);
    } else {
        // No NUL within the buffer: the name is cut so that its NUL still fits.
        buffer = file_name.substr(0, std::min(file_name.size(), kFileBufferSize - 1));
        buffer.push_back('\0');
    }
    buffer.resize(kFileBufferSize, ' ');
    return buffer;
}

std::string ReadBack(const std::string& buffer) {
    const size_t nul = buffer.find('\0');
    if (nul == std::string::npos) {
        return "";
    }
    return buffer.substr(0, nul);
}

std::string NameAfterLastBackslash(const std::string& path) {
    const size_t slash = format::FindLastChar(path, '\\');
    if (slash == std::string::npos) {
        return path;
    }
    return path.substr(slash + 1);
}

namespace {

// The real names of a folder's files, its subfolders left out; none where it cannot be listed.
std::vector<std::wstring> FileNamesIn(std::wstring folder) {
    std::vector<std::wstring> names;
    if (folder.empty()) {
        return names;
    }
    if (folder.back() != L'\\') {
        folder += L'\\';
    }
    WIN32_FIND_DATAW entry;
    const win::FindHandle find(FindFirstFileW((win::LongForm(folder) + L"*").c_str(), &entry));
    if (!find.Valid()) {
        return names;
    }
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.emplace_back(entry.cFileName, wcsnlen(entry.cFileName, MAX_PATH));
        }
    } while (FindNextFileW(find.Get(), &entry));
    return names;
}

}  // namespace

bool NamesOneFile(const std::string& path, const std::wstring& browsed_folder) {
    const std::string name = NameAfterLastBackslash(path);
    std::vector<std::wstring> files =
        FileNamesIn(win::FullPath(win::Widen(path.substr(0, path.size() - name.size()))));
    if (files.empty()) {
        // A folder the code page cannot hold, entered in the dialog, is not named by its text.
        files = FileNamesIn(browsed_folder);
    }
    const std::wstring wide_name = win::Widen(name);
    const std::wstring* only = nullptr;
    for (const std::wstring& file : files) {
        const std::string shown = win::Narrow(file);
        if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, shown.data(),
                           static_cast<int>(shown.size()), name.data(),
                           static_cast<int>(name.size())) != CSTR_EQUAL) {
            continue;
        }
        if (only != nullptr) {
            return false;
        }
        only = &file;
    }
    return only != nullptr && CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, only->data(),
                                             static_cast<int>(only->size()), wide_name.data(),
                                             static_cast<int>(wide_name.size())) == CSTR_EQUAL;
}

std::string PickedName(const std::string& path) {
    // Only A to Z: the Case rule's code page 437 pairs are other characters in the ANSI code
    // page (0x80, the euro sign, would become a double dagger), and the name would then match
    // no file. The search matches without regard to case anyway.
    // Under a multi-byte code page a character's second byte may be a capital letter: only
    // letters that stand as characters of their own change.
    std::string name = NameAfterLastBackslash(path);
    for (size_t at = 0; at < name.size();) {
        const size_t length = format::CharLength(name.data(), name.size(), at);
        if (length == 1 && name[at] >= 'A' && name[at] <= 'Z') {
            name[at] = static_cast<char>(name[at] - 'A' + 'a');
        }
        at += length;
    }
    return name;
}

void BuildOpenRequest(HWND owner,
                      const std::string& title,
                      const std::string& file_name,
                      const std::string& initial_folder,
                      const std::string& filter,
                      const std::string& default_ext,
                      DWORD flags,
                      OpenRequest& request) {
    request.filter = FilterBuffer(filter);
    request.file = FileBuffer(file_name);
    request.initial_folder = initial_folder;
    if (request.initial_folder.empty()) {
        request.initial_folder = win::CurrentDirectory();
    }
    request.title = title;
    request.default_ext = default_ext;

    OPENFILENAMEA& ofn = request.ofn;
    ofn = OPENFILENAMEA{};
    ofn.lStructSize = kRequestSize;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = request.filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = &request.file[0];
    ofn.nMaxFile = static_cast<DWORD>(kFileBufferSize);
    ofn.lpstrFileTitle = request.file_title;
    ofn.nMaxFileTitle = MAX_PATH;
    ofn.lpstrInitialDir = request.initial_folder.c_str();
    ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
    ofn.Flags = flags;
    ofn.lpstrDefExt = request.default_ext.empty() ? nullptr : request.default_ext.c_str();
}

int OpenFileDialog(HWND owner,
                   const std::string& title,
                   std::string& file_name,
                   const std::string& initial_folder,
                   const std::string& filter,
                   const std::string& default_ext,
                   DWORD& flags,
                   std::wstring* browsed_folder) {
    OpenRequest request;
    BuildOpenRequest(owner, title, file_name, initial_folder, filter, default_ext, flags, request);
    // The dialog makes each folder it browses the process's current one; a relative start folder
    // must mean after it what it meant before. Wide: the code page may not hold the folder's name.
    const std::wstring current = win::CurrentWideDirectory();
    const int result = GetOpenFileNameA(&request.ofn);
    if (browsed_folder != nullptr) {
        *browsed_folder = win::CurrentWideDirectory();
    }
    if (!current.empty()) {
        SetCurrentDirectoryW(current.c_str());
    }
    file_name = ReadBack(request.file);
    flags = request.ofn.Flags;
    return result;
}

std::string FilePickerFilter() {
    return std::string("Tutti|*.TXT;*.*;*.BAS|") + "Testo *.txt|*.TXT|" + "Bas *.bas|*.bas|" +
           "Tutti *.*|*.*|";
}

FilePick FilePicker(std::string& name) {
    std::string path;
    std::wstring browsed_folder;
    DWORD flags = kFilePickerFlags;
    if (OpenFileDialog(win::g_handles.window, "Open File", path, "", FilePickerFilter(), "TXT",
                       flags, &browsed_folder) == 0) {
        return FilePick::kCancelled;
    }
    if (!NamesOneFile(path, browsed_folder)) {
        MessageBoxA(win::g_handles.window, kFileNameLostText, win::kMessageCaption,
                    MB_OK | MB_ICONEXCLAMATION);
        return FilePick::kRefused;
    }
    name = PickedName(path);
    return FilePick::kChosen;
}

}  // namespace pickers
