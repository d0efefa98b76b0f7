// The file calls, as Windows answers them (checked under wine64 too).
#include <cstring>
#include <string>

#include "conformance/fixture.h"

namespace conformance {
namespace {

using os::Dword;

class FilesConformance : public ConformanceTest {
  protected:
    os::FileHandle OpenFile(const std::string& rest, Dword access, Dword share, Dword creation) {
        return os::Fs().CreateFileA(Path(rest).c_str(), access, share, creation,
                                    os::kFileAttributeNormal);
    }
    void Make(const std::string& rest, const std::string& bytes = "data") {
        os::FileHandle f = OpenFile(rest, os::kGenericWrite, 0, os::kCreateAlways);
        ASSERT_NE(f, os::InvalidFileHandle()) << rest;
        Dword written = 0;
        ASSERT_TRUE(
            os::Fs().WriteFile(f, bytes.data(), static_cast<Dword>(bytes.size()), &written));
        os::Fs().CloseHandle(f);
    }
    bool Exists(const std::string& rest) {
        return os::Fs().GetFileAttributesA(Path(rest).c_str()) != os::kInvalidFileAttributes;
    }
    Dword Error() { return os::Sys().GetLastError(); }
};

TEST_F(FilesConformance, CreationDispositions) {
    Make("a.txt");
    EXPECT_EQ(OpenFile("a.txt", os::kGenericWrite, 0, os::kCreateNew), os::InvalidFileHandle());
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorFileExists));
    os::FileHandle f = OpenFile("a.txt", os::kGenericWrite, 0, os::kCreateAlways);
    ASSERT_NE(f, os::InvalidFileHandle());
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorAlreadyExists));
    os::Fs().CloseHandle(f);
    EXPECT_EQ(OpenFile("missing.txt", os::kGenericRead, 0, os::kOpenExisting),
              os::InvalidFileHandle());
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorFileNotFound));
    EXPECT_EQ(OpenFile("nofolder\\x.txt", os::kGenericRead, 0, os::kOpenExisting),
              os::InvalidFileHandle());
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorPathNotFound));
    EXPECT_EQ(OpenFile("nofolder\\x.txt", os::kGenericWrite, 0, os::kCreateAlways),
              os::InvalidFileHandle());
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorPathNotFound));
}

TEST_F(FilesConformance, MissingFilesAndFolders) {
    EXPECT_EQ(os::Fs().GetFileAttributesA(Path("none").c_str()), os::kInvalidFileAttributes);
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorFileNotFound));
    EXPECT_EQ(os::Fs().GetFileAttributesA(Path("none\\x").c_str()), os::kInvalidFileAttributes);
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorPathNotFound));
    EXPECT_FALSE(os::Fs().DeleteFileA(Path("none").c_str()));
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorFileNotFound));
    EXPECT_FALSE(os::Fs().DeleteFileA(Path("none\\x").c_str()));
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorPathNotFound));
    EXPECT_FALSE(os::Fs().RemoveDirectoryA(Path("none").c_str()));
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorFileNotFound));
}

TEST_F(FilesConformance, AReadOnlyFileIsDeletedOnlyAfterItsAttributesAreCleared) {
    Make("ro.txt");
    ASSERT_TRUE(os::Fs().SetFileAttributesA(Path("ro.txt").c_str(), os::kFileAttributeReadOnly));
    EXPECT_TRUE(os::Fs().GetFileAttributesA(Path("ro.txt").c_str()) & os::kFileAttributeReadOnly);
    EXPECT_FALSE(os::Fs().DeleteFileA(Path("ro.txt").c_str()));
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorAccessDenied));
    EXPECT_TRUE(Exists("ro.txt"));
    ASSERT_TRUE(os::Fs().SetFileAttributesA(Path("ro.txt").c_str(), os::kFileAttributeNormal));
    EXPECT_TRUE(os::Fs().DeleteFileA(Path("ro.txt").c_str()));
    EXPECT_FALSE(Exists("ro.txt"));
}

