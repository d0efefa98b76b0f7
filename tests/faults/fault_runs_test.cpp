// Setup and uninstall from end to end, each run with one fault: missing
// rights, a broken language module or language file, an unreadable list,
// busy files, an unwritable temporary folder, no COMSPEC, a full disk and
// registry values longer than every read buffer. Most failures are silent by
// design; what every run must keep is the rest of the machine.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "fault_run.h"
#include "localisation/text_key.h"
#include "platform/sim/text.h"

namespace fault_test {
namespace {

using uninstall_test::kBothFamilies;

const MachineKind kNt = kBothFamilies[0];
const MachineKind k9x = kBothFamilies[1];
const MachineKind kNt932 = {"nt 932", sim::Family::kNt, 932, 932};

const std::string kTitle = "Удаление Velkor";
const std::string kQuestion = "Вы действительно хотите удалить Velkor?";
const std::string kListError = "Невозможно открыть файл со списком Uninstall.lst";
const std::string kRestart = "Для завершения удаления Velkor необходимо перезагрузить Windows.";
const std::string kOwnQuestion = kTitle + "|" + kQuestion;
const std::string kOwnListError = kTitle + "|" + kListError;
const std::string kOwnRestart = kTitle + "|" + kRestart;
// Another program's deletion at the restart, in wininit.ini.
const std::string kOtherDeletion = "[Rename]\r\nNUL=C:\\OTHER.TMP\r\n";

std::string ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class FaultRunsTest : public FaultRunTest {
  protected:
    // The warning that the script's last program run shows.
    std::string Warning() {
        return kTitle + "|Удаление завершено\\nВы должны удалить " + Program() + " самостоятельно";
    }
    // A language-file line start for one of the program's strings: its key,
    // "=" and the opening double quote.
    std::string LineStart(const std::string& ownText) {
        char key[kTextKeySize];
        ComputeTextKey(key, kKeyTypeString, nullptr,
                       uninstall_test::Ansi(machine(), ownText).c_str());
        return std::string(key) + "=\"";
    }
    // uninstall.lng beside the program: a header, the marker and `area`.
    void PutLanguageFile(const std::string& area) {
        PutFile(Folder() + "uninstall.lng", "; cut off\r\n***messages***\r\n" + area);
        AppendToList("uninstall.lng\r\n");
    }
    bool Started() { return !Calls("CreateProcessA").empty(); }
    // The files left below the program folder (folders left out).
    std::vector<std::string> FilesLeft() {
        std::vector<std::string> files;
        for (const auto& [path, bytes] : Snapshot())
            if (bytes != "<folder>" && sim::FoldUtf8(path).rfind(sim::FoldUtf8(Folder()), 0) == 0)
                files.push_back(path);
        return files;
    }
    void SetFree(char drive, uint64_t bytes) {
        auto& disks = machine().Config().diskFree;
        if (uint64_t* free = machine().Config().FreeBytes(drive)) {
            *free = bytes;
        } else {
            disks.push_back({drive, bytes});
        }
    }
    // A drive folder of the machine (drives/D for D:).
    void AddDrive(char drive) {
        std::filesystem::create_directories(machine().Folder() + "/drives/" + drive);
    }
    std::string Long(char c = 'x') { return std::string(3000, c); }
};

TEST_F(FaultRunsTest, EveryRunKeepsWhatItDoesNotOwn) {
    const std::string classes = "SOFTWARE\\Classes\\";
    const std::string hklmClasses = "value HKLM\\SOFTWARE\\CLASSES\\";

    const FaultCase cases[] = {
        // A user without machine-wide rights on the NT family.
        {__LINE__,
         "no machine-wide rights for setup and uninstall",
         kNt,
         [&] { machine().Config().admin = false; },
         nullptr,
         "/s",
         {"ok", "ok"},
         // The listed files can be neither deleted nor scheduled; the script
         // cannot delete the program either.
         {kOwnRestart, Warning()},
         false,
         Outcome::kRemoved,
         {},
         [&] {
             // Setup wrote its per-user part and nothing machine-wide.
             EXPECT_FALSE(With(AfterSetup(), "key HKCU\\SOFTWARE\\VELKOR").empty());
             EXPECT_TRUE(AfterSetup().count("folder " + sim::FoldUtf8(ProgramGroup())));
             EXPECT_EQ(With(AfterSetup(), "value HKLM"), With(BeforeSetup(), "value HKLM"));
             EXPECT_EQ(With(Lines(), "value HKLM"), With(BeforeSetup(), "value HKLM"));
             EXPECT_FALSE(Exists(ProgramGroup()));
             EXPECT_TRUE(Exists(Program()));
             EXPECT_TRUE(Exists(Folder() + "Velkor.exe"));
         }},
        {__LINE__,
         "machine-wide rights lost before the uninstall",
         kNt,
         nullptr,
         [&] { machine().Config().admin = false; },
         "/s",
         {"ok", "ok"},
         {kOwnRestart, Warning()},
         false,
         Outcome::kRemoved,
         // The extensions cannot be given back without the rights; their
         // backups go with the product key, which the uninstall deletes last.
         {hklmClasses + ".ZIP @", hklmClasses + ".ZIP \"CONTENT TYPE\"",
          hklmClasses + ".ZIP\\SHELLNEW \"NULLFILE\""},
         [&] {
             EXPECT_EQ(With(Lines(), hklmClasses + ".ZIP @"),
                       With(AfterSetup(), hklmClasses + ".ZIP @"));
             EXPECT_FALSE(Exists(ProgramGroup()));
         }},

        // The language module.
        {__LINE__,
         "language module missing",
         kNt,
         nullptr,
         nullptr,
         "",
         {"yes"},
         {kOwnQuestion},
         false,
         Outcome::kRemoved,
         {},
         [&] {
             const std::vector<std::string> loads =
                 Calls("LoadLibraryA \"" + Folder() + "vlklng.dll\"");
             ASSERT_FALSE(loads.empty());
             EXPECT_NE(loads.back().find(" -> 0"), std::string::npos) << loads.back();
         }},
        {__LINE__,
         "language module that is no DLL",
         kNt,
         [&] {
             PutFile(Folder() + "vlklng.dll", "MZ this is no module\r\n");
             AppendToList("vlklng.dll\r\n");
         },
         nullptr,
         "",
         {"yes"},
         {kOwnQuestion},
         false,
         Outcome::kRemoved,
         {},
         [&] { EXPECT_FALSE(Exists(Folder() + "vlklng.dll")); }},
        {__LINE__,
         "language module cut off in the middle",
         k9x,
         [&] {
             const std::string module =
                 ReadHostFile(std::string(VLK_BINARY_DIR) + "/lang/vlklng.dll");
             ASSERT_GT(module.size(), 1024u);
             PutFile(Folder() + "vlklng.dll", module.substr(0, module.size() / 2));
             AppendToList("vlklng.dll\r\n");
         },
         nullptr,
         "",
         {"yes"},
         {kOwnQuestion},
         false,
         Outcome::kRemoved,
         {},
         [&] { EXPECT_FALSE(Exists(Folder() + "vlklng.dll")); }},
        {__LINE__,
         "a folder named as the language module",
         kNt,
         [&] {
             MakeFolder(Folder() + "vlklng.dll");
             AppendToList("vlklng.dll\r\n");
         },
         nullptr,
         "",
         {"yes"},
         {kOwnQuestion},
         false,
         Outcome::kRemoved,
         {},
         [&] { EXPECT_FALSE(Exists(Folder() + "vlklng.dll")); }},

        // The language file cut off: lines before the cut still translate.
        {__LINE__,
         "language file cut off in the middle of a line",
         kNt,
         [&] {
             PutLanguageFile(LineStart(kTitle) + "Velkor uninstall\"\r\n" + LineStart(kQuestion) +
                             "Remove Vel");
         },
         nullptr,
         "",
         {"yes"},
         {"Velkor uninstall|Remove Vel"},
         false,
         Outcome::kRemoved,
         {},
         nullptr},
        {__LINE__,
         "language file cut off in an escape",
         k9x,
         [&] {
             PutLanguageFile(LineStart(kTitle) + "Velkor uninstall\"\r\n" + LineStart(kQuestion) +
                             "Remove\\tVelkor?\\");
         },
         nullptr,
         "",
         {"yes"},
         {"Velkor uninstall|Remove\\tVelkor?\\"},
         false,
         Outcome::kRemoved,
         {},
         nullptr},
        {__LINE__,
         "language file cut off in a double-byte character",
         kNt932,
         [&] {
             // 0x82 0xA0 is a double-byte character of code page 932; the
             // file ends after its lead byte.
             PutLanguageFile(LineStart(kTitle) + "Velkor uninstall\"\r\n" + LineStart(kQuestion) +
                             "Remove \x82\xa0 \x82");
         },
         nullptr,
         "",
         {"yes"},
         {"Velkor uninstall|Remove \xe3\x81\x82 *"},
         false,
         Outcome::kRemoved,
         {},
         nullptr},

        // The list cannot be read: the error, and nothing changes.
        {__LINE__,
         "list held locked by another process",
         kNt,
         nullptr,
         [&] { MakeBusy(Folder() + "Uninstall.lst", "locked"); },
         "/s",
         {"ok"},
         {kOwnListError},
         false,
         Outcome::kUnchanged,
         {},
         [&] { EXPECT_FALSE(Started()); }},
        {__LINE__,
         "a folder in the place of the list",
         k9x,
         nullptr,
         [&] {
             ASSERT_EQ(machine().Files().DeleteFile(Folder() + "Uninstall.lst"), 0);
             MakeFolder(Folder() + "Uninstall.lst");
         },
         "/s",
         {"ok"},
         {kOwnListError},
         false,
         Outcome::kUnchanged,
         {},
         [&] { EXPECT_FALSE(Started()); }},

        // Busy files in both listed folders: the one that can be renamed
        // goes at the restart under its new name, the one that cannot under
        // its own, after the notice.
        {__LINE__,
         "busy files in every listed folder",
         kNt,
         nullptr,
         [&] {
             MakeBusy(Folder() + "Velkor.exe", "image");
             MakeBusy(Folder() + "Formats\\Lzh.fmt", "open");
         },
         "/s",
         {"ok"},
         {kOwnRestart},
         true,
         Outcome::kRemoved,
         {},
         [&] { EXPECT_EQ(FilesLeft(), std::vector<std::string>{}); }},
        {__LINE__,
         "busy files in every listed folder",
         k9x,
         nullptr,
         [&] {
             MakeBusy(Folder() + "Velkor.exe", "image");
             MakeBusy(Folder() + "Formats\\Lzh.fmt", "locked");
         },
         "/s",
         {"ok"},
         {kOwnRestart},
         true,
         Outcome::kRemoved,
         {},
         [&] { EXPECT_EQ(FilesLeft(), std::vector<std::string>{}); }},

        // The temporary folder cannot be written: no script, the program
        // file stays, everything else is gone.
        {__LINE__,
         "temporary folder not writable",
         kNt,
         nullptr,
         [&] {
             machine().Config().denied.push_back({TempFolder(), "always"});
         },
         "/s",
         {},
         {},
         false,
         Outcome::kRemoved,
         {},
         [&] {
             EXPECT_FALSE(Exists(ScriptPath()));
             EXPECT_FALSE(Started());
             EXPECT_EQ(FilesLeft(), std::vector<std::string>{Program()});
         }},
        {__LINE__,
         "temporary folder not writable",
         k9x,
         nullptr,
         [&] {
             machine().Config().denied.push_back({TempFolder(), "always"});
         },
         "/s",
         {},
         {},
         false,
         Outcome::kRemoved,
         {},
         [&] {
             EXPECT_FALSE(Exists(ScriptPath()));
             EXPECT_FALSE(Started());
             EXPECT_EQ(FilesLeft(), std::vector<std::string>{Program()});
         }},

        // No COMSPEC: the script is written, no interpreter starts.
        {__LINE__,
         "COMSPEC missing",
         kNt,
         nullptr,
         [&] { SetEnvironment("COMSPEC", nullptr); },
         "/s",
         {},
         {},
         false,
         Outcome::kRemoved,
         {},
         [&] {
             EXPECT_TRUE(Exists(ScriptPath()));
             EXPECT_EQ(FilesLeft(), std::vector<std::string>{Program()});
         }},
        {__LINE__,
         "COMSPEC missing",
         k9x,
         nullptr,
         [&] { SetEnvironment("COMSPEC", nullptr); },
         "/s",
         {},
         {},
         false,
         Outcome::kRemoved,
         {},
         [&] {
             EXPECT_TRUE(Exists(ScriptPath()));
             EXPECT_EQ(FilesLeft(), std::vector<std::string>{Program()});
         }},

        // A full disk.
        {__LINE__,
         "disk full while setup writes the new-archive templates",
         kNt,
         // Room for the 20-byte VLK template, not for the 22-byte ZIP one.
         [&] { SetFree('C', 25); },
         [&] { machine().Config().diskFree.clear(); },
         "/s",
         {},
         {},
         false,
         Outcome::kRemoved,
         {},
         [&] {
             const std::string folder = "file " + sim::FoldUtf8(Folder());
             EXPECT_EQ(With(AfterSetup(), folder + "VLKNEW.DAT").size(), 1u);
             EXPECT_EQ(With(AfterSetup(), folder + "ZIPNEW.DAT"), std::set<std::string>{})
                 << "a cut-off template stays";
             // The New menu names the template all the same, as prescribed.
             EXPECT_EQ(With(AfterSetup(), hklmClasses + ".ZIP\\SHELLNEW \"FILENAME\"").size(), 1u);
         }},
        {__LINE__,
         "disk full where the script is written",
         kNt,
         nullptr,
         [&] {
             AddDrive('D');
             const std::string temp = "D:\\Temp";
             MakeFolder(temp);
             SetEnvironment("TEMP", &temp);
             SetEnvironment("TMP", &temp);
             SetFree('D', 0);
         },
         "/s",
         {},
         {},
         false,
         Outcome::kRemoved,
         {},
         [&] {
             EXPECT_FALSE(Exists(ScriptPath()));
             EXPECT_FALSE(Started());
             EXPECT_EQ(FilesLeft(), std::vector<std::string>{Program()});
         }},
        {__LINE__,
         "disk full after the first piece of the script",
         k9x,
         nullptr,
         [&] {
             // Room for the script's first line, not for the rest.
             AddDrive('D');
             const std::string temp = "D:\\Temp";
             MakeFolder(temp);
             SetEnvironment("TEMP", &temp);
             SetEnvironment("TMP", &temp);
             SetFree('D', 100);
         },
         "/s",
         {},
         {},
         false,
         Outcome::kRemoved,
         {},
         [&] {
             bool partly = false, full = false;
             for (const std::string& line : Calls("WriteFile")) {
                 partly = partly || line.find(" -> 1") != std::string::npos;
                 full = full || line.find("err=112") != std::string::npos;
             }
             EXPECT_TRUE(partly && full) << "the script was not cut by the full disk";
             EXPECT_FALSE(Exists(ScriptPath()));
             EXPECT_FALSE(Started());
             EXPECT_EQ(FilesLeft(), std::vector<std::string>{Program()});
             // What the first piece took is free again.
             EXPECT_EQ(*machine().Config().FreeBytes('D'), 100u);
         }},
        // The Windows folder on a full drive of its own: wininit.ini cannot
        // grow, and what other programs scheduled in it must stay.
        {__LINE__,
         "disk full when a busy file is scheduled in wininit.ini",
         k9x,
         nullptr,
         [&] {
             AddDrive('D');
             for (auto& [name, path] : machine().Config().folders)
                 if (name == "windows") path = "D:\\WINDOWS";
             MakeFolder("D:\\WINDOWS");
             PutFile("D:\\WINDOWS\\wininit.ini", kOtherDeletion);
             MakeBusy(Folder() + "Velkor.exe", "open");
             SetFree('D', 0);
         },
         "/s",
         {"ok"},
         {kOwnRestart},
         false,
         Outcome::kRemoved,
         {},
         [&] {
             ASSERT_EQ(machine().WindowsFolder(), "D:\\WINDOWS");
             EXPECT_EQ(ReadFile("D:\\WINDOWS\\wininit.ini"), kOtherDeletion);
         }},
        // With room, the deletion is added after the other program's.
        {__LINE__,
         "a busy file scheduled in wininit.ini with room",
         k9x,
         nullptr,
         [&] {
             PutFile(machine().WindowsFolder() + "\\wininit.ini", kOtherDeletion);
             MakeBusy(Folder() + "Velkor.exe", "open");
         },
         "/s",
         {"ok"},
         {kOwnRestart},
         false,
         Outcome::kRemoved,
         {},
         [&] {
             std::string shortName;
             ASSERT_EQ(machine().Files().ShortPath(Folder() + "Velkor.exe", &shortName), 0);
             EXPECT_EQ(ReadFile(machine().WindowsFolder() + "\\wininit.ini"),
                       kOtherDeletion + "NUL=" + shortName + "\r\n");
         }},

        // Registry values longer than every read buffer of the program.
        {__LINE__,
         "registry values longer than every read buffer",
         kNt,
         [&] {
             SetString(classes + ".arj", "", Long());
             SetString(classes + ".arj", "Content Type", Long());
             SetString(classes + ".zip\\ShellNew", "FileName", "C:\\" + Long());
             SetString(classes + ".iso", "", std::string(200, 'i'));  // past the owner test's 80
             SetString(classes + "Velkor\\DefaultIcon", "", Long());
             SetString("Software\\Velkor\\Setup", "ShellExt", Long(), true);
             SetString("Software\\Velkor\\Setup\\Links", "Programs", Long(), true);
             SetString("Software\\Velkor\\Setup\\.cab", "Type", Long(), true);
             SetString("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Velkor.exe",
                       "Path", Long());
         },
         nullptr,
         "/s",
         {},
         {},
         false,
         Outcome::kRemoved,
         // Values too long for their buffer read as their defaults: a class
         // and content type so long are backed up as empty and given back
         // so; the template name so long is not backed up.
         {hklmClasses + ".ARJ @", hklmClasses + ".ARJ \"CONTENT TYPE\"",
          hklmClasses + ".ZIP\\SHELLNEW \"FILENAME\"",
          // What the product owns.
          "key HKCU\\SOFTWARE\\VELKOR", "value HKCU\\SOFTWARE\\VELKOR",
          "key HKLM\\SOFTWARE\\CLASSES\\VELKOR", hklmClasses + "VELKOR",
          "key HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\APP PATHS\\VELKOR.EXE",
          "value HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\APP PATHS\\VELKOR.EXE"},
         [&] {
             EXPECT_EQ(With(AfterSetup(), hklmClasses + ".ARJ @"),
                       std::set<std::string>{hklmClasses + ".ARJ @ = REG_SZ \"Velkor\""});
             // The owner of .iso could not be read, so ISO stayed chosen.
             EXPECT_EQ(With(AfterSetup(), hklmClasses + ".ISO @"),
                       std::set<std::string>{hklmClasses + ".ISO @ = REG_SZ \"Velkor\""});
             // The stored settings read as their defaults: program group on.
             EXPECT_TRUE(AfterSetup().count("folder " + sim::FoldUtf8(ProgramGroup())));
             EXPECT_EQ(With(Lines(), hklmClasses + ".ARJ @"),
                       std::set<std::string>{hklmClasses + ".ARJ @ = REG_SZ \"\""});
         }},
    };
    for (const FaultCase& c : cases) Run(c);
}

}  // namespace
}  // namespace fault_test
