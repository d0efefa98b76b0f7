// The display of the simulated machine: the system metrics and colours that
// the dialogs are laid out and painted with, and the dialog base units of
// the fonts that dialog templates name.
//
// The values are those of Windows at 96 dots per inch with the classic
// (unthemed) look:
//   screen 1024 x 768, the whole of it the work area (no task bar);
//   caption 19, dialog frame 3, sizing frame 4, border 1, 3-D edge 2 pixels;
//   button face RGB(192, 192, 192), window RGB(255, 255, 255).
// Dialog base units (average character width, character height in pixels):
//   no font in the template (the system font)               8 x 16
//   "MS Sans Serif", "MS Shell Dlg", "Tahoma",
//   "MS Shell Dlg 2" at 8 points                             6 x 13
//   "Segoe UI" at 9 points                                   7 x 15
//   any other face or size: the 8-point values scaled by points / 8.
// (A push button of 50 x 14 dialog units is thus the familiar 75 x 23 pixels.)
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/ui_types.h"

namespace sim {

class Display {
  public:
    // GetSystemMetrics: 0 for an index the display does not know.
    int Metric(int index) const;
    // Changes one metric (a test's display with another caption height, ...).
    void SetMetric(int index, int value) { overrides_[index] = value; }
    // GetSysColor: 0x00BBGGRR.
    uint32_t Color(int index) const;
    os::Rect WorkArea() const;

  private:
    std::map<int, int> overrides_;
};

struct BaseUnits {
    int32_t x;
    int32_t y;
};

// The base units of a dialog whose template names `face` at `points`, or of
// the system font when `hasFont` is false.
BaseUnits DialogBaseUnits(bool hasFont, const std::u16string& face, unsigned points);

// MulDiv: a × b / c rounded to the nearest integer (halves away from zero),
// -1 when c is 0.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

}  // namespace sim
