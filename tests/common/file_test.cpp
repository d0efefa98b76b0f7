// The file object: opening, the open-file table, positioning, closing,
// deleting and the read-error policy.
#include "common/file.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/forwarding_platform.h"
#include "common/machine_fixture.h"
#include "common/open_file_table.h"
#include "common/save_file_pos.h"

namespace {

using core_test::MachineTest;

const os::Wchar* Wide(const std::u16string& text) {
    return reinterpret_cast<const os::Wchar*>(text.c_str());
}

// Bytes that tell their position: byte i is 'A' + i % 26.
std::string Numbered(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('A' + i % 26);
    return bytes;
}

class FileTest : public MachineTest {
  protected:
    void SetUp() override {
        MachineTest::SetUp();
        PutWorkFiles();
    }
    void PutWorkFiles() {
        ASSERT_EQ(machine().Files().CreateDirectory("C:\\Work"), 0);
        ASSERT_EQ(machine().Files().WriteAll("C:\\Work\\data.bin", Numbered(100)), 0);
        ASSERT_EQ(machine().Files().WriteAll("C:\\Work\\big.bin", Numbered(30000)), 0);
    }
    bool Exists(const std::string& path) {
        std::string bytes;
        return machine().Files().ReadAll(path, &bytes) == 0;
    }
};

TEST_F(FileTest, OpenTellsWhyItFailed) {
    machine().Config().busy.push_back({"C:\\Work\\data.bin", "locked"});
    struct Case {
        int line;
        std::string name;
        bool opened;
        int errorState;
    };
    const Case cases[] = {
        {__LINE__, "C:\\Work\\big.bin", true, File::kErrorNone},
        {__LINE__, "C:\\Work\\missing.txt", false, File::kErrorNotFound},
        {__LINE__, "C:\\Work\\data.bin", false, File::kErrorNone},      // locked by another process
        {__LINE__, "C:\\NoFolder\\file.txt", false, File::kErrorNone},  // path not found (3)
        {__LINE__, "C:\\Work", false, File::kErrorNone},                // a folder
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        File file;
        EXPECT_EQ(file.Open(c.name.c_str(), nullptr, false, false), c.opened);
        EXPECT_EQ(file.ErrorState(), c.errorState);
        EXPECT_EQ(file.IsOpen(), c.opened);
        EXPECT_EQ(OpenFiles().Contains(&file), c.opened);
        EXPECT_STREQ(file.Name(), c.opened ? c.name.c_str() : "");
    }
}

TEST_F(FileTest, OpenAsksForReadingSharedWithReaders) {
    struct Case {
        int line;
        bool update, shareArgument, shareMember, randomAccess;
        const char* expected;  // what CreateFileA is given
    };
    const Case cases[] = {
        {__LINE__, false, false, false, false,
         "access=0x80000000 share=0x1 creation=3 flags=0x8000000"},
        {__LINE__, true, false, false, false,
         "access=0xc0000000 share=0x1 creation=3 flags=0x8000000"},
        {__LINE__, false, true, false, false,
         "access=0x80000000 share=0x3 creation=3 flags=0x8000000"},
        {__LINE__, false, false, true, false,
         "access=0x80000000 share=0x3 creation=3 flags=0x8000000"},
        {__LINE__, false, false, false, true, "access=0x80000000 share=0x1 creation=3 flags=0x0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        File file;
        file.SetShareWrites(c.shareMember);
        file.SetRandomAccess(c.randomAccess);
        size_t mark = TraceMark();
        ASSERT_TRUE(file.Open("C:\\Work\\data.bin", nullptr, c.update, c.shareArgument));
        std::vector<std::string> opens = CallsSince(mark, "CreateFileA");
        ASSERT_EQ(opens.size(), 1u);
        EXPECT_NE(opens[0].find(c.expected), std::string::npos) << opens[0];
    }
}

TEST_F(FileTest, WideNamesOnTheNtFamilyOnly) {
    const std::u16string wide = u"C:\\Work\\\u0444.bin";  // C:\Work\ф.bin
    const std::string ansi = "C:\\Work\\\xF4.bin";
    struct Case {
        int line;
        core_test::MachineSetup setup;
        bool giveAnsi;
        const char* call;
    };
    const Case cases[] = {
        {__LINE__, core_test::Nt(), true, "CreateFileW"},
        {__LINE__, core_test::Nt(), false, "CreateFileW"},
        {__LINE__, core_test::Win9x(), true, "CreateFileA"},
        // Only a UTF-16 name on the older platforms: its ANSI form opens the file.
        {__LINE__, core_test::Win9x(), false, "CreateFileA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(c.setup);
        PutWorkFiles();
        ASSERT_EQ(machine().Files().WriteAll("C:\\Work\\\xD1\x84.bin", "wide"), 0);
        size_t mark = TraceMark();
        File file;
        ASSERT_TRUE(file.Open(c.giveAnsi ? ansi.c_str() : nullptr, Wide(wide), false, false));
        EXPECT_EQ(CallsSince(mark, c.call).size(), 1u);
        EXPECT_EQ(std::string(file.Name()), ansi);
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(file.WideName())), wide);
        char bytes[8] = {};
        EXPECT_EQ(file.Read(bytes, sizeof bytes), 4);
        EXPECT_STREQ(bytes, "wide");
    }
}

TEST_F(FileTest, NamesLongerThanTheNameMembersAreRefused) {
    const std::string longName = "C:\\Work\\" + std::string(1100, 'a');
    const std::u16string longWide = u"C:\\Work\\" + std::u16string(1100, u'a');
    size_t mark = TraceMark();
    File file;
    EXPECT_FALSE(file.Open(longName.c_str(), nullptr, false, false));
    EXPECT_FALSE(file.Open("C:\\Work\\data.bin", Wide(longWide), false, false));
    const std::string exact = "C:\\Work\\" + std::string(1023 - 8, 'a');
    EXPECT_FALSE(file.Open(exact.c_str(), nullptr, false, false));  // tried: fits the member
    EXPECT_EQ(CallsSince(mark, "CreateFileA").size() + CallsSince(mark, "CreateFileW").size(), 1u);
    EXPECT_STREQ(file.Name(), "");
}

TEST_F(FileTest, TheTableHoldsTwoHundredFiftySixFiles) {
    std::vector<std::unique_ptr<File>> files;
    for (int i = 0; i < OpenFileTable::kSlots; ++i) {
        files.push_back(std::make_unique<File>());
        ASSERT_TRUE(files.back()->Open("C:\\Work\\data.bin", nullptr, false, false)) << i;
    }
    EXPECT_EQ(OpenFiles().Count(), OpenFileTable::kSlots);
    File extra;
    ASSERT_TRUE(extra.Open("C:\\Work\\data.bin", nullptr, false, false));
    EXPECT_FALSE(OpenFiles().Contains(&extra));
    EXPECT_TRUE(extra.Close());
    EXPECT_EQ(OpenFiles().Count(), OpenFileTable::kSlots);
    for (const auto& file : files) EXPECT_TRUE(OpenFiles().Contains(file.get()));

    // A closed file frees its slot for the next one.
    File* third = files[2].get();
    EXPECT_TRUE(third->Close());
    EXPECT_FALSE(OpenFiles().Contains(third));
    ASSERT_TRUE(extra.Open("C:\\Work\\data.bin", nullptr, false, false));
    EXPECT_TRUE(OpenFiles().Contains(&extra));
    extra.Close();
    files.clear();
    EXPECT_EQ(OpenFiles().Count(), 0);
}

TEST_F(FileTest, SeekAndTell) {
    struct Case {
        int line;
        int64_t position;
        int method;
        int64_t result;
    };
    const Case cases[] = {
        {__LINE__, -10, 2, 90}, {__LINE__, 0, 2, 100},   {__LINE__, 20, 0, 20},
        {__LINE__, -5, 1, 45},  {__LINE__, 5, 1, 55},    {__LINE__, 150, 0, 150},
        {__LINE__, -60, 1, 50}, {__LINE__, -200, 2, 50},  // before the start: refused
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        File file;
        ASSERT_TRUE(file.Open("C:\\Work\\data.bin", nullptr, false, false));
        file.Seek(50, 0);
        file.Seek(c.position, c.method);
        EXPECT_EQ(file.Tell(), c.result);
    }
}

TEST_F(FileTest, LengthAndReadsKeepThePosition) {
    File file;
    ASSERT_TRUE(file.Open("C:\\Work\\data.bin", nullptr, false, false));
    file.Seek(90, 0);
    EXPECT_EQ(file.FileLength(), 100);
    EXPECT_EQ(file.Tell(), 90);
    char bytes[16] = {};
    EXPECT_EQ(file.Read(bytes, sizeof bytes), 10);
    EXPECT_EQ(std::string(bytes, 10), Numbered(100).substr(90));
    EXPECT_EQ(file.Read(bytes, sizeof bytes), 0);
    EXPECT_EQ(file.ErrorState(), File::kErrorNone);
    EXPECT_FALSE(file.IsDevice());
}

TEST_F(FileTest, SaveFilePosPutsThePositionBackUnlessClosed) {
    File file;
    ASSERT_TRUE(file.Open("C:\\Work\\data.bin", nullptr, false, false));
    file.Seek(30, 0);
    {
        SaveFilePos keep(file);
        file.Seek(70, 0);
    }
    EXPECT_EQ(file.Tell(), 30);
    {
        SaveFilePos keep(file);
        EXPECT_TRUE(file.Close());
        ASSERT_TRUE(file.Open("C:\\Work\\data.bin", nullptr, false, false));
        file.Seek(70, 0);
    }
    EXPECT_EQ(file.Tell(), 70);
}

TEST_F(FileTest, ClosingAClosedFileCountsToo) {
    File file;
    EXPECT_EQ(file.CloseCount(), 0);
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(file.CloseCount(), 1);
    ASSERT_TRUE(file.Open("C:\\Work\\data.bin", nullptr, false, false));
    EXPECT_TRUE(file.Close());
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(file.CloseCount(), 3);
}

TEST_F(FileTest, Delete) {
    {
        File file;
        ASSERT_TRUE(file.Open("C:\\Work\\data.bin", nullptr, false, false));
        file.SetDeletable(false);
        EXPECT_FALSE(file.Delete());
        EXPECT_TRUE(file.IsOpen());
        EXPECT_TRUE(OpenFiles().Contains(&file));
        file.SetDeletable(true);
        EXPECT_TRUE(file.Delete());
        EXPECT_FALSE(file.IsOpen());
        EXPECT_FALSE(OpenFiles().Contains(&file));
        EXPECT_FALSE(Exists("C:\\Work\\data.bin"));
        // Deleted already: the stored name names no file any more.
        EXPECT_FALSE(file.Delete());
    }
    {
        File file;
        ASSERT_TRUE(file.Open("C:\\Work\\big.bin", nullptr, false, false));
        file.SetDeleteOnDestroy(true);
    }
    EXPECT_FALSE(Exists("C:\\Work\\big.bin"));
    File never;
    EXPECT_FALSE(never.Delete());
}

TEST_F(FileTest, OpenClearsDeleteOnDestroy) {
    {
        File file;
        file.SetDeleteOnDestroy(true);
        ASSERT_TRUE(file.Open("C:\\Work\\data.bin", nullptr, false, false));
    }
    EXPECT_TRUE(Exists("C:\\Work\\data.bin"));
}

TEST_F(FileTest, ABorrowedHandleStaysOpen) {
    os::FileHandle handle = os::Fs().CreateFileA("C:\\Work\\data.bin", os::kGenericRead,
                                                 os::kFileShareRead, os::kOpenExisting, 0);
    ASSERT_NE(handle, os::InvalidFileHandle());
    size_t mark = TraceMark();
    {
        File file;
        file.Borrow(handle);
        char bytes[4];
        EXPECT_EQ(file.Read(bytes, sizeof bytes), 4);
        EXPECT_TRUE(file.Close());
        EXPECT_FALSE(file.IsOpen());
        file.Borrow(handle);
    }
    EXPECT_TRUE(CallsSince(mark, "CloseHandle").empty());
    EXPECT_TRUE(os::Fs().CloseHandle(handle));
}

TEST_F(FileTest, OpeningAgainClosesTheFormerHandle) {
    File file;
    ASSERT_TRUE(file.Open("C:\\Work\\data.bin", nullptr, false, false));
    size_t mark = TraceMark();
    ASSERT_TRUE(file.Open("C:\\Work\\big.bin", nullptr, false, false));
    EXPECT_EQ(CallsSince(mark, "CloseHandle").size(), 1u);
    EXPECT_EQ(OpenFiles().Count(), 1);
    EXPECT_EQ(file.FileLength(), 30000);
}

// Reads that fail as a damaged disk or a device would make them fail.
class FailingReads : public core_test::ForwardingFiles {
  public:
    using ForwardingFiles::ForwardingFiles;
    os::Bool ReadFile(os::FileHandle file, void* buffer, os::Dword count,
                      os::Dword* read) override {
        counts.push_back(count);
        long high = 0;
        os::Dword position = next_.SetFilePointer(file, 0, &high, os::kFileCurrent);
        bool bad =
            count > maxCount || (badOffset >= 0 && position <= static_cast<os::Dword>(badOffset) &&
                                 static_cast<os::Dword>(badOffset) < position + count);
        if (bad) {
            if (read) *read = 0;
            os::Sys().SetLastError(error);
            return 0;
        }
        return next_.ReadFile(file, buffer, count, read);
    }
    os::Dword GetFileType(os::FileHandle file) override {
        return device ? os::kFileTypePipe : next_.GetFileType(file);
    }
    os::FileHandle GetStdInput() override { return standardInput; }

