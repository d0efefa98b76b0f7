// Splitting the extension lists and applying a whole settings record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "integration/archive_types.h"
#include "integration/assoc_fixture.h"
#include "integration/associations.h"
#include "integration/reg_dump.h"
#include "platform/platform.h"

namespace assoc_test {
namespace {

std::vector<std::string> Split(const char* list, size_t size) {
    std::vector<std::string> out;
    std::vector<char> extension(size + 1, '#');
    for (const char* rest = list;
         (rest = NextExtension(rest, extension.data(), size)) != nullptr;) {
        EXPECT_EQ(extension[size], '#') << "wrote past the buffer";
        out.emplace_back(extension.data());
    }
    return out;
}

TEST(ExtensionList, Splitting) {
    struct Case {
        int line;
        const char* list;
        size_t size;
        std::vector<std::string> extensions;
    };
    const Case cases[] = {
        {__LINE__, ".vlk", 64, {".vlk"}},
        {__LINE__, ".lzh.lha", 64, {".lzh", ".lha"}},
        {__LINE__, ".uue.xxe.uu", 64, {".uue", ".xxe", ".uu"}},
        {__LINE__, ".bz2.tbz2.bz.tbz", 64, {".bz2", ".tbz2", ".bz", ".tbz"}},
        {__LINE__, ".z.taz", 64, {".z", ".taz"}},
        {__LINE__, "", 64, {}},
        // Exactly fitting, and one too long: a cut-off extension is never handed out.
        {__LINE__, ".bz2.tbz2.bz", 5, {".bz2", ".bz"}},
        {__LINE__, ".bz2.tbz2.bz", 6, {".bz2", ".tbz2", ".bz"}},
        {__LINE__, ".tbz2", 5, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(Split(c.list, c.size), c.extensions);
    }
}

using ApplyAssociationsTest = MachineTest;

// One type's flag on takes over exactly that type's extensions, with its class.
TEST_F(ApplyAssociationsTest, EachRowTakesOverItsOwnExtensions) {
    struct Case {
        int line;
        int row;
        std::vector<std::string> extensions;
        const char* handlerClass;
    };
    const Case cases[] = {
        {__LINE__, 0, {".vlk"}, "Velkor"},
        {__LINE__, 1, {".zip"}, "Velkor.ZIP"},
        {__LINE__, 4, {".lzh", ".lha"}, "Velkor"},
        {__LINE__, 8, {".gz", ".tgz"}, "Velkor"},
        {__LINE__, 9, {".uue", ".xxe", ".uu"}, "Velkor"},
        {__LINE__, 10, {".bz2", ".tbz2", ".bz", ".tbz"}, "Velkor"},
        {__LINE__, 13, {".z", ".taz"}, "Velkor"},
    };
    const std::vector<std::string> all = {
        ".vlk", ".zip", ".cab", ".arj", ".lzh",  ".lha", ".ace", ".7z",  ".tar", ".gz", ".tgz",
        ".uue", ".xxe", ".uu",  ".bz2", ".tbz2", ".bz",  ".tbz", ".jar", ".iso", ".z",  ".taz"};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(MachineSetup{});
        IntegrationSettings settings = {};
        settings.flags[c.row] = 1;
        ApplyAssociations(&settings);
        for (const std::string& extension : all) {
            SCOPED_TRACE(extension);
            bool inRow = false;
            for (const std::string& e : c.extensions) inRow = inRow || e == extension;
            EXPECT_EQ(HasKey(os::ClassesRoot(), extension), inRow);
            if (inRow) {
                EXPECT_EQ(ReadString(os::ClassesRoot(), extension, ""), c.handlerClass);
            }
        }
        EXPECT_EQ(HasKey(os::ClassesRoot(), ".v00"), c.row == 0);
        // Shell integration off in this record: no New-menu entry.
        EXPECT_FALSE(HasKey(os::ClassesRoot(), ".zip\\ShellNew"));
    }
}

// A record with every flag on and then one with every flag off gives every
// extension back: the machine's classes end as they began.
TEST_F(ApplyAssociationsTest, AllOnThenAllOffRestoresEverything) {
    PutString(os::ClassesRoot(), ".zip", "", "OtherZip");
    PutString(os::ClassesRoot(), ".zip", "Content Type", "application/zip");
    PutString(os::ClassesRoot(), ".zip\\ShellNew", "FileName", "other.zip");
    PutString(os::ClassesRoot(), ".jar", "", "JavaArchive");
    PutString(os::ClassesRoot(), ".iso", "", "DiscImage");
    PutString(os::ClassesRoot(), ".tgz", "", "OtherTgz");
    const std::string before = DumpKey(os::ClassesRoot(), "");

    IntegrationSettings settings = {};
    for (int row = 0; row < kArchiveTypeCount; ++row) settings.flags[row] = 1;
    settings.flags[kFlagShellIntegration] = 1;
    ApplyAssociations(&settings);
    EXPECT_EQ(ReadString(os::ClassesRoot(), ".tgz", ""), "Velkor");
    EXPECT_EQ(ReadString(os::ClassesRoot(), ".zip", ""), "Velkor.ZIP");

    IntegrationSettings off = {};
    ApplyAssociations(&off);
    EXPECT_EQ(DumpKey(os::ClassesRoot(), ""), before);
}

}  // namespace
}  // namespace assoc_test
