// The scale entry of a dialog: the translation of the empty text under the
// dialog's name, "horizontal*vertical" in percent.
#include <stdint.h>
#include <string.h>

#include "localisation/language_resources.h"
#include "localisation/text_key.h"

namespace {

enum : size_t { kScaleEntrySize = 512 };
enum : int { kFullSize = 100 };

// A decimal number from the start of `text`: leading blanks and a sign are
// taken, reading ends at the first non-digit, no digits give 0. Numbers
// beyond the 32-bit range stay at its ends instead of wrapping.
int ReadScaleNumber(const char* text) {
    while (*text == ' ' || *text == '\t') ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (value <= INT32_MAX) value = value * 10 + (*text - '0');
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int>(value);
}

}  // namespace

bool LanguageResources::GetDialogScale(const char* dialogName, int* horizontal,
                                       int* vertical) const {
    char entry[kScaleEntrySize];
    Translate(entry, sizeof entry, "", dialogName, kKeyTypeDialog);
    *horizontal = kFullSize;
    *vertical = kFullSize;
    if (const char* star = strchr(entry, '*')) {
        *horizontal = ReadScaleNumber(entry);
        *vertical = ReadScaleNumber(star + 1);
    }
    return *horizontal != kFullSize || *vertical != kFullSize;
}
