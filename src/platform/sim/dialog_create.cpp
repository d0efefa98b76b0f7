// Building a dialog window and its controls from a dialog template, and the
// geometry of the windows.
//
// Layout, as the dialog manager does it:
//   - the client area is the template's size in dialog units: width × base
//     unit x / 4, height × base unit y / 8 (MulDiv);
//   - the window is the client area with the frame and caption around it:
//     a dialog frame for WS_DLGFRAME or DS_MODALFRAME, else a sizing frame
//     for WS_THICKFRAME, else one pixel for WS_BORDER; the caption for
//     WS_CAPTION; 3-D edges for WS_EX_CLIENTEDGE and WS_EX_STATICEDGE;
//   - DS_CENTER centres the window on the work area; otherwise the client
//     area's top left is the template's position, from the owner's client
//     area (unless DS_ABSALIGN) or the screen; then the window is moved
//     inside the work area;
//   - a control's rectangle is its template rectangle in the same way, in
//     the dialog's client coordinates. A combo box other than a simple one
//     is as high as its edit field (base unit y + 8 pixels); the template's
//     height is that of the box with its list dropped down.
#include <cstring>

#include "platform/sim/dialog_ui.h"
#include "platform/sim/machine.h"
#include "platform/sim/res_dialog.h"
#include "platform/sim/services.h"
#include "platform/sim/text.h"

