// The steps of reading a language file, each on its own so that it can be
// checked: finding the messages marker, processing the area in place and
// indexing its lines.
#pragma once

#include <stdint.h>

#include "common/array.h"

class File;

enum : int {
    kMarkerLength = 13,       // "***messages**"
    kMarkerChunkSize = 8192,  // bytes read per pass
    kMarkerMaxPasses = 64,
    kMarkerOverlap = 16,  // the marker and the 3 bytes that must follow it
};

// The position of the messages marker in `file`, searched from the file's
// current position in at most 64 overlapping chunks; -1 when not found.
int64_t FindMessagesMarker(File& file);

// Processes the `rawLength` bytes of `text` in place: the escapes \" \\ \n
// \r \t become their characters, every CR and LF byte a form feed; a NUL ends
// the area early. Puts a NUL after the result and returns its length.
int ProcessLanguageText(char* text, int rawLength);

// Compares the first 8 bytes of `a` and `b` as unsigned values, ending early
// at a NUL: negative, 0 or positive.
int CompareLineKeys(const char* a, const char* b);

// Fills `index` with the positions at which lines begin (a byte after a form
// feed that is no form feed itself, far enough from the end to hold a key),
// sorted by CompareLineKeys.
void BuildLineIndex(const char* text, int length, Array<int>& index);
