// Translating and rescaling a dialog when it opens, and mirroring windows for
// a right-to-left language.
#include <stdint.h>

#include "common/text.h"
#include "localisation/language_resources.h"
#include "localisation/text_key.h"
#include "platform/platform.h"

namespace {

enum : int {
    kDialogTextSize = 1024,  // captions, control texts and class names
    kMaxLocalizedChildren = 512,
};

// Percentages and pixel terms are kept within these ends (far beyond any
// screen), so that value × percent stays within 32 bits.
constexpr int32_t kMaxPercent = 10000;
constexpr int32_t kMaxPixels = 131072;

int32_t Within(int32_t value, int32_t limit) {
    return value > limit ? limit : value < -limit ? -limit : value;
}

// value × percent / 100, truncated toward zero; an extreme scale entry gives
// extreme sizes instead of wrapped ones.
int32_t Scale(int32_t value, int percent) {
    return Within(value, kMaxPixels) * Within(percent, kMaxPercent) / 100;
}

// Pixel sums of rectangle terms, kept within the 32-bit range.
int32_t Sum(int64_t value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// Translates the text of `window` under the dialog's name and sets it back.
// An empty text is left alone.
void TranslateWindowText(os::Window window, const LanguageResources& language,
                         const char* dialogName) {
    char text[kDialogTextSize];
    text[0] = '\0';
    os::Ui& ui = os::Gui();
    ui.GetWindowTextA(window, text, sizeof text);
    if (text[0] == '\0') return;
    language.Translate(text, sizeof text, text, dialogName, kKeyTypeDialog);
    ui.SetWindowTextA(window, text);
}

bool IsDropDownComboBox(os::Window window) {
    char className[kDialogTextSize];
    className[0] = '\0';
    os::Ui& ui = os::Gui();
    ui.GetClassNameA(window, className, sizeof className);
    if (CompareNoCase(className, "COMBOBOX") != 0) return false;
    const uint32_t style = static_cast<uint32_t>(ui.GetWindowLongA(window, os::kGwlStyle));
    return (style & os::kCbsTypeMask) != os::kCbsSimple;
}

// Places a child by the dialog's old origin and frame, scaled. A drop-down
// combo box keeps room for its list: the list's scaled height is added. In a
// mirrored dialog a child's position counts from the client area's right
// edge, and so its distance from the right frame is scaled; `rightEdge` is
// the right edge of the dialog as it is now, after its own resizing.
void ScaleChild(os::Window child, const os::Rect& dialog, const int32_t* rightEdge,
                int32_t frameWidth, int32_t frameHeight, int horizontal, int vertical) {
    os::Ui& ui = os::Gui();
    os::Rect r = {};
    ui.GetWindowRect(child, &r);
    const int64_t fromEdge = rightEdge ? int64_t{*rightEdge} - frameWidth / 2 - r.right
                                       : int64_t{r.left} - dialog.left - frameWidth / 2;
    const int32_t x = Scale(Sum(fromEdge), horizontal);
    const int32_t y = Scale(Sum(int64_t{r.top} - dialog.top - frameHeight), vertical);
    const int32_t width = Scale(Sum(int64_t{r.right} - r.left + 1), horizontal);
    int32_t height = Scale(Sum(int64_t{r.bottom} - r.top + 1), vertical);
    if (IsDropDownComboBox(child)) {
        os::Rect list = {};
        ui.SendMessageA(child, os::kCbGetDroppedControlRect, 0,
                        reinterpret_cast<os::LParam>(&list));
        height = Sum(int64_t{height} + Scale(Sum(int64_t{list.bottom} - list.top + 1), vertical));
    }
    ui.SetWindowPos(child, nullptr, x, y, width, height, os::kSwpNoZOrder);
}

}  // namespace

void LanguageResources::LocalizeDialog(os::Window dialog, const char* dialogName, bool page) const {
    os::Ui& ui = os::Gui();
    int horizontal = 100;
    int vertical = 100;
    const bool scaling = GetDialogScale(dialogName, &horizontal, &vertical);

    os::Rect window = {};
    os::Rect client = {};
    ui.GetWindowRect(dialog, &window);
    ui.GetClientRect(dialog, &client);
    const int32_t frameWidth = Sum(int64_t{window.right} - window.left + 1 - client.right);
    int32_t frameHeight = Sum(int64_t{window.bottom} - window.top + 1 - client.bottom);

    if (scaling && !page) {
        ui.SetWindowPos(dialog, nullptr, 0, 0,
                        Sum(int64_t{Scale(client.right, horizontal)} + frameWidth),
                        Sum(int64_t{Scale(client.bottom, vertical)} + frameHeight),
                        os::kSwpNoMove | os::kSwpNoZOrder);
    }
    // The caption. An empty one stays empty: the key of the empty text under
    // the dialog's name is the scale entry's, which is no caption.
    if (!page) TranslateWindowText(dialog, *this, dialogName);

    frameHeight = Sum(int64_t{frameHeight} - ui.GetSystemMetrics(os::kSmCyDlgFrame));
    const bool mirrored =
        scaling &&
        (static_cast<uint32_t>(ui.GetWindowLongA(dialog, os::kGwlExStyle)) & os::kWsExLayoutRtl);
    os::Rect resized = window;
    if (mirrored) ui.GetWindowRect(dialog, &resized);

    const os::Window first = ui.GetWindow(dialog, os::kGwChild);
    os::Window child = first;
    for (int count = 0; child && count < kMaxLocalizedChildren; ++count) {
        TranslateWindowText(child, *this, dialogName);
        if (scaling) {
            ScaleChild(child, window, mirrored ? &resized.right : nullptr, frameWidth, frameHeight,
                       horizontal, vertical);
        }
        const os::Window next = ui.GetWindow(child, os::kGwHwndNext);
        if (next == first) break;
        child = next;
    }
}

void LanguageResources::ApplyRightToLeft(os::Window window) const {
    if (!rightToLeft_) return;
    os::Ui& ui = os::Gui();
    const uint32_t exStyle = static_cast<uint32_t>(ui.GetWindowLongA(window, os::kGwlExStyle));
    ui.SetWindowLongA(window, os::kGwlExStyle, static_cast<int32_t>(exStyle | os::kWsExLayoutRtl));
}
