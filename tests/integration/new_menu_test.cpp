// The "New" menu entries of the VLK and ZIP types: the form by Windows
// version, the template bytes, and the template files beside the program.
#include "integration/new_menu.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "integration/assoc_fixture.h"
#include "integration/associations.h"
#include "integration/reg_dump.h"
#include "localisation/text_key.h"
#include "platform/platform.h"

namespace assoc_test {
namespace {

os::Key Hkcr() { return os::ClassesRoot(); }

using Bytes = std::vector<unsigned char>;

std::optional<Bytes> ReadFileBytes(const std::string& path) {
    os::FileHandle file = os::Fs().CreateFileA(path.c_str(), os::kGenericRead, os::kFileShareRead,
                                               os::kOpenExisting, 0);
    if (file == os::InvalidFileHandle()) return std::nullopt;
    Bytes bytes(4096);
    os::Dword read = 0;
    os::Fs().ReadFile(file, bytes.data(), static_cast<os::Dword>(bytes.size()), &read);
    os::Fs().CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
    os::FileHandle file =
        os::Fs().CreateFileA(path.c_str(), os::kGenericWrite, 0, os::kCreateAlways, 0);
    ASSERT_NE(file, os::InvalidFileHandle()) << path;
    os::Dword written = 0;
    os::Fs().WriteFile(file, bytes.data(), static_cast<os::Dword>(bytes.size()), &written);
    os::Fs().CloseHandle(file);
}

// The VLK template: the marker and an archive header whose checksum is the low
// 16 bits of the CRC-32 of the 11 header bytes after it.
void ExpectVlkTemplate(const Bytes& bytes) {
    ASSERT_EQ(bytes.size(), 20u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "Vlk!");
    EXPECT_EQ(bytes[4], 0x1A);
    EXPECT_EQ(bytes[5], 0x07);
    EXPECT_EQ(bytes[6], 0x00);
    const uint32_t crc = ~UpdateCrc32(0xFFFFFFFFu, bytes.data() + 9, 11);
    EXPECT_EQ(bytes[7], crc & 0xFF);
    EXPECT_EQ(bytes[8], (crc >> 8) & 0xFF);
    EXPECT_EQ(bytes[7], 0xCF);
    EXPECT_EQ(bytes[8], 0x90);
    EXPECT_EQ(bytes[9], 0x73);                  // archive header
    EXPECT_EQ(bytes[12] | bytes[13] << 8, 13);  // header size
    EXPECT_EQ(Bytes(bytes.begin() + 14, bytes.end()), Bytes(6, 0));
    EXPECT_EQ(bytes[10] | bytes[11], 0);  // flags
}

// The ZIP template: an end-of-central-directory record of no entries.
void ExpectZipTemplate(const Bytes& bytes) {
    ASSERT_EQ(bytes.size(), 22u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 4), (Bytes{'P', 'K', 5, 6}));
    EXPECT_EQ(Bytes(bytes.begin() + 4, bytes.end()), Bytes(18, 0));
}

// The machine's files, except that every write stops half-way and fails as
// a full disk does.
class HalfWrites final : public os::Files {
  public:
    explicit HalfWrites(os::Files& inner) : f_(inner) {}
    os::Bool WriteFile(os::FileHandle file, const void* buffer, os::Dword count,
                       os::Dword* written) override {
        f_.WriteFile(file, buffer, count / 2, written);
        return 0;
    }
    os::FileHandle CreateFileA(const char* n, os::Dword a, os::Dword s, os::Dword c,
                               os::Dword f) override {
        return f_.CreateFileA(n, a, s, c, f);
    }
    os::FileHandle CreateFileW(const os::Wchar* n, os::Dword a, os::Dword s, os::Dword c,
                               os::Dword f) override {
        return f_.CreateFileW(n, a, s, c, f);
    }
    os::Bool ReadFile(os::FileHandle h, void* b, os::Dword c, os::Dword* r) override {
        return f_.ReadFile(h, b, c, r);
    }
    os::Dword SetFilePointer(os::FileHandle h, long l, long* hi, os::Dword m) override {
        return f_.SetFilePointer(h, l, hi, m);
    }
    os::Dword GetFileType(os::FileHandle h) override { return f_.GetFileType(h); }
    os::Bool CloseHandle(os::FileHandle h) override { return f_.CloseHandle(h); }
    os::FileHandle GetStdInput() override { return f_.GetStdInput(); }
    os::Dword GetFileAttributesA(const char* n) override { return f_.GetFileAttributesA(n); }
    os::Dword GetFileAttributesW(const os::Wchar* n) override { return f_.GetFileAttributesW(n); }
    os::Bool SetFileAttributesA(const char* n, os::Dword a) override {
        return f_.SetFileAttributesA(n, a);
    }
    os::Bool DeleteFileA(const char* n) override { return f_.DeleteFileA(n); }
    os::Bool DeleteFileW(const os::Wchar* n) override { return f_.DeleteFileW(n); }
    os::Bool CreateDirectoryA(const char* n) override { return f_.CreateDirectoryA(n); }
    os::Bool RemoveDirectoryA(const char* n) override { return f_.RemoveDirectoryA(n); }
    os::Bool MoveFileA(const char* a, const char* b) override { return f_.MoveFileA(a, b); }
    os::Bool MoveFileExA(const char* a, const char* b, os::Dword f) override {
        return f_.MoveFileExA(a, b, f);
    }
    os::Dword GetShortPathNameA(const char* l, char* s, os::Dword n) override {
        return f_.GetShortPathNameA(l, s, n);
    }
    os::Dword GetTempPathA(os::Dword n, char* b) override { return f_.GetTempPathA(n, b); }
    unsigned GetWindowsDirectoryA(char* b, unsigned n) override {
        return f_.GetWindowsDirectoryA(b, n);
    }
    os::Dword GetCurrentDirectoryA(os::Dword n, char* b) override {
        return f_.GetCurrentDirectoryA(n, b);
    }
    os::Bool SetCurrentDirectoryA(const char* p) override { return f_.SetCurrentDirectoryA(p); }
    os::Bool WritePrivateProfileStringA(const char* s, const char* k, const char* v,
                                        const char* f) override {
        return f_.WritePrivateProfileStringA(s, k, v, f);
    }

