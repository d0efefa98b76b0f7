#include "platform/sim/res_dialog.h"

#include "platform/sim/res_bytes.h"
#include "platform/sim/text.h"

namespace sim {

namespace {

constexpr uint32_t kDsSetFont = 0x40;
constexpr uint32_t kDsShellFont = 0x48;

class TemplateReader {
  public:
    TemplateReader(const uint8_t* data, size_t size, std::string* error)
        : view_(data, size), error_(error) {}

    bool Read(DialogTemplate* dialog);

  private:
    bool Fail(const char* what) {
        if (error_)
            *error_ = "dialog template: " + std::string(what) + " at offset " + std::to_string(at_);
        return false;
    }
    bool U8(uint8_t* v) { return Step(view_.U8(at_, v), 1); }
    bool U16(uint16_t* v) { return Step(view_.U16(at_, v), 2); }
    bool U32(uint32_t* v) { return Step(view_.U32(at_, v), 4); }
    bool I16(int16_t* v) {
        uint16_t u;
        if (!U16(&u)) return false;
        *v = static_cast<int16_t>(u);
        return true;
    }
    bool Step(bool ok, size_t count) {
        if (ok) at_ += count;
        return ok;
    }
    bool Text(std::u16string* text) {
        size_t end;
        if (!view_.Text16(at_, text, &end)) return false;
        at_ = end;
        return true;
    }
    bool Field(TemplateField* field);
    bool Rectangle(int16_t* x, int16_t* y, int16_t* cx, int16_t* cy) {
        return I16(x) && I16(y) && I16(cx) && I16(cy);
    }
    bool Item(bool extended, DialogItem* item);

    ByteView view_;
    std::string* error_;
    size_t at_ = 0;
};

bool TemplateReader::Field(TemplateField* field) {
    uint16_t first;
    if (!view_.U16(at_, &first)) return false;
    if (first == 0) {
        at_ += 2;
        return true;
    }
    field->present = true;
    if (first == 0xFFFF) {
        field->isOrdinal = true;
        at_ += 2;
        return U16(&field->ordinal);
    }
    return Text(&field->text);
}

bool TemplateReader::Item(bool extended, DialogItem* item) {
    at_ = AlignUp4(at_);
    if (extended) {
        if (!U32(&item->helpId) || !U32(&item->exStyle) || !U32(&item->style) ||
            !Rectangle(&item->x, &item->y, &item->cx, &item->cy) || !U32(&item->id)) {
            return Fail("control header cut short");
        }
    } else {
        uint16_t id;
        if (!U32(&item->style) || !U32(&item->exStyle) ||
            !Rectangle(&item->x, &item->y, &item->cx, &item->cy) || !U16(&id)) {
            return Fail("control header cut short");
        }
        item->id = id;
    }
    if (!Field(&item->windowClass)) return Fail("control class cut short");
    if (!Field(&item->title)) return Fail("control text cut short");
    uint16_t extra;
    if (!U16(&extra)) return Fail("control creation data cut short");
    // The count of creation bytes that follow it (the dialog manager reads it
    // so in both forms).
    const size_t count = extra;
    if (!view_.Has(at_, count)) return Fail("control creation data cut short");
    item->creationData.assign(view_.Data() + at_, view_.Data() + at_ + count);
    at_ += count;
    return true;
}

bool TemplateReader::Read(DialogTemplate* dialog) {
    uint16_t version, signature;
    if (!view_.U16(0, &version) || !view_.U16(2, &signature)) return Fail("header cut short");
    dialog->extended = version == 1 && signature == 0xFFFF;
    uint16_t count;
    if (dialog->extended) {
        at_ = 4;
        if (!U32(&dialog->helpId) || !U32(&dialog->exStyle) || !U32(&dialog->style)) {
            return Fail("header cut short");
        }
    } else if (!U32(&dialog->style) || !U32(&dialog->exStyle)) {
        return Fail("header cut short");
    }
    if (!U16(&count) || !Rectangle(&dialog->x, &dialog->y, &dialog->cx, &dialog->cy)) {
        return Fail("header cut short");
    }
    if (!Field(&dialog->menu)) return Fail("menu cut short");
    if (!Field(&dialog->windowClass)) return Fail("class cut short");
    if (!Text(&dialog->caption)) return Fail("caption cut short");
    dialog->hasFont =
        (dialog->style & kDsSetFont) || (dialog->style & kDsShellFont) == kDsShellFont;
    if (dialog->hasFont) {
        if (!U16(&dialog->pointSize)) return Fail("font cut short");
        if (dialog->extended) {
            uint8_t italic;
            if (!U16(&dialog->weight) || !U8(&italic) || !U8(&dialog->charset)) {
                return Fail("font cut short");
            }
            dialog->italic = italic != 0;
        }
        if (!Text(&dialog->typeface)) return Fail("font name cut short");
    }
    for (uint16_t i = 0; i < count; ++i) {
        DialogItem item;
        if (!Item(dialog->extended, &item)) return false;
        dialog->items.push_back(std::move(item));
    }
    return true;
}

}  // namespace

std::u16string DialogItem::ClassName() const {
    static const char16_t* const kPredefined[] = {u"Button",  u"Edit",      u"Static",
                                                  u"ListBox", u"ScrollBar", u"ComboBox"};
    if (windowClass.isOrdinal) {
        if (windowClass.ordinal >= 0x80 && windowClass.ordinal <= 0x85) {
            return kPredefined[windowClass.ordinal - 0x80];
        }
        return Utf8ToUtf16("#" + std::to_string(windowClass.ordinal));
    }
    // Class names compare without regard to case; a predefined class named
    // by its text ("STATIC", as windres writes it) has its registered spelling.
    for (const char16_t* name : kPredefined) {
        if (Upcase(name) == Upcase(windowClass.text)) return name;
    }
    return windowClass.text;
}

bool ParseDialogTemplate(const std::vector<uint8_t>& bytes, DialogTemplate* dialog,
                         std::string* error) {
    return ParseDialogTemplate(bytes.data(), bytes.size(), dialog, error);
}

bool ParseDialogTemplate(const uint8_t* data, size_t size, DialogTemplate* dialog,
                         std::string* error) {
    *dialog = DialogTemplate();
    TemplateReader reader(data, size, error);
    return reader.Read(dialog);
}

}  // namespace sim
