#include "localisation/bounded_text.h"

#include <string.h>

#include "common/lead_bytes.h"

namespace {

// The size of the character at `text[i]` inside `length` bytes: two bytes
// for a lead byte of a multi-byte code page with its trail byte present.
size_t CharSize(const LeadByteTable& table, const char* text, size_t i, size_t length) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    return table.multiByte && table.leadByte[byte] && i + 1 < length ? 2 : 1;
}

}  // namespace

size_t FitLength(const char* text, size_t length, size_t limit) {
    if (length <= limit) return length;
    const LeadByteTable& table = LeadBytes();
    size_t fit = 0;
    while (fit < length) {
        const size_t next = fit + CharSize(table, text, fit, length);
        if (next > limit) break;
        fit = next;
    }
    return fit;
}

bool CopyCut(char* destination, size_t capacity, const char* text, size_t length) {
    if (capacity == 0) return length == 0;
    const size_t fit = FitLength(text, length, capacity - 1);
    memmove(destination, text, fit);
    destination[fit] = '\0';
    return fit == length;
}

TextBuilder::TextBuilder(char* buffer, size_t capacity) : buffer_(buffer), capacity_(capacity) {
    buffer_[0] = '\0';
}

void TextBuilder::Append(const char* text) { Append(text, strlen(text)); }

void TextBuilder::Append(const char* text, size_t length) {
    if (cut_) return;
    if (!CopyCut(buffer_ + length_, capacity_ - length_, text, length)) cut_ = true;
    length_ += strlen(buffer_ + length_);
}

void TextBuilder::AppendWithPath(const char* text, const char* path) {
    const LeadByteTable& table = LeadBytes();
    const size_t length = strlen(text);
    for (size_t i = 0; i < length; i += CharSize(table, text, i, length)) {
        if (text[i] == '%' && text[i + 1] == 's') {
            Append(text, i);
            Append(path);
            Append(text + i + 2);
            return;
        }
    }
    Append(text, length);
}

bool InsertPath(char* destination, size_t capacity, const char* text, const char* path) {
    TextBuilder result(destination, capacity);
    result.AppendWithPath(text, path);
    return !result.Cut();
}
