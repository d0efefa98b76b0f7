// Loading and saving the integration choices.
#include "integration/settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "integration/archive_types.h"
#include "integration/assoc_fixture.h"
#include "integration/reg_dump.h"
#include "platform/platform.h"

namespace assoc_test {
namespace {

const char* const kFirstExtensions[kArchiveTypeCount] = {
    ".vlk", ".zip", ".cab", ".arj", ".lzh", ".ace", ".7z",
    ".tar", ".gz",  ".uue", ".bz2", ".jar", ".iso", ".z",
};

std::string SetKey(int type) {
    return std::string("Software\\Velkor\\Setup\\") + kFirstExtensions[type];
}

// A record with every byte 0xEE, so that a flag the load does not write shows.
IntegrationSettings Untouched() {
    IntegrationSettings settings;
    for (unsigned char& flag : settings.flags) flag = 0xEE;
    return settings;
}

using SettingsTest = MachineTest;

// A user without the product key: every type on (JAR and ISO only when no
// other program owns them), desktop and Start menu off, the rest on but
// cascaded menus.
TEST_F(SettingsTest, DefaultsWithoutProductKey) {
    struct Case {
        int line;
        std::optional<std::string> jarOwner;  // nothing: no .jar key
        std::optional<std::string> isoOwner;
        bool jar;
        bool iso;
    };
    const Case cases[] = {
        {__LINE__, std::nullopt, std::nullopt, true, true},
        {__LINE__, "JavaArchive", std::nullopt, false, true},
        {__LINE__, std::nullopt, "DiscImage", true, false},
        {__LINE__, "Velkor", "velkor.zip", true, true},
        {__LINE__, "", "", true, true},
        {__LINE__, "Velkor.REV", "JavaArchive", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(MachineSetup{});
        if (c.jarOwner) PutString(os::ClassesRoot(), ".jar", "", *c.jarOwner);
        if (c.isoOwner) PutString(os::ClassesRoot(), ".iso", "", *c.isoOwner);
        // Another program's extension outside JAR and ISO changes nothing.
        PutString(os::ClassesRoot(), ".7z", "", "Other7z");
        ASSERT_FALSE(HasKey(os::CurrentUser(), "Software\\Velkor"));

        IntegrationSettings settings = Untouched();
        LoadIntegrationSettings(&settings);
        for (int type = 0; type < kArchiveTypeCount; ++type) {
            const bool on = type == kArchiveJar ? c.jar : type == kArchiveIso ? c.iso : true;
            EXPECT_EQ(settings.flags[type], on ? 1 : 0) << kFirstExtensions[type];
        }
        EXPECT_EQ(settings.flags[kFlagDesktopIcon], 0);
        EXPECT_EQ(settings.flags[kFlagStartMenuIcon], 0);
        EXPECT_EQ(settings.flags[kFlagProgramGroup], 1);
        EXPECT_EQ(settings.flags[kFlagShellIntegration], 1);
        EXPECT_EQ(settings.flags[kFlagCascadedMenu], 0);
        EXPECT_EQ(settings.flags[kFlagMenuIcons], 1);
        for (int flag = kFirstReservedFlag; flag < kFlagDesktopIcon; ++flag) {
            EXPECT_EQ(settings.flags[flag], 0xEE) << flag;
        }
        // Loading writes nothing.
        EXPECT_FALSE(HasKey(os::CurrentUser(), "Software\\Velkor"));
    }
}

// Stored numbers: any non-zero number is on; the foreign-owner rule turns JAR
// and ISO off whatever was stored, and no other type.
TEST_F(SettingsTest, StoredNumbers) {
    struct Case {
        int line;
        int flag;
        const char* key;
        const char* value;
        os::Dword stored;
        const char* foreignOwner;  // of the type's first extension
        unsigned char loaded;
    };
    const Case cases[] = {
        {__LINE__, 2, "Setup\\.cab", "Set", 5, nullptr, 1},
        {__LINE__, 2, "Setup\\.cab", "Set", 0, nullptr, 0},
        {__LINE__, 13, "Setup\\.z", "Set", 0xFFFFFFFFu, nullptr, 1},
        {__LINE__, 6, "Setup\\.7z", "Set", 1, "Other7z", 1},
        {__LINE__, kArchiveJar, "Setup\\.jar", "Set", 1, "JavaArchive", 0},
        {__LINE__, kArchiveJar, "Setup\\.jar", "Set", 0, nullptr, 0},
        {__LINE__, kArchiveIso, "Setup\\.iso", "Set", 1, "DiscImage", 0},
        {__LINE__, kArchiveIso, "Setup\\.iso", "Set", 0, nullptr, 0},
        {__LINE__, kFlagDesktopIcon, "Setup\\Links", "Desktop", 5, nullptr, 1},
        {__LINE__, kFlagStartMenuIcon, "Setup\\Links", "StartMenu", 1, nullptr, 1},
        {__LINE__, kFlagProgramGroup, "Setup\\Links", "Programs", 0, nullptr, 0},
        {__LINE__, kFlagShellIntegration, "Setup", "ShellExt", 0, nullptr, 0},
        {__LINE__, kFlagCascadedMenu, "Setup", "CascadedMenu", 2, nullptr, 1},
        {__LINE__, kFlagMenuIcons, "Setup", "MenuIcons", 0, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(MachineSetup{});
        PutDword(os::CurrentUser(), std::string("Software\\Velkor\\") + c.key, c.value, c.stored);
        if (c.foreignOwner && c.flag < kArchiveTypeCount) {
            PutString(os::ClassesRoot(), kFirstExtensions[c.flag], "", c.foreignOwner);
        }
        IntegrationSettings settings = Untouched();
        LoadIntegrationSettings(&settings);
        EXPECT_EQ(settings.flags[c.flag], c.loaded);
    }
}

// Saving writes 0 or 1 for every choice but ISO, which the next load takes
// from the default and the foreign-owner rule.
TEST_F(SettingsTest, SaveThenLoad) {
    IntegrationSettings saved = {};
    for (int flag = 0; flag < kSettingsFlagCount; ++flag)
        saved.flags[flag] = (flag * 7 + 3) % 3 == 0;
    saved.flags[kArchiveJar] = 1;
    saved.flags[kArchiveIso] = 0;
    saved.flags[kFlagDesktopIcon] = 7;  // any non-zero byte is stored as 1
    SaveIntegrationSettings(&saved);

    for (int type = 0; type < kArchiveTypeCount; ++type) {
        SCOPED_TRACE(kFirstExtensions[type]);
        std::optional<os::Dword> set = ReadDword(os::CurrentUser(), SetKey(type), "Set");
        if (type == kArchiveIso) {
            EXPECT_EQ(set, std::nullopt);
        } else {
            EXPECT_EQ(set, saved.flags[type] ? 1u : 0u);
        }
    }
    EXPECT_EQ(ReadDword(os::CurrentUser(), "Software\\Velkor\\Setup\\Links", "Desktop"), 1u);

    IntegrationSettings loaded = Untouched();
    LoadIntegrationSettings(&loaded);
    for (int flag = 0; flag < kSettingsFlagCount; ++flag) {
        SCOPED_TRACE(flag);
        if (flag >= kFirstReservedFlag && flag < kFlagDesktopIcon) {
            EXPECT_EQ(loaded.flags[flag], 0xEE);
        } else if (flag == kArchiveIso) {
            EXPECT_EQ(loaded.flags[flag], 1);  // .iso is nobody's
        } else {
            EXPECT_EQ(loaded.flags[flag], saved.flags[flag] ? 1 : 0);
        }
    }

    // With another program on .iso, ISO comes back off.
    PutString(os::ClassesRoot(), ".iso", "", "DiscImage");
    LoadIntegrationSettings(&loaded);
    EXPECT_EQ(loaded.flags[kArchiveIso], 0);
}

// The reserved flags are neither read nor written: saving a record with them
// set stores nothing of them.
TEST_F(SettingsTest, ReservedFlagsAreNotStored) {
    IntegrationSettings zero = {};
    SaveIntegrationSettings(&zero);
    const std::string stored = DumpKey(os::CurrentUser(), "Software\\Velkor");
    UseMachine(MachineSetup{});
    IntegrationSettings reserved = {};
    for (int flag = kFirstReservedFlag; flag < kFlagDesktopIcon; ++flag) reserved.flags[flag] = 1;
    SaveIntegrationSettings(&reserved);
    EXPECT_EQ(DumpKey(os::CurrentUser(), "Software\\Velkor"), stored);
}

}  // namespace
}  // namespace assoc_test
