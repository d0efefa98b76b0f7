// Dialog templates as the dialog manager reads them: the classic form
// (DLGTEMPLATE with DLGITEMTEMPLATE items) and the extended one (signature
// 0xFFFF), with the menu, class, caption and font of the dialog and each
// control's styles, position, id, class, text and creation data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// A menu, class or text field: none, an ordinal or a text.
struct TemplateField {
    bool present = false;
    bool isOrdinal = false;
    uint16_t ordinal = 0;
    std::u16string text;
};

struct DialogItem {
    uint32_t helpId = 0;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint32_t id = 0;  // 16 bits in the classic form
    TemplateField windowClass;
    TemplateField title;
    std::vector<uint8_t> creationData;

    // The class name: "Button", "Edit", "Static", "ListBox", "ScrollBar" or
    // "ComboBox" for the predefined ordinals 0x80 to 0x85 and for those names
    // in any letter case, else the text as stored.
    std::u16string ClassName() const;
};

struct DialogTemplate {
    bool extended = false;
    uint32_t helpId = 0;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    TemplateField menu;
    TemplateField windowClass;
    std::u16string caption;
    // Present when the style has DS_SETFONT (or DS_SHELLFONT).
    bool hasFont = false;
    uint16_t pointSize = 0;
    uint16_t weight = 0;
    bool italic = false;
    uint8_t charset = 0;
    std::u16string typeface;
    std::vector<DialogItem> items;
};

// Parses a dialog resource; false and *error when it is cut short or malformed.
bool ParseDialogTemplate(const std::vector<uint8_t>& bytes, DialogTemplate* dialog,
                         std::string* error);
// The same for the `size` bytes at `data`. A template handed to the dialog
// manager in memory has no size of its own: it is read as far as its own
// structure goes, with `size` the most that may be read.
bool ParseDialogTemplate(const uint8_t* data, size_t size, DialogTemplate* dialog,
                         std::string* error);

}  // namespace sim
