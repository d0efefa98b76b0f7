// The check boxes of SETUPDLG and the flags of IntegrationSettings.
#include "integration/archive_types.h"
#include "integration/setup_dialog.h"
#include "platform/platform.h"

namespace {

// Boxes 5115 to 5120 stand for flags 20 to 25, in this order.
constexpr int kInterfaceBoxCount = kMenuIconsBox - kDesktopIconBox + 1;
constexpr int kBoxCount = kArchiveTypeCount + kInterfaceBoxCount;

// The box of each flag that a box stands for: flag, control id.
struct BoxOfFlag {
    int flag;
    int control;
};

BoxOfFlag BoxAt(int index) {
    if (index < kArchiveTypeCount) return {index, kFirstTypeBox + index};
    const int other = index - kArchiveTypeCount;
    return {kFlagDesktopIcon + other, kDesktopIconBox + other};
}

}  // namespace

void ReadChoices(os::Window dialog, IntegrationSettings* settings) {
    os::Ui& ui = os::Gui();
    for (int i = 0; i < kBoxCount; ++i) {
        const BoxOfFlag box = BoxAt(i);
        settings->flags[box.flag] = ui.IsDlgButtonChecked(dialog, box.control) == os::kBstChecked;
    }
}

void ShowChoices(os::Window dialog, const IntegrationSettings* settings) {
    os::Ui& ui = os::Gui();
    for (int i = 0; i < kBoxCount; ++i) {
        const BoxOfFlag box = BoxAt(i);
        ui.CheckDlgButton(dialog, box.control,
                          settings->flags[box.flag] ? os::kBstChecked : os::kBstUnchecked);
    }
    const bool shell = settings->flags[kFlagShellIntegration] != 0;
    EnableControl(dialog, kCascadedMenuBox, shell);
    EnableControl(dialog, kMenuIconsBox, shell);
}

void SelectAllTypes(os::Window dialog) {
    os::Ui& ui = os::Gui();
    for (int id = kFirstTypeBox; id <= kLastTypeBox; ++id) {
        ui.CheckDlgButton(dialog, id, os::kBstChecked);
    }
}

void EnableControl(os::Window dialog, int id, bool on) {
    os::Ui& ui = os::Gui();
    ui.EnableWindow(ui.GetDlgItem(dialog, id), on ? 1 : 0);
}
