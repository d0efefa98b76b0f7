// Code pages and case folding of the simulated machine.
#include "platform/sim/text.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

TEST(CodePages, DecodeAndEncodeAsWindows) {
    struct Case {
        int line;
        unsigned page;
        std::string bytes;
        std::u16string wide;
    };
    const Case cases[] = {
        {__LINE__, 1251, "\xC0\xE0\xA8\xB8", u"\u0410\u0430\u0401\u0451"},
        {__LINE__, 1251, "\x98", u"\u0098"},  // a position the table leaves undefined
        {__LINE__, 866, "\x80\xA0\xF0", u"\u0410\u0430\u0401"},
        {__LINE__, 1252, "\x80\x81\xE9", u"\u20AC\u0081\u00E9"},
        {__LINE__, 437, "\x80\xE1", u"\u00C7\u00DF"},
        {__LINE__, 850, "\x80\x9B", u"\u00C7\u00F8"},
        {__LINE__, 932,
         "\x82\xA0\xB1"
         "A\x5C",
         u"\u3042\uFF71A\\"},
        {__LINE__, 932, "\x81\x5C", u"\u2015"},
        {__LINE__, 65001, "\xD0\x90\xE3\x81\x82", u"\u0410\u3042"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        const CodePage* page = CodePage::Find(c.page);
        ASSERT_NE(page, nullptr);
        bool invalid = true;
        EXPECT_EQ(page->ToWide(c.bytes, &invalid), c.wide);
        EXPECT_FALSE(invalid);
        bool used = true;
        EXPECT_EQ(page->FromWide(c.wide, nullptr, &used), c.bytes);
        EXPECT_FALSE(used);
    }
}

TEST(CodePages, LeadBytesOf932) {
    const CodePage* page = CodePage::Find(932);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->MaxCharSize(), 2u);
    for (unsigned b = 0; b < 256; ++b) {
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        EXPECT_EQ(page->IsLeadByte(static_cast<unsigned char>(b)), lead) << b;
    }
    EXPECT_FALSE(CodePage::Find(1251)->IsLeadByte(0x81));
    EXPECT_EQ(CodePage::Find(1251)->MaxCharSize(), 1u);
}

TEST(CodePages, BadInputAndUnmappableCharacters) {
    const CodePage* page = CodePage::Find(932);
    bool invalid = false;
    EXPECT_EQ(page->ToWide("\x82", &invalid), u"\u30FB");  // a lead byte at the end
    EXPECT_TRUE(invalid);
    bool used = false;
    EXPECT_EQ(CodePage::Find(1251)->FromWide(u"\u4E00x", nullptr, &used), "?x");
    EXPECT_TRUE(used);
    EXPECT_EQ(CodePage::Find(1251)->FromWide(u"\u4E00", "#", &used), "#");
    EXPECT_EQ(CodePage::Find(99999), nullptr);
}

TEST(Text, UpcaseAsWindowsNames) {
    EXPECT_EQ(Upcase(u"program files"), u"PROGRAM FILES");
    EXPECT_EQ(Upcase(u"\u0430\u0451\u00E9"), u"\u0410\u0401\u00C9");
    EXPECT_TRUE(EqualNoCaseUtf8("Удаление", "УДАЛЕНИЕ"));
    EXPECT_FALSE(EqualNoCaseUtf8("a", "b"));
}

TEST(Text, Utf8RoundTripAndQuoting) {
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("Velkor — \xF0\x9F\x98\x80")), "Velkor — \xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToUtf16("\xFF"), u"\uFFFD");
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));
    EXPECT_EQ(Quote("C:\\a \"b\"\n"), "\"C:\\a \\\"b\\\"\\n\"");
}

}  // namespace
}  // namespace sim
