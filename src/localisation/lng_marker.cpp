#include <string.h>

#include "common/file.h"
#include "localisation/language_file.h"

namespace {

// The marker is two asterisks followed by these 11 bytes.
const char kMarkerTail[] = "*messages**";
static_assert(sizeof kMarkerTail - 1 + 2 == kMarkerLength, "marker length");

bool MarkerAt(const char* bytes) {
    return bytes[0] == '*' && bytes[1] == '*' && memcmp(bytes + 2, kMarkerTail, 11) == 0;
}

}  // namespace

int64_t FindMessagesMarker(File& file) {
    char chunk[kMarkerChunkSize];
    for (int pass = 0; pass < kMarkerMaxPasses; ++pass) {
        const int64_t position = file.Tell();
        if (position < 0) return -1;
        const int count = file.Read(chunk, sizeof chunk);
        if (count < kMarkerOverlap) return -1;
        for (int j = 0; j <= count - kMarkerOverlap; ++j) {
            if (MarkerAt(chunk + j)) return position + j;
        }
        // The next pass overlaps this one by 16 bytes, so a marker that
        // straddles two chunks is found in the second.
        file.Seek(position + count - kMarkerOverlap, 0);
    }
    return -1;
}
