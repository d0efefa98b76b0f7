#include "platform/sim/text.h"

#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>

namespace sim {

namespace {

void AppendUtf8(std::string* out, uint32_t cp) {
    if (cp < 0x80) {
        *out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out += static_cast<char>(0xC0 | (cp >> 6));
        *out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out += static_cast<char>(0xE0 | (cp >> 12));
        *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (cp >> 18));
        *out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at text[*i]; returns false (and steps one byte)
// when it is malformed.
bool DecodeUtf8(std::string_view text, size_t* i, uint32_t* cp) {
    const unsigned char c = static_cast<unsigned char>(text[*i]);
    int extra;
    uint32_t value, min;
    if (c < 0x80) {
        *cp = c;
        ++*i;
        return true;
    } else if ((c & 0xE0) == 0xC0) {
        extra = 1, value = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2, value = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3, value = c & 0x07, min = 0x10000;
    } else {
        ++*i;
        return false;
    }
    if (*i + extra >= text.size()) {
        ++*i;
        return false;
    }
    for (int k = 1; k <= extra; ++k) {
        const unsigned char t = static_cast<unsigned char>(text[*i + k]);
        if ((t & 0xC0) != 0x80) {
            ++*i;
            return false;
        }
        value = (value << 6) | (t & 0x3F);
    }
    if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++*i;
        return false;
    }
    *i += extra + 1;
    *cp = value;
    return true;
}

locale_t Utf8Locale() {
    static locale_t locale = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        if (!l) l = newlocale(LC_CTYPE_MASK, "C.utf8", static_cast<locale_t>(0));
        return l;
    }();
    return locale;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        uint32_t cp;
        if (!DecodeUtf8(text, &i, &cp)) cp = 0xFFFD;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(&out, c);
    }
    return out;
}

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    uint32_t cp;
    while (i < text.size())
        if (!DecodeUtf8(text, &i, &cp)) return false;
    return true;
}

char16_t UpcaseChar(char16_t c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? static_cast<char16_t>(c - 32) : c;
    if (c >= 0xD800 && c <= 0xDFFF) return c;
    if (locale_t l = Utf8Locale()) {
        const wint_t u = towupper_l(static_cast<wint_t>(c), l);
        // Only mappings that stay in the basic plane and are not to ASCII
        // (Windows maps neither U+0131 nor U+017F to ASCII letters).
        if (u < 0x10000 && (u >= 0x80 || u == c)) return static_cast<char16_t>(u);
        return c;
    }
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x430 && c <= 0x44F))
        return static_cast<char16_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
    return c;
}

std::u16string Upcase(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) c = UpcaseChar(c);
    return out;
}

std::string FoldUtf8(std::string_view text) { return Utf16ToUtf8(Upcase(Utf8ToUtf16(text))); }

bool EqualNoCaseUtf8(std::string_view a, std::string_view b) {
    return Upcase(Utf8ToUtf16(a)) == Upcase(Utf8ToUtf16(b));
}

// ---- code pages ----

namespace {

// Converts `bytes` with an iconv descriptor to one UTF-16 unit; false when
// the bytes have no mapping or map to more than one unit.
bool IconvOne(iconv_t cd, const char* bytes, size_t count, char16_t* out) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char in[4];
    for (size_t i = 0; i < count; ++i) in[i] = bytes[i];
    char result[8];
    char* inPtr = in;
    char* outPtr = result;
    size_t inLeft = count, outLeft = sizeof result;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) return false;
    if (inLeft != 0 || outPtr - result != 2) return false;
    *out = static_cast<char16_t>(static_cast<unsigned char>(result[0]) |
                                 (static_cast<unsigned char>(result[1]) << 8));
    return true;
}

iconv_t OpenToUtf16(unsigned number) {
    const std::string names[] = {"CP" + std::to_string(number), "WINDOWS-" + std::to_string(number),
                                 "IBM" + std::to_string(number)};
    for (const std::string& name : names) {
        iconv_t cd = iconv_open("UTF-16LE", name.c_str());
        if (cd != reinterpret_cast<iconv_t>(-1)) return cd;
    }
    return reinterpret_cast<iconv_t>(-1);
}

}  // namespace

const CodePage* CodePage::Find(unsigned number) {
    static std::mutex mutex;
    static std::map<unsigned, std::unique_ptr<CodePage>> pages;
    std::lock_guard<std::mutex> lock(mutex);
    auto it = pages.find(number);
    if (it != pages.end()) return it->second.get();
    std::unique_ptr<CodePage> page(new CodePage(number));
    if (!page->Build()) page.reset();
    return (pages[number] = std::move(page)).get();
}

