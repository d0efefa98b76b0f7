#include "uninstall/wininit.h"

#include <stdlib.h>
#include <string.h>

#include "platform/platform.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when the line [begin, end) is a section header "[name]" (blanks
// around the header and the name allowed, letter case ignored).
bool IsHeader(const char* begin, const char* end, const char* name, bool* matches) {
    while (begin != end && IsBlank(*begin)) ++begin;
    if (begin == end || *begin != '[') return false;
    const char* close = static_cast<const char*>(memchr(begin, ']', end - begin));
    if (!close) return false;
    const char* nameBegin = begin + 1;
    const char* nameEnd = close;
    while (nameBegin != nameEnd && IsBlank(*nameBegin)) ++nameBegin;
    while (nameEnd != nameBegin && IsBlank(nameEnd[-1])) --nameEnd;
    const size_t length = strlen(name);
    *matches = static_cast<size_t>(nameEnd - nameBegin) == length;
    for (size_t i = 0; *matches && i < length; ++i) {
        if (AsciiLower(nameBegin[i]) != AsciiLower(name[i])) *matches = false;
    }
    return true;
}

bool IsBlankLine(const char* begin, const char* end) {
    for (; begin != end; ++begin) {
        if (!IsBlank(*begin)) return false;
    }
    return true;
}

// True when the line [begin, end) is "NUL=<name>" (blanks around it allowed,
// the key's letter case ignored, the name as written).
bool IsDeletionOf(const char* begin, const char* end, const char* name) {
    while (begin != end && IsBlank(*begin)) ++begin;
    while (end != begin && IsBlank(end[-1])) --end;
    const size_t length = strlen(name);
    if (static_cast<size_t>(end - begin) != 4 + length) return false;
    return AsciiLower(begin[0]) == 'n' && AsciiLower(begin[1]) == 'u' &&
           AsciiLower(begin[2]) == 'l' && begin[3] == '=' && memcmp(begin + 4, name, length) == 0;
}

// Where the new line goes: after the last non-blank line of the first
// section [Rename]; `length` (and *found false) when there is none.
// *present: the section has the line "NUL=<name>" already.
size_t InsertionPoint(const char* text, size_t length, const char* name, bool* found,
                      bool* present) {
    *found = false;
    *present = false;
    size_t insertAt = length;
    bool inSection = false;
    for (size_t begin = 0; begin < length;) {
        const char* lf = static_cast<const char*>(memchr(text + begin, '\n', length - begin));
        const size_t end = lf ? static_cast<size_t>(lf - text) : length;
        const size_t next = lf ? end + 1 : length;
        bool matches = false;
        if (IsHeader(text + begin, text + end, "Rename", &matches)) {
            if (inSection) break;
            if (matches) {
                *found = true;
                inSection = true;
                insertAt = next;
            }
        } else if (inSection && !IsBlankLine(text + begin, text + end)) {
            insertAt = next;
            *present = *present || IsDeletionOf(text + begin, text + end, name);
        }
        begin = next;
    }
    return insertAt;
}

// Appends `length` bytes to out[*used..], false when they do not fit.
bool Put(char* out, size_t size, size_t* used, const char* text, size_t length) {
    if (length > size - *used) return false;
    memcpy(out + *used, text, length);
    *used += length;
    return true;
}

bool Put(char* out, size_t size, size_t* used, const char* text) {
    return Put(out, size, used, text, strlen(text));
}

// Reads the whole file `path` into `buffer` of `size` bytes: *length bytes,
// 0 and *existed false for a missing file. False when it cannot be read or
// is larger than `size`.
bool ReadWholeFile(const char* path, char* buffer, size_t size, size_t* length, bool* existed) {
    *length = 0;
    *existed = false;
    os::Files& files = os::Fs();
    os::FileHandle file =
        files.CreateFileA(path, os::kGenericRead, os::kFileShareRead, os::kOpenExisting, 0);
    if (file == os::InvalidFileHandle()) {
        const os::Dword error = os::Sys().GetLastError();
        return error == static_cast<os::Dword>(os::kErrorFileNotFound);
    }
    *existed = true;
    bool ok = true;
    for (;;) {
        char probe;
        char* into = *length < size ? buffer + *length : &probe;
        const os::Dword want = *length < size ? static_cast<os::Dword>(size - *length) : 1;
        os::Dword read = 0;
        if (!files.ReadFile(file, into, want, &read)) {
            ok = false;
            break;
        }
        if (read == 0) break;
        if (into == &probe) {
            ok = false;  // larger than the buffer
            break;
        }
        *length += read;
    }
    files.CloseHandle(file);
    return ok;
}

bool WriteWholeFile(const char* path, const char* bytes, size_t length) {
    os::Files& files = os::Fs();
    os::FileHandle file =
        files.CreateFileA(path, os::kGenericWrite, 0, os::kCreateAlways, os::kFileAttributeNormal);
    if (file == os::InvalidFileHandle()) return false;
    os::Dword written = 0;
    const bool ok =
        files.WriteFile(file, bytes, static_cast<os::Dword>(length), &written) && written == length;
    return files.CloseHandle(file) && ok;
}

}  // namespace

size_t InsertRenameLine(const char* text, size_t length, const char* name, char* out, size_t size) {
    bool found = false, present = false;
    const size_t at = InsertionPoint(text, length, name, &found, &present);
    size_t used = 0;
    // A file scheduled again (a busy file is met in every pass) keeps its one line.
    if (present) return Put(out, size, &used, text, length) ? used : 0;
    bool ok = Put(out, size, &used, text, at);
    // A last line without its line end gets one before the new line.
    if (at > 0 && text[at - 1] != '\n') ok = ok && Put(out, size, &used, "\r\n");
    if (!found) {
        if (at > 0) ok = ok && Put(out, size, &used, "\r\n");
        ok = ok && Put(out, size, &used, "[Rename]\r\n");
    }
    ok = ok && Put(out, size, &used, "NUL=") && Put(out, size, &used, name) &&
         Put(out, size, &used, "\r\n") && Put(out, size, &used, text + at, length - at);
    return ok ? used : 0;
}

bool AddWininitDeletion(const char* iniPath, const char* name) {
    const size_t outSize = kWininitMaxSize + strlen(name) + 32;
    char* old = static_cast<char*>(malloc(kWininitMaxSize));
    char* edited = static_cast<char*>(malloc(outSize));
    bool ok = false;
    size_t length = 0;
    bool existed = false;
    if (old && edited && ReadWholeFile(iniPath, old, kWininitMaxSize, &length, &existed)) {
        const size_t editedLength = InsertRenameLine(old, length, name, edited, outSize);
        // The same length: the name was scheduled already, nothing to write.
        ok = editedLength != 0 &&
             (editedLength == length || WriteWholeFile(iniPath, edited, editedLength));
        // A write cut short (a full disk) must not cost the deletions and
        // renames other programs scheduled: the old bytes go back, into the
        // room the rewrite freed; a file that was not there goes again.
        if (!ok && editedLength != 0) {
            if (existed) {
                WriteWholeFile(iniPath, old, length);
            } else {
                os::Fs().DeleteFileA(iniPath);
            }
        }
    }
    free(old);
    free(edited);
    return ok;
}
