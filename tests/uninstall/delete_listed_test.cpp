// Deleting the listed files and folders in passes, with busy files renamed
// and deleted at the next restart, on both families.
#include "uninstall/delete_listed.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/file.h"
#include "platform/sim/text.h"
#include "uninstall_fixture.h"

namespace uninstall_test {
namespace {

class DeleteListedTest : public UninstallTest {
  protected:
    // Runs DeleteListedFiles over the list inside the running program; its
    // result (a restart is needed).
    bool DeleteListed() {
        bool restartNeeded = false;
        InProgram([&] {
            const std::string folder = Ansi(machine(), Folder());
            const std::string name = Ansi(machine(), Folder() + "Uninstall.lst");
            File list;
            ASSERT_TRUE(list.Open(name.c_str(), nullptr, false, false));
            restartNeeded = DeleteListedFiles(list, folder.c_str());
        });
        return restartNeeded;
    }
    // Passes over the list: each starts at position 0.
    long Passes() const {
        const std::vector<std::string> seeks = Calls("SetFilePointer");
        return std::count_if(seeks.begin(), seeks.end(), [](const std::string& line) {
            return line.find(" distance=0 method=0 ") != std::string::npos;
        });
    }
    // What is scheduled for deletion at the restart: the names as the NT
    // family's registry value or the older platforms' wininit.ini hold them.
    std::vector<std::string> Scheduled() {
        std::vector<std::string> names;
        if (Nt()) {
            for (const auto& [from, to] : machine().PendingFileRenames()) {
                EXPECT_EQ(to, "") << from;
                names.push_back(from);
            }
            return names;
        }
        const std::string ini = machine().WindowsFolder() + "\\wininit.ini";
        if (!Exists(ini)) return names;
        const std::string text = machine().AnsiToUtf8(ReadFile(ini));
        for (size_t at = 0; (at = text.find("NUL=", at)) != std::string::npos; at += 4)
            names.push_back(text.substr(at + 4, text.find("\r\n", at) - at - 4));
        return names;
    }
    // The name under which `path` is scheduled on this family.
    std::string ScheduledName(const std::string& path) {
        if (Nt()) return "\\??\\" + path;
        std::string shortPath;
        EXPECT_EQ(machine().Files().ShortPath(path, &shortPath), 0) << path;
        return shortPath;
    }
};

TEST_F(DeleteListedTest, FolderListedBeforeItsFilesGoesInTheSecondPass) {
    for (const MachineKind& kind : kBothFamilies) {
        UseMachine(kind);
        SetList("Formats\r\nFormats\\Cab.fmt\r\nFormats\\Lzh.fmt\r\nFormats\\Readme.txt\r\n");
        EXPECT_FALSE(DeleteListed()) << kind.name;
        EXPECT_FALSE(Exists(Folder() + "Formats")) << kind.name;
        const std::string rd = "RemoveDirectoryA \"" + Folder() + "Formats\" -> ";
        EXPECT_EQ(Calls("RemoveDirectoryA"), (std::vector<std::string>{rd + "0 err=145", rd + "1"}))
            << kind.name;
        // The files, the folder, and one pass that deletes nothing.
        EXPECT_EQ(Passes(), 3) << kind.name;
    }
}

TEST_F(DeleteListedTest, ReadOnlyFilesGoAndMissingEntriesDoNotCount) {
    for (const MachineKind& kind : kBothFamilies) {
        UseMachine(kind);
        SetAttributes(Folder() + "Vlk.txt", os::kFileAttributeReadOnly | os::kFileAttributeHidden);
        SetList("Missing.txt\r\nFormats\\Missing\\x.fmt\r\n");
        EXPECT_FALSE(DeleteListed()) << kind.name;
        EXPECT_EQ(Passes(), 1) << kind.name << ": a missing entry is no deletion";
        EXPECT_TRUE(Calls("MoveFileA").empty()) << kind.name << ": a missing entry is not busy";

        SetList("Vlk.txt\r\n");
        EXPECT_FALSE(DeleteListed()) << kind.name;
        EXPECT_FALSE(Exists(Folder() + "Vlk.txt")) << kind.name;
    }
}

// Busy files are renamed to the first free "<name>.<i>.tmp" beside them and
// deleted at the restart, each of them: no restart notice is needed.
TEST_F(DeleteListedTest, BusyFilesAreRenamedAndDeletedAtRestart) {
    for (const MachineKind& kind : kBothFamilies) {
        UseMachine(kind);
        const std::string x = Folder() + "Formats\\x.dll";
        const std::string y = Folder() + "Formats\\y.dll";
        PutFile(x, "x");
        PutFile(y, "y");
        PutFile(y + ".0.tmp", "an earlier one");
        MakeBusy(x, "image");
        MakeBusy(y, "image");
        SetList("Formats\\x.dll\r\nFormats\\y.dll\r\n");
        EXPECT_FALSE(DeleteListed()) << kind.name;
        EXPECT_FALSE(Exists(x)) << kind.name;
        EXPECT_FALSE(Exists(y)) << kind.name;
        EXPECT_EQ(ReadFile(x + ".0.tmp"), "x") << kind.name;
        EXPECT_EQ(ReadFile(y + ".1.tmp"), "y") << kind.name;
        EXPECT_EQ(ReadFile(y + ".0.tmp"), "an earlier one") << kind.name;
        EXPECT_EQ(Scheduled(), (std::vector<std::string>{ScheduledName(x + ".0.tmp"),
                                                         ScheduledName(y + ".1.tmp")}))
            << kind.name;

        machine().Restart();
        EXPECT_FALSE(Exists(x + ".0.tmp")) << kind.name;
        EXPECT_FALSE(Exists(y + ".1.tmp")) << kind.name;
        EXPECT_TRUE(Exists(y + ".0.tmp")) << kind.name;
    }
}

// A busy file that cannot be renamed is scheduled under its own name, once in
// every pass, and asks for the restart. The system's list of pending
// deletions takes it each time; wininit.ini keeps one line for it.
TEST_F(DeleteListedTest, BusyFileThatCannotBeRenamedNeedsTheRestart) {
    for (const MachineKind& kind : kBothFamilies) {
        UseMachine(kind);
        const std::string exe = Folder() + "Velkor.exe";
        MakeBusy(exe, "locked");
        SetList("Velkor.exe\r\nVlk.txt\r\n");
        EXPECT_TRUE(DeleteListed()) << kind.name;
        EXPECT_TRUE(Exists(exe)) << kind.name;
        EXPECT_FALSE(Exists(exe + ".0.tmp")) << kind.name;
        EXPECT_EQ(Passes(), 2) << kind.name;
        EXPECT_EQ(Scheduled(), std::vector<std::string>(Nt() ? 2 : 1, ScheduledName(exe)))
            << kind.name;
        machine().Restart();
        EXPECT_FALSE(Exists(exe)) << kind.name;
    }
}

// A busy file named as the program's own file stays, in any folder, and so
// does the list; neither is renamed or scheduled.
TEST_F(DeleteListedTest, ProgramFileAndListStayWithoutRename) {
    for (const MachineKind& kind : kBothFamilies) {
        UseMachine(kind);
        const std::string copy = Folder() + "Formats\\UNINSTALL.EXE";
        PutFile(copy, "another copy");
        MakeBusy(copy, "image");
        SetList("uninstall.exe\r\nFormats\\UNINSTALL.EXE\r\nUninstall.lst\r\n");
        EXPECT_FALSE(DeleteListed()) << kind.name;
        EXPECT_TRUE(Exists(Program())) << kind.name;
        EXPECT_TRUE(Exists(copy)) << kind.name;
        EXPECT_TRUE(Exists(Folder() + "Uninstall.lst")) << kind.name;
        EXPECT_TRUE(Calls("MoveFileA").empty()) << kind.name;
        EXPECT_TRUE(Scheduled().empty()) << kind.name;
    }
}

// A rename target that would not fit a path buffer is not cut: the file is
// scheduled under its own name instead.
TEST_F(DeleteListedTest, BusyFileWithoutRoomForTheNewNameKeepsItsName) {
    for (const MachineKind& kind : kBothFamilies) {
        UseMachine(kind);
        std::string deep = Folder();
        std::string entry;
        while (deep.size() + 200 < 1000) {
            const std::string part = std::string(180, 'd') + "\\";
            MakeFolder(deep + part);
            deep += part;
            entry += part;
        }
        // The full name takes 1021 bytes: ".0.tmp" does not fit any more.
        const std::string name(1021 - deep.size(), 'n');
        PutFile(deep + name, "busy");
        MakeBusy(deep + name, "image");
        SetList(entry + name + "\r\n");
        EXPECT_TRUE(DeleteListed()) << kind.name;
        EXPECT_TRUE(Exists(deep + name)) << kind.name;
        EXPECT_TRUE(Calls("MoveFileA").empty()) << kind.name;
    }
}

}  // namespace
}  // namespace uninstall_test
