// The volume extensions .v00 on that go with the VLK type.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "integration/assoc_fixture.h"
#include "integration/associations.h"
#include "integration/reg_dump.h"
#include "platform/platform.h"

namespace assoc_test {
namespace {

os::Key Hkcr() { return os::ClassesRoot(); }

std::string Volume(int n) {
    char name[16];
    std::snprintf(name, sizeof name, ".v%02d", n);
    return name;
}

using VolumeExtensionTest = MachineTest;

// Take-over binds 30 volume extensions on the NT family and 100 on the older
// platforms, each to "Velkor" without a "Content Type"; the rest stay as they are.
TEST_F(VolumeExtensionTest, TakeOverBindsByFamily) {
    struct Case {
        int line;
        MachineSetup system;
        int bound;
    };
    const Case cases[] = {
        {__LINE__, {true, 5, 0}, 30},
        {__LINE__, {true, 10, 0}, 30},
        {__LINE__, {false, 4, 10}, 100},
        {__LINE__, {false, 4, 90}, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(c.system);
        for (int n = 0; n < 100; ++n) {
            PutString(Hkcr(), Volume(n), "", "Foreign");
            PutString(Hkcr(), Volume(n), "Content Type", "application/x-foreign");
        }
        SetExtensionAssociation(".vlk", true, false, false, true);
        for (int n = 0; n < 100; ++n) {
            SCOPED_TRACE(Volume(n));
            const bool bound = n < c.bound;
            EXPECT_EQ(ReadString(Hkcr(), Volume(n), ""), bound ? "Velkor" : "Foreign");
            EXPECT_EQ(ReadString(Hkcr(), Volume(n), "Content Type").has_value(), !bound);
            // Volume extensions have no backup of their own.
            EXPECT_FALSE(HasKey(os::CurrentUser(), "Software\\Velkor\\Setup\\" + Volume(n)));
        }
    }
}

// Give-back looks at all 100 on every system: those Velkor owns go to the
// previous owner of .vlk, or away when .vlk had none; another program's
// volume extension is left alone.
TEST_F(VolumeExtensionTest, GiveBackHandlesAllHundredThatVelkorOwns) {
    struct Case {
        int line;
        MachineSetup system;
        const char* previousClass;  // null: .vlk had no key
        const char* previousContent;
    };
    const Case cases[] = {
        {__LINE__, {true, 5, 1}, "OtherArc", "application/x-other"},
        {__LINE__, {true, 5, 1}, "OtherArc", nullptr},
        {__LINE__, {true, 5, 1}, nullptr, nullptr},
        {__LINE__, {true, 5, 1}, "", nullptr},
        {__LINE__, {false, 4, 10}, "OtherArc", "application/x-other"},
        {__LINE__, {false, 4, 10}, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(c.system);
        if (c.previousClass) PutString(Hkcr(), ".vlk", "", c.previousClass);
        if (c.previousContent) PutString(Hkcr(), ".vlk", "Content Type", c.previousContent);
        SetExtensionAssociation(".vlk", true, false, false, true);
        // What an older-platform take-over leaves beyond .v29, and another
        // program's extension among them.
        for (int n = 30; n < 100; ++n) PutString(Hkcr(), Volume(n), "", "velkor");
        PutString(Hkcr(), Volume(50), "", "Foreign");
        PutString(Hkcr(), Volume(50), "Content Type", "application/x-foreign");
        const std::string foreign = DumpKey(Hkcr(), Volume(50));

        SetExtensionAssociation(".vlk", false, false, false, true);
        const bool restored = c.previousClass != nullptr && c.previousClass[0] != '\0';
        for (int n = 0; n < 100; ++n) {
            SCOPED_TRACE(Volume(n));
            if (n == 50) {
                EXPECT_EQ(DumpKey(Hkcr(), Volume(n)), foreign);
            } else if (restored) {
                EXPECT_EQ(ReadString(Hkcr(), Volume(n), ""), c.previousClass);
                EXPECT_EQ(ReadString(Hkcr(), Volume(n), "Content Type").value_or("<none>"),
                          c.previousContent ? c.previousContent : "<none>");
            } else {
                EXPECT_FALSE(HasKey(Hkcr(), Volume(n)));
            }
        }
    }
}

// Only the VLK row carries volume extensions.
TEST_F(VolumeExtensionTest, OtherRowsLeaveThemAlone) {
    SetExtensionAssociation(".zip", true, true, true, false);
    SetExtensionAssociation(".cab", true, true, false, false);
    EXPECT_FALSE(HasKey(Hkcr(), Volume(0)));
    PutString(Hkcr(), Volume(0), "", "Velkor");
    SetExtensionAssociation(".zip", false, true, true, false);
    SetExtensionAssociation(".cab", false, true, false, false);
    EXPECT_EQ(ReadString(Hkcr(), Volume(0), ""), "Velkor");
}

}  // namespace
}  // namespace assoc_test
