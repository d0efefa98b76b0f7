// The files of the simulated machine: the program's own file, busy files,
// short names, attributes kept across runs, profile files, deletion at restart.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/sim/machine.h"
#include "support/sim_machine.h"

namespace sim {
namespace {

using os::Dword;

const char kProgram[] = "C:\\Program Files\\Velkor\\uninstall.exe";
const char kFolder[] = "C:\\Program Files\\Velkor";

Dword LastError() { return os::Sys().GetLastError(); }

TEST(SimFiles, TheSampleMachineHasTheArchiverInstalled) {
    FreshMachine m;
    for (const char* name : {"uninstall.exe", "Velkor.exe", "Velkor.hlp", "Vlk.txt", "vlkext.dll",
                             "vlkext64.dll", "Uninstall.lst", "Formats\\Cab.fmt"}) {
        EXPECT_TRUE(m.Exists(std::string(kFolder) + "\\" + name)) << name;
    }
    EXPECT_EQ(m.ReadFile(std::string(kFolder) + "\\Uninstall.lst"),
              "Velkor.exe\r\nVelkor.hlp\r\nVlk.txt\r\nvlkext.dll\r\nvlkext64.dll\r\n"
              "Formats\\Cab.fmt\r\nFormats\\Lzh.fmt\r\nFormats\\Readme.txt\r\nFormats\r\n"
              "vlknew.dat\r\nzipnew.dat\r\nuninstall.exe\r\nUninstall.lst\r\n");
    EXPECT_TRUE(m.Exists("C:\\WINDOWS\\system32\\cmd.exe"));
}

TEST(SimFiles, TheRunningProgramsFileCannotBeDeletedButRenamed) {
    FreshMachine m;
    m->StartProgram("uninstall.exe");
    EXPECT_FALSE(os::Fs().DeleteFileA(kProgram));
    EXPECT_EQ(LastError(), static_cast<Dword>(os::kErrorAccessDenied));
    EXPECT_EQ(os::Fs().CreateFileA(kProgram, os::kGenericWrite, 0, os::kOpenExisting, 0),
              os::InvalidFileHandle());
    EXPECT_EQ(LastError(), static_cast<Dword>(os::kErrorSharingViolation));
    os::FileHandle f =
        os::Fs().CreateFileA(kProgram, os::kGenericRead, os::kFileShareRead, os::kOpenExisting, 0);
    EXPECT_NE(f, os::InvalidFileHandle());
    os::Fs().CloseHandle(f);
    const std::string moved = std::string(kProgram) + ".0.tmp";
    EXPECT_TRUE(os::Fs().MoveFileA(kProgram, moved.c_str()));
    EXPECT_FALSE(os::Fs().DeleteFileA(moved.c_str()));  // still the running program
    m->EndProgram();
    EXPECT_TRUE(os::Fs().DeleteFileA(moved.c_str()));
}

TEST(SimFiles, FilesHeldByOtherProcesses) {
    struct Case {
        int line;
        const char* mode;
        long deleteError, renameError, readOpenError, writeOpenError;
    };
    const Case cases[] = {
        {__LINE__, "image", os::kErrorAccessDenied, 0, 0, os::kErrorSharingViolation},
        {__LINE__, "open", os::kErrorSharingViolation, os::kErrorSharingViolation, 0,
         os::kErrorSharingViolation},
        {__LINE__, "locked", os::kErrorSharingViolation, os::kErrorSharingViolation,
         os::kErrorSharingViolation, os::kErrorSharingViolation},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        FreshMachine m;
        const std::string dll = std::string(kFolder) + "\\vlkext.dll";
        m->Config().busy.push_back({dll, c.mode});
        auto error = [](bool ok) { return ok ? 0L : static_cast<long>(LastError()); };
        auto open = [&](Dword access) {
            os::FileHandle f =
                os::Fs().CreateFileA(dll.c_str(), access, os::kFileShareRead | os::kFileShareWrite,
                                     os::kOpenExisting, 0);
            if (f == os::InvalidFileHandle()) return static_cast<long>(LastError());
            os::Fs().CloseHandle(f);
            return 0L;
        };
        EXPECT_EQ(open(os::kGenericRead), c.readOpenError);
        EXPECT_EQ(open(os::kGenericWrite), c.writeOpenError);
        EXPECT_EQ(error(os::Fs().DeleteFileA(dll.c_str())), c.deleteError);
        EXPECT_NE(os::Fs().GetFileAttributesA(dll.c_str()), os::kInvalidFileAttributes);
        const std::string moved = dll + ".0.tmp";
        EXPECT_EQ(error(os::Fs().MoveFileA(dll.c_str(), moved.c_str())), c.renameError);
        if (c.renameError == 0) {
            // The other process still holds the file under its new name.
            EXPECT_EQ(m->Config().busy.back().first, moved);
            EXPECT_FALSE(os::Fs().DeleteFileA(moved.c_str()));
        }
    }
}

TEST(SimFiles, ShortNamesAreGivenOutStablyPerFolder) {
    FreshMachine m;
    m.WriteFile("C:\\Program Files\\Velkor\\Formats\\Long name one.txt", "x");
    m.WriteFile("C:\\Program Files\\Velkor\\Formats\\Long name two.txt", "x");
    char buffer[1024];
    struct Case {
        int line;
        const char* path;
        const char* shortPath;
    };
    const Case cases[] = {
        {__LINE__, "C:\\Program Files\\Velkor\\Uninstall.lst",
         "C:\\PROGRA~1\\Velkor\\UNINST~1.LST"},
        {__LINE__, "C:\\Program Files\\Velkor\\Formats\\Long name one.txt",
         "C:\\PROGRA~1\\Velkor\\Formats\\LONGNA~1.TXT"},
        {__LINE__, "C:\\Program Files\\Velkor\\Formats\\Long name two.txt",
         "C:\\PROGRA~1\\Velkor\\Formats\\LONGNA~2.TXT"},
        {__LINE__, "c:/program files/velkor/vlkext64.dll", "C:\\PROGRA~1\\Velkor\\vlkext64.dll"},
        {__LINE__, "C:\\Documents and Settings\\User\\Local Settings\\Temp\\",
         "C:\\DOCUME~1\\User\\LOCALS~1\\Temp\\"},
        {__LINE__, "C:\\", "C:\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        const Dword n = os::Fs().GetShortPathNameA(c.path, buffer, sizeof buffer);
        ASSERT_GT(n, 0u);
        EXPECT_STREQ(buffer, c.shortPath);
        // The short form leads to the same file.
        EXPECT_NE(os::Fs().GetFileAttributesA(c.shortPath), os::kInvalidFileAttributes);
    }
    m.Reload();  // the names given out are kept with the machine
    ASSERT_GT(os::Fs().GetShortPathNameA("C:\\Program Files\\Velkor\\Formats\\Long name two.txt",
                                         buffer, sizeof buffer),
              0u);
    EXPECT_STREQ(buffer, "C:\\PROGRA~1\\Velkor\\Formats\\LONGNA~2.TXT");
    EXPECT_EQ(os::Fs().GetShortPathNameA("C:\\Program Files\\Nothing", buffer, sizeof buffer), 0u);
    EXPECT_EQ(LastError(), static_cast<Dword>(os::kErrorFileNotFound));
}

TEST(SimFiles, AttributesAreKeptWithTheMachine) {
    FreshMachine m;
    const std::string txt = std::string(kFolder) + "\\Vlk.txt";
    EXPECT_EQ(os::Fs().GetFileAttributesA(txt.c_str()),
              static_cast<Dword>(os::kFileAttributeArchive));
    ASSERT_TRUE(os::Fs().SetFileAttributesA(txt.c_str(),
                                            os::kFileAttributeReadOnly | os::kFileAttributeHidden));
    m.Reload();
    EXPECT_EQ(os::Fs().GetFileAttributesA(txt.c_str()),
              static_cast<Dword>(os::kFileAttributeReadOnly | os::kFileAttributeHidden));
    EXPECT_FALSE(os::Fs().DeleteFileA(txt.c_str()));
    ASSERT_TRUE(os::Fs().SetFileAttributesA(txt.c_str(), 0));
    EXPECT_EQ(os::Fs().GetFileAttributesA(txt.c_str()),
              static_cast<Dword>(os::kFileAttributeNormal));
    EXPECT_TRUE(os::Fs().DeleteFileA(txt.c_str()));
    EXPECT_EQ(os::Fs().GetFileAttributesA(kFolder),
              static_cast<Dword>(os::kFileAttributeDirectory));
}

TEST(SimFiles, TheCurrentDirectoryCannotBeRemoved) {
    FreshMachine m;
    ASSERT_TRUE(os::Fs().CreateDirectoryA("C:\\Empty"));
    ASSERT_TRUE(os::Fs().SetCurrentDirectoryA("C:\\empty\\"));
    char buffer[64];
    EXPECT_EQ(os::Fs().GetCurrentDirectoryA(sizeof buffer, buffer), 8u);
    EXPECT_STREQ(buffer, "C:\\empty");  // as given, without the trailing backslash
    EXPECT_FALSE(os::Fs().RemoveDirectoryA("C:\\Empty"));
    EXPECT_EQ(LastError(), static_cast<Dword>(os::kErrorSharingViolation));
    ASSERT_TRUE(os::Fs().SetCurrentDirectoryA(".."));
    EXPECT_EQ(os::Fs().GetCurrentDirectoryA(sizeof buffer, buffer), 3u);
    EXPECT_TRUE(os::Fs().RemoveDirectoryA("Empty"));  // relative to C:\ now
}

TEST(SimFiles, DeniedFolders) {
    MachineOptions o;
    o.admin = false;
    FreshMachine m(o);
    EXPECT_FALSE(os::Fs().DeleteFileA("C:\\Program Files\\Velkor\\Vlk.txt"));
    EXPECT_EQ(LastError(), static_cast<Dword>(os::kErrorAccessDenied));
    EXPECT_FALSE(os::Fs().CreateDirectoryA("C:\\WINDOWS\\New"));
    EXPECT_NE(os::Fs().GetFileAttributesA("C:\\Program Files\\Velkor\\Vlk.txt"),
              os::kInvalidFileAttributes);
    const std::string temp = *m->Environment("TEMP") + "\\x.bat";
    os::FileHandle f =
        os::Fs().CreateFileA(temp.c_str(), os::kGenericWrite, 0, os::kCreateAlways, 0);
    EXPECT_NE(f, os::InvalidFileHandle());
    os::Fs().CloseHandle(f);
    m->Config().denied.push_back({*m->Environment("TEMP"), "always"});
    EXPECT_FALSE(os::Fs().DeleteFileA(temp.c_str()));
}

TEST(SimFiles, ProfileFilesAreEditedAsWindowsDoes) {
    MachineOptions o;
    o.family = Family::k9x;
    FreshMachine m(o);
    ASSERT_TRUE(os::Fs().WritePrivateProfileStringA("Rename", "NUL", "C:\\A.DLL", "wininit.ini"));
    ASSERT_TRUE(os::Fs().WritePrivateProfileStringA("rename", "nul", "C:\\B.DLL", "wininit.ini"));
    EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\wininit.ini"), "[Rename]\r\nNUL=C:\\B.DLL\r\n");
    EXPECT_FALSE(os::Fs().WritePrivateProfileStringA("s", "k", "v", "C:\\None\\x.ini"));
    EXPECT_EQ(LastError(), static_cast<Dword>(os::kErrorPathNotFound));
}

TEST(SimFiles, DeletionAtRestartOnTheNtFamily) {
    FreshMachine m;
    const std::string dll = std::string(kFolder) + "\\vlkext.dll";
    const std::string moved = dll + ".0.tmp";
    m->Config().busy.push_back({dll, "image"});
    ASSERT_TRUE(os::Fs().MoveFileA(dll.c_str(), moved.c_str()));
    ASSERT_TRUE(os::Fs().MoveFileExA(moved.c_str(), nullptr, os::kMoveFileDelayUntilReboot));
    ASSERT_TRUE(os::Fs().MoveFileExA((std::string(kFolder) + "\\Vlk.txt").c_str(),
                                     (std::string(kFolder) + "\\Vlk.old").c_str(),
                                     os::kMoveFileDelayUntilReboot | os::kMoveFileReplaceExisting));
    const auto pending = m->PendingFileRenames();
    ASSERT_EQ(pending.size(), 2u);
    EXPECT_EQ(pending[0].first, "\\??\\" + moved);
    EXPECT_EQ(pending[0].second, "");
    EXPECT_EQ(pending[1].second, "!\\??\\C:\\Program Files\\Velkor\\Vlk.old");
    m.Reload();
    EXPECT_EQ(m->PendingFileRenames().size(), 2u);
    m->Restart();
    EXPECT_FALSE(m.Exists(moved));
    EXPECT_TRUE(m.Exists(std::string(kFolder) + "\\Vlk.old"));
    EXPECT_TRUE(m->Config().busy.empty());
    EXPECT_TRUE(m->PendingFileRenames().empty());
}

TEST(SimFiles, SchedulingNeedsAdministratorRightsAndTheNtFamily) {
    MachineOptions limited;
    limited.admin = false;
    {
        FreshMachine m(limited);
        EXPECT_FALSE(
            os::Fs().MoveFileExA("C:\\WINDOWS\\win.ini", nullptr, os::kMoveFileDelayUntilReboot));
        EXPECT_EQ(LastError(), static_cast<Dword>(os::kErrorAccessDenied));
    }
    MachineOptions old;
    old.family = Family::k9x;
    FreshMachine m(old);
    EXPECT_FALSE(
        os::Fs().MoveFileExA("C:\\WINDOWS\\win.ini", nullptr, os::kMoveFileDelayUntilReboot));
    EXPECT_EQ(LastError(), 120u);  // ERROR_CALL_NOT_IMPLEMENTED
    const os::Wchar wide[] = {'C', ':', '\\', 'x', 0};
    EXPECT_EQ(os::Fs().CreateFileW(wide, os::kGenericRead, 0, os::kOpenExisting, 0),
              os::InvalidFileHandle());
    EXPECT_EQ(LastError(), 120u);
}

TEST(SimFiles, DeletionAtRestartOnTheOlderPlatforms) {
    MachineOptions o;
    o.family = Family::k9x;
    FreshMachine m(o);
    char shortPath[1024];
    ASSERT_GT(os::Fs().GetShortPathNameA("C:\\Program Files\\Velkor\\vlkext64.dll", shortPath,
                                         sizeof shortPath),
              0u);
    ASSERT_TRUE(os::Fs().WritePrivateProfileStringA("Rename", "NUL", shortPath,
                                                    "C:\\WINDOWS\\wininit.ini"));
    m.Reload();
    m->Restart();
    EXPECT_FALSE(m.Exists("C:\\Program Files\\Velkor\\vlkext64.dll"));
    EXPECT_FALSE(m.Exists("C:\\WINDOWS\\wininit.ini"));
    EXPECT_TRUE(m.Exists("C:\\WINDOWS\\wininit.bak"));
}

TEST(SimFiles, DeviceAndDeletePending) {
    FreshMachine m;
    os::FileHandle nul =
        os::Fs().CreateFileA("NUL", os::kGenericWrite, os::kFileShareRead, os::kCreateAlways, 0);
    ASSERT_NE(nul, os::InvalidFileHandle());
    EXPECT_EQ(os::Fs().GetFileType(nul), static_cast<Dword>(os::kFileTypeChar));
    Dword written = 0;
    EXPECT_TRUE(os::Fs().WriteFile(nul, "abc", 3, &written));
    EXPECT_EQ(written, 3u);
    os::Fs().CloseHandle(nul);
    // A file open with delete sharing goes when its last handle closes.
    const char* path = "C:\\WINDOWS\\win.ini";
    os::FileHandle f = os::Fs().CreateFileA(
        path, os::kGenericRead, os::kFileShareRead | os::kFileShareDelete, os::kOpenExisting, 0);
    ASSERT_NE(f, os::InvalidFileHandle());
    EXPECT_TRUE(os::Fs().DeleteFileA(path));
    EXPECT_TRUE(m.Exists(path));
    os::Fs().CloseHandle(f);
    EXPECT_FALSE(m.Exists(path));
}

TEST(SimFiles, LoadedLibrariesAreHeldUntilFreed) {
    FreshMachine m;
    // A file that is no PE file does not load.
    EXPECT_EQ(os::Sys().LoadLibraryA("vlkext.dll"), nullptr);
    EXPECT_EQ(LastError(), 193u);
    os::Module riched = os::Sys().LoadLibraryA("riched32.dll");
    EXPECT_NE(riched, nullptr);
    EXPECT_TRUE(os::Sys().FreeLibrary(riched));
}

}  // namespace
}  // namespace sim
