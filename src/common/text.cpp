#include "common/text.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "platform/platform.h"

char* TrimTrailingBlanks(char* text) {
    size_t length = strlen(text);
    while (length > 0) {
        char c = text[length - 1];
        if (c != '\r' && c != '\n' && c != ' ' && c != '\t') break;
        text[--length] = '\0';
    }
    return text;
}

int CompareNoCase(const char* a, const char* b) {
    return os::Sys().CompareStringA(os::kLocaleUserDefault,
                                    os::kNormIgnoreCase | os::kSortStringSort, a, -1, b, -1) -
           2;
}

bool CopyText(char* destination, size_t size, const char* source) {
    if (size == 0) return false;
    size_t length = strlen(source);
    if (length >= size) {
        destination[0] = '\0';
        return false;
    }
    memmove(destination, source, length + 1);
    return true;
}

size_t WideLength(const os::Wchar* text) {
    size_t length = 0;
    while (text[length] != 0) ++length;
    return length;
}

bool CopyWide(os::Wchar* destination, size_t count, const os::Wchar* source) {
    if (count == 0) return false;
    size_t length = WideLength(source);
    if (length >= count) {
        destination[0] = 0;
        return false;
    }
    memmove(destination, source, (length + 1) * sizeof(os::Wchar));
    return true;
}

bool WideToAnsi(const os::Wchar* source, char* destination, size_t size) {
    if (size == 0) return false;
    int limit = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size);
    if (os::Sys().WideCharToMultiByte(os::kCpAcp, 0, source, -1, destination, limit, nullptr,
                                      nullptr) != 0) {
        return true;
    }
    destination[0] = '\0';
    return false;
}

char* FormatInto(char* buffer, size_t size, const char* format, ...) {
    if (size == 0) return nullptr;
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(buffer, size, format, arguments);
    va_end(arguments);
    if (length < 0 || static_cast<size_t>(length) >= size) {
        buffer[0] = '\0';
        return nullptr;
    }
    return buffer;
}
