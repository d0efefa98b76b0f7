// Text conversions of the simulated machine: UTF-8 and UTF-16, Windows code
// pages, the case folding that Windows names use, and quoting for the trace.
//
// The machine keeps texts as UTF-8 (files, configuration) or UTF-16 (the
// registry, as Windows does) and converts at the ANSI API boundary with the
// machine's code pages, the way the real system converts its "A" calls.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sim {

// Invalid sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// True when `text` is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

// The simple upper-case mapping Windows applies to names (registry keys and
// values, file names, environment variables).
char16_t UpcaseChar(char16_t c);
std::u16string Upcase(std::u16string_view text);
// Upcase of the UTF-8 text, as UTF-8: the key under which names are compared.
std::string FoldUtf8(std::string_view text);
bool EqualNoCaseUtf8(std::string_view a, std::string_view b);

// One Windows code page, as MultiByteToWideChar and WideCharToMultiByte see it.
// Single-byte pages and 932 are tables built once from the host's iconv;
// 65001 is UTF-8.
class CodePage {
  public:
    // The code page `number` (1251, 866, 1252, 932, 437, 850, 65001, ...), or
    // null when the host cannot provide it. Code pages live until the process ends.
    static const CodePage* Find(unsigned number);

    unsigned Number() const { return number_; }
    unsigned MaxCharSize() const { return maxCharSize_; }
    bool IsLeadByte(unsigned char byte) const { return lead_[byte]; }
    // Ranges of lead bytes as GetCPInfo reports them (at most five pairs).
    const std::vector<std::pair<unsigned char, unsigned char>>& LeadRanges() const {
        return leadRanges_;
    }

    // Decodes bytes. Bytes without a mapping decode as Windows does (the
    // default Unicode character); *invalid (optional) tells whether there were any.
    std::u16string ToWide(std::string_view bytes, bool* invalid = nullptr) const;
    // Encodes text. Characters without a mapping become `defaultChar` (null:
    // the code page's default, "?"), and *usedDefault (optional) is set.
    std::string FromWide(std::u16string_view text, const char* defaultChar = nullptr,
                         bool* usedDefault = nullptr) const;

  private:
    explicit CodePage(unsigned number) : number_(number) {}
    bool Build();

    unsigned number_;
    unsigned maxCharSize_ = 1;
    bool utf8_ = false;
    bool lead_[256] = {};
    std::vector<std::pair<unsigned char, unsigned char>> leadRanges_;
    char16_t single_[256] = {};
    bool singleValid_[256] = {};
    std::vector<char16_t> pairs_;    // (lead << 8 | trail) for lead bytes; 0 = no mapping
    std::vector<uint16_t> reverse_;  // wide char -> bytes (byte, or lead << 8 | trail); 0xFFFF none
    char16_t defaultWide_ = u'?';
};

// Text for the trace: `text` (UTF-8) in double quotes, with '"' and control
// characters escaped (\" \n \r \t \xNN). Backslashes stay as they are.
std::string Quote(std::string_view utf8);
// Appends the escape of a line feed, carriage return or tab ("\n", "\r",
// "\t") and returns true; returns false for every other character.
bool AppendLineEscape(char c, std::string* out);
std::string Hex(uint32_t value);  // "0x1f"

// `s` without the spaces and tabs before it and the spaces, tabs and carriage
// returns after it (a line of a text file without its LF).
std::string_view TrimBlanks(std::string_view s);

// The UTF-16LE bytes of `text` (no terminator added), as the registry and
// "Unicode" files hold text.
std::vector<uint8_t> Utf16LeBytes(std::u16string_view text);
// The data of a REG_SZ value: the UTF-8 text in UTF-16LE with its terminator.
std::vector<uint8_t> RegSzBytes(std::string_view utf8);

}  // namespace sim