TEST_F(FilesConformance, FoldersAreRemovedOnlyWhenEmpty) {
    ASSERT_TRUE(os::Fs().CreateDirectoryA(Path("dir").c_str()));
    EXPECT_FALSE(os::Fs().CreateDirectoryA(Path("dir").c_str()));
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorAlreadyExists));
    EXPECT_FALSE(os::Fs().CreateDirectoryA(Path("none\\dir").c_str()));
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorPathNotFound));
    Make("dir\\file.txt");
    EXPECT_TRUE(os::Fs().GetFileAttributesA(Path("dir").c_str()) & os::kFileAttributeDirectory);
    EXPECT_FALSE(os::Fs().RemoveDirectoryA(Path("dir").c_str()));
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorDirNotEmpty));
    ASSERT_TRUE(os::Fs().DeleteFileA(Path("dir\\file.txt").c_str()));
    EXPECT_TRUE(os::Fs().RemoveDirectoryA(Path("dir").c_str()));
    EXPECT_FALSE(Exists("dir"));
}

TEST_F(FilesConformance, PathsIgnoreCaseAndTakeBothSeparators) {
    ASSERT_TRUE(os::Fs().CreateDirectoryA(Path("Sub").c_str()));
    Make("Sub\\MixedCase.TXT", "12345");
    std::string slashed = Path("sub/mixedcase.txt");
    EXPECT_NE(os::Fs().GetFileAttributesA(slashed.c_str()), os::kInvalidFileAttributes);
    EXPECT_NE(os::Fs().GetFileAttributesA(Path("SUB\\").c_str()), os::kInvalidFileAttributes);
    os::FileHandle f =
        OpenFile("SUB\\MIXEDCASE.txt", os::kGenericRead, os::kFileShareRead, os::kOpenExisting);
    ASSERT_NE(f, os::InvalidFileHandle());
    char buffer[8] = {};
    Dword read = 0;
    EXPECT_TRUE(os::Fs().ReadFile(f, buffer, sizeof buffer, &read));
    EXPECT_EQ(read, 5u);
    EXPECT_STREQ(buffer, "12345");
    os::Fs().CloseHandle(f);
}

TEST_F(FilesConformance, ReadingWritingAndPositions) {
    Make("pos.bin", std::string(100, 'x'));
    os::FileHandle f = OpenFile("pos.bin", os::kGenericRead, os::kFileShareRead, os::kOpenExisting);
    ASSERT_NE(f, os::InvalidFileHandle());
    EXPECT_EQ(os::Fs().GetFileType(f), static_cast<Dword>(os::kFileTypeDisk));
    long high = -1;
    EXPECT_EQ(os::Fs().SetFilePointer(f, -10, &high, os::kFileEnd), 90u);
    EXPECT_EQ(high, 0);
    high = 0;
    EXPECT_EQ(os::Fs().SetFilePointer(f, 0, &high, os::kFileCurrent), 90u);
    char buffer[32];
    Dword read = 0;
    EXPECT_TRUE(os::Fs().ReadFile(f, buffer, sizeof buffer, &read));
    EXPECT_EQ(read, 10u);
    EXPECT_TRUE(os::Fs().ReadFile(f, buffer, sizeof buffer, &read));
    EXPECT_EQ(read, 0u);
    Dword written = 0;
    EXPECT_FALSE(os::Fs().WriteFile(f, "y", 1, &written));
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorAccessDenied));
    EXPECT_TRUE(os::Fs().CloseHandle(f));
    EXPECT_FALSE(os::Fs().CloseHandle(f));
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorInvalidHandle));
}

TEST_F(FilesConformance, AFileOpenedWithoutSharingIsLockedButVisible) {
    Make("locked.txt");
    os::FileHandle f = OpenFile("locked.txt", os::kGenericRead, 0, os::kOpenExisting);
    ASSERT_NE(f, os::InvalidFileHandle());
    EXPECT_EQ(OpenFile("locked.txt", os::kGenericRead, os::kFileShareRead | os::kFileShareWrite,
                       os::kOpenExisting),
              os::InvalidFileHandle());
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorSharingViolation));
    EXPECT_FALSE(os::Fs().DeleteFileA(Path("locked.txt").c_str()));
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorSharingViolation));
    EXPECT_FALSE(os::Fs().MoveFileA(Path("locked.txt").c_str(), Path("moved.txt").c_str()));
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorSharingViolation));
    EXPECT_NE(os::Fs().GetFileAttributesA(Path("locked.txt").c_str()), os::kInvalidFileAttributes);
    os::Fs().CloseHandle(f);
    EXPECT_TRUE(os::Fs().DeleteFileA(Path("locked.txt").c_str()));
}

