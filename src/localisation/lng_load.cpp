#include <stdlib.h>

#include "common/file.h"
#include "common/path.h"
#include "common/text.h"
#include "localisation/language_file.h"
#include "localisation/language_resources.h"
#include "localisation/program_path.h"

namespace {

// The path of the language file: `fileName` itself when it names a folder,
// else the file of that name in the program's folder.
bool LanguageFilePath(const char* fileName, char* path, size_t size) {
    if (NameInPath(fileName) != fileName) return CopyText(path, size, fileName);
    return GetProgramPath(path, size) && ReplaceFileName(path, size, fileName);
}

}  // namespace

LanguageResources::~LanguageResources() { free(text_); }

void LanguageResources::Load(const char* fileName) {
    if (!IsLoaded()) Read(fileName);
    DetectRightToLeft();
}

void LanguageResources::Read(const char* fileName) {
    char path[kPathSize];
    if (!LanguageFilePath(fileName, path, sizeof path)) return;
    File file;
    if (!file.Open(path, nullptr, false, true)) return;
    const int64_t marker = FindMessagesMarker(file);
    if (marker < 0 || !file.RawSeek(marker, 0)) return;

    char* text = static_cast<char*>(malloc(kAreaSize + kAreaReserve));
    if (!text) return;
    text[kAreaSize] = '\0';
    int rawLength = 0;
    while (rawLength < kAreaSize) {
        const int count = file.Read(text + rawLength, kAreaSize - rawLength);
        if (count <= 0) break;
        rawLength += count;
    }
    textLength_ = ProcessLanguageText(text, rawLength);
    text_ = text;
    BuildLineIndex(text_, textLength_, lineIndex_);
}
