#include "platform/sim/text_file.h"

#include "platform/sim/text.h"

namespace sim {

bool HasUtf16Mark(std::string_view bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xFE;
}

bool DecodeUtf16File(std::string_view bytes, std::string* text, std::string* error) {
    std::u16string wide;
    wide.reserve(bytes.size() / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        wide += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
    *text = Utf16ToUtf8(wide);
    if (bytes.size() % 2 == 0) return true;
    size_t lines = 1;
    for (char c : *text) lines += c == '\n';
    *error = "line " + std::to_string(lines) +
             ": the UTF-16 text ends in half a character (an odd number of bytes)";
    return false;
}

}  // namespace sim
