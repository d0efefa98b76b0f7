// Code pages, text comparison, modules and environment, as Windows answers them.
#include <cstring>

#include "conformance/fixture.h"

namespace conformance {
namespace {

using os::Dword;
using os::Wchar;

class SystemConformance : public ConformanceTest {};

TEST_F(SystemConformance, CodePageInformation) {
    os::CpInfo info{};
    ASSERT_TRUE(os::Sys().GetCPInfo(932, &info));
    EXPECT_EQ(info.maxCharSize, 2u);
    EXPECT_EQ(info.leadByte[0], 0x81);
    EXPECT_EQ(info.leadByte[1], 0x9F);
    EXPECT_EQ(info.leadByte[2], 0xE0);
    EXPECT_EQ(info.leadByte[3], 0xFC);
    EXPECT_EQ(info.leadByte[4], 0);
    ASSERT_TRUE(os::Sys().GetCPInfo(1251, &info));
    EXPECT_EQ(info.maxCharSize, 1u);
    EXPECT_EQ(info.leadByte[0], 0);
    ASSERT_TRUE(os::Sys().GetCPInfo(866, &info));
    EXPECT_EQ(info.maxCharSize, 1u);
}

TEST_F(SystemConformance, ConversionsOfTheCodePages) {
    struct Case {
        int line;
        Dword codePage;
        const char* bytes;
        std::u16string wide;
    };
    const Case cases[] = {
        {__LINE__, 1251, "\xC0\xFF", u"\u0410\u044F"},
        {__LINE__, 866, "\x80\xEF", u"\u0410\u044F"},
        {__LINE__, 1252, "\x80\xE9", u"\u20AC\u00E9"},
        {__LINE__, 932,
         "\x82\xA0"
         "a\xB1",
         u"\u3042a\uFF71"},
        {__LINE__, 932, "\x8B\x5C", u"\u6B3A"},  // a trail byte that is a backslash
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        Wchar wide[16] = {};
        const int length = static_cast<int>(strlen(c.bytes));
        const int n = os::Sys().MultiByteToWideChar(c.codePage, 0, c.bytes, length, wide, 16);
        ASSERT_EQ(n, static_cast<int>(c.wide.size()));
        EXPECT_EQ(std::u16string(wide, wide + n), c.wide);
        EXPECT_EQ(os::Sys().MultiByteToWideChar(c.codePage, 0, c.bytes, length, nullptr, 0), n);
        char back[16] = {};
        os::Bool used = 1;
        const int m = os::Sys().WideCharToMultiByte(c.codePage, 0, wide, n, back, sizeof back,
                                                    nullptr, &used);
        EXPECT_EQ(m, length);
        EXPECT_EQ(std::string(back, m), c.bytes);
        EXPECT_FALSE(used);
    }
}

TEST_F(SystemConformance, UnmappableCharactersUseTheDefault) {
    const Wchar wide[] = {0x4E00, 'a'};
    char out[8] = {};
    os::Bool used = 0;
    EXPECT_EQ(os::Sys().WideCharToMultiByte(1251, 0, wide, 2, out, sizeof out, nullptr, &used), 2);
    EXPECT_STREQ(out, "?a");
    EXPECT_TRUE(used);
}

TEST_F(SystemConformance, ConversionBuffers) {
    Wchar wide[2];
    EXPECT_EQ(os::Sys().MultiByteToWideChar(1251, 0, "abc", -1, wide, 2), 0);
    EXPECT_EQ(os::Sys().GetLastError(), static_cast<Dword>(os::kErrorInsufficientBuffer));
    EXPECT_EQ(os::Sys().MultiByteToWideChar(1251, 0, "abc", -1, nullptr, 0), 4);
}

TEST_F(SystemConformance, IgnoringCaseCompares) {
    const Dword flags = os::kNormIgnoreCase | os::kSortStringSort;
    EXPECT_EQ(os::Sys().CompareStringA(os::kLocaleUserDefault, flags, "Uninstall.lst", -1,
                                       "UNINSTALL.LST", -1),
              2);
    EXPECT_EQ(os::Sys().CompareStringA(os::kLocaleUserDefault, 0, "abc", -1, "abd", -1), 1);
    EXPECT_EQ(os::Sys().CompareStringA(os::kLocaleUserDefault, 0, "abd", -1, "abc", -1), 3);
    EXPECT_EQ(os::Sys().CompareStringA(os::kLocaleUserDefault, 0, "abcdef", 3, "abc", -1), 2);
}

TEST_F(SystemConformance, ModulesAndEnvironment) {
    EXPECT_EQ(os::Sys().LoadLibraryA("vlk-no-such-library.dll"), nullptr);
    EXPECT_EQ(os::Sys().GetLastError(), 126u);
    char path[1024];
    const Dword length = os::Sys().GetModuleFileNameA(nullptr, path, sizeof path);
    ASSERT_GT(length, 3u);
    EXPECT_EQ(strlen(path), length);
    char small[4];
    EXPECT_EQ(os::Sys().GetModuleFileNameA(nullptr, small, sizeof small), sizeof small);
    char value[8];
    EXPECT_EQ(os::Sys().GetEnvironmentVariableA("VLK_NO_SUCH_VARIABLE", value, sizeof value), 0u);
    EXPECT_EQ(os::Sys().GetLastError(), 203u);
    char comspec[1024];
    const Dword n = os::Sys().GetEnvironmentVariableA("ComSpec", comspec, sizeof comspec);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(os::Sys().GetEnvironmentVariableA("COMSPEC", value, 2), n + 1);
}

TEST_F(SystemConformance, VersionOfTheNtFamily) {
    os::VersionInfo info{};
    ASSERT_TRUE(os::Sys().GetVersionExA(&info));
    EXPECT_EQ(info.platformId, machine().NtFamily() ? 2u : 1u);
    EXPECT_GE(info.majorVersion, 4u);
}

}  // namespace
}  // namespace conformance
