// The ANSI code page's characters, stepped through whole.

#include "format/code_page.h"

#include <cstring>

namespace format {
namespace {

bool InRange(unsigned char b, unsigned first, unsigned last) {
    return b >= first && b <= last;
}

// A well-formed UTF-8 sequence's length from its first two bytes (the second byte's range is
// what rules out overlong forms, surrogates and code points past U+10FFFF); 0 for none.
size_t Utf8Length(unsigned char first, unsigned char second) {
    if (first < 0x80) {
        return 1;
    }
    if (InRange(first, 0xC2, 0xDF)) {
        return InRange(second, 0x80, 0xBF) ? 2 : 0;
    }
    if (first == 0xE0) {
        return InRange(second, 0xA0, 0xBF) ? 3 : 0;
    }
    if (first == 0xED) {
        return InRange(second, 0x80, 0x9F) ? 3 : 0;
    }
    if (InRange(first, 0xE1, 0xEF)) {
        return InRange(second, 0x80, 0xBF) ? 3 : 0;
    }
    if (first == 0xF0) {
        return InRange(second, 0x90, 0xBF) ? 4 : 0;
    }
    if (first == 0xF4) {
        return InRange(second, 0x80, 0x8F) ? 4 : 0;
    }
    if (InRange(first, 0xF1, 0xF3)) {
        return InRange(second, 0x80, 0xBF) ? 4 : 0;
    }
    return 0;
}

size_t Utf8CharLength(const unsigned char* text, size_t size, size_t at) {
    if (text[at] < 0x80 || at + 1 >= size) {
        return 1;
    }
    const size_t length = Utf8Length(text[at], text[at + 1]);
    if (length == 0 || at + length > size) {
        return 1;
    }
    for (size_t i = 2; i < length; ++i) {
        if (!InRange(text[at + i], 0x80, 0xBF)) {
            return 1;
        }
    }
    return length;
}

// Single-byte pages and UTF-8 never use an ASCII byte inside a longer character: a byte search
// finds only whole characters there.
bool AsciiIsAlwaysWhole(const CodePage& page) {
    return page.kind != CodePage::Kind::kDoubleByte;
}

}  // namespace

CodePage g_code_page;

CodePage SingleBytePage(unsigned id) {
    CodePage page;
    page.id = id;
    return page;
}

CodePage DoubleBytePage(unsigned id, const LeadRange* ranges, size_t count) {
    CodePage page;
    page.id = id;
    page.kind = CodePage::Kind::kDoubleByte;
    for (size_t r = 0; r < count; ++r) {
        for (unsigned b = ranges[r].first; b <= ranges[r].last; ++b) {
            page.lead[b] = true;
        }
    }
    return page;
}

CodePage Utf8Page() {
    CodePage page;
    page.id = 65001;
    page.kind = CodePage::Kind::kUtf8;
    return page;
}

size_t CharLength(const char* text, size_t size, size_t at, const CodePage& page) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    switch (page.kind) {
        case CodePage::Kind::kSingleByte:
            return 1;
        case CodePage::Kind::kDoubleByte:
            // Like the system's own stepping, a NUL is never the second byte of a character.
            return page.lead[bytes[at]] && at + 1 < size && bytes[at + 1] != 0 ? 2 : 1;
        case CodePage::Kind::kUtf8:
            return Utf8CharLength(bytes, size, at);
    }
    return 1;
}

size_t WholeCharsWithin(const std::string& text, size_t limit, const CodePage& page) {
    if (text.size() <= limit) {
        return text.size();
    }
    if (page.kind == CodePage::Kind::kSingleByte) {
        return limit;
    }
    size_t at = 0;
    while (true) {
        const size_t next = at + CharLength(text.data(), text.size(), at, page);
        if (next > limit) {
            return at;
        }
        at = next;
    }
}

size_t FindChar(const std::string& text, char c, size_t from, const CodePage& page) {
    if (AsciiIsAlwaysWhole(page)) {
        return text.find(c, from);
    }
    for (size_t at = from; at < text.size(); at += CharLength(text.data(), text.size(), at, page)) {
        if (text[at] == c) {
            return at;
        }
    }
    return std::string::npos;
}

size_t FindCharOf(const std::string& text, const char* set, const CodePage& page) {
    if (AsciiIsAlwaysWhole(page)) {
        return text.find_first_of(set);
    }
    for (size_t at = 0; at < text.size(); at += CharLength(text.data(), text.size(), at, page)) {
        if (text[at] != '\0' && std::strchr(set, text[at]) != nullptr) {
            return at;
        }
    }
    return std::string::npos;
}

size_t FindLastChar(const std::string& text, char c, const CodePage& page) {
    if (AsciiIsAlwaysWhole(page)) {
        return text.rfind(c);
    }
    size_t last = std::string::npos;
    for (size_t at = 0; at < text.size(); at += CharLength(text.data(), text.size(), at, page)) {
        if (text[at] == c) {
            last = at;
        }
    }
    return last;
}

size_t FindText(const std::string& text, const std::string& needle, const CodePage& page) {
    if (AsciiIsAlwaysWhole(page)) {
        return text.find(needle);
    }
    for (size_t at = 0; at < text.size(); at += CharLength(text.data(), text.size(), at, page)) {
        if (text.compare(at, needle.size(), needle) == 0) {
            return at;
        }
    }
    return needle.empty() ? text.size() : std::string::npos;
}

}  // namespace format
