// The Windows family probe and the choice of name when deleting and testing files.
#include "common/system.h"

#include <gtest/gtest.h>

#include <string>

#include "common/forwarding_platform.h"
#include "common/lead_bytes.h"
#include "common/machine_fixture.h"

namespace {

using core_test::MachineSetup;
using core_test::MachineTest;

const os::Wchar* Wide(const std::u16string& text) {
    return reinterpret_cast<const os::Wchar*>(text.c_str());
}

class SystemTest : public MachineTest {};

TEST_F(SystemTest, NtFamilyVersionIsTheMajorVersionOnNtOnly) {
    struct Case {
        int line;
        sim::Family family;
        unsigned major, minor;
        int result;
    };
    const Case cases[] = {
        {__LINE__, sim::Family::kNt, 4, 0, 4},  {__LINE__, sim::Family::kNt, 5, 1, 5},
        {__LINE__, sim::Family::kNt, 6, 1, 6},  {__LINE__, sim::Family::k9x, 4, 10, 0},
        {__LINE__, sim::Family::k9x, 4, 90, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        MachineSetup setup;
        setup.family = c.family;
        setup.major = c.major;
        setup.minor = c.minor;
        UseMachine(setup);
        size_t mark = TraceMark();
        EXPECT_EQ(NtFamilyVersion(), c.result);
        EXPECT_EQ(NtFamilyVersion(), c.result);
        // Asked once per process.
        EXPECT_EQ(CallsSince(mark, "GetVersionExA").size(), 1u);
    }
}

TEST_F(SystemTest, NtFamilyVersionAsksAgainAfterAReset) {
    EXPECT_EQ(NtFamilyVersion(), 5);
    machine().Config().family = sim::Family::k9x;
    EXPECT_EQ(NtFamilyVersion(), 5);  // the kept answer
    ResetNtFamilyVersion();
    EXPECT_EQ(NtFamilyVersion(), 0);
}

// A system whose version query fails.
class NoVersion : public core_test::ForwardingSystem {
  public:
    using ForwardingSystem::ForwardingSystem;
    os::Bool GetVersionExA(os::VersionInfo*) override {
        ++queries;
        return 0;
    }
    int queries = 0;
};

TEST_F(SystemTest, AFailedVersionQueryCountsAsTheOlderPlatformsOnce) {
    os::Platform platform = machine().Platform();
    NoVersion system(*platform.system);
    platform.system = &system;
    os::Install(platform);
    ResetNtFamilyVersion();
    EXPECT_EQ(NtFamilyVersion(), 0);
    EXPECT_EQ(NtFamilyVersion(), 0);
    EXPECT_EQ(system.queries, 1);
    machine().Install();
}

// A code page whose information cannot be read.
class NoCodePageInfo : public core_test::ForwardingSystem {
  public:
    using ForwardingSystem::ForwardingSystem;
    os::Bool GetCPInfo(os::Dword, os::CpInfo*) override { return 0; }
};

TEST_F(SystemTest, WithoutCodePageInfoTheLeadBytesDecide) {
    struct Case {
        int line;
        unsigned acp;
        bool multiByte;
    };
    const Case cases[] = {{__LINE__, 932, true}, {__LINE__, 1251, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(core_test::CodePage(c.acp));
        os::Platform platform = machine().Platform();
        NoCodePageInfo system(*platform.system);
        platform.system = &system;
        os::Install(platform);
        RefillLeadBytes();
        EXPECT_EQ(LeadBytes().multiByte != 0, c.multiByte);
        machine().Install();
        RefillLeadBytes();
    }
}

TEST_F(SystemTest, RemoveFileAndPathExistsChooseTheName) {
    struct Case {
        int line;
        sim::Family family;
        bool giveAnsi;
        std::u16string wide;  // empty: given as the empty text; "-": none given
        bool wideGoes;        // the file named by the UTF-16 name is the one deleted
        const char* call;
    };
    const Case cases[] = {
        {__LINE__, sim::Family::kNt, true, u"C:\\Work\\wide.txt", true, "DeleteFileW"},
        {__LINE__, sim::Family::kNt, false, u"C:\\Work\\wide.txt", true, "DeleteFileW"},
        {__LINE__, sim::Family::kNt, true, u"", false, "DeleteFileA"},
        {__LINE__, sim::Family::kNt, true, u"-", false, "DeleteFileA"},
        {__LINE__, sim::Family::k9x, true, u"C:\\Work\\wide.txt", false, "DeleteFileA"},
        {__LINE__, sim::Family::k9x, true, u"-", false, "DeleteFileA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        MachineSetup setup;
        setup.family = c.family;
        UseMachine(setup);
        ASSERT_EQ(machine().Files().CreateDirectory("C:\\Work"), 0);
        ASSERT_EQ(machine().Files().WriteAll("C:\\Work\\ansi.txt", "a"), 0);
        ASSERT_EQ(machine().Files().WriteAll("C:\\Work\\wide.txt", "w"), 0);
        const char* ansi = c.giveAnsi ? "C:\\Work\\ansi.txt" : nullptr;
        const os::Wchar* wide = c.wide == u"-" ? nullptr : Wide(c.wide);

        size_t mark = TraceMark();
        EXPECT_TRUE(PathExists(ansi, wide));
        EXPECT_TRUE(RemoveFile(ansi, wide));
        EXPECT_FALSE(PathExists(ansi, wide));
        EXPECT_FALSE(RemoveFile(ansi, wide));
        EXPECT_EQ(CallsSince(mark, c.call).size(), 2u);
        EXPECT_EQ(CallsSince(mark, c.call == std::string("DeleteFileW") ? "GetFileAttributesW"
                                                                        : "GetFileAttributesA")
                      .size(),
                  2u);

        std::string bytes;
        EXPECT_EQ(machine().Files().ReadAll("C:\\Work\\wide.txt", &bytes) == 0, !c.wideGoes);
        EXPECT_EQ(machine().Files().ReadAll("C:\\Work\\ansi.txt", &bytes) == 0, c.wideGoes);
    }
}

TEST_F(SystemTest, NoNameToUseIsNoFile) {
    EXPECT_FALSE(PathExists(nullptr, nullptr));
    EXPECT_FALSE(RemoveFile(nullptr, nullptr));
    UseMachine(core_test::Win9x());
    const std::u16string wide = u"C:\\Work\\wide.txt";
    EXPECT_FALSE(RemoveFile(nullptr, Wide(wide)));
}

}  // namespace