TEST_F(FilesConformance, AFileHeldWithDeleteSharingCanBeRenamed) {
    // As a loaded library or a running program is held.
    Make("held.dll");
    os::FileHandle f = OpenFile("held.dll", os::kGenericRead,
                                os::kFileShareRead | os::kFileShareDelete, os::kOpenExisting);
    ASSERT_NE(f, os::InvalidFileHandle());
    EXPECT_EQ(OpenFile("held.dll", os::kGenericWrite,
                       os::kFileShareRead | os::kFileShareWrite | os::kFileShareDelete,
                       os::kOpenExisting),
              os::InvalidFileHandle());
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorSharingViolation));
    EXPECT_TRUE(os::Fs().MoveFileA(Path("held.dll").c_str(), Path("held.dll.0.tmp").c_str()));
    EXPECT_FALSE(Exists("held.dll"));
    EXPECT_TRUE(Exists("held.dll.0.tmp"));
    os::Fs().CloseHandle(f);
}

TEST_F(FilesConformance, MovingOntoAnExistingFile) {
    Make("from.txt", "from");
    Make("to.txt", "to");
    EXPECT_FALSE(os::Fs().MoveFileA(Path("from.txt").c_str(), Path("to.txt").c_str()));
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorAlreadyExists));
    EXPECT_TRUE(os::Fs().MoveFileExA(Path("from.txt").c_str(), Path("to.txt").c_str(),
                                     os::kMoveFileReplaceExisting));
    EXPECT_FALSE(Exists("from.txt"));
    EXPECT_FALSE(os::Fs().MoveFileA(Path("from.txt").c_str(), Path("again.txt").c_str()));
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorFileNotFound));
}

TEST_F(FilesConformance, ShortBuffersGiveTheSizeNeeded) {
    char buffer[1024];
    const Dword temp = os::Fs().GetTempPathA(sizeof buffer, buffer);
    ASSERT_GT(temp, 0u);
    EXPECT_EQ(strlen(buffer), temp);
    EXPECT_EQ(buffer[temp - 1], '\\');
    char small[2];
    EXPECT_EQ(os::Fs().GetTempPathA(sizeof small, small), temp + 1);
    const unsigned windows = os::Fs().GetWindowsDirectoryA(buffer, sizeof buffer);
    ASSERT_GT(windows, 0u);
    EXPECT_EQ(os::Fs().GetWindowsDirectoryA(small, sizeof small), windows + 1);
    ASSERT_TRUE(os::Fs().SetCurrentDirectoryA(Path().c_str()));
    const Dword current = os::Fs().GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_EQ(current, Path().size());
    EXPECT_EQ(os::Fs().GetCurrentDirectoryA(sizeof small, small), current + 1);
    const Dword shortLength = os::Fs().GetShortPathNameA(Path().c_str(), buffer, sizeof buffer);
    ASSERT_GT(shortLength, 0u);
    EXPECT_EQ(os::Fs().GetShortPathNameA(Path().c_str(), small, sizeof small), shortLength + 1);
    EXPECT_EQ(os::Fs().GetShortPathNameA(Path("none").c_str(), buffer, sizeof buffer), 0u);
    EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorFileNotFound));
}

TEST_F(FilesConformance, ShortNamesOfLongNamesLeadToTheSameFile) {
    ASSERT_TRUE(os::Fs().CreateDirectoryA(Path("Long Folder Name").c_str()));
    Make("Long Folder Name\\Uninstall.lst");
    char buffer[1024];
    ASSERT_GT(os::Fs().GetShortPathNameA(Path("Long Folder Name\\Uninstall.lst").c_str(), buffer,
                                         sizeof buffer),
              0u);
    const std::string shortPath = buffer;
    const std::string name = shortPath.substr(shortPath.rfind('\\') + 1);
    EXPECT_NE(name.find('~'), std::string::npos) << shortPath;
    EXPECT_LE(name.size(), 12u) << shortPath;
    EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
    EXPECT_NE(os::Fs().GetFileAttributesA(shortPath.c_str()), os::kInvalidFileAttributes);
}

}  // namespace
}  // namespace conformance
