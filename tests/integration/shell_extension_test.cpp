// The shell extension's registration on 32-bit and 64-bit Windows, its
// removal, and the IsWow64 probe.
#include "integration/shell_extension.h"

#include <gtest/gtest.h>

#include "integration/shell_fixture.h"
#include "registry/registry.h"

namespace shell_test {
namespace {

const std::string kClsid32 = "{A3F07C52-1B9D-4E6A-8C21-5D7E90B4F3A8}";
const std::string kClsid64 = "{A3F07C52-64E4-4E6A-8C21-5D7E90B4F3A8}";

const char* const kNamedHandlers[] = {
    "*\\shellex\\ContextMenuHandlers\\Velkor",
    "Folder\\shellex\\ContextMenuHandlers\\Velkor",
    "Folder\\shellex\\DragDropHandlers\\Velkor",
    "Drive\\shellex\\DragDropHandlers\\Velkor",
    "Directory\\shellex\\ContextMenuHandlers\\Velkor",
    "Directory\\shellex\\DragDropHandlers\\Velkor",
};
const char* const kDropHandlers[] = {"Velkor\\shellex\\DropHandler",
                                     "Velkor.ZIP\\shellex\\DropHandler"};
std::vector<std::string> PerClsidHandlers(const std::string& clsid) {
    return {"Velkor\\shellex\\ContextMenuHandlers\\" + clsid,
            "Velkor\\shellex\\PropertySheetHandlers\\" + clsid,
            "Velkor.ZIP\\shellex\\ContextMenuHandlers\\" + clsid,
            "Velkor.ZIP\\shellex\\PropertySheetHandlers\\" + clsid,
            "exefile\\shellex\\PropertySheetHandlers\\" + clsid};
}

// The two branches of HKCR\CLSID in the store: what a 64-bit program sees,
// and what a 32-bit program on 64-bit Windows sees without the 64-bit view.
std::string Branch64(const std::string& clsid) { return "SOFTWARE\\Classes\\CLSID\\" + clsid; }
std::string Branch32(const std::string& clsid) {
    return "SOFTWARE\\Classes\\Wow6432Node\\CLSID\\" + clsid;
}
const std::string kApproved = "Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

IntegrationSettings Settings(bool shellIntegration) {
    IntegrationSettings settings = {};
    settings.flags[kFlagShellIntegration] = shellIntegration ? 1 : 0;
    return settings;
}

class ShellExtensionTest : public ShellTest {
  protected:
    void Apply(bool on) {
        IntegrationSettings settings = Settings(on);
        ApplyShellExtension(&settings);
    }
    // Where the class keys of `clsid` are: "32", "64", "both" or "none".
    std::string ClassKeysOf(const std::string& clsid) {
        const bool in64 = HasRawKey(kMachine, Branch64(clsid));
        const bool in32 = HasRawKey(kMachine, Branch32(clsid));
        return in64 && in32 ? "both" : in64 ? "64" : in32 ? "32" : "none";
    }
};

TEST_F(ShellExtensionTest, On32BitWindowsOnlyThe32BitLibrary) {
    Apply(true);
    const std::string library = ProgramFolder() + "vlkext.dll";
    EXPECT_EQ(RawString(kMachine, Branch64(kClsid32), ""), "Velkor");
    EXPECT_EQ(RawString(kMachine, Branch64(kClsid32) + "\\InProcServer32", ""), library);
    EXPECT_EQ(RawString(kMachine, Branch64(kClsid32) + "\\InProcServer32", "ThreadingModel"),
              "Apartment");
    EXPECT_EQ(ClassKeysOf(kClsid64), "none");
    for (const char* handler : kNamedHandlers)
        EXPECT_EQ(RawString(kMachine, Classes(handler), ""), kClsid32) << handler;
    for (const char* handler : kDropHandlers)
        EXPECT_EQ(RawString(kMachine, Classes(handler), ""), kClsid32) << handler;
    for (const std::string& handler : PerClsidHandlers(kClsid32))
        EXPECT_EQ(RawString(kMachine, Classes(handler), ""), "") << handler;
    for (const std::string& handler : PerClsidHandlers(kClsid64))
        EXPECT_FALSE(HasRawKey(kMachine, Classes(handler))) << handler;
    EXPECT_EQ(RawString(kMachine, "SOFTWARE\\" + kApproved, kClsid32), "Velkor shell extension");
    EXPECT_EQ(RawString(kMachine, "SOFTWARE\\" + kApproved, kClsid64), std::nullopt);
}

TEST_F(ShellExtensionTest, On64BitWindowsEachLibraryInItsView) {
    UseShellMachine(Win64());
    Apply(true);
    // The 32-bit library's class keys where 32-bit Explorer reads them, the
    // 64-bit one's where 64-bit Explorer does.
    EXPECT_EQ(ClassKeysOf(kClsid32), "32");
    EXPECT_EQ(ClassKeysOf(kClsid64), "64");
    EXPECT_EQ(RawString(kMachine, Branch32(kClsid32) + "\\InProcServer32", ""),
              ProgramFolder() + "vlkext.dll");
    EXPECT_EQ(RawString(kMachine, Branch64(kClsid64) + "\\InProcServer32", ""),
              ProgramFolder() + "vlkext64.dll");
    EXPECT_EQ(RawString(kMachine, Branch64(kClsid64) + "\\InProcServer32", "ThreadingModel"),
              "Apartment");
    // The second registration wrote the shared handler keys again.
    for (const char* handler : kNamedHandlers)
        EXPECT_EQ(RawString(kMachine, Classes(handler), ""), kClsid64) << handler;
    for (const char* handler : kDropHandlers)
        EXPECT_EQ(RawString(kMachine, Classes(handler), ""), kClsid64) << handler;
    for (const std::string& clsid : {kClsid32, kClsid64}) {
        for (const std::string& handler : PerClsidHandlers(clsid))
            EXPECT_TRUE(HasRawKey(kMachine, Classes(handler))) << handler;
        EXPECT_EQ(RawString(kMachine, "SOFTWARE\\Wow6432Node\\" + kApproved, clsid),
                  "Velkor shell extension");
    }
}

TEST_F(ShellExtensionTest, RemovalLeavesNoClassKeyInEitherView) {
    for (const MachineSetup& setup : {Nt(), Win64()}) {
        SCOPED_TRACE(setup.win64 ? "64-bit Windows" : "32-bit Windows");
        UseShellMachine(setup);
        Apply(true);
        Apply(false);
        for (const std::string& clsid : {kClsid32, kClsid64}) {
            EXPECT_EQ(ClassKeysOf(clsid), "none") << clsid;
            for (const std::string& handler : PerClsidHandlers(clsid))
                EXPECT_FALSE(HasRawKey(kMachine, Classes(handler))) << handler;
            for (const char* root : {"SOFTWARE\\", "SOFTWARE\\Wow6432Node\\"})
                EXPECT_EQ(RawString(kMachine, root + kApproved, clsid), std::nullopt);
        }
        for (const char* handler : kDropHandlers)
            EXPECT_FALSE(HasRawKey(kMachine, Classes(handler))) << handler;
        // The named handler keys stay, without their default values.
        for (const char* handler : kNamedHandlers) {
            EXPECT_TRUE(HasRawKey(kMachine, Classes(handler))) << handler;
            EXPECT_EQ(RawString(kMachine, Classes(handler), ""), std::nullopt) << handler;
        }
    }
}

TEST_F(ShellExtensionTest, MissingLibraryGetsNoClassKeysButEveryHandler) {
    for (const MachineSetup& setup : {Nt(), Win64()}) {
        SCOPED_TRACE(setup.win64 ? "64-bit Windows" : "32-bit Windows");
        UseShellMachine(setup);
        ASSERT_EQ(machine().Files().DeleteFile(ProgramFolder() + "vlkext.dll"), 0);
        ASSERT_EQ(machine().Files().DeleteFile(ProgramFolder() + "vlkext64.dll"), 0);
        Apply(true);
        const std::string last = setup.win64 ? kClsid64 : kClsid32;
        EXPECT_EQ(ClassKeysOf(kClsid32), "none");
        EXPECT_EQ(ClassKeysOf(kClsid64), "none");
        for (const char* handler : kNamedHandlers)
            EXPECT_EQ(RawString(kMachine, Classes(handler), ""), last) << handler;
        EXPECT_EQ(
            RawString(kMachine,
                      (setup.win64 ? "SOFTWARE\\Wow6432Node\\" : "SOFTWARE\\") + kApproved, last),
            "Velkor shell extension");
    }
}

TEST_F(ShellExtensionTest, OnlyTheClassKeysUseThe64BitView) {
    UseShellMachine(Win64());
    const size_t mark = TraceMark();
    Apply(true);
    std::vector<std::string> viewed;
    for (const std::string& line : CallsSince(mark, "RegCreateKeyExA"))
        if (line.find("access=0x20106") != std::string::npos) viewed.push_back(line);
    ASSERT_EQ(viewed.size(), 3u);
    for (const std::string& line : viewed)
        EXPECT_NE(line.find("CLSID\\" + kClsid64), std::string::npos) << line;
    // The view is off again afterwards: a later class key is the 32-bit program's.
    SetStringValue(os::ClassesRoot(), "CLSID\\{later}", "", "x");
    EXPECT_EQ(ClassKeysOf("{later}"), "32");
}

TEST_F(ShellExtensionTest, IsWow64AsksOnceWhereTheSystemCanTell) {
    struct Case {
        int line;
        MachineSetup setup;
        bool wow64;
        size_t probes;  // for three calls
    };
    const Case cases[] = {
        {__LINE__, Nt(), false, 1},
        {__LINE__, Win64(), true, 1},
        // No IsWow64Process: false every time, and asked every time.
        {__LINE__, Win2000(), false, 3},
        {__LINE__, Win9x(), false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseShellMachine(c.setup);
        const size_t mark = TraceMark();
        for (int call = 0; call < 3; ++call) EXPECT_EQ(IsWow64(), c.wow64);
        EXPECT_EQ(CallsSince(mark, "IsWow64Process").size(), c.probes);
    }
}

}  // namespace
}  // namespace shell_test
