// Which entries of Uninstall.lst stay inside the program folder, and their
// full names.
#include "uninstall/list_entry.h"

#include <string.h>

#include <string>

#include "common/lead_bytes.h"
#include "uninstall_fixture.h"

namespace uninstall_test {
namespace {

struct EntryCase {
    int line;
    const char* entry;
    bool inside;
};

const EntryCase kEntries[] = {
    {__LINE__, "Velkor.exe", true},
    {__LINE__, "Formats\\Cab.fmt", true},
    {__LINE__, "Formats/Cab.fmt", true},
    {__LINE__, "Formats\\", true},
    {__LINE__, ".\\Vlk.txt", true},
    {__LINE__, " Vlk.txt", true},
    {__LINE__, "a..b\\..c", true},
    {__LINE__, "Formats\\\\Cab.fmt", true},
    // Absolute, drive-relative, root-relative and network paths.
    {__LINE__, "C:\\WINDOWS\\win.ini", false},
    {__LINE__, "c:/WINDOWS/win.ini", false},
    {__LINE__, "C:win.ini", false},
    {__LINE__, "\\WINDOWS\\win.ini", false},
    {__LINE__, "/WINDOWS/win.ini", false},
    {__LINE__, "\\\\server\\share\\file", false},
    {__LINE__, "\\\\?\\C:\\WINDOWS\\win.ini", false},
    {__LINE__, "Vlk.txt:stream", false},
    // The parent folder in every spelling the system reads as it.
    {__LINE__, "..", false},
    {__LINE__, "..\\WinArc\\WinArc.exe", false},
    {__LINE__, "../WinArc/WinArc.exe", false},
    {__LINE__, "Formats\\..\\..\\WinArc\\WinArc.exe", false},
    {__LINE__, "Formats\\..", false},
    {__LINE__, "...\\WinArc.exe", false},
    {__LINE__, ".. \\WinArc.exe", false},
    {__LINE__, " ..\\WinArc.exe", false},
    {__LINE__, ". .\\WinArc.exe", false},
};

class ListEntryTest : public UninstallTest {};

TEST_F(ListEntryTest, EntriesOutsideTheFolderAreRecognised) {
    InProgram([&] {
        for (const EntryCase& c : kEntries) {
            EXPECT_EQ(StaysInsideFolder(c.entry), c.inside)
                << "case at line " << c.line << ": " << c.entry;
        }
    });
}

// Trail bytes of a double-byte code page are no separators: in code page 932
// the bytes 83 5C are one character, so "\x83\x5c.." is one name; in 1251 the
// same bytes are a letter, a separator and "..".
TEST_F(ListEntryTest, DoubleByteNamesAreScannedByCharacter) {
    const struct {
        int line;
        unsigned acp;
        unsigned oemcp;
        bool inside;
    } cases[] = {{__LINE__, 932, 932, true}, {__LINE__, 1251, 866, false}};
    for (const auto& c : cases) {
        UseMachine({"code page", sim::Family::kNt, c.acp, c.oemcp});
        InProgram([&] {
            EXPECT_EQ(StaysInsideFolder("\x83\x5c.."), c.inside) << "case at line " << c.line;
        });
    }
}

TEST_F(ListEntryTest, FullNameIsTheFolderAndTheEntryOrNothing) {
    InProgram([&] {
        char name[1024];
        const char* folder = "C:\\Program Files\\Velkor\\";
        ASSERT_TRUE(ListEntryFullName(name, sizeof name, folder, "Formats\\Cab.fmt"));
        EXPECT_STREQ(name, "C:\\Program Files\\Velkor\\Formats\\Cab.fmt");

        // An entry that reaches outside gives no name at all.
        strcpy(name, "stale");
        EXPECT_FALSE(ListEntryFullName(name, sizeof name, folder, "..\\WinArc\\WinArc.exe"));
        EXPECT_STREQ(name, "");

        // A name of 1024 bytes with its terminator does not fit: it is never
        // cut to a shorter name.
        const std::string entry(1024 - strlen(folder) - 1, 'a');
        ASSERT_TRUE(ListEntryFullName(name, sizeof name, folder, entry.c_str()));
        EXPECT_EQ(strlen(name), 1023u);
        EXPECT_FALSE(ListEntryFullName(name, sizeof name, folder, (entry + "b").c_str()));
        EXPECT_STREQ(name, "");
    });
}

}  // namespace
}  // namespace uninstall_test
