// Texts written into callers' buffers of a given capacity. A text that does
// not fit is cut at a character boundary of the ANSI code page, so that a
// double-byte character is never split.
#pragma once

#include <stddef.h>

// The number of bytes of the `length` bytes at `text` that fit into `limit`
// bytes without splitting a double-byte character.
size_t FitLength(const char* text, size_t length, size_t limit);

// Copies `length` bytes of `text` into `destination` of `capacity` bytes and
// terminates it; the text is cut to capacity - 1 bytes at a character
// boundary. False when it was cut (a buffer of 0 bytes is left untouched). `text` may lie inside
// `destination` at or after its start.
bool CopyCut(char* destination, size_t capacity, const char* text, size_t length);

// A text assembled piece by piece in a buffer of `capacity` bytes (at least
// 1): a piece that does not fit is cut at a character boundary, and nothing
// is added after a cut.
class TextBuilder {
  public:
    TextBuilder(char* buffer, size_t capacity);
    void Append(const char* text);
    void Append(const char* text, size_t length);
    // Appends `text` with `path` in place of its first "%s"; every other
    // character, "%" included, is appended unchanged, so a translated text is
    // never used as a printf format. Without "%s" the text is appended as it is.
    void AppendWithPath(const char* text, const char* path);
    // True when some piece was cut or left out.
    bool Cut() const { return cut_; }
    size_t Length() const { return length_; }

  private:
    char* buffer_;
    size_t capacity_;
    size_t length_ = 0;
    bool cut_ = false;
};

// `text` with `path` in place of its first "%s" (as AppendWithPath) into
// `destination` of `capacity` bytes, cut at a character boundary when longer;
// false when it was cut. `destination` must not overlap `text` or `path`.
bool InsertPath(char* destination, size_t capacity, const char* text, const char* path);
