// Little-endian reads from a byte range with bounds checks, for the parsers
// of resource files, PE files and dialog templates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sim {

class ByteView {
  public:
    ByteView(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t Size() const { return size_; }
    const uint8_t* Data() const { return data_; }
    // True when `count` bytes from `offset` lie inside the range.
    bool Has(size_t offset, size_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }
    bool U8(size_t offset, uint8_t* value) const {
        if (!Has(offset, 1)) return false;
        *value = data_[offset];
        return true;
    }
    bool U16(size_t offset, uint16_t* value) const {
        if (!Has(offset, 2)) return false;
        *value = static_cast<uint16_t>(data_[offset] | (data_[offset + 1] << 8));
        return true;
    }
    bool U32(size_t offset, uint32_t* value) const {
        if (!Has(offset, 4)) return false;
        *value = static_cast<uint32_t>(data_[offset]) |
                 (static_cast<uint32_t>(data_[offset + 1]) << 8) |
                 (static_cast<uint32_t>(data_[offset + 2]) << 16) |
                 (static_cast<uint32_t>(data_[offset + 3]) << 24);
        return true;
    }
    // A NUL-terminated UTF-16 text from `offset`; *end is the offset after its
    // terminator. False when no terminator lies inside the range.
    bool Text16(size_t offset, std::u16string* text, size_t* end) const {
        text->clear();
        for (;;) {
            uint16_t c;
            if (!U16(offset, &c)) return false;
            offset += 2;
            if (c == 0) break;
            *text += static_cast<char16_t>(c);
        }
        *end = offset;
        return true;
    }

  private:
    const uint8_t* data_;
    size_t size_;
};

inline size_t AlignUp4(size_t offset) { return (offset + 3) & ~static_cast<size_t>(3); }

}  // namespace sim
