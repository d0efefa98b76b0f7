// Path helpers, on a single-byte and on a double-byte ANSI code page.
#include "common/path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/lead_bytes.h"
#include "common/machine_fixture.h"

namespace {

using core_test::CodePage;
using core_test::MachineTest;

// 0x95 0x5C is one character in code page 932: its trail byte is "\".
const char kKanjiWithBackslash[] = "\x95\x5C";

// A path and what a helper makes of it, with the ANSI code page of the
// machine it runs on.
struct PathCase {
    int line;
    unsigned acp;
    std::string path;
    std::string result;
};

class PathTest : public MachineTest {
  protected:
    // Runs `check` on every case, each on a machine with the case's code page
    // (a new machine only when the code page changes), naming the case's line.
    template <typename Check>
    void ForEachCase(const std::vector<PathCase>& cases, Check check) {
        unsigned current = 0;
        for (const PathCase& c : cases) {
            SCOPED_TRACE(testing::Message() << "case at line " << c.line);
            if (c.acp != current) {
                UseMachine(CodePage(c.acp));
                current = c.acp;
            }
            check(c);
        }
    }
};

TEST_F(PathTest, NameInPath) {
    const std::string kanji = kKanjiWithBackslash;
    ForEachCase(
        {
            {__LINE__, 1251, "C:\\dir\\file.txt", "file.txt"},
            {__LINE__, 1251, "dir/file", "file"},
            {__LINE__, 1251, "C:file", "file"},
            {__LINE__, 1251, "file", "file"},
            {__LINE__, 1251, "dir\\", ""},
            {__LINE__, 1251, "", ""},
            {__LINE__, 1251, "C:", ""},
            {__LINE__, 1251, "a/b\\c", "c"},
            {__LINE__, 1251, "\\\\server\\share", "share"},
            // On a single-byte code page 0x5C is always a separator.
            {__LINE__, 1251, "dir\\" + kanji, ""},
            {__LINE__, 932, "C:\\dir\\file.txt", "file.txt"},
            {__LINE__, 932, "C:file", "file"},
            {__LINE__, 932, "dir\\" + kanji, kanji},
            {__LINE__, 932, "dir\\" + kanji + "x", kanji + "x"},
            {__LINE__, 932, kanji + "name", kanji + "name"},
            {__LINE__, 932, "C:\\" + kanji + "\\" + kanji, kanji},
            {__LINE__, 932, "dir\\" + kanji + "\\", ""},
            // A lead byte whose trail byte is ":" is no drive letter.
            {__LINE__, 932, "\x95:name", "\x95:name"},
            // A lead byte right before the terminator ends the walk there.
            {__LINE__, 932, "dir\\\x95", "\x95"},
        },
        [](const PathCase& c) {
            const char* name = NameInPath(c.path.c_str());
            EXPECT_EQ(std::string(name), c.result);
            EXPECT_EQ(name, c.path.c_str() + (c.path.size() - c.result.size()));
        });
}

TEST_F(PathTest, AppendBackslash) {
    const std::string kanji = kKanjiWithBackslash;
    ForEachCase(
        {
            {__LINE__, 1251, "C:\\", "C:\\"},
            {__LINE__, 1251, "", ""},
            {__LINE__, 1251, "C:\\dir", "C:\\dir\\"},
            {__LINE__, 1251, "C:\\dir/", "C:\\dir/\\"},
            {__LINE__, 1251, "C:", "C:\\"},
            {__LINE__, 1251, "dir\\" + kanji, "dir\\" + kanji},
            {__LINE__, 932, "C:\\" + kanji, "C:\\" + kanji + "\\"},
            {__LINE__, 932, "C:\\" + kanji + "\\", "C:\\" + kanji + "\\"},
            {__LINE__, 932, "C:\\dir", "C:\\dir\\"},
        },
        [](const PathCase& c) {
            char buffer[64];
            snprintf(buffer, sizeof buffer, "%s", c.path.c_str());
            EXPECT_TRUE(AppendBackslash(buffer, sizeof buffer));
            EXPECT_EQ(std::string(buffer), c.result);
        });
}

TEST_F(PathTest, AppendBackslashWithoutRoomLeavesThePath) {
    char exact[8] = "C:\\dir";  // 6 characters: room for one more
    EXPECT_TRUE(AppendBackslash(exact, sizeof exact));
    EXPECT_STREQ(exact, "C:\\dir\\");
    char full[7] = "C:\\dir";  // no room left
    EXPECT_FALSE(AppendBackslash(full, sizeof full));
    EXPECT_STREQ(full, "C:\\dir");
    char ends[4] = "C:\\";  // already ends in "\": nothing to add
    EXPECT_TRUE(AppendBackslash(ends, sizeof ends));
    EXPECT_STREQ(ends, "C:\\");
}

TEST_F(PathTest, LastCharOf) {
    UseMachine(CodePage(932));
    const std::string kanji = kKanjiWithBackslash;
    struct Case {
        int line;
        std::string text;
        size_t offset;
    };
    const Case cases[] = {
        {__LINE__, "", 0},          {__LINE__, "a", 0},   {__LINE__, "abc", 2},
        {__LINE__, "a" + kanji, 1}, {__LINE__, kanji, 0}, {__LINE__, kanji + "b", 2},
        {__LINE__, "a\x95", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(LastCharOf(c.text.c_str()) - c.text.c_str(), static_cast<ptrdiff_t>(c.offset));
    }
}

TEST_F(PathTest, CutNameFromPath) {
    const std::string kanji = kKanjiWithBackslash;
    ForEachCase(
        {
            {__LINE__, 1251, "C:\\dir\\name", "C:\\dir"},
            {__LINE__, 1251, "C:\\name", "C:\\"},
            {__LINE__, 1251, "C:name", "C:"},
            {__LINE__, 1251, "\\name", "\\"},
            {__LINE__, 1251, "name", ""},
            {__LINE__, 1251, "dir\\name", "dir"},
            {__LINE__, 1251, "C:\\dir\\", "C:\\dir"},
            {__LINE__, 1251, "C:/dir/name", "C:/dir"},
            {__LINE__, 1251, "C:\\", "C:\\"},
            {__LINE__, 1251, "", ""},
            {__LINE__, 932, "C:\\" + kanji + "\\name", "C:\\" + kanji},
            {__LINE__, 932, "C:\\dir\\" + kanji, "C:\\dir"},
        },
        [](const PathCase& c) {
            std::string buffer = c.path;
            CutNameFromPath(buffer.data());
            EXPECT_EQ(std::string(buffer.c_str()), c.result);
        });
}

TEST_F(PathTest, LeadByteTableFollowsTheCodePage) {
    struct Case {
        int line;
        unsigned acp;
        bool multiByte;
        unsigned char lead;     // a lead byte of the code page (0: none)
        unsigned char notLead;  // a byte that is none
    };
    const Case cases[] = {
        {__LINE__, 1251, false, 0, 0x95},
        {__LINE__, 1252, false, 0, 0x81},
        {__LINE__, 932, true, 0x95, 0x5C},
        {__LINE__, 932, true, 0x81, 0xA1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(CodePage(c.acp));
        const LeadByteTable& table = LeadBytes();
        EXPECT_EQ(table.multiByte != 0, c.multiByte);
        if (c.lead) {
            EXPECT_EQ(table.leadByte[c.lead], 1);
        }
        EXPECT_EQ(table.leadByte[c.notLead], 0);
        int leads = 0;
        for (unsigned char flag : table.leadByte) leads += flag;
        EXPECT_EQ(leads > 0, c.multiByte);
    }
}

}  // namespace
