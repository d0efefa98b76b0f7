// ANSI path names, scanned character by character so that a trail byte of a
// double-byte character is never taken for a separator.
#pragma once

#include <stddef.h>

// The position of the file name inside `path`: after the last "\" or "/", or
// after the colon of a drive-relative name such as C:name, or the start. For
// a path that ends in a separator this is the terminator.
const char* NameInPath(const char* path);
char* NameInPath(char* path);

// The position of the last whole character of `text`; the start for an empty text.
const char* LastCharOf(const char* text);

// Appends "\" to a non-empty path whose last character is not "\" (a path
// ending in "/" gets one too). `size` is the buffer's size in bytes. Returns
// false, leaving the path unchanged, when the buffer has no room for it.
bool AppendBackslash(char* path, size_t size);

// Cuts the file name and its separator off `path`, in place; a root's separator
// stays: C:\dir\name gives C:\dir, C:\name gives C:\, C:name gives C:,
// \name gives \, name gives the empty text, C:\dir\ gives C:\dir.
void CutNameFromPath(char* path);
