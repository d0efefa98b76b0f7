// The handler classes, the App Paths entry and the uninstall entry.
#include "integration/handlers.h"

#include <gtest/gtest.h>

#include "app/entry.h"
#include "app/switches.h"
#include "integration/shell_fixture.h"
#include "registry/registry.h"

namespace shell_test {
namespace {

using HandlerClassesTest = ShellTest;

TEST_F(HandlerClassesTest, WritesTheThreeClassesAndRecoveryVolumes) {
    const size_t mark = TraceMark();
    RegisterHandlerClasses();
    const std::string archiver = ProgramFolder() + "Velkor.exe";
    const std::string command = "\"" + archiver + "\" \"%1\"";
    struct Case {
        int line;
        const char* name;
        const char* description;
        std::string icon;
    };
    const Case cases[] = {
        {__LINE__, "Velkor", "Архив Velkor", archiver + ",0"},
        {__LINE__, "Velkor.ZIP", "Архив ZIP - Velkor", archiver + ",0"},
        {__LINE__, "Velkor.REV", "Том VLK для восстановления", archiver + ",1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(RawString(kMachine, Classes(c.name), ""), c.description);
        EXPECT_EQ(RawString(kMachine, Classes(std::string(c.name) + "\\shell\\open\\command"), ""),
                  command);
        EXPECT_EQ(RawString(kMachine, Classes(std::string(c.name) + "\\DefaultIcon"), ""), c.icon);
    }
    EXPECT_EQ(RawString(kMachine, Classes(".rev"), ""), "Velkor.REV");
    // The shell hears of it once, after the writes, with an item-ID list flag.
    const std::vector<std::string> notes = CallsSince(mark, "SHChangeNotify");
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], "SHChangeNotify event=0x8000000 flags=0x0");
    EXPECT_EQ(TraceSince(mark).back(), notes[0]);
}

TEST_F(HandlerClassesTest, KeepsAnIconThatIsThere) {
    struct Case {
        int line;
        const char* existing;  // null: no DefaultIcon value
        const char* expected;  // null: the archiver's icon 0
    };
    const Case cases[] = {
        {__LINE__, "C:\\Icons\\mine.ico,3", "C:\\Icons\\mine.ico,3"},
        {__LINE__, "x", "x"},
        {__LINE__, "", nullptr},  // an empty icon is no icon
        {__LINE__, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseShellMachine(Nt());
        if (c.existing) {
            sim::RegNode* key =
                machine().Registry().Create(kMachine, u"SOFTWARE\\Classes\\Velkor\\DefaultIcon");
            std::u16string text = sim::Utf8ToUtf16(c.existing) + u'\0';
            std::vector<uint8_t> data;
            for (char16_t ch : text) {
                data.push_back(static_cast<uint8_t>(ch & 0xFF));
                data.push_back(static_cast<uint8_t>(ch >> 8));
            }
            key->SetValue(u"", os::kRegSz, data);
        }
        RegisterHandlerClasses();
        const std::string expected = c.expected ? c.expected : ProgramFolder() + "Velkor.exe,0";
        EXPECT_EQ(RawString(kMachine, Classes("Velkor\\DefaultIcon"), ""), expected);
        // The other classes are not affected by it.
        EXPECT_EQ(RawString(kMachine, Classes("Velkor.REV\\DefaultIcon"), ""),
                  ProgramFolder() + "Velkor.exe,1");
    }
}

TEST_F(HandlerClassesTest, TwiceIsOnce) {
    RegisterHandlerClasses();
    const std::string once = machine().Registry().Save();
    RegisterHandlerClasses();
    EXPECT_EQ(machine().Registry().Save(), once);
}

TEST_F(HandlerClassesTest, OpenCommandThatDoesNotFitIsNotWrittenCut) {
    char command[16];
    EXPECT_TRUE(FormOpenCommand("C:\\V.exe", command, sizeof command));  // "C:\V.exe" "%1" is 15
    EXPECT_STREQ(command, "\"C:\\V.exe\" \"%1\"");
    EXPECT_FALSE(FormOpenCommand("C:\\VV.exe", command, sizeof command));
    EXPECT_STREQ(command, "");
}

using ProgramEntriesTest = ShellTest;

TEST_F(ProgramEntriesTest, AppPathNamesTheArchiverAndItsFolder) {
    struct Case {
        int line;
        const char* program;
        const char* archiver;
        const char* folder;
    };
    const Case cases[] = {
        {__LINE__, "C:\\Apps\\Velkor\\uninstall.exe", "C:\\Apps\\Velkor\\Velkor.exe",
         "C:\\Apps\\Velkor"},
        {__LINE__, "C:\\uninstall.exe", "C:\\Velkor.exe", "C:\\"},
        {__LINE__, "C:\\Program Files\\Архиватор\\uninstall.exe",
         "C:\\Program Files\\Архиватор\\Velkor.exe", "C:\\Program Files\\Архиватор"},
    };
    const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Velkor.exe";
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseShellMachine(Nt());
        MoveProgram(c.program);
        RegisterAppPath();
        EXPECT_EQ(RawString(kMachine, key, ""), c.archiver);
        EXPECT_EQ(RawString(kMachine, key, "Path"), c.folder);
    }
}

// Windows runs "UninstallString" as the whole command line of the process.
SwitchScan ScanAsWindowsStartsIt(const std::string& commandLine) {
    struct NoActions : SwitchActions {
        void Silent() override {}
        void Wait() override {}
        void Warning() override {}
    } actions;
    return ScanSwitches(CommandLineTail(commandLine.c_str()), actions);
}

TEST_F(ProgramEntriesTest, UninstallEntryStartsThisProgramInUninstallMode) {
    struct Case {
        int line;
        const char* program;
    };
    const Case cases[] = {
        {__LINE__, "C:\\Program Files\\Velkor\\uninstall.exe"},
        {__LINE__, "C:\\Program Files\\Velkor-5\\uninstall.exe"},
        {__LINE__, "C:\\Program Files\\Velkor 5 -beta\\uninstall.exe"},
        {__LINE__, "C:\\Velkor\\uninstall.exe"},
    };
    const std::string key =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velkor archiver";
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseShellMachine(Nt());
        MoveProgram(c.program);
        RegisterUninstallEntry();
        EXPECT_EQ(RawString(kMachine, key, "DisplayName"), "Архиватор Velkor");
        const std::optional<std::string> command = RawString(kMachine, key, "UninstallString");
        ASSERT_TRUE(command);
        // This program, not the archiver, and nothing after it.
        EXPECT_EQ(*command, "\"" + std::string(c.program) + "\"");
        EXPECT_EQ(DecideMode(ScanAsWindowsStartsIt(Ansi(*command))), RunMode::kUninstall);
    }
}

// Why the path is quoted: unquoted, the blank in "Program Files" ends the
// program's name and the rest of the path is read as the tail.
TEST(UninstallCommand, UnquotedPathWouldBeReadAsSwitches) {
    EXPECT_EQ(DecideMode(ScanAsWindowsStartsIt("C:\\Program Files\\Velkor-5\\uninstall.exe")),
              RunMode::kHelper);
    char command[64];
    ASSERT_TRUE(FormUninstallCommand("C:\\Program Files\\Velkor-5\\uninstall.exe", command,
                                     sizeof command));
    EXPECT_EQ(DecideMode(ScanAsWindowsStartsIt(command)), RunMode::kUninstall);
    // A path that leaves no room for its quotes is not written cut.
    EXPECT_FALSE(FormUninstallCommand("C:\\abcdefgh.exe", command, 17));
    EXPECT_TRUE(FormUninstallCommand("C:\\abcdefgh.exe", command, 18));
}

}  // namespace
}  // namespace shell_test
