#include <string.h>

#include "localisation/bounded_text.h"
#include "localisation/language_file.h"
#include "localisation/language_resources.h"
#include "localisation/text_key.h"

namespace {

// Where a translation's text begins after its line start: the key, "=" and
// the opening double quote.
constexpr int kTranslationOffset = kTextKeyLength + 2;

// True when the line at `line` is a translation line for `key`.
bool IsTranslationLine(const char* line, const char* key) {
    return CompareLineKeys(line, key) == 0 && line[kTextKeyLength] == '=' &&
           line[kTextKeyLength + 1] == '"';
}

}  // namespace

int LanguageResources::FindLine(const char* key) const {
    // Binary search over the index, which is sorted by the first 8 bytes. A
    // line with the key but without "=" and a quote after it (a note that
    // starts with a key) is no translation; the scan below looks further.
    int first = 0;
    int count = lineIndex_.Count();
    while (count > 0) {
        const int probe = first + count / 2;
        const int order = CompareLineKeys(key, text_ + lineIndex_[probe]);
        if (order == 0) {
            if (IsTranslationLine(text_ + lineIndex_[probe], key)) return lineIndex_[probe];
            break;
        }
        if (order < 0) {
            count = count / 2;
        } else {
            first = probe + 1;
            count = count - count / 2 - 1;
        }
    }
    // The first line and every line after a run of form feeds, in order.
    int line = 0;
    while (line < textLength_) {
        if (IsTranslationLine(text_ + line, key)) return line;
        const char* separator = strchr(text_ + line, '\f');
        if (!separator) break;
        line = static_cast<int>(separator - text_);
        while (text_[line] == '\f') ++line;
    }
    return -1;
}

void LanguageResources::Translate(char* destination, size_t capacity, const char* source,
                                  const char* dialogName, int keyType) const {
    int line = -1;
    if (IsLoaded()) {
        char key[kTextKeySize];
        ComputeTextKey(key, keyType, dialogName, source);
        line = FindLine(key);
    }
    if (line < 0) {
        if (destination != source) CopyCut(destination, capacity, source, strlen(source));
        return;
    }
    // The translation runs to the next separator, which is taken too, or for
    // 255 bytes when none follows; the text's end stops it early. A line
    // found by its key alone may be shorter than a key, "=" and a quote.
    const int start =
        line + kTranslationOffset <= textLength_ ? line + kTranslationOffset : textLength_;
    const char* translation = text_ + start;
    const char* separator = strchr(translation, '\f');
    const size_t limit = separator ? static_cast<size_t>(separator - translation) + 1
                                   : static_cast<size_t>(kCopyWithoutEnd);
    size_t length = 0;
    while (length < limit && translation[length] != '\0') ++length;
    // The text ends at the last double quote; without one the separator stays.
    for (size_t i = length; i > 0; --i) {
        if (translation[i - 1] == '"') {
            length = i - 1;
            break;
        }
    }
    CopyCut(destination, capacity, translation, length);
}
