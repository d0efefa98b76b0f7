// The free bytes of a drive ([disk] in machine.ini): writes that do not fit
// fail with 112 and write nothing, deletions give the room back, and bad
// settings are rejected with the line.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "platform/sim/machine.h"
#include "support/sim_machine.h"

namespace sim {
namespace {

constexpr os::Dword kDiskFull = 112;

TEST(DiskConfig, ParsesAndRejectsWithTheLine) {
    const std::string program = "[program]\npath=C:\\a.exe\n";
    MachineConfig c;
    std::string error;
    ASSERT_TRUE(MachineConfig::Parse(program + "[disk]\nc=100\nD:=0\n", &c, &error)) << error;
    ASSERT_NE(c.FreeBytes('C'), nullptr);
    EXPECT_EQ(*c.FreeBytes('c'), 100u);
    EXPECT_EQ(*c.FreeBytes('D'), 0u);
    EXPECT_EQ(c.FreeBytes('E'), nullptr);
    MachineConfig again;
    ASSERT_TRUE(MachineConfig::Parse(c.Format(), &again, &error)) << error;
    EXPECT_EQ(again.Format(), c.Format());

    const struct {
        int line;
        std::string text;
        std::string problem;
    } cases[] = {
        {__LINE__, program + "[disk]\nC=-1\n", "line 4: the free bytes of drive C:"},
        {__LINE__, program + "[disk]\nC=\n", "line 4: the free bytes"},
        {__LINE__, program + "[disk]\nC=12kb\n", "line 4: the free bytes"},
        {__LINE__, program + "[disk]\nC=1234567890123456789\n", "at most 18 digits"},
        {__LINE__, program + "[disk]\nCD=5\n", "line 4: a [disk] entry is a drive letter"},
        {__LINE__, program + "[disk]\n1=5\n", "line 4: a [disk] entry is a drive letter"},
        {__LINE__, program + "[disk]\nC=5\nc:=6\n", "line 5: drive C: is in [disk] twice"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << k.line);
        EXPECT_FALSE(MachineConfig::Parse(k.text, &c, &error));
        EXPECT_NE(error.find(k.problem), std::string::npos) << error;
    }
}

class DiskTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m->Install();
        m->Config().diskFree.push_back({'C', 10});
    }
    os::FileHandle Create(const char* path, os::Dword creation = os::kCreateAlways) {
        return os::Fs().CreateFileA(path, os::kGenericWrite, 0, creation, os::kFileAttributeNormal);
    }
    uint64_t Free() { return *m->Config().FreeBytes('C'); }
    FreshMachine m;
};

TEST_F(DiskTest, WriteThatDoesNotFitWritesNothing) {
    os::FileHandle file = Create("C:\\a.bin");
    ASSERT_NE(file, os::InvalidFileHandle());
    os::Dword written = 99;
    ASSERT_TRUE(os::Fs().WriteFile(file, "123456", 6, &written));
    EXPECT_EQ(written, 6u);
    EXPECT_EQ(Free(), 4u);
    EXPECT_FALSE(os::Fs().WriteFile(file, "abcdef", 6, &written));
    EXPECT_EQ(os::Sys().GetLastError(), kDiskFull);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(Free(), 4u);
    // What fits is still written; rewriting bytes the file has takes no room.
    os::Fs().SetFilePointer(file, 0, nullptr, os::kFileBegin);
    EXPECT_TRUE(os::Fs().WriteFile(file, "ABCDEFGHIJ", 10, &written));
    EXPECT_EQ(Free(), 0u);
    ASSERT_TRUE(os::Fs().CloseHandle(file));
    EXPECT_EQ(m.ReadFile("C:\\a.bin"), "ABCDEFGHIJ");
}

TEST_F(DiskTest, DeletingAndTruncatingGiveTheRoomBack) {
    m->Files().WriteAll("C:\\a.bin", "12345678");
    EXPECT_EQ(Free(), 2u);
    os::FileHandle file = Create("C:\\a.bin");  // truncates
    ASSERT_NE(file, os::InvalidFileHandle());
    EXPECT_EQ(Free(), 10u);
    os::Dword written = 0;
    EXPECT_TRUE(os::Fs().WriteFile(file, "1234567890", 10, &written));
    ASSERT_TRUE(os::Fs().CloseHandle(file));
    EXPECT_EQ(Free(), 0u);
    EXPECT_TRUE(os::Fs().DeleteFileA("C:\\a.bin"));
    EXPECT_EQ(Free(), 10u);
}

TEST_F(DiskTest, MoveOntoAFullDriveFails) {
    m.MakeFolder("D:\\");
    m->Config().diskFree.push_back({'D', 3});
    m->Files().WriteAll("C:\\a.bin", "12345");
    EXPECT_FALSE(os::Fs().MoveFileA("C:\\a.bin", "D:\\a.bin"));
    EXPECT_EQ(os::Sys().GetLastError(), kDiskFull);
    EXPECT_TRUE(m.Exists("C:\\a.bin"));
    EXPECT_FALSE(m.Exists("D:\\a.bin"));
    m->Config().diskFree.back().second = 5;
    EXPECT_TRUE(os::Fs().MoveFileA("C:\\a.bin", "D:\\a.bin"));
    EXPECT_EQ(*m->Config().FreeBytes('D'), 0u);
    EXPECT_EQ(Free(), 10u);
}

// The free bytes left are saved with the machine and hold for the next run.
TEST_F(DiskTest, FreeBytesLastAcrossRuns) {
    m->Files().WriteAll("C:\\a.bin", "1234");
    m.Reload();
    ASSERT_NE(m->Config().FreeBytes('C'), nullptr);
    EXPECT_EQ(Free(), 6u);
}

}  // namespace
}  // namespace sim
