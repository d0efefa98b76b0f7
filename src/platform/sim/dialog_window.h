// The windows of the simulated machine's dialogs: a dialog window and its
// controls, with what the program can read and change of them.
//
// Geometry: a top-level window's rectangle is in screen coordinates; a
// control's is in its dialog's client coordinates, measured from the client
// area's top left, or from its top right when the dialog has the extended
// style WS_EX_LAYOUTRTL (a mirrored window), as Windows measures them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui_types.h"

namespace sim {

// What a window is, for the messages it understands and how a click acts.
enum class ControlKind {
    kDialog,
    kButton,  // push buttons, check boxes, radio buttons, group boxes
    kStatic,
    kEdit,
    kListBox,
    kScrollBar,
    kComboBox,
    kRichEdit,
};

struct SimWindow {
    uintptr_t handle = 0;
    ControlKind kind = ControlKind::kStatic;
    std::string className;  // as GetClassNameA gives it ("#32770" for dialogs)
    int id = 0;             // control id (0 for a dialog)
    uint32_t style = 0;
    uint32_t exStyle = 0;
    std::string text;  // ANSI, in the machine's code page
    os::Rect rect = {};
    SimWindow* parent = nullptr;       // the dialog of a control
    SimWindow* owner = nullptr;        // the owner of a dialog
    std::vector<SimWindow*> children;  // in Z order (template order)

    // Buttons: the check state. Combo boxes: the height of the dropped-down
    // list, from the top of the box. Rich-edit controls: the background.
    unsigned check = 0;
    int32_t droppedHeight = 0;
    uint32_t backgroundColor = 0;
    bool systemBackground = true;
    uintptr_t font = 0;
    uintptr_t bigIcon = 0;
    uintptr_t smallIcon = 0;

    // Dialogs: the procedure, the control with the focus, how it ended.
    os::DialogProc proc = nullptr;
    SimWindow* focus = nullptr;
    bool ended = false;
    intptr_t result = 0;
    int32_t messageResult = 0;  // DWLP_MSGRESULT
    int32_t baseUnitX = 0;      // dialog base units of its font
    int32_t baseUnitY = 0;

    os::Window Handle() const { return reinterpret_cast<os::Window>(handle); }
    bool Enabled() const { return !(style & os::kWsDisabled); }
    bool Mirrored() const { return exStyle & os::kWsExLayoutRtl; }
    uint32_t ButtonType() const { return style & os::kBsTypeMask; }
    bool IsCheckBox() const;
    bool IsPushButton() const;
    // The highest check state the button keeps (BM_SETCHECK clips to it).
    unsigned MaxCheck() const;
};

// Short descriptions for the trace and the drawing.
std::string KindName(const SimWindow& window);

}  // namespace sim
