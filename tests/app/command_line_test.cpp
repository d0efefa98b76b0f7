// The command-line tail and the switch grammar.
#include <gtest/gtest.h>

#include <string>

#include "app/entry.h"
#include "app/switches.h"

namespace {

TEST(CommandLineTail, SkipsTheProgramName) {
    struct Case {
        int line;
        const char* commandLine;
        const char* tail;
    };
    const Case cases[] = {
        {__LINE__, "", ""},
        {__LINE__, "uninstall.exe", ""},
        {__LINE__, "uninstall.exe /setup /s", "/setup /s"},
        {__LINE__, "  \t uninstall.exe \t /s", "/s"},
        {__LINE__, "uninstall.exe\t/s", "/s"},
        {__LINE__, "\"C:\\Program Files\\Velkor\\uninstall.exe\" /setup", "/setup"},
        {__LINE__, "\"C:\\Program Files\\Velkor\\uninstall.exe\"/s", "/s"},
        {__LINE__, "\"C:\\Program Files\\Velkor\\uninstall.exe\"", ""},
        // An unclosed quote: the name runs to the end.
        {__LINE__, "\"C:\\Program Files\\uninstall.exe /s", ""},
        // The blanks inside a quoted name belong to it; the switch after stays whole.
        {__LINE__, "\"a b\"  -wait  ", "-wait  "},
        // An unquoted name ends at its first blank, even in a folder name.
        {__LINE__, "C:\\Program Files\\uninstall.exe /s", "Files\\uninstall.exe /s"},
        {__LINE__, "\"\" /s", "/s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_STREQ(CommandLineTail(c.commandLine), c.tail);
    }
}

TEST(CommandLineTail, NullIsEmpty) { EXPECT_STREQ(CommandLineTail(nullptr), ""); }

// Records the helper actions in the order the scan carries them out.
class RecordingActions : public SwitchActions {
  public:
    void Silent() override { order += 's'; }
    void Wait() override { order += 'W'; }
    void Warning() override { order += '!'; }
    std::string order;
};

TEST(SwitchScan, TailsDecideTheRun) {
    struct Case {
        int line;
        const char* tail;
        bool setup;
        bool silent;
        int count;
        const char* actions;  // s silent, W wait, ! warning, in order
        RunMode mode;
    };
    const Case cases[] = {
        {__LINE__, "", false, false, 0, "", RunMode::kUninstall},
        {__LINE__, "no switch here", false, false, 0, "", RunMode::kUninstall},
        {__LINE__, "/s", false, true, 0, "s", RunMode::kUninstall},
        {__LINE__, "-S", false, true, 0, "s", RunMode::kUninstall},
        {__LINE__, "/s1", false, true, 0, "s", RunMode::kUninstall},
        {__LINE__, "/s /s", false, true, 0, "ss", RunMode::kUninstall},
        {__LINE__, "/s.", false, true, 0, "s", RunMode::kUninstall},
        {__LINE__, "/sx", false, false, 1, "", RunMode::kHelper},
        {__LINE__, "/SETUP", true, false, 1, "", RunMode::kIntegration},
        {__LINE__, "-setup", true, false, 1, "", RunMode::kIntegration},
        {__LINE__, "/setupall", true, false, 1, "", RunMode::kIntegration},
        {__LINE__, "/SeTuP", true, false, 1, "", RunMode::kIntegration},
        {__LINE__, "/setup /s", true, true, 1, "s", RunMode::kIntegration},
        {__LINE__, "/s /setup", true, true, 1, "s", RunMode::kIntegration},
        // A switch's own text is searched for further switches.
        {__LINE__, "/s/setup", true, true, 1, "s", RunMode::kIntegration},
        {__LINE__, "/setup-s", true, true, 1, "s", RunMode::kIntegration},
        {__LINE__, "a-b", false, false, 1, "", RunMode::kHelper},
        {__LINE__, "/wait /warning", false, false, 2, "W!", RunMode::kHelper},
        {__LINE__, "/warning /wait", false, false, 2, "!W", RunMode::kHelper},
        {__LINE__, "-WAIT/Warning -wait", false, false, 3, "W!W", RunMode::kHelper},
        {__LINE__, "/waiting", false, false, 1, "W", RunMode::kHelper},
        {__LINE__, "/wai", false, false, 1, "", RunMode::kHelper},
        {__LINE__, "/warn", false, false, 1, "", RunMode::kHelper},
        {__LINE__, "/clean", false, false, 1, "", RunMode::kHelper},
        {__LINE__, "/", false, false, 1, "", RunMode::kHelper},
        {__LINE__, "-", false, false, 1, "", RunMode::kHelper},
        // A run of switch characters: each one is a switch.
        {__LINE__, "//", false, false, 2, "", RunMode::kHelper},
        {__LINE__, "--s", false, true, 1, "s", RunMode::kHelper},
        {__LINE__, "/s /wait", false, true, 1, "sW", RunMode::kHelper},
        {__LINE__, "/wait /s /setup", true, true, 2, "Ws", RunMode::kIntegration},
        // A letter after s that is not ASCII is not a letter of the grammar.
        {__LINE__, "/s\xE0", false, true, 0, "s", RunMode::kUninstall},
        // "setup" is tested before s: setup wins although it starts with s.
        {__LINE__, "/setup1", true, false, 1, "", RunMode::kIntegration},
        {__LINE__, "/set", false, false, 1, "", RunMode::kHelper},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "case at line " << c.line << ": tail \"" << c.tail << "\"");
        RecordingActions actions;
        SwitchScan scan = ScanSwitches(c.tail, actions);
        EXPECT_EQ(scan.setupRequested, c.setup);
        EXPECT_EQ(scan.silent, c.silent);
        EXPECT_EQ(scan.switchCount, c.count);
        EXPECT_EQ(actions.order, c.actions);
        EXPECT_EQ(DecideMode(scan), c.mode);
    }
}

TEST(SwitchScan, ClassifiesTheSwitchText) {
    struct Case {
        int line;
        const char* text;
        SwitchKind kind;
    };
    const Case cases[] = {
        {__LINE__, "setup", SwitchKind::kSetup},     {__LINE__, "SETUPx", SwitchKind::kSetup},
        {__LINE__, "s", SwitchKind::kSilent},        {__LINE__, "S ", SwitchKind::kSilent},
        {__LINE__, "s-", SwitchKind::kSilent},       {__LINE__, "sZ", SwitchKind::kOther},
        {__LINE__, "wait", SwitchKind::kWait},       {__LINE__, "Wait2", SwitchKind::kWait},
        {__LINE__, "warning", SwitchKind::kWarning}, {__LINE__, "WARNINGS", SwitchKind::kWarning},
        {__LINE__, "", SwitchKind::kOther},          {__LINE__, "clean", SwitchKind::kOther},
        {__LINE__, "setu", SwitchKind::kOther},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(ClassifySwitch(c.text), c.kind);
    }
}

}  // namespace
