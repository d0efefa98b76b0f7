// Trimming, comparing, copying, converting and formatting texts into
// caller-sized buffers. A text that does not fit is never cut: the buffer gets
// the empty text and the result tells the failure.
#pragma once

#include <stddef.h>

#include "platform/types.h"

// Replaces every CR, LF, space and TAB at the end of `text` with the
// terminator, from the last byte backwards; returns `text`.
char* TrimTrailingBlanks(char* text);

// Compares two texts without regard to case in the user's default locale:
// -1, 0 or +1 (less, equal, greater), -2 when the comparison fails.
int CompareNoCase(const char* a, const char* b);

// Copies `source` with its terminator into `destination` of `size` bytes.
// False, and the empty text in `destination` (when it has a byte at all),
// when the text does not fit.
bool CopyText(char* destination, size_t size, const char* source);

// Copies a UTF-16 text with its terminating 0 into `destination` of `count`
// code units. False, and the empty text, when it does not fit.
bool CopyWide(os::Wchar* destination, size_t count, const os::Wchar* source);

// The number of code units of a UTF-16 text before its terminating 0.
size_t WideLength(const os::Wchar* text);

// Converts a UTF-16 text to the ANSI code page into `destination` of `size`
// bytes. False, and the empty text, when the conversion fails or does not fit.
bool WideToAnsi(const os::Wchar* source, char* destination, size_t size);

// Formats with printf conventions into `buffer` of `size` bytes and returns
// `buffer`; null, and the empty text in `buffer`, when the result does not fit.
char* FormatInto(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