namespace sim {

namespace {

constexpr uint32_t kWsExNoParentNotify = 0x00000004u;
constexpr uint32_t kWsExControlParent = 0x00010000u;
constexpr int16_t kUseDefault16 = static_cast<int16_t>(0x8000);
constexpr uintptr_t kDialogFont = 0x0A0A0010u;  // the handle the dialog's font is given as

struct ClassEntry {
    const char* name;  // as GetClassNameA gives it
    ControlKind kind;
};

const ClassEntry kClasses[] = {
    {"Button", ControlKind::kButton},       {"Edit", ControlKind::kEdit},
    {"Static", ControlKind::kStatic},       {"ListBox", ControlKind::kListBox},
    {"ScrollBar", ControlKind::kScrollBar}, {"ComboBox", ControlKind::kComboBox},
    {"RICHEDIT", ControlKind::kRichEdit},
};

// The rich-edit class exists once its library is loaded.
bool ClassRegistered(Machine& m, const ClassEntry& entry) {
    if (entry.kind != ControlKind::kRichEdit) return true;
    const SimSystem* system = dynamic_cast<const SimSystem*>(m.Platform().system);
    return system && system->LibraryLoaded("riched32.dll");
}

const ClassEntry* FindClass(Machine& m, const std::u16string& name) {
    const std::string utf8 = Utf16ToUtf8(name);
    for (const ClassEntry& entry : kClasses) {
        if (EqualNoCaseUtf8(utf8, entry.name)) return ClassRegistered(m, entry) ? &entry : nullptr;
    }
    return nullptr;
}

}  // namespace

SimWindow* SimDialogUi::NewWindow() {
    auto window = std::make_unique<SimWindow>();
    window->handle = next_;
    next_ += 4;
    SimWindow* raw = window.get();
    windows_[raw->handle] = std::move(window);
    return raw;
}

SimDialogUi::Frame SimDialogUi::FrameOf(uint32_t style, uint32_t exStyle, bool topLevel) const {
    int32_t x = 0;
    int32_t y = 0;
    if ((style & os::kWsDlgFrame) || (exStyle & os::kWsExDlgModalFrame)) {
        x = display_.Metric(os::kSmCxDlgFrame);
        y = display_.Metric(os::kSmCyDlgFrame);
    } else if (style & os::kWsThickFrame) {
        x = display_.Metric(os::kSmCxFrame);
        y = display_.Metric(os::kSmCyFrame);
    } else if (style & os::kWsBorder) {
        x = display_.Metric(os::kSmCxBorder);
        y = display_.Metric(os::kSmCyBorder);
    }
    if (exStyle & os::kWsExClientEdge) {
        x += display_.Metric(os::kSmCxEdge);
        y += display_.Metric(os::kSmCyEdge);
    }
    if (exStyle & os::kWsExStaticEdge) {
        x += display_.Metric(os::kSmCxBorder);
        y += display_.Metric(os::kSmCyBorder);
    }
    Frame frame = {x, y, x, y};
    if (topLevel && (style & os::kWsCaption) == os::kWsCaption) {
        frame.top += display_.Metric(os::kSmCyCaption);
    }
    return frame;
}

os::Rect SimDialogUi::ClientScreenRect(const SimWindow& window) const {
    const os::Rect outer = ScreenRect(window);
    const Frame f = FrameOf(window.style, window.exStyle, window.parent == nullptr);
    os::Rect inner = {outer.left + f.left, outer.top + f.top, outer.right - f.right,
                      outer.bottom - f.bottom};
    if (inner.right < inner.left) inner.right = inner.left;
    if (inner.bottom < inner.top) inner.bottom = inner.top;
    return inner;
}

os::Rect SimDialogUi::ScreenRect(const SimWindow& window) const {
    if (!window.parent) return window.rect;
    const os::Rect client = ClientScreenRect(*window.parent);
    const os::Rect& r = window.rect;
    if (window.parent->Mirrored()) {
        // Measured from the client area's right edge.
        return {client.right - r.right, client.top + r.top, client.right - r.left,
                client.top + r.bottom};
    }
    return {client.left + r.left, client.top + r.top, client.left + r.right, client.top + r.bottom};
}

SimWindow* SimDialogUi::Create(const DialogTemplate& t, SimWindow* owner, os::DialogProc proc,
                               os::LParam param, bool* failed) {
    *failed = false;
    const BaseUnits units = DialogBaseUnits(t.hasFont, t.typeface, t.pointSize);
    SimWindow* dialog = NewWindow();
    dialog->kind = ControlKind::kDialog;
    dialog->className = "#32770";
    dialog->style = t.style;
    if (dialog->style & os::kDsControl) dialog->style &= ~(os::kWsCaption | os::kWsSysMenu);
    dialog->exStyle = t.exStyle | kWsExControlParent;
    if (t.style & os::kDsModalFrame) dialog->exStyle |= os::kWsExDlgModalFrame;
    dialog->text = m_.Ansi().FromWide(t.caption);
    dialog->owner = owner;
    dialog->proc = proc;
    dialog->baseUnitX = units.x;
    dialog->baseUnitY = units.y;

    const int32_t clientWidth = MulDiv(t.cx, units.x, 4);
    const int32_t clientHeight = MulDiv(t.cy, units.y, 8);
    const Frame f = FrameOf(dialog->style, dialog->exStyle, true);
    const int32_t width = clientWidth + f.left + f.right;
    const int32_t height = clientHeight + f.top + f.bottom;
    const os::Rect work = display_.WorkArea();
    int32_t x = 0;
    int32_t y = 0;
    if (t.style & os::kDsCenter) {
        x = (work.left + work.right - width) / 2;
        y = (work.top + work.bottom - height) / 2;
    } else if (t.x != kUseDefault16) {
        x = MulDiv(t.x, units.x, 4) - f.left;
        y = MulDiv(t.y, units.y, 8) - f.top;
        if (owner && !(t.style & os::kDsAbsAlign)) {
            const os::Rect origin = ClientScreenRect(*owner);
            x += origin.left;
            y += origin.top;
        }
    }
    if (!(t.style & os::kWsChild)) {
        const int32_t overX = x + width + display_.Metric(os::kSmCxDlgFrame) - work.right;
        const int32_t overY = y + height + display_.Metric(os::kSmCyDlgFrame) - work.bottom;
        if (overX > 0) x -= overX;
        if (overY > 0) y -= overY;
        if (x < work.left) x = work.left;
        if (y < work.top) y = work.top;
    }
    dialog->rect = {x, y, x + width, y + height};

    // The font comes first: the controls do not exist yet.
    if (t.hasFont) {
        dialog->font = kDialogFont;
        Deliver(dialog, os::kWmSetFont, kDialogFont, 0);
    }
    for (const DialogItem& item : t.items) {
        const ClassEntry* entry = FindClass(m_, item.ClassName());
        if (!entry) {
            if (t.style & os::kDsNoFailCreate) continue;
            m_.Trace().Add("CreateWindowExA", Quote(Utf16ToUtf8(item.ClassName())) +
                                                  " id=" + std::to_string(item.id) +
                                                  " -> 0 err=1407 (no such window class)");
            *failed = true;
            return dialog;
        }
        SimWindow* control = NewWindow();
        control->kind = entry->kind;
        control->className = entry->name;
        control->id = static_cast<int>(item.id & 0xFFFF);
        control->style = item.style | os::kWsChild;
        control->exStyle = item.exStyle | kWsExNoParentNotify;
        if (item.title.present && !item.title.isOrdinal) {
            control->text = m_.Ansi().FromWide(item.title.text);
        }
        control->parent = dialog;
        control->font = dialog->font;
        const int32_t cx = MulDiv(item.x, units.x, 4);
        const int32_t cy = MulDiv(item.y, units.y, 8);
        int32_t cw = MulDiv(item.cx, units.x, 4);
        int32_t ch = MulDiv(item.cy, units.y, 8);
        if (control->kind == ControlKind::kComboBox &&
            (control->style & os::kCbsTypeMask) != os::kCbsSimple) {
            control->droppedHeight = ch;
            ch = units.y + 8;
        }
        control->rect = {cx, cy, cx + cw, cy + ch};
        dialog->children.push_back(control);
    }

    SimWindow* focus = nullptr;
    for (SimWindow* child : dialog->children) {
        if ((child->style & os::kWsTabStop) && (child->style & os::kWsVisible) &&
            child->Enabled()) {
            focus = child;
            break;
        }
    }
    const os::LResult setFocus =
        Deliver(dialog, os::kWmInitDialog,
                reinterpret_cast<os::WParam>(focus ? focus->Handle() : nullptr), param);
    if (setFocus) dialog->focus = focus;
    return dialog;
}

void SimDialogUi::Destroy(SimWindow* dialog) {
    if (!dialog) return;
    constexpr unsigned kWmDestroy = 0x0002;
    if (dialog->proc) Deliver(dialog, kWmDestroy, 0, 0);
    if (foreground_ == dialog->handle) foreground_ = 0;
    for (SimWindow* child : dialog->children) windows_.erase(child->handle);
    windows_.erase(dialog->handle);
}

}  // namespace sim
