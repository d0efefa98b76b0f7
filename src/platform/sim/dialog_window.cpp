#include "platform/sim/dialog_window.h"

namespace sim {

bool SimWindow::IsCheckBox() const {
    if (kind != ControlKind::kButton) return false;
    const uint32_t type = ButtonType();
    return type == os::kBsCheckBox || type == os::kBsAutoCheckBox || type == os::kBs3State ||
           type == os::kBsAuto3State;
}

bool SimWindow::IsPushButton() const {
    return kind == ControlKind::kButton &&
           (ButtonType() == os::kBsPushButton || ButtonType() == os::kBsDefPushButton);
}

unsigned SimWindow::MaxCheck() const {
    if (kind != ControlKind::kButton) return 0;
    switch (ButtonType()) {
        case os::kBsCheckBox:
        case os::kBsAutoCheckBox:
        case os::kBsRadioButton:
        case os::kBsAutoRadioButton:
            return os::kBstChecked;
        case os::kBs3State:
        case os::kBsAuto3State:
            return os::kBstIndeterminate;
        default:
            return os::kBstUnchecked;
    }
}

std::string KindName(const SimWindow& window) {
    switch (window.kind) {
        case ControlKind::kDialog:
            return "dialog";
        case ControlKind::kButton:
            switch (window.ButtonType()) {
                case os::kBsPushButton:
                    return "button";
                case os::kBsDefPushButton:
                    return "default button";
                case os::kBsCheckBox:
                case os::kBsAutoCheckBox:
                case os::kBs3State:
                case os::kBsAuto3State:
                    return "check box";
                case os::kBsRadioButton:
                case os::kBsAutoRadioButton:
                    return "radio button";
                case os::kBsGroupBox:
                    return "group box";
                default:
                    return "button";
            }
        case ControlKind::kStatic:
            return "static";
        case ControlKind::kEdit:
            return "edit";
        case ControlKind::kListBox:
            return "list box";
        case ControlKind::kScrollBar:
            return "scroll bar";
        case ControlKind::kComboBox:
            return "combo box";
        case ControlKind::kRichEdit:
            return "rich edit";
    }
    return "window";
}

}  // namespace sim
