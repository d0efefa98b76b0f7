// Deletions at the next restart on the older platforms: the lines "NUL=name"
// of section [Rename] in wininit.ini, which the system carries out at its
// next start, one line per file.
#pragma once

#include <stddef.h>

enum : size_t {
    // The largest wininit.ini that is edited; the profile functions of the
    // older platforms handle no larger file either.
    kWininitMaxSize = 65536,
};

// Adds the line "NUL=<name>" to section [Rename] of the profile file
// `iniPath`, after the section's last line, creating the section (and the
// file) when missing; every other byte stays as it was. A profile write of key
// NUL would replace the section's earlier NUL line instead, and that file
// would then survive the restart. A name the section holds already is not
// added again. When the file cannot be written whole it keeps its old bytes
// (a file that was missing is removed again). False when the file cannot be
// read or written whole, or is larger than kWininitMaxSize.
bool AddWininitDeletion(const char* iniPath, const char* name);

// The profile text `text` of `length` bytes with the line "NUL=<name>" added
// to its section [Rename] as above (the text unchanged when the section has
// that line already), into `out` of `size` bytes; the new length, or 0 when
// it does not fit. Lines end in CR LF.
size_t InsertRenameLine(const char* text, size_t length, const char* name, char* out, size_t size);