  private:
    os::Files& f_;
};

using NewMenuTest = MachineTest;

// 4.0 and 4.10 take the template bytes as "Data"; 4.90, 5.0 and later a
// template file beside the program, named by "FileName". The previous ShellNew
// key goes first.
TEST_F(NewMenuTest, FormByWindowsVersion) {
    struct Case {
        int line;
        MachineSetup system;
        bool asFile;
    };
    const Case cases[] = {
        {__LINE__, {false, 4, 0}, false},  {__LINE__, {true, 4, 0}, false},
        {__LINE__, {false, 4, 10}, false}, {__LINE__, {false, 4, 90}, true},
        {__LINE__, {true, 5, 0}, true},    {__LINE__, {true, 6, 1}, true},
    };
    struct Row {
        const char* extension;
        bool isZip;
        const char* file;
    };
    const Row rows[] = {{".vlk", false, "vlknew.dat"}, {".zip", true, "zipnew.dat"}};
    for (const Case& c : cases) {
        for (const Row& row : rows) {
            SCOPED_TRACE(testing::Message() << "case at line " << c.line << ", " << row.extension);
            UseMachine(c.system);
            const std::string shellNew = std::string(row.extension) + "\\ShellNew";
            PutString(Hkcr(), row.extension, "", "Other");
            PutString(Hkcr(), shellNew, "Command", "other.exe /new");
            PutString(Hkcr(), shellNew, "NullFile", "");

            SetExtensionAssociation(row.extension, true, true, row.isZip, !row.isZip);
            EXPECT_EQ(ReadString(Hkcr(), shellNew, "Command"), std::nullopt);
            EXPECT_EQ(ReadString(Hkcr(), shellNew, "NullFile"), std::nullopt);
            const std::string path = ProgramFolder() + row.file;
            std::optional<RawValue> data = ReadRaw(Hkcr(), shellNew, "Data");
            std::optional<Bytes> file = ReadFileBytes(path);
            if (c.asFile) {
                EXPECT_EQ(ReadString(Hkcr(), shellNew, "FileName"), path);
                EXPECT_FALSE(data.has_value());
                ASSERT_TRUE(file.has_value());
            } else {
                EXPECT_EQ(ReadString(Hkcr(), shellNew, "FileName"), std::nullopt);
                EXPECT_FALSE(file.has_value());
                ASSERT_TRUE(data.has_value());
                EXPECT_EQ(data->type, os::kRegBinary);
                file = data->data;
            }
            if (row.isZip) {
                ExpectZipTemplate(*file);
            } else {
                ExpectVlkTemplate(*file);
            }
        }
    }
}

// A template file already there is never replaced, and the ShellNew key still
// names it; so is a path that no file can be made at.
TEST_F(NewMenuTest, ExistingTemplateFileIsLeftAlone) {
    const Bytes other = {'m', 'i', 'n', 'e'};
    WriteFileBytes(ProgramFolder() + "vlknew.dat", other);
    WriteFileBytes(ProgramFolder() + "zipnew.dat", Bytes{});
    SetExtensionAssociation(".vlk", true, true, false, true);
    SetExtensionAssociation(".zip", true, true, true, false);
    EXPECT_EQ(ReadFileBytes(ProgramFolder() + "vlknew.dat"), other);
    EXPECT_EQ(ReadFileBytes(ProgramFolder() + "zipnew.dat"), Bytes{});
    EXPECT_EQ(ReadString(Hkcr(), ".vlk\\ShellNew", "FileName"), ProgramFolder() + "vlknew.dat");
    EXPECT_EQ(ReadString(Hkcr(), ".zip\\ShellNew", "FileName"), ProgramFolder() + "zipnew.dat");
}

TEST_F(NewMenuTest, FolderInThePlaceOfTheTemplate) {
    const std::string path = ProgramFolder() + "zipnew.dat";
    ASSERT_NE(os::Fs().CreateDirectoryA(path.c_str()), 0);
    SetExtensionAssociation(".zip", true, true, true, false);
    EXPECT_EQ(os::Fs().GetFileAttributesA(path.c_str()) & os::kFileAttributeDirectory,
              os::kFileAttributeDirectory);
    EXPECT_EQ(ReadString(Hkcr(), ".zip\\ShellNew", "FileName"), path);
}

// Shell integration off, or a row other than VLK and ZIP: the ShellNew key is
// not changed by the take-over and no template file is made.
TEST_F(NewMenuTest, NoEntryWithoutShellIntegrationOrForOtherRows) {
    struct Case {
        int line;
        const char* extension;
        bool shellIntegration;
        bool isZip;
        bool isVlk;
    };
    const Case cases[] = {
        {__LINE__, ".vlk", false, false, true},
        {__LINE__, ".zip", false, true, false},
        {__LINE__, ".cab", true, false, false},
        {__LINE__, ".tbz2", true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(MachineSetup{});
        const std::string shellNew = std::string(c.extension) + "\\ShellNew";
        PutString(Hkcr(), shellNew, "FileName", "other.tpl");
        PutString(Hkcr(), shellNew, "Command", "other.exe /new");
        const std::string before = DumpKey(Hkcr(), shellNew);
        SetExtensionAssociation(c.extension, true, c.shellIntegration, c.isZip, c.isVlk);
        EXPECT_EQ(DumpKey(Hkcr(), shellNew), before);
        EXPECT_FALSE(ReadFileBytes(ProgramFolder() + "vlknew.dat").has_value());
        EXPECT_FALSE(ReadFileBytes(ProgramFolder() + "zipnew.dat").has_value());
    }
}

// Give-back does not remove a "Data" template that the take-over wrote, nor a
// template file.
TEST_F(NewMenuTest, GiveBackKeepsDataAndFiles) {
    UseMachine({false, 4, 10});
    PutString(Hkcr(), ".zip", "", "OtherZip");
    SetExtensionAssociation(".zip", true, true, true, false);
    SetExtensionAssociation(".zip", false, true, true, false);
    EXPECT_EQ(ReadString(Hkcr(), ".zip", ""), "OtherZip");
    ASSERT_TRUE(ReadRaw(Hkcr(), ".zip\\ShellNew", "Data").has_value());

    UseMachine({true, 5, 0});
    PutString(Hkcr(), ".vlk", "", "OtherVlk");
    SetExtensionAssociation(".vlk", true, true, false, true);
    SetExtensionAssociation(".vlk", false, true, false, true);
    EXPECT_EQ(ReadString(Hkcr(), ".vlk\\ShellNew", "FileName"), std::nullopt);
    EXPECT_TRUE(ReadFileBytes(ProgramFolder() + "vlknew.dat").has_value());
}

// A template that could not be written whole is not left behind cut off: the
// next setup makes it afresh.
TEST_F(NewMenuTest, CutOffTemplateFileIsRemoved) {
    const os::Platform machine = os::Get();
    HalfWrites halfWrites(*machine.files);
    os::Platform failing = machine;
    failing.files = &halfWrites;
    os::Install(failing);
    SetExtensionAssociation(".zip", true, true, true, false);
    os::Install(machine);
    const std::string path = ProgramFolder() + "zipnew.dat";
    EXPECT_FALSE(ReadFileBytes(path).has_value());
    EXPECT_EQ(ReadString(Hkcr(), ".zip\\ShellNew", "FileName"), path);

    SetExtensionAssociation(".zip", true, true, true, false);
    std::optional<Bytes> bytes = ReadFileBytes(path);
    ASSERT_TRUE(bytes.has_value());
    ExpectZipTemplate(*bytes);
}

}  // namespace
}  // namespace assoc_test
