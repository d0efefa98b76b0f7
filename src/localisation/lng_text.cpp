#include <stdlib.h>

#include "common/lead_bytes.h"
#include "localisation/language_file.h"

namespace {

// The character that the escape "\c" stands for, 0 when "\c" is no escape.
char EscapedChar(char c) {
    switch (c) {
        case '"':
            return '"';
        case '\\':
            return '\\';
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        case 't':
            return '\t';
        default:
            return '\0';
    }
}

// The text whose line index qsort is sorting (qsort passes no context).
const char* g_sortedText = nullptr;

int CompareIndexEntries(const void* a, const void* b) {
    return CompareLineKeys(g_sortedText + *static_cast<const int*>(a),
                           g_sortedText + *static_cast<const int*>(b));
}

}  // namespace

int ProcessLanguageText(char* text, int rawLength) {
    const LeadByteTable& table = LeadBytes();
    int i = 0;
    int j = 0;
    while (j < rawLength) {
        const char c = text[j];
        if (c == '\0') break;
        const char next = j + 1 < rawLength ? text[j + 1] : '\0';
        // A double-byte character stays whole: its trail byte may have the
        // value of a backslash, which then starts no escape. A separator
        // after a lead byte is no trail byte.
        if (table.multiByte && table.leadByte[static_cast<unsigned char>(c)] && next != '\0' &&
            next != '\r' && next != '\n' && next != '\f') {
            text[i++] = c;
            text[i++] = next;
            j += 2;
            continue;
        }
        if (c == '\\') {
            const char escaped = EscapedChar(next);
            if (escaped != '\0') {
                text[i++] = escaped;
                j += 2;
                continue;
            }
        }
        text[i++] = (c == '\r' || c == '\n') ? '\f' : c;
        ++j;
    }
    text[i] = '\0';
    return i;
}

int CompareLineKeys(const char* a, const char* b) {
    for (int i = 0; i < 8; ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]);
        const unsigned char y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
    return 0;
}

void BuildLineIndex(const char* text, int length, Array<int>& index) {
    for (int k = 1; k < length - 8; ++k) {
        if (text[k - 1] == '\f' && text[k] != '\f') index.Append(k);
    }
    if (index.Count() < 2) return;
    g_sortedText = text;
    qsort(index.Data(), static_cast<size_t>(index.Count()), sizeof(int), CompareIndexEntries);
    g_sortedText = nullptr;
}
