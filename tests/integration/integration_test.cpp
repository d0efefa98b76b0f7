// Applying and removing the whole integration: the order of the steps, the
// edge cases of the sequence, and the round trip that leaves the machine as
// it was apart from what the steps leave behind by design.
#include <gtest/gtest.h>

#include "integration/apply.h"
#include "integration/handlers.h"
#include "integration/machine_snapshot.h"
#include "integration/settings.h"
#include "integration/shell_fixture.h"
#include "localisation/program_path.h"
#include "registry/registry.h"

namespace shell_test {
namespace {

class IntegrationTest : public ShellTest {
  protected:
    // The position of the first trace line since `mark` that begins with
    // `prefix`; fails the test when there is none.
    size_t First(size_t mark, const std::string& prefix) {
        const std::vector<std::string>& lines = machine().TraceLines();
        for (size_t i = mark; i < lines.size(); ++i)
            if (lines[i].rfind(prefix, 0) == 0) return i;
        ADD_FAILURE() << "no trace line begins with " << prefix;
        return lines.size();
    }
    void ExpectInOrder(size_t mark, const std::vector<std::string>& prefixes) {
        size_t previous = mark;
        for (const std::string& prefix : prefixes) {
            const size_t at = First(mark, prefix);
            EXPECT_GT(at, previous) << prefix << " comes too early";
            previous = at;
        }
    }
    IntegrationSettings Defaults() {
        IntegrationSettings settings = {};
        LoadIntegrationSettings(&settings);
        return settings;
    }
};

const std::string kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Velkor.exe";
const std::string kUninstall =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velkor archiver";

TEST_F(IntegrationTest, ApplyRunsItsStepsInOrder) {
    UseShellMachine(Win64());
    IntegrationSettings settings = Defaults();
    char groupPath[kPathSize] = "";
    const size_t mark = TraceMark();
    ApplyIntegration(&settings, groupPath);
    ExpectInOrder(mark, {
                            "RegCreateKeyExA HKLM\\" + kAppPaths,
                            "RegCreateKeyExA HKCR\\CLSID\\{A3F07C52-1B9D",
                            "RegCreateKeyExA HKCR\\CLSID\\{A3F07C52-64E4",
                            "RegCreateKeyExA HKCR\\.vlk ",
                            "RegCreateKeyExA HKCR\\.z ",
                            "RegCreateKeyExA HKCR\\Velkor.REV ",
                            "SHChangeNotify event=0x8000000 flags=0x0",
                            "SHGetSpecialFolderLocation csidl=0x10",
                            "SHGetSpecialFolderLocation csidl=0x17",
                        });
    // The uninstall entry is the caller's, after this.
    EXPECT_FALSE(HasRawKey(kMachine, "SOFTWARE\\Wow6432Node\\" + kUninstall));
    EXPECT_EQ(Utf8(groupPath), Folder("programs", "Velkor"));
}

TEST_F(IntegrationTest, RemoveRunsItsStepsInOrder) {
    IntegrationSettings settings = Defaults();
    ApplyIntegration(&settings, nullptr);
    RegisterUninstallEntry();
    const size_t mark = TraceMark();
    RemoveIntegration();
    ExpectInOrder(mark, {
                            // The archive types give their extensions back first...
                            "RegCreateKeyExA HKCR\\.zip ",
                            "SHChangeNotify event=0x8000000 flags=0x1000",
                            "RegDeleteKeyA HKCR\\CLSID\\{A3F07C52-1B9D-4E6A-8C21-5D7E90B4F3A8}"
                            "\\InProcServer32",
                            "SHFileOperationA func=3",
                            "RegOpenKeyExA HKCR\\Velkor access=0x20019",
                            "RegOpenKeyExA HKCR\\Velkor.ZIP access=0x20019",
                            "RegOpenKeyExA HKCR\\Velkor.REV access=0x20019",
                            "RegDeleteKeyA HKLM\\" + kUninstall,
                            "RegDeleteKeyA HKLM\\" + kAppPaths,
                            // ...and the product key with their backups goes last.
                            "RegOpenKeyExA HKCU\\Software\\Velkor access=0x20019",
                        });
    EXPECT_FALSE(HasRawKey(kUser, "Software\\Velkor"));
}

TEST_F(IntegrationTest, ApplyWithEveryFlagOff) {
    IntegrationSettings on = Defaults();
    on.flags[kFlagDesktopIcon] = 1;
    on.flags[kFlagStartMenuIcon] = 1;
    ApplyIntegration(&on, nullptr);
    ASSERT_EQ(RawString(kMachine, Classes(".zip"), ""), "Velkor.ZIP");
    ASSERT_TRUE(Exists(Folder("desktop", "Velkor.lnk")));

    IntegrationSettings off = {};
    char groupPath[kPathSize] = "";
    ApplyIntegration(&off, groupPath);
    // Still written:
    EXPECT_EQ(RawString(kMachine, kAppPaths, "Path"),
              ProgramFolder().substr(0, ProgramFolder().size() - 1));
    EXPECT_EQ(RawString(kMachine, Classes("Velkor"), ""), "Архив Velkor");
    EXPECT_EQ(RawString(kMachine, Classes(".rev"), ""), "Velkor.REV");
    // Taken away or given back:
    EXPECT_FALSE(HasRawKey(kMachine, Classes("CLSID\\{A3F07C52-1B9D-4E6A-8C21-5D7E90B4F3A8}")));
    EXPECT_EQ(RawString(kMachine, Classes("*\\shellex\\ContextMenuHandlers\\Velkor"), ""),
              std::nullopt);
    EXPECT_EQ(RawString(kMachine, Classes(".zip"), ""), "WinArc.zip");
    EXPECT_FALSE(HasRawKey(kMachine, Classes(".vlk")));
    EXPECT_FALSE(Exists(Folder("desktop", "Velkor.lnk")));
    EXPECT_FALSE(Exists(Folder("startmenu", "Velkor.lnk")));
    EXPECT_FALSE(Exists(Folder("programs", "Velkor")));
    EXPECT_FALSE(Exists(Folder("common_programs", "Velkor")));
    EXPECT_STREQ(groupPath, "");
}

TEST_F(IntegrationTest, RemoveOnAMachineWithoutIntegrationChangesNothing) {
    for (const MachineSetup& setup : {Nt(), Win64(), Win9x()}) {
        SCOPED_TRACE(setup.win64                        ? "64-bit Windows"
                     : setup.family == sim::Family::kNt ? "NT"
                                                        : "9x");
        UseShellMachine(setup);
        const std::set<std::string> before = Snapshot(machine());
        RemoveIntegration();
        EXPECT_EQ(Difference(before, Snapshot(machine())), std::vector<std::string>{});
    }
}

TEST_F(IntegrationTest, RemoveTakesTheWholeProductKey) {
    SetUserDword("Setup\\Unknown\\Deeper", "Kept", 1);
    SetUserString("", "Other", "value");
    RemoveIntegration();
    EXPECT_FALSE(HasRawKey(kUser, "Software\\Velkor"));
    EXPECT_TRUE(HasRawKey(kUser, "Software"));
}

TEST_F(IntegrationTest, UninstallEntryWithSubkeysStaysOnNt) {
    RegisterUninstallEntry();
    SetStringValue(os::LocalMachine(), (kUninstall + "\\Extra").c_str(), "", "x");
    RemoveIntegration();
    EXPECT_TRUE(HasRawKey(kMachine, kUninstall));
}

TEST_F(IntegrationTest, RecoveryVolumesGoBackToTheirOwner) {
    struct Case {
        int line;
        const char* before;       // the class of .rev before setup; null: no .rev key
        const char* takenOverBy;  // another program's class after setup, or null
        std::optional<std::string> after;
        bool keyStays;
    };
    const Case cases[] = {
        {__LINE__, "RevTool.rev", nullptr, "RevTool.rev", true},
        {__LINE__, nullptr, nullptr, std::nullopt, false},
        {__LINE__, "", nullptr, std::nullopt, true},
        {__LINE__, nullptr, "Later.rev", "Later.rev", true},
        {__LINE__, "velkor.rev", nullptr, std::nullopt, false},  // Velkor's from an earlier setup
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseShellMachine(Nt());
        if (c.before) SetStringValue(os::ClassesRoot(), ".rev", "", c.before);
        if (c.before) SetStringValue(os::ClassesRoot(), ".rev\\OpenWithList\\RevTool.exe", "", "");
        RegisterHandlerClasses();
        RegisterHandlerClasses();  // a second setup keeps the first backup
        ASSERT_EQ(RawString(kMachine, Classes(".rev"), ""), "Velkor.REV");
        if (c.takenOverBy) SetStringValue(os::ClassesRoot(), ".rev", "", c.takenOverBy);
        RemoveIntegration();
        EXPECT_EQ(HasRawKey(kMachine, Classes(".rev")), c.keyStays);
        EXPECT_EQ(RawString(kMachine, Classes(".rev"), ""), c.after);
        if (c.before && c.keyStays) {
            EXPECT_TRUE(HasRawKey(kMachine, Classes(".rev\\OpenWithList\\RevTool.exe")));
        }
    }
}

// The two new-archive templates, byte for byte.
const char kVlkTemplate[] = {'V',  'l',  'k',  '!',  0x1A, 0x07, 0x00, '\xCF', '\x90', 0x73,
                             0x00, 0x00, 0x0D, 0x00, 0x00, 0x00, 0x00, 0x00,   0x00,   0x00};
const char kZipTemplate[22] = {'P', 'K', 0x05, 0x06};

std::string Hex(const char* bytes, size_t size) {
    std::string out;
    char byte[4];
    for (size_t i = 0; i < size; ++i) {
        snprintf(byte, sizeof byte, "%02x,", static_cast<unsigned char>(bytes[i]));
        out += byte;
    }
    return out;
}

// What an earlier setup leaves, and what is meant to stay after
// the removal: the named handler keys (without their values) with the keys
// above them, the key above the property-sheet handler of "exefile", and the
// two new-archive templates beside the program.
std::vector<std::string> AllowedDifferences(const MachineSetup& setup, const std::string& program) {
    std::vector<std::string> keys = {
        "*",
        "*\\SHELLEX",
        "*\\SHELLEX\\CONTEXTMENUHANDLERS",
        "*\\SHELLEX\\CONTEXTMENUHANDLERS\\VELKOR",
        "DIRECTORY",
        "DIRECTORY\\SHELLEX",
        "DIRECTORY\\SHELLEX\\CONTEXTMENUHANDLERS",
        "DIRECTORY\\SHELLEX\\CONTEXTMENUHANDLERS\\VELKOR",
        "DIRECTORY\\SHELLEX\\DRAGDROPHANDLERS",
        "DIRECTORY\\SHELLEX\\DRAGDROPHANDLERS\\VELKOR",
        "DRIVE",
        "DRIVE\\SHELLEX",
        "DRIVE\\SHELLEX\\DRAGDROPHANDLERS",
        "DRIVE\\SHELLEX\\DRAGDROPHANDLERS\\VELKOR",
        "EXEFILE",
        "EXEFILE\\SHELLEX",
        "EXEFILE\\SHELLEX\\PROPERTYSHEETHANDLERS",
        "FOLDER",
        "FOLDER\\SHELLEX",
        "FOLDER\\SHELLEX\\CONTEXTMENUHANDLERS",
        "FOLDER\\SHELLEX\\CONTEXTMENUHANDLERS\\VELKOR",
        "FOLDER\\SHELLEX\\DRAGDROPHANDLERS",
        "FOLDER\\SHELLEX\\DRAGDROPHANDLERS\\VELKOR",
    };
    std::vector<std::string> allowed;
    for (const std::string& key : keys) allowed.push_back("+ key HKLM\\SOFTWARE\\CLASSES\\" + key);
    // .vlk had a key without a class: the give-back writes the empty class.
    allowed.push_back("+ value HKLM\\SOFTWARE\\CLASSES\\.VLK @ = REG_SZ \"\"");
    if (setup.family == sim::Family::k9x) {
        // The older platforms have no approval list; the removal leaves the
        // key it made without the value. Windows 4.10 takes the new-archive
        // template as a "Data" value, which the give-back leaves in place.
        allowed.push_back(
            "+ key HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\SHELL EXTENSIONS");
        allowed.push_back(
            "+ key HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\SHELL EXTENSIONS\\APPROVED");
        allowed.push_back("+ value HKLM\\SOFTWARE\\CLASSES\\.VLK\\SHELLNEW \"DATA\" = type=3 hex:" +
                          Hex(kVlkTemplate, sizeof kVlkTemplate));
        allowed.push_back("+ value HKLM\\SOFTWARE\\CLASSES\\.ZIP\\SHELLNEW \"DATA\" = type=3 hex:" +
                          Hex(kZipTemplate, sizeof kZipTemplate));
    } else {
        const std::string folder = sim::FoldUtf8(program.substr(0, program.rfind('\\') + 1));
        allowed.push_back("+ file " + folder + "VLKNEW.DAT attributes=0x20 bytes=" +
                          sim::Quote(std::string(kVlkTemplate, sizeof kVlkTemplate)));
        allowed.push_back("+ file " + folder + "ZIPNEW.DAT attributes=0x20 bytes=" +
                          sim::Quote(std::string(kZipTemplate, sizeof kZipTemplate)));
    }
    std::sort(allowed.begin(), allowed.end());
    return allowed;
}

// Other programs own some of the extensions, with "Content Type" and "New"
// menu entries; setup with the stored defaults, then the uninstall's removal.
TEST_F(IntegrationTest, RoundTripLeavesOnlyWhatThePartsPrescribe) {
    for (const MachineSetup& setup : {Nt(), Win64(), Win9x()}) {
        SCOPED_TRACE(setup.win64                        ? "64-bit Windows"
                     : setup.family == sim::Family::kNt ? "NT"
                                                        : "9x");
        UseShellMachine(setup);
        // Besides the sample's .zip (with "Content Type" and a ShellNew
        // "NullFile"), .jar and .txt:
        SetStringValue(os::ClassesRoot(), ".7z", "", "SevenZip.7z");
        SetStringValue(os::ClassesRoot(), ".7z", "Content Type", "application/x-7z-compressed");
        SetStringValue(os::ClassesRoot(), ".7z\\ShellNew", "FileName", "C:\\Templates\\empty.7z");
        SetStringValue(os::ClassesRoot(), ".gz", "", "GzTool.gz");
        SetStringValue(os::ClassesRoot(), ".gz", "Content Type", "application/gzip");
        SetStringValue(os::ClassesRoot(), ".vlk\\ShellNew", "NullFile", "");
        SetStringValue(os::ClassesRoot(), ".rev", "", "RevTool.rev");
        SetStringValue(os::ClassesRoot(), ".rev", "Content Type", "application/x-rev");
        const std::set<std::string> before = Snapshot(machine());

        IntegrationSettings settings = {};
        LoadIntegrationSettings(&settings);
        SaveIntegrationSettings(&settings);
        char groupPath[kPathSize] = "";
        ApplyIntegration(&settings, groupPath);
        RegisterUninstallEntry();
        ASSERT_EQ(RawString(kMachine, Classes(".7z"), ""), "Velkor");
        ASSERT_EQ(RawString(kMachine, Classes(".zip"), ""), "Velkor.ZIP");
        ASSERT_TRUE(Exists(Folder("programs", "Velkor\\Velkor.lnk")));

        RemoveIntegration();
        EXPECT_EQ(Difference(before, Snapshot(machine())),
                  AllowedDifferences(setup, machine().Config().programPath));
    }
}

}  // namespace
}  // namespace shell_test
