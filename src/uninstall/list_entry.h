// One entry of Uninstall.lst: a file or folder relative to the program
// folder, and its full name.
#pragma once

#include <stddef.h>

// True when `entry` can only name something inside the program folder: it
// does not start with a separator (a root-relative or UNC path), holds no
// colon (a drive-qualified path, or a stream), and none of its components is
// made of dots and blanks alone, except a lone "." (the system reads ".."
// and its variants as the parent folder). Separators are "\" and "/"; the
// text is scanned character by character.
bool StaysInsideFolder(const char* entry);

// The full name of an entry: `folder` (with its trailing backslash) followed
// by `entry`, into `fullName` of `size` bytes. False, and the empty text,
// when the entry would reach outside the folder or the name does not fit:
// a cut name would name another file.
bool ListEntryFullName(char* fullName, size_t size, const char* folder, const char* entry);
