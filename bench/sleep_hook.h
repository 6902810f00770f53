// Times the sleeps of a program of this build: what a Sleep(1) lasts drifts by several percent
// within a minute on a loaded machine, more than a search's own work a row, so a benchmark sets
// a walk against the sleeps it really made. The program's import of Sleep (which the Pump step
// and the modal loop call) is pointed at a timing function.

#pragma once

#include <windows.h>

#include <cstring>

namespace bench {

using SleepCall = VOID(WINAPI*)(DWORD);

// Points module's import of Sleep at replacement; what it pointed at before, or null when the
// module imports no Sleep by name.
inline SleepCall HookSleep(HMODULE module, SleepCall replacement) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* dll =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         dll->Name != 0; ++dll) {
        const auto* name =
            reinterpret_cast<const IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* bound = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; name->u1.AddressOfData != 0; ++name, ++bound) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal) ||
                std::strcmp(
                    reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData)
                        ->Name,
                    "Sleep") != 0) {
                continue;
            }
            DWORD was;
            if (!VirtualProtect(&bound->u1.Function, sizeof bound->u1.Function, PAGE_READWRITE,
                                &was)) {
                return nullptr;
            }
            const auto before = reinterpret_cast<SleepCall>(bound->u1.Function);
            bound->u1.Function = reinterpret_cast<decltype(bound->u1.Function)>(replacement);
            VirtualProtect(&bound->u1.Function, sizeof bound->u1.Function, was, &was);
            return before;
        }
    }
    return nullptr;
}

// The sleeps of vortilo.exe as sleep_log.dll, loaded into it, logs them: when each began and
// how long it lasted, in QueryPerformanceCounter seconds, the same clock in every process.
constexpr char kSleepLogName[] = "VortiloBenchSleepLog";
constexpr LONG kSleepLogSize = 1 << 18;

struct SleepLog {
    LONG count;
    double start[kSleepLogSize];
    double length[kSleepLogSize];
};

inline double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace bench
