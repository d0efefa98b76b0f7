// The fourteen archive types that Velkor can take over, and the splitting of
// a type's extension list into single extensions.
#pragma once

#include <stddef.h>

// One row of ArchiveTypeTable. The row number is the type's flag in
// IntegrationSettings and its setup-dialog check box is 5101 + row.
struct ArchiveType {
    const char* name;            // as the setup dialog labels it, e.g. "7-Zip"
    int control;                 // setup-dialog check box
    const char* firstExtension;  // the list's first extension, e.g. ".lzh"
    const char* extensions;      // extensions back to back, e.g. ".lzh.lha"
    const char* handlerClass;    // the class the extensions are bound to
};

enum : int {
    kArchiveTypeCount = 14,
    kArchiveVlk = 0,
    kArchiveZip = 1,
    kArchiveJar = 11,
    kArchiveIso = 12,
};

extern const ArchiveType ArchiveTypeTable[kArchiveTypeCount];

// The handler classes that extensions are bound to. An extension whose class
// is either of them, in any letter case, belongs to Velkor.
inline constexpr char kVelkorClass[] = "Velkor";
inline constexpr char kVelkorZipClass[] = "Velkor.ZIP";

// Longest single extension that the association code handles, terminator
// included. Every extension of the table is far shorter.
enum : size_t { kExtensionSize = 64 };

// Takes the next extension off an extension list: the text up to (not
// including) the first dot after its first character, or the whole rest when
// there is no such dot. Copies it into `extension` (of `size` bytes) and
// returns where the rest of the list begins, or null when the list is done.
// An empty list gives null at once. An extension that does not fit is skipped
// (the call moves on to the extension after it), so a cut-off text never
// names an extension the list does not hold.
const char* NextExtension(const char* list, char* extension, size_t size);
