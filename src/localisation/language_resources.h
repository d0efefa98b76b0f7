// The language file "uninstall.lng": its translation area held in memory with
// a sorted index of its lines, the translation of texts by their keys, and
// the right-to-left switch.
//
// The area starts at the messages marker; a translation line is a text key,
// "=", a double quote, the text and a closing double quote (the last double
// quote of the line). Lines are separated by runs of CR, LF and form feeds,
// which the processed text holds as form feeds.
#pragma once

#include <stddef.h>

#include "common/array.h"
#include "platform/types.h"

class LanguageResources {
  public:
    enum : int {
        kAreaSize = 65536,     // bytes read from the marker on
        kAreaReserve = 1024,   // allocated beyond them
        kCopyWithoutEnd = 255  // bytes taken of a translation that no separator ends
    };

    LanguageResources() = default;
    LanguageResources(const LanguageResources&) = delete;
    LanguageResources& operator=(const LanguageResources&) = delete;
    // Frees the text; the line index frees itself.
    ~LanguageResources();

    // Reads the language file `fileName` (used as it is when it holds a
    // backslash, else looked for in the program's folder) and then decides the
    // right-to-left flag. No file, no marker or no memory leaves the object
    // without translations; nothing is reported. A loaded object stays as it is.
    void Load(const char* fileName);
    bool IsLoaded() const { return text_ != nullptr; }

    // Writes the translation of `source` (its key from `keyType` and
    // `dialogName`, which may be null) into `destination` of `capacity` bytes,
    // or a copy of `source` when there is none. Either is cut at a character
    // boundary to fit. `destination` and `source` may be the same buffer.
    void Translate(char* destination, size_t capacity, const char* source, const char* dialogName,
                   int keyType) const;

    // Sets the right-to-left flag when ResourceModule holds a dialog resource
    // named "RTL", or when "LTR" (dialog name "LTR") translates to "RTL".
    void DetectRightToLeft();
    bool RightToLeft() const { return rightToLeft_; }

    // Dialog localisation (dialog_localize.cpp, dialog_scale.cpp).
    //
    // The scale entry of `dialogName`: the translation of the empty text under
    // that name, "horizontal*vertical" in percent. Both are 100 without an
    // entry or without a "*". True when scaling is active (not both 100).
    bool GetDialogScale(const char* dialogName, int* horizontal, int* vertical) const;
    // Translates the caption (not for a property-sheet page) and the texts of
    // the first 512 children of `dialog`, and rescales it and them by the
    // scale entry (a page keeps its own size).
    void LocalizeDialog(os::Window dialog, const char* dialogName, bool page) const;
    // Adds WS_EX_LAYOUTRTL to the window's extended style when the language is
    // right to left; otherwise does nothing.
    void ApplyRightToLeft(os::Window window) const;

    // The processed translation area (null when not loaded) and its line index.
    const char* Text() const { return text_; }
    int TextLength() const { return textLength_; }
    const Array<int>& LineIndex() const { return lineIndex_; }

  private:
    // Reads and processes the file's translation area and indexes its lines.
    void Read(const char* fileName);
    // The position of the line that translates `key`, -1 when none.
    int FindLine(const char* key) const;

    char* text_ = nullptr;
    int textLength_ = 0;
    Array<int> lineIndex_;
    bool rightToLeft_ = false;
};

// The process-wide language file.
LanguageResources& TheLanguageResources();
