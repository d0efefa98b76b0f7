#include "platform/sim/dialog_metrics.h"

#include "platform/sim/text.h"

namespace sim {

namespace {

struct MetricValue {
    int index;
    int value;
};

const MetricValue kMetrics[] = {
    {os::kSmCxScreen, 1024}, {os::kSmCyScreen, 768}, {os::kSmCyCaption, 19}, {os::kSmCxBorder, 1},
    {os::kSmCyBorder, 1},    {os::kSmCxDlgFrame, 3}, {os::kSmCyDlgFrame, 3}, {os::kSmCxFrame, 4},
    {os::kSmCyFrame, 4},     {os::kSmCxEdge, 2},     {os::kSmCyEdge, 2},
};

constexpr int kColorWindow = 5;
constexpr int kColorWindowText = 8;
constexpr int kColorBtnText = 18;

struct FontUnits {
    const char* face;
    unsigned points;
    BaseUnits units;
};

const FontUnits kFonts[] = {
    {"MS Sans Serif", 8, {6, 13}},  {"MS Shell Dlg", 8, {6, 13}}, {"Tahoma", 8, {6, 13}},
    {"MS Shell Dlg 2", 8, {6, 13}}, {"Segoe UI", 9, {7, 15}},
};

constexpr BaseUnits kSystemFont = {8, 16};
constexpr BaseUnits kEightPoint = {6, 13};

}  // namespace

int Display::Metric(int index) const {
    if (auto it = overrides_.find(index); it != overrides_.end()) return it->second;
    for (const MetricValue& m : kMetrics)
        if (m.index == index) return m.value;
    return 0;
}

uint32_t Display::Color(int index) const {
    switch (index) {
        case os::kColorBtnFace:
            return 0x00C0C0C0u;
        case kColorWindow:
            return 0x00FFFFFFu;
        case kColorWindowText:
        case kColorBtnText:
            return 0;
        default:
            return 0x00808080u;
    }
}

os::Rect Display::WorkArea() const {
    return {0, 0, Metric(os::kSmCxScreen), Metric(os::kSmCyScreen)};
}

BaseUnits DialogBaseUnits(bool hasFont, const std::u16string& face, unsigned points) {
    if (!hasFont) return kSystemFont;
    const std::string name = Utf16ToUtf8(face);
    for (const FontUnits& f : kFonts) {
        if (f.points == points && EqualNoCaseUtf8(name, f.face)) return f.units;
    }
    const int32_t p = static_cast<int32_t>(points > 0 && points < 1000 ? points : 8);
    return {MulDiv(kEightPoint.x, p, 8), MulDiv(kEightPoint.y, p, 8)};
}

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    int64_t product = static_cast<int64_t>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    int64_t magnitude = (product < 0 ? -product : product);
    const int64_t divisor = c < 0 ? -static_cast<int64_t>(c) : c;
    magnitude = (magnitude + divisor / 2) / divisor;
    const int64_t result = negative ? -magnitude : magnitude;
    if (result > INT32_MAX || result < INT32_MIN) return -1;
    return static_cast<int32_t>(result);
}

}  // namespace sim
