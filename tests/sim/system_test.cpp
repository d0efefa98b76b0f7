// Version, environment, message boxes and the trace of the simulated machine.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "platform/sim/actions.h"
#include "platform/sim/machine.h"
#include "support/sim_machine.h"

namespace sim {
namespace {

using os::Dword;

TEST(SimSystem, VersionByFamilyAndVersion) {
    struct Case {
        int line;
        Family family;
        unsigned major, minor;
        Dword platform, reportedMajor, reportedMinor, build;
    };
    const Case cases[] = {
        {__LINE__, Family::kNt, 5, 1, 2, 5, 1, 2600},
        {__LINE__, Family::kNt, 4, 0, 2, 4, 0, 1381},
        {__LINE__, Family::kNt, 6, 1, 2, 6, 1, 7601},
        // Windows 10 tells a program without a compatibility manifest 6.2.
        {__LINE__, Family::kNt, 10, 0, 2, 6, 2, 9200},
        {__LINE__, Family::k9x, 4, 10, 1, 4, 10, (4u << 24) | (10u << 16) | 1998},
        {__LINE__, Family::k9x, 4, 0, 1, 4, 0, (4u << 24) | 950},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        MachineOptions o;
        o.family = c.family;
        o.major = c.major;
        o.minor = c.minor;
        FreshMachine m(o);
        os::VersionInfo info{};
        ASSERT_TRUE(os::Sys().GetVersionExA(&info));
        EXPECT_EQ(info.platformId, c.platform);
        EXPECT_EQ(info.majorVersion, c.reportedMajor);
        EXPECT_EQ(info.minorVersion, c.reportedMinor);
        EXPECT_EQ(info.buildNumber, c.build);
        os::Bool wow64 = 0, present = 1;
        os::Sys().IsWow64Process(&wow64, &present);
        EXPECT_EQ(present != 0,
                  c.family == Family::kNt && (c.major > 5 || (c.major == 5 && c.minor >= 1)));
    }
}

TEST(SimSystem, CodePagesOfTheMachine) {
    MachineOptions o;
    o.acp = 932;
    o.oemcp = 932;
    FreshMachine m(o);
    EXPECT_EQ(os::Sys().GetACP(), 932u);
    EXPECT_TRUE(os::Sys().IsDBCSLeadByte(0x82));
    EXPECT_FALSE(os::Sys().IsDBCSLeadByte(0x5C));
    os::CpInfo info{};
    ASSERT_TRUE(os::Sys().GetCPInfo(os::kCpAcp, &info));
    EXPECT_EQ(info.maxCharSize, 2u);
    FreshMachine russian;
    EXPECT_EQ(os::Sys().GetACP(), 1251u);
    EXPECT_EQ(os::Sys().GetOEMCP(), 866u);
    EXPECT_FALSE(os::Sys().IsDBCSLeadByte(0x82));
}

TEST(SimSystem, EnvironmentAndFolders) {
    FreshMachine m;
    char buffer[1024];
    ASSERT_GT(os::Sys().GetEnvironmentVariableA("comspec", buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, "C:\\WINDOWS\\system32\\cmd.exe");
    ASSERT_GT(os::Fs().GetTempPathA(sizeof buffer, buffer), 0u);
    EXPECT_STREQ(buffer, "C:\\Documents and Settings\\User\\Local Settings\\Temp\\");
    ASSERT_GT(os::Fs().GetWindowsDirectoryA(buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, "C:\\WINDOWS");
    ASSERT_GT(os::Fs().GetCurrentDirectoryA(sizeof buffer, buffer), 0u);
    EXPECT_STREQ(buffer, "C:\\Program Files\\Velkor");
    ASSERT_GT(os::Sys().GetModuleFileNameA(nullptr, buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, "C:\\Program Files\\Velkor\\uninstall.exe");
    MachineOptions old;
    old.family = Family::k9x;
    FreshMachine m9x(old);
    ASSERT_GT(os::Sys().GetEnvironmentVariableA("COMSPEC", buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, "C:\\WINDOWS\\COMMAND.COM");
    ASSERT_GT(os::Fs().GetTempPathA(sizeof buffer, buffer), 0u);
    EXPECT_STREQ(buffer, "C:\\WINDOWS\\TEMP\\");
}

TEST(SimSystem, SleepAdvancesTheVirtualClock) {
    FreshMachine m;
    os::Sys().Sleep(2000);
    os::Sys().Sleep(500);
    EXPECT_EQ(m->Clock(), 2500u);
    EXPECT_EQ(m->TraceLines().back(), "Sleep 500 -> clock=2500");
}

TEST(SimUi, MessageBoxesTakeTheFirstActionThatFits) {
    struct Case {
        int line;
        unsigned type;
        std::vector<std::string> actions;
        int pressed;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {__LINE__, os::kMbYesNo | os::kMbIconQuestion, {"yes"}, os::kIdYes, {}},
        {__LINE__, os::kMbYesNo, {"no", "yes"}, os::kIdNo, {"yes"}},
        // Esc does nothing on a Yes/No box: the next action that fits is taken.
        {__LINE__, os::kMbYesNo, {"escape", "yes"}, os::kIdYes, {"escape"}},
        {__LINE__, os::kMbOk, {"escape"}, os::kIdOk, {}},
        {__LINE__, os::kMbOkCancel, {"escape"}, os::kIdCancel, {}},
        {__LINE__, os::kMbOk | os::kMbIconError, {"click 5118", "ok"}, os::kIdOk, {"click 5118"}},
        {__LINE__, os::kMbYesNo, {"click 7"}, os::kIdNo, {}},
        {__LINE__, os::kMbYesNo | 0x100, {"enter"}, os::kIdNo, {}},  // MB_DEFBUTTON2
        {__LINE__, os::kMbOk | 0x4000, {"help", "ok"}, os::kIdOk, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        FreshMachine m;
        for (const std::string& line : c.actions) {
            Action a;
            std::string error;
            ASSERT_TRUE(Actions::Parse(line, &a, &error)) << error;
            m->UserActions().Add(a);
        }
        EXPECT_EQ(os::Gui().MessageBoxA(nullptr, "text", "caption", c.type), c.pressed);
        EXPECT_EQ(m->UserActions().Unused(), c.left);
    }
}

TEST(SimUi, AnUnansweredBoxEndsTheRun) {
    FreshMachine m;
    m->UserActions().SetInteractive(false);
    const std::string text = m->Utf8ToAnsi("Вы действительно хотите удалить Velkor?");
    const std::string caption = m->Utf8ToAnsi("Удаление Velkor");
    try {
        os::Gui().MessageBoxA(nullptr, text.c_str(), caption.c_str(),
                              os::kMbYesNo | os::kMbIconQuestion);
        FAIL() << "the box was answered";
    } catch (const RunAborted& e) {
        EXPECT_NE(std::string(e.what()).find("Удаление Velkor"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("Yes/No"), std::string::npos) << e.what();
    }
    EXPECT_EQ(m->TraceLines().back(),
              "MessageBoxA owner=0x0 caption=\"Удаление Velkor\" text=\"Вы действительно хотите "
              "удалить Velkor?\" type=0x24 -> unanswered");
}

TEST(SimUi, ActionFilesAreChecked) {
    Actions actions;
    std::string error;
    EXPECT_TRUE(actions.Load("# answers\nyes\r\n\n  click 5118\nESCAPE\n", &error)) << error;
    EXPECT_EQ(actions.Unused(), (std::vector<std::string>{"yes", "click 5118", "ESCAPE"}));
    EXPECT_FALSE(actions.Load("yes\npress the button\n", &error));
    EXPECT_EQ(error.find("line 2"), 0u) << error;
    EXPECT_FALSE(actions.Load("click\n", &error));
    EXPECT_FALSE(actions.Load("yes please\n", &error));
}

TEST(SimTrace, CallsAreCountedAndWrittenInOrder) {
    FreshMachine m;
    const std::string path = m.Folder() + "/trace.txt";
    std::string error;
    ASSERT_TRUE(m->Trace().WriteTo(path, &error)) << error;
    m->Trace().Clear();
    os::Fs().DeleteFileA("C:\\Program Files\\Velkor\\nothing.txt");
    os::Sys().Sleep(1);
    EXPECT_EQ(m->TraceLines(),
              (std::vector<std::string>{
                  "DeleteFileA \"C:\\Program Files\\Velkor\\nothing.txt\" -> 0 err=2",
                  "Sleep 1 -> clock=1"}));
    EXPECT_EQ(m->Trace().Count("DeleteFileA"), 1);
    EXPECT_EQ(m->Trace().Count("Sleep"), 1);
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, m->TraceLines()[0] + "\n" + m->TraceLines()[1] + "\n");
}

}  // namespace
}  // namespace sim
