// Setup mode on the sample machine: the program runs with /setup, SETUPDLG
// and CONTEXTITEMS come from the program's own resources, and the user's
// actions answer them. The check boxes are read through the platform while
// a dialog waits, as the user sees them.
#include "integration/setup_dialog.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "app/entry.h"
#include "app/process_state.h"
#include "dialogs/dialog_fixture.h"
#include "localisation/ext_resource.h"
#include "platform/sim/actions.h"
#include "platform/sim/services.h"

namespace dialog_test {
namespace {

const char kUninstallEntry[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velkor archiver";

// What a dialog showed while it waited: each control's check state and
// whether it was enabled.
struct Shown {
    std::string caption;
    std::map<int, unsigned> check;
    std::map<int, bool> enabled;
};

Shown Read(os::Window dialog) {
    os::Ui& ui = os::Gui();
    Shown shown;
    char caption[256] = "";
    ui.GetWindowTextA(dialog, caption, sizeof caption);
    shown.caption = caption;
    for (os::Window child = ui.GetWindow(dialog, os::kGwChild); child;
         child = ui.GetWindow(child, os::kGwHwndNext)) {
        const int id = ui.GetWindowLongA(child, os::kGwlId);
        if (id == 0xFFFF) continue;
        shown.check[id] = ui.IsDlgButtonChecked(dialog, id);
        shown.enabled[id] = ui.IsWindowEnabled(child) != 0;
    }
    return shown;
}

bool IsSetupDialog(os::Window dialog) {
    return os::Gui().GetDlgItem(dialog, kContextItemsButton) != nullptr;
}

class SetupDialogTest : public DialogTest {
  protected:
    // Runs the program with `tail` after the user's `actions`, noting what
    // every dialog showed each time it waited.
    void Run(const std::string& tail, const std::vector<std::string>& actions) {
        Act(actions);
        setupShown_.clear();
        itemsShown_.clear();
        WhenWaiting([this](os::Window dialog) {
            (IsSetupDialog(dialog) ? setupShown_ : itemsShown_).push_back(Read(dialog));
        });
        ProgramEntry(sim::SimSystem::ProgramInstance(), tail.c_str());
        EXPECT_TRUE(machine().UserActions().Unused().empty())
            << "unused action " << machine().UserActions().Unused()[0];
    }
    // The result of the last dialog that ended (SETUPDLG, which ends last).
    intptr_t LastDialogResult() {
        const std::vector<std::string> lines = Calls("DialogBoxParamA");
        EXPECT_FALSE(lines.empty());
        if (lines.empty()) return -2;
        const std::string& last = lines.back();
        return std::stol(last.substr(last.rfind("-> ") + 3));
    }
    std::string Utf8(const std::string& ansi) { return machine().AnsiToUtf8(ansi); }
    bool NothingApplied() {
        return !UserKeyExists("Setup\\.vlk") && !UserDword("Setup", "ShellExt") &&
               !MachineKeyExists(kUninstallEntry) && Calls("ShellExecuteA").empty();
    }

    std::vector<Shown> setupShown_;
    std::vector<Shown> itemsShown_;
};

// The boxes of a first run: every type but those another program owns (JAR,
// ISO), the program group, the shell integration and menu icons.
TEST_F(SetupDialogTest, FirstRunShowsTheDefaults) {
    struct Case {
        int line;
        std::optional<std::string> jarOwner;
        std::optional<std::string> isoOwner;
        unsigned jar;
        unsigned iso;
    };
    const Case cases[] = {
        {__LINE__, "jarfile", std::nullopt, 0, 1},  // as the sample machine has it
        {__LINE__, std::nullopt, "DiscImage", 1, 0},
        {__LINE__, "Velkor", "Velkor.ZIP", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseFreshMachine();
        PutExtensionOwner(".jar", c.jarOwner);
        PutExtensionOwner(".iso", c.isoOwner);
        Run("/setup", {"cancel"});
        ASSERT_EQ(setupShown_.size(), 1u);
        const Shown& shown = setupShown_[0];
        EXPECT_EQ(Utf8(shown.caption), "Установка Velkor");
        for (int id = kFirstTypeBox; id <= kLastTypeBox; ++id) {
            const unsigned expected = id == 5112 ? c.jar : id == 5113 ? c.iso : 1;
            EXPECT_EQ(shown.check.at(id), expected) << id;
        }
        const std::map<int, unsigned> others = {{5115, 0}, {5116, 0}, {5117, 1},
                                                {5118, 1}, {5119, 0}, {5120, 1}};
        for (const auto& [id, expected] : others) EXPECT_EQ(shown.check.at(id), expected) << id;
        for (const auto& [id, enabled] : shown.enabled) EXPECT_TRUE(enabled) << id;
        // The close box is Cancel: nothing is stored or applied.
        EXPECT_EQ(LastDialogResult(), 0);
        EXPECT_TRUE(NothingApplied());
    }
}

TEST_F(SetupDialogTest, OpeningSetsForegroundIconAndDescriptionColour) {
    os::Window setup = nullptr;
    Act({"escape"});
    WhenWaiting([&](os::Window dialog) {
        setup = dialog;
        EXPECT_EQ(Window(dialog).bigIcon, reinterpret_cast<uintptr_t>(DialogIcon()));
        EXPECT_NE(Window(dialog).bigIcon, 0u);
        const sim::SimWindow& description = Control(dialog, kDescriptionText);
        EXPECT_EQ(description.className, "RICHEDIT");
        EXPECT_FALSE(description.systemBackground);
        EXPECT_EQ(description.backgroundColor, os::Gui().GetSysColor(os::kColorBtnFace));
    });
    ProgramEntry(sim::SimSystem::ProgramInstance(), "/setup");
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(Calls("SetForegroundWindow").size(), 1u);
}

// Silent mode: the dialog confirms itself while it opens, and the machine
// ends as a visible run confirmed without changes leaves it, but for the
// folder that the visible run opens.
TEST_F(SetupDialogTest, SilentModeAppliesWhatTheDialogShows) {
    Run("/setup", {"ok"});
    EXPECT_EQ(LastDialogResult(), 1);
    ASSERT_EQ(setupShown_.size(), 1u);
    const std::string visible = machine().Registry().Save();
    const std::vector<std::string> opened = Calls("ShellExecuteA");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0].find("verb=\"open\""), std::string::npos) << opened[0];

    UseFreshMachine();
    Run("/setup /s", {});
    EXPECT_TRUE(setupShown_.empty()) << "the silent dialog waited for the user";
    EXPECT_EQ(LastDialogResult(), 1);
    EXPECT_TRUE(Calls("ShellExecuteA").empty());
    EXPECT_EQ(machine().Registry().Save(), visible);
    EXPECT_EQ(UserDword("Setup", "ShellExt"), 1u);
    EXPECT_TRUE(MachineKeyExists(kUninstallEntry));
}

// 5119 and 5120 follow 5118 and keep their check marks; a disabled box does
// not take a click; OK stores the marks as they stand.
TEST_F(SetupDialogTest, ClearingShellIntegrationDisablesWithoutClearing) {
    PutUserDword("Setup", "CascadedMenu", 1);
    Run("/setup", {"click 5118", "click 5119", "click 5118", "click 5118", "ok"});
    ASSERT_EQ(setupShown_.size(), 5u);
    struct Step {
        unsigned shell;
        bool enabled;
    };
    const Step steps[] = {{1, true}, {0, false}, {0, false}, {1, true}, {0, false}};
    for (size_t i = 0; i < setupShown_.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "wait " << i);
        const Shown& shown = setupShown_[i];
        EXPECT_EQ(shown.check.at(5118), steps[i].shell);
        for (int id : {5119, 5120}) {
            EXPECT_EQ(shown.check.at(id), 1u) << id;
            EXPECT_EQ(shown.enabled.at(id), steps[i].enabled) << id;
        }
        // Nothing else is ever disabled.
        EXPECT_TRUE(shown.enabled.at(kContextItemsButton));
    }
    EXPECT_EQ(UserDword("Setup", "ShellExt"), 0u);
    EXPECT_EQ(UserDword("Setup", "CascadedMenu"), 1u);
    EXPECT_EQ(UserDword("Setup", "MenuIcons"), 1u);
}

TEST_F(SetupDialogTest, SelectAllChecksOnlyTheTypeBoxes) {
    for (const char* type : {".vlk", ".cab", ".7z", ".z"})
        PutUserDword(std::string("Setup\\") + type, "Set", 0);
    PutUserDword("Setup\\Links", "Desktop", 0);
    PutUserDword("Setup", "ShellExt", 0);
    Run("/setup", {"click 5121", "ok"});
    ASSERT_EQ(setupShown_.size(), 2u);
    const Shown& before = setupShown_[0];
    const Shown& after = setupShown_[1];
    EXPECT_EQ(before.check.at(5101), 0u);
    EXPECT_EQ(before.check.at(5112), 0u);  // JAR: another program owns .jar
    for (int id = kFirstTypeBox; id <= kLastTypeBox; ++id) EXPECT_EQ(after.check.at(id), 1u) << id;
    for (int id = kDesktopIconBox; id <= kMenuIconsBox; ++id) {
        EXPECT_EQ(after.check.at(id), before.check.at(id)) << id;
        EXPECT_EQ(after.enabled.at(id), before.enabled.at(id)) << id;
    }
    EXPECT_EQ(UserDword("Setup\\.vlk", "Set"), 1u);
    EXPECT_EQ(UserDword("Setup\\.jar", "Set"), 1u);
    EXPECT_EQ(UserDword("Setup", "ShellExt"), 0u);
}

TEST_F(SetupDialogTest, ContextItemsStayStoredWhenSetupIsCancelled) {
    Run("/setup", {"click 5123", "click 110", "click 101", "ok", "escape"});
    ASSERT_EQ(itemsShown_.size(), 3u);
    // The first opening: 101 to 109 checked, 110 and 111 clear.
    for (int id = 101; id <= 111; ++id)
        EXPECT_EQ(itemsShown_[0].check.at(id), id <= 109 ? 1u : 0u) << id;
    EXPECT_EQ(Utf8(itemsShown_[0].caption), "Элементы контекстного меню");
    const std::map<std::string, uint32_t> stored = {
        {"ExtrTo", 0},   {"ExtrHere", 1}, {"Extr", 1},    {"ExtrSep", 1},
        {"OpenSFX", 1},  {"AddTo", 1},    {"AddArc", 1},  {"EmailArc", 1},
        {"EmailOpt", 1}, {"Test", 1},     {"Convert", 0},
    };
    for (const auto& [name, value] : stored)
        EXPECT_EQ(UserDword("Setup\\MenuItems", name), value) << name;
    EXPECT_EQ(LastDialogResult(), 0);
    EXPECT_TRUE(NothingApplied());
}

TEST_F(SetupDialogTest, ContextItemsOkWritesAllElevenCancelWritesNone) {
    struct Case {
        int line;
        std::vector<std::string> actions;
        bool written;
    };
    const Case cases[] = {
        {__LINE__, {"click 5123", "ok", "escape"}, true},
        {__LINE__, {"click 5123", "click 101", "click 111", "cancel", "escape"}, false},
        {__LINE__, {"click 5123", "click 101", "escape", "escape"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseFreshMachine();
        Run("/setup", c.actions);
        EXPECT_EQ(UserKeyExists("Setup\\MenuItems"), c.written);
        if (!c.written) continue;
        int ones = 0;
        int zeros = 0;
        for (const char* name : {"ExtrTo", "ExtrHere", "Extr", "ExtrSep", "OpenSFX", "AddTo",
                                 "AddArc", "EmailArc", "EmailOpt", "Test", "Convert"}) {
            const std::optional<uint32_t> value = UserDword("Setup\\MenuItems", name);
            ASSERT_TRUE(value) << name;
            (*value == 1 ? ones : zeros) += 1;
        }
        EXPECT_EQ(ones, 9);
        EXPECT_EQ(zeros, 2);
    }
}

// A stored number other than 0 or 1 is the box's check state: a check box
// shows it as checked, and OK then stores 1.
TEST_F(SetupDialogTest, StoredContextItemNumberIsTheCheckState) {
    PutUserDword("Setup\\MenuItems", "Test", 2);
    PutUserDword("Setup\\MenuItems", "ExtrTo", 0);
    Run("/setup", {"click 5123", "ok", "escape"});
    ASSERT_EQ(itemsShown_.size(), 1u);
    EXPECT_EQ(itemsShown_[0].check.at(110), 1u);
    EXPECT_EQ(itemsShown_[0].check.at(101), 0u);
    EXPECT_EQ(UserDword("Setup\\MenuItems", "Test"), 1u);
    EXPECT_EQ(UserDword("Setup\\MenuItems", "ExtrTo"), 0u);
}

// Esc and the close box end SETUPDLG with 0, whatever was changed.
TEST_F(SetupDialogTest, EscapeOrCloseBoxSavesNothing) {
    for (const char* leave : {"escape", "cancel"}) {
        SCOPED_TRACE(leave);
        UseFreshMachine();
        Run("/setup", {"click 5101", "click 5118", "click 5121", leave});
        EXPECT_EQ(LastDialogResult(), 0);
        EXPECT_TRUE(NothingApplied());
        EXPECT_FALSE(UserKeyExists("Setup"));
    }
}

// F1 and the Help buttons open each dialog's own topic; CONTEXTITEMS keeps
// its help request from reaching SETUPDLG.
TEST_F(SetupDialogTest, HelpOpensEachDialogsTopic) {
    Run("/setup", {"help", "click 9", "click 5123", "help", "click 9", "cancel", "escape"});
    std::vector<std::string> topics;
    for (const std::string& line : Calls("WinHelpA")) {
        EXPECT_NE(line.find("file=\"velkor.hlp\" command=1"), std::string::npos) << line;
        topics.push_back(line.substr(line.find("data=") + 5, 4));
    }
    EXPECT_EQ(topics, (std::vector<std::string>{"4288", "4288", "4976", "4976"}));
}

// Without the rich-edit library SETUPDLG cannot be made; nothing is applied.
TEST_F(SetupDialogTest, SetupDialogNeedsTheRichEditLibrary) {
    TheExtResource().Load(Instance(), nullptr);
    EXPECT_EQ(
        os::Gui().DialogBoxParamA(ResourceModule(), kSetupDialogName, nullptr, SetupDialogProc, 0),
        -1);
    EXPECT_TRUE(NothingApplied());
    Act({"escape"});
    const os::Module richEdit = os::Sys().LoadLibraryA("riched32.dll");
    ASSERT_NE(richEdit, nullptr);
    EXPECT_EQ(
        os::Gui().DialogBoxParamA(ResourceModule(), kSetupDialogName, nullptr, SetupDialogProc, 0),
        0);
    os::Sys().FreeLibrary(richEdit);
}

// After OK the program group folder opens, unless no group was made.
TEST_F(SetupDialogTest, ProgramGroupFolderOpensAfterOk) {
    struct Case {
        int line;
        std::vector<std::string> actions;
        bool opens;
    };
    const Case cases[] = {
        {__LINE__, {"ok"}, true},
        {__LINE__, {"click 5117", "ok"}, false},
        {__LINE__, {"enter"}, true},  // Enter with no default button is OK
        {__LINE__, {"escape"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseFreshMachine();
        Run("/setup", c.actions);
        const std::vector<std::string> opened = Calls("ShellExecuteA");
        ASSERT_EQ(opened.size(), c.opens ? 1u : 0u);
        if (c.opens) {
            EXPECT_NE(opened[0].find("verb=\"open\" file=\"" + Utf8(ProgramGroupPath()) + "\""),
                      std::string::npos)
                << opened[0];
            EXPECT_NE(opened[0].find("Velkor\""), std::string::npos) << opened[0];
        }
    }
}

// With the English language module the dialogs are the module's.
TEST_F(SetupDialogTest, LanguageModuleDialogs) {
    const std::string& program = machine().Config().programPath;
    std::ifstream in(std::string(VLK_BINARY_DIR) + "/lang/vlklng.dll", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    ASSERT_FALSE(bytes.str().empty());
    machine().Files().WriteAll(program.substr(0, program.rfind('\\') + 1) + "vlklng.dll",
                               bytes.str());
    Run("/setup", {"click 5123", "cancel", "escape"});
    ASSERT_EQ(setupShown_.size(), 2u);
    EXPECT_EQ(setupShown_[0].caption, "Velkor setup");
    ASSERT_EQ(itemsShown_.size(), 1u);
    EXPECT_EQ(itemsShown_[0].caption, "Context menu items");
}

}  // namespace
}  // namespace dialog_test