bool CodePage::Build() {
    if (number_ == 65001) {
        utf8_ = true;
        maxCharSize_ = 4;
        return true;
    }
    // Code pages the real system has with lead bytes: only 932 is modelled.
    if (number_ == 936 || number_ == 949 || number_ == 950 || number_ == 1361) return false;
    iconv_t cd = OpenToUtf16(number_);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    if (number_ == 932) {
        maxCharSize_ = 2;
        leadRanges_ = {{0x81, 0x9F}, {0xE0, 0xFC}};
        for (auto [from, to] : leadRanges_)
            for (unsigned b = from; b <= to; ++b) lead_[b] = true;
        defaultWide_ = 0x30FB;
    }
    for (unsigned b = 0; b < 256; ++b) {
        if (lead_[b]) continue;
        const char byte = static_cast<char>(b);
        char16_t wide;
        if (IconvOne(cd, &byte, 1, &wide)) {
            single_[b] = wide;
        } else if (number_ == 932 && b == 0xA0) {
            single_[b] = 0xF8F0;
        } else if (number_ == 932 && b >= 0xFD) {
            single_[b] = static_cast<char16_t>(0xF8F1 + (b - 0xFD));
        } else {
            // The positions the Windows tables leave undefined map to the C1
            // control of the same value (0x81 in 1252 is U+0081).
            single_[b] = static_cast<char16_t>(b);
        }
        singleValid_[b] = true;
    }
    if (maxCharSize_ == 2) {
        pairs_.assign(0x10000, 0);
        for (unsigned lead = 0; lead < 256; ++lead) {
            if (!lead_[lead]) continue;
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                char16_t wide;
                if (IconvOne(cd, bytes, 2, &wide)) pairs_[lead << 8 | trail] = wide;
            }
        }
    }
    iconv_close(cd);

    // The reverse table: the first code in ascending order wins, except that
    // the NEC-selected IBM extensions of 932 (leads 0xED, 0xEE) come last, as
    // in the Windows table.
    reverse_.assign(0x10000, 0xFFFF);
    for (unsigned b = 0; b < 256; ++b)
        if (singleValid_[b] && reverse_[single_[b]] == 0xFFFF) reverse_[single_[b]] = b;
    if (maxCharSize_ == 2) {
        for (int round = 0; round < 2; ++round) {
            for (unsigned code = 0x8100; code < 0x10000; ++code) {
                const bool nec = (code >> 8) == 0xED || (code >> 8) == 0xEE;
                if (nec != (round == 1)) continue;
                const char16_t wide = pairs_[code];
                if (wide && reverse_[wide] == 0xFFFF) reverse_[wide] = static_cast<uint16_t>(code);
            }
        }
    }
    return true;
}

std::u16string CodePage::ToWide(std::string_view bytes, bool* invalid) const {
    if (invalid) *invalid = false;
    if (utf8_) {
        std::u16string out = Utf8ToUtf16(bytes);
        if (invalid) *invalid = !IsValidUtf8(bytes);
        return out;
    }
    std::u16string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (!lead_[b]) {
            out += single_[b];
            continue;
        }
        // A lead byte needs a trail byte; a lone lead byte (at the end, or
        // before a NUL) has no mapping.
        if (i + 1 >= bytes.size() || bytes[i + 1] == '\0') {
            out += defaultWide_;
            if (invalid) *invalid = true;
            continue;
        }
        const unsigned char t = static_cast<unsigned char>(bytes[i + 1]);
        const char16_t wide = pairs_[b << 8 | t];
        ++i;
        if (wide) {
            out += wide;
        } else {
            out += defaultWide_;
            if (invalid) *invalid = true;
        }
    }
    return out;
}

std::string CodePage::FromWide(std::u16string_view text, const char* defaultChar,
                               bool* usedDefault) const {
    if (usedDefault) *usedDefault = false;
    if (utf8_) return Utf16ToUtf8(text);
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        const uint16_t code = reverse_[c];
        if (code == 0xFFFF) {
            if (usedDefault) *usedDefault = true;
            if (defaultChar && defaultChar[0]) {
                out += defaultChar[0];
                if (maxCharSize_ == 2 && lead_[static_cast<unsigned char>(defaultChar[0])] &&
                    defaultChar[1])
                    out += defaultChar[1];
            } else {
                out += '?';
            }
        } else if (code > 0xFF) {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        } else {
            out += static_cast<char>(code);
        }
    }
    return out;
}

bool AppendLineEscape(char c, std::string* out) {
    switch (c) {
        case '\n':
            *out += "\\n";
            return true;
        case '\r':
            *out += "\\r";
            return true;
        case '\t':
            *out += "\\t";
            return true;
        default:
            return false;
    }
}

std::string Quote(std::string_view utf8) {
    std::string out = "\"";
    for (char ch : utf8) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"') {
            out += "\\\"";
        } else if (AppendLineEscape(ch, &out)) {
            continue;
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::vector<uint8_t> Utf16LeBytes(std::u16string_view text) {
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    return bytes;
}

std::vector<uint8_t> RegSzBytes(std::string_view utf8) {
    return Utf16LeBytes(Utf8ToUtf16(utf8) + u'\0');
}

std::string Hex(uint32_t value) {
    char buf[16];
    snprintf(buf, sizeof buf, "0x%x", value);
    return buf;
}

}  // namespace sim
