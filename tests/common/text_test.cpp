// Trimming, comparing, copying, converting and formatting texts.
#include "common/text.h"

#include <gtest/gtest.h>

#include <string>

#include "common/machine_fixture.h"

namespace {

using core_test::MachineTest;

const os::Wchar* Wide(const std::u16string& text) {
    return reinterpret_cast<const os::Wchar*>(text.c_str());
}

TEST(TrimTrailingBlanks, CutsBlanksAtTheEndOnly) {
    struct Case {
        int line;
        std::string text;
        std::string result;
    };
    const Case cases[] = {
        {__LINE__, "", ""},
        {__LINE__, " \t\r\n ", ""},
        {__LINE__, "  name", "  name"},
        {__LINE__, "name \r\n", "name"},
        {__LINE__, "a b\t", "a b"},
        {__LINE__, "name\x0C", "name\x0C"},  // a form feed is no blank
        {__LINE__, "\tx\t", "\tx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        std::string buffer = c.text;
        EXPECT_EQ(TrimTrailingBlanks(buffer.data()), buffer.data());
        EXPECT_EQ(std::string(buffer.c_str()), c.result);
    }
}

TEST(CopyText, CopiesWholeOrNothing) {
    char buffer[6] = "xxxxx";
    EXPECT_TRUE(CopyText(buffer, sizeof buffer, "abcde"));
    EXPECT_STREQ(buffer, "abcde");
    EXPECT_FALSE(CopyText(buffer, sizeof buffer, "abcdef"));
    EXPECT_STREQ(buffer, "");
    EXPECT_TRUE(CopyText(buffer, sizeof buffer, ""));
    EXPECT_FALSE(CopyText(buffer, 0, "a"));
}

TEST(CopyWide, CopiesWholeOrNothing) {
    const std::u16string text = u"C:\\\u0444\u0430\u0439\u043B";
    os::Wchar buffer[7] = {1, 1, 1, 1, 1, 1, 1};
    EXPECT_FALSE(CopyWide(buffer, 7, Wide(text)));  // 8 code units with the terminator
    EXPECT_EQ(buffer[0], 0);
    os::Wchar fits[8];
    EXPECT_TRUE(CopyWide(fits, 8, Wide(text)));
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(fits)), text);
    EXPECT_EQ(WideLength(fits), text.size());
}

TEST(FormatInto, FormatsWholeOrGivesNull) {
    char buffer[8];
    EXPECT_EQ(FormatInto(buffer, sizeof buffer, "%s\\%d", "ab", 1234), buffer);
    EXPECT_STREQ(buffer, "ab\\1234");
    // One character more than the buffer holds: never a cut text.
    EXPECT_EQ(FormatInto(buffer, sizeof buffer, "%s\\%d", "abc", 1234), nullptr);
    EXPECT_STREQ(buffer, "");
}

class TextTest : public MachineTest {};

TEST_F(TextTest, CompareNoCase) {
    struct Case {
        int line;
        const char* a;
        const char* b;
        int result;
    };
    const Case cases[] = {
        {__LINE__, "Uninstall.lst", "UNINSTALL.LST", 0},
        {__LINE__, "", "", 0},
        {__LINE__, "a", "b", -1},
        {__LINE__, "B", "a", 1},
        {__LINE__, "abc", "ab", 1},
        {__LINE__, "\xCF\xF0\xE8\xE2\xE5\xF2", "\xEF\xD0\xC8\xC2\xC5\xD2", 0},  // Привет / пРИВЕТ
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(CompareNoCase(c.a, c.b), c.result);
    }
}

TEST_F(TextTest, WideToAnsiConvertsInTheAnsiCodePage) {
    const std::u16string text = u"C:\\\u0424\u0430\u0439\u043B";  // C:\Файл
    char buffer[8];
    ASSERT_TRUE(WideToAnsi(Wide(text), buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "C:\\\xD4\xE0\xE9\xEB");
    char small[7] = "xxxxxx";  // the text needs 8 bytes with its terminator
    EXPECT_FALSE(WideToAnsi(Wide(text), small, sizeof small));
    EXPECT_STREQ(small, "");
}

}  // namespace
