// A dialog drawn as text for the terminal: one character cell per average
// character of the dialog's font, the controls at their places, and below
// them the controls that take a click, with their ids and states.
//
//   [x] label    a check box (checked; [ ] clear, [?] indeterminate)
//   (*) label    a radio button
//   < label >    a push button; << label >> the default one
//   {...}        a disabled control is drawn in braces
#include <algorithm>

#include "platform/sim/dialog_ui.h"
#include "platform/sim/machine.h"
#include "platform/sim/text.h"

namespace sim {

namespace {

constexpr uint32_t kSsTypeMask = 0x1F;
constexpr uint32_t kSsEtchedHorz = 0x10;

// The label without its mnemonic marks ("&&" is one ampersand).
std::u16string Label(const std::u16string& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

class Canvas {
  public:
    Canvas(int width, int height) : rows_(height, std::u16string(width, u' ')) {}
    void Put(int row, int column, const std::u16string& text, int limit) {
        if (row < 0 || row >= static_cast<int>(rows_.size())) return;
        std::u16string& line = rows_[row];
        for (int i = 0; i < static_cast<int>(text.size()) && i < limit; ++i) {
            const int c = column + i;
            if (c >= 0 && c < static_cast<int>(line.size())) line[c] = text[i];
        }
    }
    void Box(int top, int left, int bottom, int right, const std::u16string& title) {
        for (int c = left; c <= right; ++c) {
            Put(top, c, u"-", 1);
            Put(bottom, c, u"-", 1);
        }
        for (int r = top; r <= bottom; ++r) {
            Put(r, left, r == top || r == bottom ? u"+" : u"|", 1);
            Put(r, right, r == top || r == bottom ? u"+" : u"|", 1);
        }
        if (!title.empty()) Put(top, left + 2, u" " + title + u" ", right - left - 3);
    }
    std::string Text() const {
        std::string out;
        for (const std::u16string& row : rows_) {
            std::u16string line = row;
            while (!line.empty() && line.back() == u' ') line.pop_back();
            out += Utf16ToUtf8(line) + "\n";
        }
        return out;
    }

  private:
    std::vector<std::u16string> rows_;
};

std::u16string CheckMark(const SimWindow& w) {
    if (w.ButtonType() == os::kBsRadioButton || w.ButtonType() == os::kBsAutoRadioButton) {
        return w.check ? u"(*) " : u"( ) ";
    }
    return w.check == os::kBstChecked ? u"[x] " : w.check ? u"[?] " : u"[ ] ";
}

std::u16string Face(const SimWindow& w, const std::u16string& label) {
    std::u16string face;
    if (w.kind == ControlKind::kButton) {
        if (w.IsPushButton()) {
            face = w.ButtonType() == os::kBsDefPushButton ? u"<< " + label + u" >>"
                                                          : u"< " + label + u" >";
        } else {
            face = CheckMark(w) + label;
        }
    } else if (w.kind == ControlKind::kComboBox) {
        face = u"[" + label + u" v]";
    } else {
        face = label;
    }
    return w.Enabled() ? face : u"{" + face + u"}";
}

}  // namespace

std::string SimDialogUi::Draw(os::Window handle) const {
    const SimWindow* dialog = Find(handle);
    if (!dialog) return "";
    const int32_t cellX = std::max<int32_t>(dialog->baseUnitX, 1);
    const int32_t cellY = std::max<int32_t>(dialog->baseUnitY, 1);
    const os::Rect client = ClientScreenRect(*dialog);
    const int columns = (client.right - client.left) / cellX + 2;
    const int rows = (client.bottom - client.top) / cellY + 2;
    Canvas canvas(columns, rows);
    canvas.Box(0, 0, rows - 1, columns - 1, Utf8ToUtf16(m_.AnsiToUtf8(dialog->text)));

    std::string legend;
    for (const SimWindow* w : dialog->children) {
        if (!(w->style & os::kWsVisible)) continue;
        const os::Rect r = ScreenRect(*w);
        const int top = 1 + (r.top - client.top) / cellY;
        const int left = 1 + (r.left - client.left) / cellX;
        const int right = 1 + (r.right - client.left - 1) / cellX;
        const int bottom = 1 + (r.bottom - client.top - 1) / cellY;
        const int width = std::max(right - left + 1, 1);
        const std::u16string label = Label(Utf8ToUtf16(m_.AnsiToUtf8(w->text)));
        if (w->kind == ControlKind::kButton && w->ButtonType() == os::kBsGroupBox) {
            canvas.Box(top, left, std::max(bottom, top + 1), std::max(right, left + 1), label);
        } else if (w->kind == ControlKind::kStatic && (w->style & kSsTypeMask) == kSsEtchedHorz) {
            canvas.Put(top, left, std::u16string(width, u'-'), width);
        } else if (w->kind == ControlKind::kEdit || w->kind == ControlKind::kRichEdit) {
            // Multi-line text, wrapped at the control's width.
            int row = top;
            for (size_t at = 0; at < label.size() && row <= bottom; ++row) {
                canvas.Put(row, left, label.substr(at, width), width);
                at += width;
            }
        } else {
            canvas.Put(top, left, Face(*w, label), width + 6);
        }
        if (w->kind == ControlKind::kButton && w->ButtonType() != os::kBsGroupBox) {
            legend += "  " + std::to_string(w->id) + "  " + Utf16ToUtf8(Face(*w, label)) + "\n";
        }
    }
    return canvas.Text() + "Controls:\n" + legend +
           "Actions: ok, cancel, escape, enter, click ID, help (F1)\n";
}

}  // namespace sim
