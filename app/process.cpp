// Process start and end: start-up values, the command-line text, the floating-point set-up.

#include "app/process.h"

#include "search/state.h"

namespace app {

HINSTANCE g_module = nullptr;
const char* g_command_text = "";

const char* CommandLineText(const char* line) {
    if (line == nullptr) {
        return "";
    }
    const char* p = line;
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') {
            ++p;
        }
        if (*p == '"') {
            ++p;
        }
    } else {
        while (static_cast<unsigned char>(*p) > ' ') {
            ++p;
        }
    }
    while (*p == ' ') {
        ++p;
    }
    return p;
}

void SetFpuRounding() {
    unsigned short control = 0x037F;
    __asm__ volatile("fldcw %0" : : "m"(control));
#ifdef __x86_64__
    // An x86_64 program does its arithmetic in SSE, which the x87 word does not govern: round to
    // nearest, all exceptions masked, no flushing to zero.
    unsigned int sse_control = 0x1F80;
    __asm__ volatile("ldmxcsr %0" : : "m"(sse_control));
#endif
}

unsigned short FpuControlWord() {
    unsigned short control = 0;
    __asm__ volatile("fnstcw %0" : "=m"(control));
    return control;
}

void ReleaseState() {
    std::string().swap(search::g_state.pattern);
    std::string().swap(search::g_state.start_folder);
    std::vector<std::string>().swap(search::g_state.results);
}

}  // namespace app
