#pragma once

// The ANSI code page's characters: where each one begins and ends in a byte text.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace format {

// How the system's ANSI code page spells its characters, as plain data: start-up reads the
// system's once; a test makes any other.
struct CodePage {
    enum class Kind { kSingleByte, kDoubleByte, kUtf8 };
    unsigned id = 1252;
    Kind kind = Kind::kSingleByte;
    // Double-byte pages: the bytes that begin a character of two bytes.
    std::array<bool, 256> lead = {};
};

// A double-byte page's lead bytes, first to last, both included.
struct LeadRange {
    uint8_t first;
    uint8_t last;
};

CodePage SingleBytePage(unsigned id);
CodePage DoubleBytePage(unsigned id, const LeadRange* ranges, size_t count);
CodePage Utf8Page();

// The code page of every text of the process; single-byte until start-up sets the system's.
extern CodePage g_code_page;

// The length of the character that begins at text[at] (at < size): a lead byte and the byte after
// it; a whole UTF-8 sequence. A lead byte with nothing after it, or a byte that begins no
// well-formed sequence, is a character of its own, so that every byte belongs to one character.
size_t CharLength(const char* text, size_t size, size_t at, const CodePage& page = g_code_page);

// The longest start of text, at most limit bytes, that ends at the end of a character.
size_t WholeCharsWithin(const std::string& text, size_t limit, const CodePage& page = g_code_page);

// Where the first character c (ASCII) stands at or after from, a character's second byte never
// taken for it; npos when none does.
size_t FindChar(const std::string& text,
                char c,
                size_t from = 0,
                const CodePage& page = g_code_page);

// The same for any of the ASCII characters of set, and for the last c of the text.
size_t FindCharOf(const std::string& text, const char* set, const CodePage& page = g_code_page);
size_t FindLastChar(const std::string& text, char c, const CodePage& page = g_code_page);

// Where the ASCII text needle first begins at a character's start; npos when it does nowhere.
size_t FindText(const std::string& text,
                const std::string& needle,
                const CodePage& page = g_code_page);

}  // namespace format
