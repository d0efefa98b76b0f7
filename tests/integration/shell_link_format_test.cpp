// The link files of the simulated machine: what is written reads back, what
// Windows writes (an item-ID list, ANSI strings) reads too, and damaged files
// are refused without reading past their end.
#include "platform/sim/shell_link_format.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/text.h"

namespace shell_test {
namespace {

const sim::CodePage& Cp1251Page() { return *sim::CodePage::Find(1251); }

std::string Le16(uint32_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

TEST(ShellLinkFormat, WrittenLinkReadsBack) {
    sim::ShellLinkFile link;
    link.target = sim::Utf8ToUtf16("C:\\Program Files\\Velkor-5\\Справка.hlp");
    link.description = sim::Utf8ToUtf16("Обрабатывает VLK, ZIP и архивы других форматов");
    link.arguments = u"/s";
    link.workingDirectory = u"C:\\Temp";
    link.iconLocation = u"C:\\Program Files\\Velkor-5\\Velkor.exe";
    link.iconIndex = 1;
    link.fileAttributes = 0x20;
    link.fileSize = 1234;
    std::string bytes;
    ASSERT_TRUE(sim::EncodeShellLink(link, Cp1251Page(), &bytes));
    // The header: its size, the link class, no item-ID list; LinkInfo, name,
    // working folder, arguments, icon and Unicode.
    EXPECT_EQ(bytes.substr(0, 4), Le32(0x4C));
    EXPECT_EQ(bytes.substr(4, 16),
              std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16));
    EXPECT_EQ(bytes.substr(20, 4), Le32(0x02 | 0x04 | 0x10 | 0x20 | 0x40 | 0x80));
    EXPECT_EQ(bytes.substr(bytes.size() - 4), Le32(0));

    sim::ShellLinkFile back;
    std::string error;
    ASSERT_TRUE(sim::DecodeShellLink(bytes, Cp1251Page(), &back, &error)) << error;
    EXPECT_EQ(back.target, link.target);
    EXPECT_EQ(back.description, link.description);
    EXPECT_EQ(back.arguments, link.arguments);
    EXPECT_EQ(back.workingDirectory, link.workingDirectory);
    EXPECT_EQ(back.iconLocation, link.iconLocation);
    EXPECT_EQ(back.iconIndex, 1);
    EXPECT_EQ(back.fileAttributes, 0x20u);
    EXPECT_EQ(back.fileSize, 1234u);
    EXPECT_FALSE(back.hasIdList);
    EXPECT_TRUE(back.hasLinkInfo);

    // The LinkInfo's ANSI path is in the code page, for readers that take it.
    EXPECT_NE(bytes.find(Cp1251Page().FromWide(link.target) + std::string(1, '\0')),
              std::string::npos);
}

TEST(ShellLinkFormat, TargetTheCodePageCannotSpellIsRefused) {
    sim::ShellLinkFile link;
    link.target = u"C:\\\u4E2D.txt";
    std::string bytes;
    EXPECT_FALSE(sim::EncodeShellLink(link, Cp1251Page(), &bytes));
}

// A link as another writer may lay it out: an item-ID list, a LinkInfo with
// only the ANSI path split into base and suffix, ANSI strings whose counts
// include their terminators.
TEST(ShellLinkFormat, ReadsItemIdListAnsiLinkInfoAndAnsiStrings) {
    const std::string base = "C:\\Apps\\";
    const std::string suffix = Cp1251Page().FromWide(u"Архив.exe");
    std::string volume = Le32(0x11) + Le32(3) + Le32(0x1234) + Le32(0x10) + std::string(1, '\0');
    const uint32_t pathAt = 0x1C + static_cast<uint32_t>(volume.size());
    const uint32_t suffixAt = pathAt + static_cast<uint32_t>(base.size()) + 1;
    std::string info = Le32(0x1C) + Le32(1) + Le32(0x1C) + Le32(pathAt) + Le32(0) + Le32(suffixAt) +
                       volume + base + std::string(1, '\0') + suffix + std::string(1, '\0');
    info = Le32(static_cast<uint32_t>(info.size() + 4)) + info;
    const std::string description = Cp1251Page().FromWide(u"Описание");
    std::string bytes =
        Le32(0x4C) +
        std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16) +
        Le32(0x01 | 0x02 | 0x04) + std::string(0x4C - 24, '\0');
    bytes += Le16(6) + Le16(4) + "ab" + Le16(0);  // an item-ID list of one item
    bytes += info;
    // The count takes in a terminator, as some writers store it.
    bytes += Le16(static_cast<uint32_t>(description.size() + 1)) + description + '\0';
    bytes += Le32(0);
    sim::ShellLinkFile link;
    std::string error;
    ASSERT_TRUE(sim::DecodeShellLink(bytes, Cp1251Page(), &link, &error)) << error;
    EXPECT_TRUE(link.hasIdList);
    EXPECT_EQ(sim::Utf16ToUtf8(link.target), "C:\\Apps\\Архив.exe");
    EXPECT_EQ(sim::Utf16ToUtf8(link.description), "Описание");
}

TEST(ShellLinkFormat, DamagedFilesAreRefused) {
    sim::ShellLinkFile link;
    link.target = u"C:\\Program Files\\Velkor\\Velkor.exe";
    link.description = u"Velkor";
    std::string bytes;
    ASSERT_TRUE(sim::EncodeShellLink(link, Cp1251Page(), &bytes));
    // Every cut before the string data ends is refused; each cut is its own
    // buffer, so a read past its end shows under the address sanitizer.
    const size_t whole = bytes.size() - 4;  // the terminal block is optional to a reader
    for (size_t size = 0; size < whole; ++size) {
        const std::string cut = bytes.substr(0, size);
        std::string error;
        sim::ShellLinkFile back;
        EXPECT_FALSE(sim::DecodeShellLink(cut, Cp1251Page(), &back, &error)) << "size " << size;
    }
    struct Case {
        int line;
        size_t at;
        std::string bytes;
    };
    const uint32_t infoAt = 0x4C;
    const Case cases[] = {
        {__LINE__, 0, Le32(0x4D)},                // header size
        {__LINE__, 4, std::string(1, '\x02')},    // link class
        {__LINE__, infoAt, Le32(0xFFFFFF)},       // LinkInfo larger than the file
        {__LINE__, infoAt + 4, Le32(0x10)},       // LinkInfo header too small
        {__LINE__, infoAt + 28, Le32(0xFFFFF0)},  // UTF-16 path offset out of the block
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        std::string damaged = bytes;
        damaged.replace(c.at, c.bytes.size(), c.bytes);
        std::string error;
        sim::ShellLinkFile back;
        EXPECT_FALSE(sim::DecodeShellLink(damaged, Cp1251Page(), &back, &error));
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace shell_test
