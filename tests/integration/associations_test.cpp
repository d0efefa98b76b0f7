// Taking extensions over and giving them back: the association backup, the
// restored state, and the cases where nothing may change.
#include "integration/associations.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "integration/assoc_fixture.h"
#include "integration/reg_dump.h"
#include "platform/platform.h"

namespace assoc_test {
namespace {

os::Key Hkcr() { return os::ClassesRoot(); }
os::Key Hkcu() { return os::CurrentUser(); }

struct Value {
    std::string key;  // below HKEY_CLASSES_ROOT
    std::string name;
    std::string text;
};

void PutAll(const std::vector<Value>& values) {
    for (const Value& v : values) PutString(Hkcr(), v.key, v.name, v.text);
}

std::string BackupKey(const std::string& extension) {
    return "Software\\Velkor\\Setup\\" + extension;
}

using AssociationTest = MachineTest;

// An extension that another program owns is backed up, taken over and given
// back; its key, values and ShellNew subkey end as they were, except where
// the backup cannot hold the previous state (the last two cases).
TEST_F(AssociationTest, TakeOverThenGiveBackRestoresThePreviousOwner) {
    struct Case {
        int line;
        const char* extension;
        bool isZip;
        bool shellIntegration;
        std::vector<Value> before;
        const char* backupShellNew;
        std::vector<Value> restoredInstead;  // empty: exactly as before
    };
    const Case cases[] = {
        {__LINE__,
         ".zip",
         true,
         true,
         {{".zip", "", "OtherZip"},
          {".zip", "Content Type", "application/zip"},
          {".zip\\ShellNew", "FileName", "other.zip"}},
         "other.zip",
         {}},
        {__LINE__,
         ".zip",
         true,
         true,
         {{".zip", "", "OtherZip"}, {".zip\\ShellNew", "NullFile", ""}},
         "*",
         {}},
        {__LINE__,
         ".cab",
         false,
         true,
         {{".cab", "", "OtherCab"},
          {".cab", "Content Type", "application/x-cab"},
          {".cab\\ShellNew", "FileName", "other.cab"},
          {".cab\\ShellNew", "NullFile", ""}},
         "other.cab",
         {}},
        {__LINE__, ".lha", false, false, {{".lha", "", "OtherLha"}}, "", {}},
        {__LINE__,
         ".zip",
         true,
         false,
         {{".zip", "", "OtherZip"},
          {".zip\\ShellNew", "FileName", "other.zip"},
          {".zip\\ShellNew", "NullFile", ""}},
         "other.zip",
         {}},
        // A FileName and a NullFile: the FileName is what the backup keeps.
        {__LINE__,
         ".zip",
         true,
         true,
         {{".zip", "", "OtherZip"},
          {".zip\\ShellNew", "FileName", "other.zip"},
          {".zip\\ShellNew", "NullFile", ""}},
         "other.zip",
         {{".zip", "", "OtherZip"}, {".zip\\ShellNew", "FileName", "other.zip"}}},
        // An empty FileName beside a NullFile comes back as the NullFile alone.
        {__LINE__,
         ".zip",
         true,
         true,
         {{".zip", "", "OtherZip"},
          {".zip\\ShellNew", "FileName", ""},
          {".zip\\ShellNew", "NullFile", ""}},
         "*",
         {{".zip", "", "OtherZip"}, {".zip\\ShellNew", "NullFile", ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(MachineSetup{});
        PutAll(c.before);
        const std::string before = DumpKey(Hkcr(), c.extension);
        const std::string backup = BackupKey(c.extension);

        SetExtensionAssociation(c.extension, true, c.shellIntegration, c.isZip, false);
        EXPECT_EQ(ReadString(Hkcr(), c.extension, ""), c.isZip ? "Velkor.ZIP" : "Velkor");
        EXPECT_EQ(ReadString(Hkcr(), c.extension, "Content Type"), std::nullopt);
        EXPECT_EQ(ReadDword(Hkcu(), backup, "Exist"), 1u);
        EXPECT_EQ(ReadString(Hkcu(), backup, "Type"), c.before[0].text);
        std::string content;
        for (const Value& v : c.before) {
            if (v.name == "Content Type") content = v.text;
        }
        EXPECT_EQ(ReadString(Hkcu(), backup, "Content"), content);
        EXPECT_EQ(ReadString(Hkcu(), backup, "ShellNew"), c.backupShellNew);

        SetExtensionAssociation(c.extension, false, c.shellIntegration, c.isZip, false);
        const std::string after = DumpKey(Hkcr(), c.extension);
        // The backup stays for the uninstall to delete with the product key.
        EXPECT_TRUE(HasKey(Hkcu(), backup));
        if (c.restoredInstead.empty()) {
            EXPECT_EQ(after, before);
        } else {
            UseMachine(MachineSetup{});
            PutAll(c.restoredInstead);
            EXPECT_EQ(after, DumpKey(Hkcr(), c.extension));
        }
    }
}

TEST_F(AssociationTest, ExtensionWithoutKeyIsRemovedAgain) {
    struct Case {
        int line;
        const char* extension;
        bool isZip;
        bool shellIntegration;
    };
    const Case cases[] = {
        {__LINE__, ".cab", false, true},
        {__LINE__, ".zip", true, true},
        {__LINE__, ".zip", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(MachineSetup{});
        const std::string backup = BackupKey(c.extension);
        SetExtensionAssociation(c.extension, true, c.shellIntegration, c.isZip, false);
        EXPECT_EQ(ReadDword(Hkcu(), backup, "Exist"), 0u);
        EXPECT_EQ(ReadString(Hkcu(), backup, "Type"), "");
        EXPECT_EQ(ReadString(Hkcu(), backup, "Content"), "");
        EXPECT_EQ(ReadString(Hkcu(), backup, "ShellNew"), "");
        EXPECT_EQ(HasKey(Hkcr(), std::string(c.extension) + "\\ShellNew"),
                  c.shellIntegration && c.isZip);

        SetExtensionAssociation(c.extension, false, c.shellIntegration, c.isZip, false);
        EXPECT_FALSE(HasKey(Hkcr(), c.extension));
    }
}

// A class that differs from Velkor's only in letter case is Velkor's: no
// backup is written over it, and the give-back acts on it.
TEST_F(AssociationTest, OwnedInAnotherLetterCase) {
    const char* const classes[] = {"VELKOR", "velkor", "velkor.zip", "VeLkOr.ZiP"};
    for (const char* owner : classes) {
        SCOPED_TRACE(owner);
        UseMachine(MachineSetup{});
        PutString(Hkcr(), ".arj", "", owner);
        PutString(Hkcr(), ".arj", "Content Type", "application/x-arj");
        EXPECT_TRUE(IsOwnedExtension(".arj"));

        SetExtensionAssociation(".arj", true, false, false, false);
        EXPECT_FALSE(HasKey(Hkcu(), BackupKey(".arj")));
        EXPECT_EQ(ReadString(Hkcr(), ".arj", ""), "Velkor");

        PutString(Hkcr(), ".arj", "", owner);
        SetExtensionAssociation(".arj", false, false, false, false);
        EXPECT_EQ(ReadString(Hkcr(), ".arj", ""), "");
        EXPECT_EQ(ReadString(Hkcr(), ".arj", "Content Type"), std::nullopt);
    }
}

TEST_F(AssociationTest, OwnershipTest) {
    struct Case {
        int line;
        std::optional<std::string> owner;  // nothing: no key
        bool owned;
    };
    const Case cases[] = {
        {__LINE__, "Velkor", true},      {__LINE__, "Velkor.ZIP", true},
        {__LINE__, "Velkor.REV", false}, {__LINE__, "Velkor ", false},
        {__LINE__, "OtherArc", false},   {__LINE__, "", false},
        {__LINE__, std::nullopt, false}, {__LINE__, std::string(100, 'V'), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(MachineSetup{});
        if (c.owner) PutString(Hkcr(), ".ace", "", *c.owner);
        EXPECT_EQ(IsOwnedExtension(".ace"), c.owned);
    }
}

// Another program took the extension after Velkor did: the give-back leaves
// it alone, whatever the backup says.
TEST_F(AssociationTest, GiveBackLeavesAnotherProgramsExtensionAlone) {
    PutString(Hkcr(), ".tar", "", "OtherTar");
    SetExtensionAssociation(".tar", true, false, false, false);
    PutString(Hkcr(), ".tar", "", "Newcomer");
    PutString(Hkcr(), ".tar", "Content Type", "application/x-newcomer");
    PutString(Hkcr(), ".tar\\ShellNew", "FileName", "newcomer.tar");
    const std::string taken = DumpKey(Hkcr(), ".tar");
    const std::string backup = DumpKey(Hkcu(), BackupKey(".tar"));

    SetExtensionAssociation(".tar", false, true, false, false);
    EXPECT_EQ(DumpKey(Hkcr(), ".tar"), taken);
    EXPECT_EQ(DumpKey(Hkcu(), BackupKey(".tar")), backup);
}

// A take-over after another program claimed the extension again keeps the
// newest previous owner; repeated take-overs keep the first backup.
TEST_F(AssociationTest, BackupFollowsTheLatestForeignOwner) {
    PutString(Hkcr(), ".gz", "", "FirstGz");
    SetExtensionAssociation(".gz", true, false, false, false);
    SetExtensionAssociation(".gz", true, false, false, false);
    EXPECT_EQ(ReadString(Hkcu(), BackupKey(".gz"), "Type"), "FirstGz");
    PutString(Hkcr(), ".gz", "", "SecondGz");
    SetExtensionAssociation(".gz", true, false, false, false);
    EXPECT_EQ(ReadString(Hkcu(), BackupKey(".gz"), "Type"), "SecondGz");
    SetExtensionAssociation(".gz", false, false, false, false);
    EXPECT_EQ(ReadString(Hkcr(), ".gz", ""), "SecondGz");
}

// No backup at all: the extension counts as having existed without a class.
TEST_F(AssociationTest, GiveBackWithoutBackup) {
    PutString(Hkcr(), ".vlk", "", "Velkor");
    PutString(Hkcr(), ".vlk", "Content Type", "application/x-vlk");
    PutString(Hkcr(), ".vlk\\ShellNew", "FileName", "C:\\Velkor\\vlknew.dat");
    for (const char* volume : {".v00", ".v29", ".v30", ".v99"}) {
        PutString(Hkcr(), volume, "", "Velkor");
    }
    SetExtensionAssociation(".vlk", false, true, false, true);
    EXPECT_EQ(ReadString(Hkcr(), ".vlk", ""), "");
    EXPECT_EQ(ReadString(Hkcr(), ".vlk", "Content Type"), std::nullopt);
    EXPECT_EQ(ReadString(Hkcr(), ".vlk\\ShellNew", "FileName"), std::nullopt);
    for (const char* volume : {".v00", ".v29", ".v30", ".v99"}) {
        EXPECT_FALSE(HasKey(Hkcr(), volume)) << volume;
    }
}

// A backup class naming Velkor itself is no previous owner to restore.
TEST_F(AssociationTest, BackupTypeOfVelkorRestoresAnEmptyClass) {
    const char* const types[] = {"Velkor", "VELKOR.zip"};
    for (const char* type : types) {
        SCOPED_TRACE(type);
        UseMachine(MachineSetup{});
        PutString(Hkcr(), ".7z", "", "Velkor");
        PutString(Hkcu(), BackupKey(".7z"), "Type", type);
        PutString(Hkcu(), BackupKey(".7z"), "Content", "application/x-7z");
        SetExtensionAssociation(".7z", false, false, false, false);
        EXPECT_EQ(ReadString(Hkcr(), ".7z", ""), "");
        EXPECT_EQ(ReadString(Hkcr(), ".7z", "Content Type"), "application/x-7z");
    }
}

// "Exist" of any non-zero number counts as existed; 0 removes the key.
TEST_F(AssociationTest, BackupExistFlag) {
    struct Case {
        int line;
        os::Dword exist;
        bool keyStays;
    };
    const Case cases[] = {{__LINE__, 0, false}, {__LINE__, 1, true}, {__LINE__, 7, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(MachineSetup{});
        PutString(Hkcr(), ".bz", "", "Velkor");
        PutDword(Hkcu(), BackupKey(".bz"), "Exist", c.exist);
        PutString(Hkcu(), BackupKey(".bz"), "Type", "OtherBz");
        SetExtensionAssociation(".bz", false, false, false, false);
        EXPECT_EQ(HasKey(Hkcr(), ".bz"), c.keyStays);
        if (c.keyStays) {
            EXPECT_EQ(ReadString(Hkcr(), ".bz", ""), "OtherBz");
        }
    }
}

}  // namespace
}  // namespace assoc_test
