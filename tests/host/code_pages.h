#pragma once

// The code pages the tests step through, as the system describes them: a single-byte page, the
// four double-byte pages of East Asia with GetCPInfo's lead-byte ranges, and UTF-8.

#include "format/code_page.h"

namespace testpages {

inline format::CodePage Page(unsigned id) {
    static const format::LeadRange k932[] = {{0x81, 0x9F}, {0xE0, 0xFC}};
    static const format::LeadRange k936To950[] = {{0x81, 0xFE}};
    switch (id) {
        case 932:
            return format::DoubleBytePage(id, k932, 2);
        case 936:
        case 949:
        case 950:
            return format::DoubleBytePage(id, k936To950, 1);
        case 65001:
            return format::Utf8Page();
        default:
            return format::SingleBytePage(id);
    }
}

// Makes a code page the process's own while it lives.
class ScopedPage {
  public:
    explicit ScopedPage(unsigned id) : saved_(format::g_code_page) {
        format::g_code_page = Page(id);
    }
    ~ScopedPage() { format::g_code_page = saved_; }
    ScopedPage(const ScopedPage&) = delete;
    ScopedPage& operator=(const ScopedPage&) = delete;

  private:
    format::CodePage saved_;
};

}  // namespace testpages