    os::Dword maxCount = 0xFFFFFFFFu;
    long badOffset = -1;
    bool device = false;
    os::Dword error = 23;  // data error
    os::FileHandle standardInput = nullptr;
    std::vector<os::Dword> counts;
};

class FileReadTest : public FileTest {
  protected:
    void SetUp() override {
        FileTest::SetUp();
        platform_ = machine().Platform();
        files_ = std::make_unique<FailingReads>(*platform_.files);
        os::Platform faulty = platform_;
        faulty.files = files_.get();
        os::Install(faulty);
    }
    void TearDown() override {
        os::Install(platform_);
        FileTest::TearDown();
    }
    FailingReads& reads() { return *files_; }

  private:
    os::Platform platform_{};
    std::unique_ptr<FailingReads> files_;
};

TEST_F(FileReadTest, SkipBadBlocksReadsAroundTheBadBlock) {
    ASSERT_EQ(machine().Files().WriteAll("C:\\Work\\disk.bin", Numbered(1500)), 0);
    reads().badOffset = 600;
    File file;
    ASSERT_TRUE(file.Open("C:\\Work\\disk.bin", nullptr, false, false));
    file.SetSkipBadBlocks(true);
    std::string buffer(1500, '#');
    EXPECT_EQ(file.Read(buffer.data(), 1500), 1500);
    EXPECT_EQ(file.ErrorState(), File::kErrorRead);
    const std::string expected =
        Numbered(1500).substr(0, 512) + std::string(512, '#') + Numbered(1500).substr(1024);
    EXPECT_EQ(buffer, expected);
    EXPECT_EQ(reads().counts, (std::vector<os::Dword>{1500, 512, 512, 476}));
}

TEST_F(FileReadTest, ReadErrorPolicy) {
    struct Case {
        int line;
        bool skipBadBlocks;
        bool reportErrors;
        int result;
        std::vector<os::Dword> counts;
    };
    const Case cases[] = {
        // The retry question is answered no: one read, then -1.
        {__LINE__, false, true, -1, {100}},
        {__LINE__, false, false, -1, {100}},
        // Without reporting there is no block-by-block reading either.
        {__LINE__, true, false, -1, {100}},
        // Every block of the 100 bytes is bad; each counts as read.
        {__LINE__, true, true, 100, {100, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        reads().counts.clear();
        reads().badOffset = 10;
        File file;
        ASSERT_TRUE(file.Open("C:\\Work\\data.bin", nullptr, false, false));
        file.SetSkipBadBlocks(c.skipBadBlocks);
        file.SetReportErrors(c.reportErrors);
        char buffer[100];
        EXPECT_EQ(file.Read(buffer, sizeof buffer), c.result);
        EXPECT_EQ(file.ErrorState(), File::kErrorRead);
        EXPECT_EQ(reads().counts, c.counts);
    }
}

TEST_F(FileReadTest, DevicesTakeTwentyThousandBytesPerRequest) {
    struct Case {
        int line;
        bool device;
        int result;
        std::vector<os::Dword> counts;
    };
    const Case cases[] = {
        {__LINE__, true, 20000, {30000, 20000}},
        {__LINE__, false, -1, {30000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        reads().counts.clear();
        reads().maxCount = 20000;
        reads().device = c.device;
        File file;
        ASSERT_TRUE(file.Open("C:\\Work\\big.bin", nullptr, false, false));
        std::vector<char> buffer(30000);
        EXPECT_EQ(file.RawRead(buffer.data(), 30000), c.result);
        EXPECT_EQ(file.IsDevice(), c.device);
        EXPECT_EQ(reads().counts, c.counts);
    }
}

TEST_F(FileReadTest, StandardInput) {
    os::FileHandle input = os::Fs().CreateFileA("C:\\Work\\big.bin", os::kGenericRead,
                                                os::kFileShareRead, os::kOpenExisting, 0);
    ASSERT_NE(input, os::InvalidFileHandle());
    reads().standardInput = input;
    File file;
    file.UseStandardInput();
    std::vector<char> buffer(30000);
    EXPECT_EQ(file.Read(buffer.data(), 30000), 20000);
    EXPECT_EQ(reads().counts, (std::vector<os::Dword>{20000}));
    // A broken pipe is the end of the input; other failures are errors.
    reads().maxCount = 0;
    reads().error = os::kErrorBrokenPipe;
    EXPECT_EQ(file.RawRead(buffer.data(), 10), 0);
    reads().error = 23;
    EXPECT_EQ(file.RawRead(buffer.data(), 10), -1);
    // Standard input is never closed, and cannot be deleted.
    EXPECT_FALSE(file.Delete());
    size_t mark = TraceMark();
    EXPECT_TRUE(file.Close());
    EXPECT_TRUE(CallsSince(mark, "CloseHandle").empty());
    EXPECT_TRUE(os::Fs().CloseHandle(input));
}

}  // namespace
