// The 64-bit view: only key creation addresses it, and only while it is on.
#include <gtest/gtest.h>

#include <string>

#include "registry/registry.h"
#include "registry/registry_fixture.h"

namespace {

using registry_test::Classes;
using registry_test::Machine;
using registry_test::RegistryTest;

const char kServer[] = "CLSID\\{00000000-0000-0000-0000-00000000AB01}\\InProcServer32";
const std::string kView64 = std::string("SOFTWARE\\Classes\\") + kServer;
const std::string kView32 = std::string("SOFTWARE\\Classes\\Wow6432Node\\") + kServer;

class ViewTest : public RegistryTest {};

TEST_F(ViewTest, WritesFollowTheFlagOnSixtyFourBitWindows) {
    struct Case {
        int line;
        bool win64;
        bool view64;
        std::string at;
        std::string access;
    };
    const Case cases[] = {
        {__LINE__, true, true, kView64, "access=0x20106"},
        {__LINE__, true, false, kView32, "access=0x20006"},
        // 32-bit Windows has one view: the flag changes nothing.
        {__LINE__, false, true, kView64, "access=0x20106"},
        {__LINE__, false, false, kView64, "access=0x20006"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        core_test::MachineSetup setup;
        setup.win64 = c.win64;
        UseMachine(setup);
        SetView64(c.view64);
        size_t mark = TraceMark();
        EXPECT_TRUE(SetStringValue(os::ClassesRoot(), kServer, "", "vlkext.dll"));
        SetView64(false);
        EXPECT_TRUE(Exists(Machine(c.at)));
        if (c.win64) {
            EXPECT_NE(Exists(Machine(kView64)), Exists(Machine(kView32)));
        }
        std::vector<std::string> creates = CallsSince(mark, "RegCreateKeyExA");
        ASSERT_EQ(creates.size(), 1u);
        EXPECT_NE(creates[0].find(c.access), std::string::npos) << creates[0];
    }
}

TEST_F(ViewTest, ReadsAndDeletionsKeepToTheDefaultView) {
    UseMachine(core_test::Win64());
    SetView64(true);
    ASSERT_TRUE(SetStringValue(os::ClassesRoot(), kServer, "", "vlkext64.dll"));
    size_t mark = TraceMark();
    char buffer[32];
    // The process's own view is the 32-bit one, where nothing was written.
    EXPECT_FALSE(GetStringValue(os::ClassesRoot(), kServer, "", buffer, "none", sizeof buffer));
    EXPECT_STREQ(buffer, "none");
    EXPECT_FALSE(KeyExists(os::ClassesRoot(), kServer));
    DeleteKey(os::ClassesRoot(), kServer);
    DeleteValue(os::ClassesRoot(), kServer, "");
    DeleteKeyTree(os::ClassesRoot(), "CLSID\\{00000000-0000-0000-0000-00000000AB01}");
    EXPECT_TRUE(Exists(Machine(kView64)));
    for (const std::string& line : TraceSince(mark)) {
        EXPECT_EQ(line.find("access=0x201"), std::string::npos) << line;
    }
    SetView64(false);

    // In the 32-bit view they find what was written there.
    ASSERT_TRUE(SetStringValue(os::ClassesRoot(), kServer, "", "vlkext.dll"));
    EXPECT_TRUE(GetStringValue(os::ClassesRoot(), kServer, "", buffer, "none", sizeof buffer));
    EXPECT_STREQ(buffer, "vlkext.dll");
    DeleteKeyTree(os::ClassesRoot(), "CLSID\\{00000000-0000-0000-0000-00000000AB01}");
    EXPECT_FALSE(Exists(Machine(kView32)));
    EXPECT_TRUE(Exists(Machine(kView64)));
}

TEST_F(ViewTest, AProcessStartsWithTheFlagOff) {
    UseMachine(core_test::Win64());
    SetView64(true);
    ProgramProcessStart();
    EXPECT_TRUE(SetStringValue(os::ClassesRoot(), kServer, "", "vlkext.dll"));
    EXPECT_TRUE(Exists(Machine(kView32)));
    EXPECT_FALSE(Exists(Machine(kView64)));
}

}  // namespace
