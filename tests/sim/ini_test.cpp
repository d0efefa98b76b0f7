// Ini files: the machine's own and the profile files of WritePrivateProfileStringA.
#include "platform/sim/ini.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

bool Same(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (tolower(static_cast<unsigned char>(a[i])) != tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

TEST(EditProfile, SetsReplacesAndDeletes) {
    struct Case {
        int line;
        std::string before;
        const char* section;
        const char* key;
        const char* value;
        std::string after;
    };
    const Case cases[] = {
        {__LINE__, "", "Rename", "NUL", "C:\\X.DLL", "[Rename]\r\nNUL=C:\\X.DLL\r\n"},
        // An existing key's value is replaced, in any case of the names.
        {__LINE__, "[rename]\r\nnul=C:\\A\r\n", "Rename", "NUL", "C:\\B",
         "[rename]\r\nnul=C:\\B\r\n"},
        // A new key goes after the section's last entry.
        {__LINE__, "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n", "a", "z", "3",
         "[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\n"},
        // A new section goes at the end, after a blank line.
        {__LINE__, "[a]\r\nx=1", "b", "y", "2", "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n"},
        // Deleting a key, then a section.
        {__LINE__, "[a]\r\nx=1\r\ny=2\r\n", "a", "x", nullptr, "[a]\r\ny=2\r\n"},
        {__LINE__, "[a]\r\nx=1\r\n[b]\r\ny=2\r\n", "a", nullptr, nullptr, "[b]\r\ny=2\r\n"},
        {__LINE__, "[a]\r\nx=1\r\n", "c", "x", nullptr, "[a]\r\nx=1\r\n"},
        // Lines it does not touch stay as they were (comments, LF line ends).
        {__LINE__, "; note\n[a]\nx = 1\n", "A", "X", "2", "; note\n[a]\nx=2\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(EditProfile(c.before, c.section, c.key, c.value, Same), c.after);
    }
}

TEST(ParseIni, StrictParsingNamesTheBadLine) {
    std::vector<IniSection> sections;
    std::string error;
    EXPECT_TRUE(ParseIni("; c\n[s]\nk = v \n\n# c\n[t]\n", true, &sections, &error));
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].name, "s");
    ASSERT_EQ(sections[0].entries.size(), 1u);
    EXPECT_EQ(sections[0].entries[0].key, "k");
    EXPECT_EQ(sections[0].entries[0].value, "v");
    EXPECT_EQ(sections[0].entries[0].line, 3);
    EXPECT_FALSE(ParseIni("[s]\nk=v\njunk\n", true, &sections, &error));
    EXPECT_NE(error.find("line 3"), std::string::npos) << error;
    EXPECT_TRUE(ParseIni("[s]\njunk\nk=v\n", false, &sections, &error));
    EXPECT_EQ(sections[0].entries.size(), 1u);
}

}  // namespace
}  // namespace sim
