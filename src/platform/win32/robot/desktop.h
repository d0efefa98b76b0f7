// The desktop as the test robot sees it: the top-level dialog windows of every
// process in the same Windows session (wine prefix), their controls, their
// texts and their buttons.
//
// A test tool, not part of the program: texts are UTF-8 here, converted from
// and to the windows' own UTF-16, so a test script compares them as it reads them.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace robot {

using WindowId = uintptr_t;  // a window handle; 0 for none

struct Control {
    WindowId window = 0;
    int id = 0;
    std::string className;  // "Button", "Static", "Edit", ...
    std::string text;
    uint32_t style = 0;
    bool visible = false;
    bool enabled = false;
};

// The process's command-line arguments as UTF-8, the program name first.
std::vector<std::string> Arguments();

// The visible top-level dialog window (class "#32770") whose caption is
// exactly `caption`, or 0.
WindowId FindDialog(const std::string& caption);

// The captions of all visible top-level dialog windows.
std::vector<std::string> DialogCaptions();

// The direct child controls of a window, in window order.
std::vector<Control> Controls(WindowId dialog);

// True for the button styles that carry a check state (check boxes, radio buttons).
bool HasCheckState(const Control& control);
// BM_GETCHECK: 0 unchecked, 1 checked, 2 indeterminate.
int CheckState(const Control& control);

// Posts BM_CLICK to a button: the press happens in the dialog's own thread, so
// a press that opens a further modal dialog does not hold the robot.
bool Click(const Control& control);

// Waits `milliseconds`.
void Pause(unsigned milliseconds);

}  // namespace robot
