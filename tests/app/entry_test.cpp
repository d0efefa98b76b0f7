// The entry on a simulated machine: helper switches in the order they stand,
// silent mode, the exit code, and the process-wide state at start.
#include "app/entry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/process_state.h"
#include "common/error_reporter.h"
#include "common/file.h"
#include "common/machine_fixture.h"
#include "common/open_file_table.h"
#include "common/path.h"
#include "common/system.h"
#include "platform/sim/actions.h"
#include "platform/sim/services.h"
#include "registry/registry.h"

namespace {

using core_test::MachineTest;

class EntryTest : public MachineTest {
  protected:
    int Run(const char* tail) { return ProgramEntry(sim::SimSystem::ProgramInstance(), tail); }
    void Answer(const char* verb) {
        sim::Action action;
        std::string error;
        ASSERT_TRUE(sim::Actions::Parse(verb, &action, &error)) << error;
        machine().UserActions().Add(action);
    }
};

TEST_F(EntryTest, WaitPausesTwoSecondsPerSwitch) {
    struct Case {
        int line;
        const char* tail;
        uint64_t milliseconds;
    };
    const Case cases[] = {
        {__LINE__, "/wait", 2000},       {__LINE__, "-WAIT", 2000},
        {__LINE__, "/wait /wait", 4000}, {__LINE__, "/wait/wait-wait", 6000},
        {__LINE__, "/waiting", 2000},    {__LINE__, "/wai", 0},
        {__LINE__, "/clean", 0},         {__LINE__, "/s /wait", 2000},
        {__LINE__, "x-wait", 2000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line << ": tail " << c.tail);
        UseMachine(core_test::Nt());
        const uint64_t before = machine().Clock();
        size_t mark = TraceMark();
        EXPECT_EQ(Run(c.tail), 0);
        EXPECT_EQ(machine().Clock() - before, c.milliseconds);
        EXPECT_EQ(CallsSince(mark, "Sleep").size(), c.milliseconds / 2000);
        for (const std::string& line : CallsSince(mark, "Sleep")) {
            EXPECT_EQ(line.rfind("Sleep 2000 ", 0), 0u) << line;
        }
        // A helper run asks nothing and changes nothing.
        EXPECT_TRUE(CallsSince(mark, "MessageBoxA").empty());
        EXPECT_TRUE(CallsSince(mark, "RegCreateKeyExA").empty());
        EXPECT_TRUE(CallsSince(mark, "DeleteFileA").empty());
    }
}

TEST_F(EntryTest, HelpersActInTheOrderTheyStand) {
    struct Case {
        int line;
        const char* tail;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {__LINE__, "/wait /warning", {"Sleep", "MessageBoxA"}},
        {__LINE__, "/warning /wait", {"MessageBoxA", "Sleep"}},
        {__LINE__, "/wait/warning/wait", {"Sleep", "MessageBoxA", "Sleep"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line << ": tail " << c.tail);
        UseMachine(core_test::Nt());
        Answer("ok");
        size_t mark = TraceMark();
        EXPECT_EQ(Run(c.tail), 0);
        std::vector<std::string> calls;
        for (const std::string& line : TraceSince(mark)) {
            for (const char* call : {"Sleep ", "MessageBoxA "}) {
                if (line.rfind(call, 0) == 0) calls.push_back(std::string(call, strlen(call) - 1));
            }
        }
        EXPECT_EQ(calls, c.calls);
    }
}

TEST_F(EntryTest, SilentModeComesFromTheSwitchAndStaysOn) {
    struct Case {
        int line;
        const char* tail;
        bool silent;
    };
    const Case cases[] = {
        {__LINE__, "/clean", false}, {__LINE__, "/s /clean", true}, {__LINE__, "/clean -S", true},
        {__LINE__, "/sx", false},    {__LINE__, "/s1/wait", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line << ": tail " << c.tail);
        UseMachine(core_test::Nt());
        EXPECT_FALSE(SilentMode());
        EXPECT_EQ(Run(c.tail), 0);
        EXPECT_EQ(SilentMode(), c.silent);
    }
}

TEST_F(EntryTest, ProcessStartMakesTheStateAfresh) {
    SetSilentMode(true);
    snprintf(ProgramGroupPath(), kProgramGroupPathSize, "%s", "C:\\Menu\\Velkor");
    SetDialogIcon(reinterpret_cast<os::Icon>(0x1234));
    SetView64(true);
    TheErrorReporter().SetErrorCode(5);
    File file;
    ASSERT_TRUE(file.Open(machine().Config().programPath.c_str(), nullptr, false, false));
    ASSERT_EQ(OpenFiles().Count(), 1);
    EXPECT_EQ(NtFamilyVersion(), 5);
    machine().Config().family = sim::Family::k9x;

    ProgramProcessStart();
    EXPECT_FALSE(SilentMode());
    EXPECT_STREQ(ProgramGroupPath(), "");
    EXPECT_EQ(DialogIcon(), nullptr);
    EXPECT_EQ(TheErrorReporter().ErrorCode(), 0);
    EXPECT_EQ(TheErrorReporter().ErrorCount(), 0);
    EXPECT_EQ(OpenFiles().Count(), 0);
    EXPECT_EQ(NtFamilyVersion(), 0);
    // The view flag is off again: creation asks for the default view.
    size_t mark = TraceMark();
    SetUserDword("Setup", "n", 1);
    std::vector<std::string> creates = CallsSince(mark, "RegCreateKeyExA");
    ASSERT_EQ(creates.size(), 1u);
    EXPECT_NE(creates[0].find("access=0x20006 "), std::string::npos) << creates[0];
}

TEST_F(EntryTest, ProcessStartRefillsTheLeadBytesFromTheMachine) {
    UseMachine(core_test::CodePage(932));
    const std::string path = "dir\\\x95\x5C";
    EXPECT_STREQ(NameInPath(path.c_str()), "\x95\x5C");
}

}  // namespace
