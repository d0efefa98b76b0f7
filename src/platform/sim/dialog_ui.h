// Modal dialogs of the simulated machine and the window calls the program
// makes on them.
//
// A dialog is built from its compiled template (DLGTEMPLATE or DLGTEMPLATEEX):
// dialog units become pixels by the base units of the template's font (see
// dialog_metrics.h), the window rectangle gets the frame and caption of its
// styles, and the controls are child windows in template order with their
// class names, styles, texts, check and enabled states.
//
// The procedure gets the messages in Windows' order: WM_SETFONT (when the
// template names a font) before the controls exist, then WM_INITDIALOG. Then
// the dialog waits for the user, whose actions come from the machine's
// actions (see actions.h):
//   ok, cancel, yes, no, abort, retry, ignore  press the button with that id;
//                 cancel without a Cancel button is the close box
//   click ID      a click on the control: an auto check box toggles before
//                 the dialog hears WM_COMMAND (BN_CLICKED); a disabled
//                 control does nothing
//   escape        Esc: WM_COMMAND with IDCANCEL
//   enter         Enter: the focused push button, else the default one, else IDOK
//   help          F1: WM_HELP about the focused control; a dialog that does
//                 not handle it passes it on to its owner
// The close box is WM_SYSCOMMAND (SC_CLOSE), then WM_CLOSE, which a dialog
// that does not handle it turns into WM_COMMAND with IDCANCEL. On a terminal
// without actions the dialog is drawn as text and the user types the actions;
// with neither, the run ends (RunAborted) naming the dialog.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/dialog_metrics.h"
#include "platform/sim/dialog_window.h"

namespace sim {

class Machine;
struct Action;
struct DialogTemplate;

class SimDialogUi : public os::Ui {
  public:
    explicit SimDialogUi(Machine& machine);
    ~SimDialogUi() override;

    intptr_t DialogBoxParamA(os::Module instance, const char* templateName, os::Window owner,
                             os::DialogProc proc, os::LParam param) override;
    intptr_t DialogBoxIndirectParamA(os::Module instance, const void* dialogTemplate,
                                     os::Window owner, os::DialogProc proc,
                                     os::LParam param) override;
    os::Bool EndDialog(os::Window dialog, intptr_t result) override;
    os::Window GetDlgItem(os::Window dialog, int id) override;
    os::LResult SendMessageA(os::Window window, unsigned message, os::WParam wParam,
                             os::LParam lParam) override;
    os::LResult SendDlgItemMessageA(os::Window dialog, int id, unsigned message, os::WParam wParam,
                                    os::LParam lParam) override;
    unsigned IsDlgButtonChecked(os::Window dialog, int id) override;
    os::Bool CheckDlgButton(os::Window dialog, int id, unsigned check) override;
    int GetWindowTextA(os::Window window, char* buffer, int size) override;
    os::Bool SetWindowTextA(os::Window window, const char* text) override;
    int GetClassNameA(os::Window window, char* buffer, int size) override;
    int32_t GetWindowLongA(os::Window window, int index) override;
    int32_t SetWindowLongA(os::Window window, int index, int32_t value) override;
    os::Bool GetWindowRect(os::Window window, os::Rect* rect) override;
    os::Bool GetClientRect(os::Window window, os::Rect* rect) override;
    os::Bool SetWindowPos(os::Window window, os::Window insertAfter, int x, int y, int cx, int cy,
                          unsigned flags) override;
    os::Window GetWindow(os::Window window, unsigned command) override;
    os::Window GetParent(os::Window window) override;
    os::Bool InvalidateRect(os::Window window, const os::Rect* rect, os::Bool erase) override;
    os::Bool EnableWindow(os::Window window, os::Bool enable) override;
    os::Bool IsWindowEnabled(os::Window window) override;
    os::Bool SetForegroundWindow(os::Window window) override;
    int GetSystemMetrics(int index) override;
    os::Dword GetSysColor(int index) override;
    os::Bool WinHelpA(os::Window owner, const char* helpFile, unsigned command,
                      uintptr_t data) override;

    // The display the dialogs are laid out on (a test may change a metric).
    Display& Screen() { return display_; }
    // The window behind a handle, or null.
    const SimWindow* Find(os::Window window) const;
    // Called whenever a dialog waits for the user, before an action is taken,
    // with the dialog (a test reads its state there through the platform).
    void SetWaitObserver(std::function<void(os::Window dialog)> observer) {
        observer_ = std::move(observer);
    }
    // The dialog drawn as text, as a terminal shows it (UTF-8).
    std::string Draw(os::Window dialog) const;

    // The simulated machine's dialog service behind `ui`, or null.
    static SimDialogUi* Of(os::Ui& ui);

  private:
    struct Frame {
        int32_t left, top, right, bottom;
    };

    // Lookups that set the last error (1400) for a handle that names no window.
    SimWindow* Lookup(os::Window window);
    SimWindow* Child(SimWindow* dialog, int id) const;

    // Geometry.
    Frame FrameOf(uint32_t style, uint32_t exStyle, bool topLevel) const;
    os::Rect ScreenRect(const SimWindow& window) const;
    os::Rect ClientScreenRect(const SimWindow& window) const;

    // Building and ending dialogs.
    // `name` and `args` are the call and its arguments for the trace.
    intptr_t Run(const char* name, const std::string& args, const uint8_t* data, size_t size,
                 os::Window owner, os::DialogProc proc, os::LParam param);
    SimWindow* Create(const DialogTemplate& dialog, SimWindow* owner, os::DialogProc proc,
                      os::LParam param, bool* failed);
    SimWindow* NewWindow();
    void Destroy(SimWindow* dialog);

    // Messages.
    os::LResult Deliver(SimWindow* window, unsigned message, os::WParam wParam, os::LParam lParam);
    os::LResult DefaultDialog(SimWindow* dialog, unsigned message, os::WParam wParam,
                              os::LParam lParam);
    os::LResult ControlMessage(SimWindow* control, unsigned message, os::WParam wParam,
                               os::LParam lParam);
    void Click(SimWindow* dialog, SimWindow* control);
    void Command(SimWindow* dialog, int id, SimWindow* control);

    // The user.
    void Wait(SimWindow* dialog);
    bool Accepts(SimWindow* dialog, const Action& action) const;
    void Perform(SimWindow* dialog, const Action& action);
    SimWindow* ButtonOf(SimWindow* dialog, const Action& action) const;
    std::string Describe(const SimWindow& window) const;

    Machine& m_;
    Display display_;
    std::map<uintptr_t, std::unique_ptr<SimWindow>> windows_;
    uintptr_t next_ = 0x00010010;
    uintptr_t foreground_ = 0;
    std::function<void(os::Window)> observer_;
};

}  // namespace sim
