// sleep_log.dll: loaded into a running vortilo.exe by window_bench, logs each of the program's
// sleeps into a shared mapping that the bench reads.

#include "bench/sleep_hook.h"

namespace {

bench::SleepCall g_sleep = nullptr;
bench::SleepLog* g_log = nullptr;

VOID WINAPI LoggedSleep(DWORD ms) {
    const double start = bench::Now();
    g_sleep(ms);
    const LONG at = InterlockedIncrement(&g_log->count) - 1;
    if (at < bench::kSleepLogSize) {
        g_log->start[at] = start;
        g_log->length[at] = bench::Now() - start;
    }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    // Kept for the life of the process: the bench maps the same view by name.
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(bench::SleepLog), bench::kSleepLogName);
    if (mapping == nullptr) {
        return FALSE;
    }
    g_log = static_cast<bench::SleepLog*>(
        MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(bench::SleepLog)));
    if (g_log == nullptr) {
        CloseHandle(mapping);
        return FALSE;
    }
    g_sleep = bench::HookSleep(GetModuleHandleA(nullptr), &LoggedSleep);
    if (g_sleep == nullptr) {
        // No log that would stay empty: the bench finds none and says so.
        UnmapViewOfFile(g_log);
        CloseHandle(mapping);
        return FALSE;
    }
    return TRUE;
}
