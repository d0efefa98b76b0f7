// The dialog tests' machine: a fresh sample machine with the program's
// process started on it, dialog templates built in memory, a test dialog
// whose procedure hands every message to the common dialog hook, and
// readers that look at the windows and the registry directly.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/dialog_ui.h"
#include "support/sim_machine.h"

namespace dialog_test {

// A dialog template in memory: DLGTEMPLATE, or DLGTEMPLATEEX when `extended`.
// Controls name their class by its predefined ordinal (0x80 Button, 0x81
// Edit, 0x82 Static, 0x85 ComboBox) or by name.
class TemplateBuilder {
  public:
    enum : uint16_t { kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kComboBox = 0x85 };
    struct Font {
        std::u16string face;
        uint16_t points;
    };

    TemplateBuilder(uint32_t style, int16_t x, int16_t y, int16_t cx, int16_t cy,
                    const std::u16string& caption, std::optional<Font> font, bool extended = false);
    TemplateBuilder& Add(uint32_t style, int16_t x, int16_t y, int16_t cx, int16_t cy, int id,
                         uint16_t classOrdinal, const std::u16string& text);
    TemplateBuilder& Add(uint32_t style, int16_t x, int16_t y, int16_t cx, int16_t cy, int id,
                         const std::u16string& className, const std::u16string& text);
    // The template's bytes, DWORD-aligned.
    const void* Data();

  private:
    void Word(uint16_t value);
    void Dword(uint32_t value);
    void Text(const std::u16string& text);
    void Align();
    void Item(uint32_t style, int16_t x, int16_t y, int16_t cx, int16_t cy, int id);

    bool extended_;
    std::vector<uint8_t> bytes_;
    size_t countAt_ = 0;
    uint16_t count_ = 0;
    std::vector<uint32_t> aligned_;
};

// The usual styles of a dialog and of its controls.
constexpr uint32_t kDialogStyle = os::kWsPopup | os::kWsCaption | os::kWsSysMenu | os::kWsVisible |
                                  os::kDsModalFrame | os::kDsSetFont;
constexpr uint32_t kControlStyle = os::kWsChild | os::kWsVisible;
inline TemplateBuilder::Font SansSerif8() { return {u"MS Sans Serif", 8}; }

// Language-file texts (code page 1251 bytes from UTF-8).
std::string Ansi(const std::string& utf8);
// A dialog translation line (key type 1 under `dialogName`).
std::string Entry(const char* dialogName, const std::string& text, const std::string& translation);
// A language file: the messages marker, then the lines (each ended by CR LF).
std::string LanguageFile(const std::vector<std::string>& lines);
// The line that makes the language right to left.
std::string RightToLeftEntry();

// The test dialog: its procedure first lets `arrange` (when set) prepare
// the dialog at WM_INITDIALOG, then hands every message to the common
// dialog hook with the name "TESTDLG", `helpContext` and `page`. While
// the dialog waits for the user, `inspect` runs and the dialog is ended
// (DialogTest::OpenTestDialog).
struct TestDialog {
    std::function<void(os::Window)> arrange;
    unsigned helpContext = 0;
    bool page = false;
    bool hook = true;  // false: a dialog that leaves the hook out
    // The procedure's own handling after the hook (WM_INITDIALOG aside): its
    // result is the procedure's.
    std::function<intptr_t(os::Window, unsigned, os::WParam, os::LParam)> handle;
};

class DialogTest : public ::testing::Test {
  protected:
    DialogTest();
    ~DialogTest() override;

    sim::Machine& machine() { return machine_->machine(); }
    sim::SimDialogUi& ui();
    os::Module Instance() const;

    // The language file "uninstall.lng" beside the program, then the
    // program's localisation started afresh as its entry does.
    void UseLanguageFile(const std::vector<std::string>& lines);
    // The user's actions, in order ("ok", "click 5118", ...).
    void Act(const std::vector<std::string>& actions);

    // Opens the test dialog (see TestDialog); while it waits for the user,
    // `inspect` runs and the dialog is ended.
    intptr_t OpenTestDialog(TemplateBuilder& dialogTemplate, const TestDialog& dialog,
                            const std::function<void(os::Window)>& inspect,
                            os::Window owner = nullptr);

    // While a dialog waits for the user: `inspect` with it.
    void WhenWaiting(std::function<void(os::Window)> inspect);

    // A window as the machine holds it (the test fails when it is gone).
    const sim::SimWindow& Window(os::Window handle);
    const sim::SimWindow& Control(os::Window dialog, int id);
    // The trace lines of one call since the test began (or since Mark()).
    std::vector<std::string> Calls(const std::string& call) const;
    void Mark() { mark_ = machine().TraceLines().size(); }

    // A fresh sample machine in place of the test's machine.
    void UseFreshMachine();

    // HKEY_CURRENT_USER\Software\Velkor\<path>: the DWORD value, or nothing.
    std::optional<uint32_t> UserDword(const std::string& path, const std::string& name);
    void PutUserDword(const std::string& path, const std::string& name, uint32_t value);
    // The class that owns extension `ext` in HKEY_CLASSES_ROOT (nothing: no key).
    void PutExtensionOwner(const std::string& ext, const std::optional<std::string>& owner);
    bool UserKeyExists(const std::string& path);
    bool MachineKeyExists(const std::string& path);

  private:
    std::unique_ptr<sim::TestMachine> machine_;
    std::vector<std::function<void(os::Window)>> inspectors_;
    size_t mark_ = 0;
};

}  // namespace dialog_test
