// The self-removal script: its exact bytes on both families, the launch, and
// the script run after the program has exited, from program folders whose
// paths the interpreter must read as they are.
#include <string>
#include <vector>

#include "platform/sim/text.h"
#include "uninstall_fixture.h"

namespace uninstall_test {
namespace {

// The script for these paths (as the interpreter must read them): the
// program run with wait, the del/rd/if block five times, then the label, the
// warning run and the script's own deletion, without a last line end.
std::string Script(bool nt, const std::string& program, const std::string& folder,
                   const std::string& script) {
    std::string text = (nt ? "" : "start /wait ") + ("\"" + program + "\" /wait\r\n");
    for (int i = 0; i < 5; ++i) {
        text += "del \"" + program + "\"\r\nrd \"" + folder + "\"\r\nif not exist \"" + program +
                "\" goto done\r\n";
    }
    return text + ":done\r\nif exist \"" + program + "\" \"" + program + "\" /warning\r\ndel \"" +
           script + "\"";
}

class SelfRemovalTest : public UninstallTest {
  protected:
    // Runs the uninstall silently with an empty list: the script is written
    // and started, and waits until RunStarted.
    void Uninstall() {
        SetList("");
        RunProgram("/s");
    }
    // A path in the bytes the interpreter reads: the OEM code page.
    std::string Oem(const std::string& utf8) {
        return machine().Oem().FromWide(sim::Utf8ToUtf16(utf8));
    }
    std::string FolderWithoutBackslash() const {
        const std::string folder = Folder();
        return folder.size() == 3 ? folder : folder.substr(0, folder.size() - 1);
    }
    // The self-removal's results once the script has run: the program file,
    // its folder and the script are gone, the folder's parent stays.
    void ExpectRemovedAfterTheScript(const std::string& what) {
        const std::string program = Program();
        const std::string folder = FolderWithoutBackslash();
        const std::string script = ScriptPath();
        RunStarted();
        EXPECT_FALSE(Exists(program)) << what;
        if (folder.size() > 3) {
            EXPECT_FALSE(Exists(folder)) << what;
            EXPECT_TRUE(Exists(folder.substr(0, folder.rfind('\\')))) << what;
        }
        EXPECT_FALSE(Exists(script)) << what;
        EXPECT_TRUE(Calls("MessageBoxA").empty()) << what << ": no warning";
    }
};

TEST_F(SelfRemovalTest, ScriptBytesOnBothFamilies) {
    for (const MachineKind& kind : kBothFamilies) {
        UseMachine(kind);
        Uninstall();
        const std::string expected =
            Script(Nt(), Program(), FolderWithoutBackslash(), ScriptPath());
        EXPECT_EQ(ReadFile(ScriptPath()), expected) << kind.name;
        // 19 lines: 18 line ends, none after the last line.
        size_t lineEnds = 0;
        for (size_t at = 0; (at = expected.find("\r\n", at)) != std::string::npos; at += 2)
            ++lineEnds;
        EXPECT_EQ(lineEnds, 18u);
    }
}

// NT family: the interpreter hidden, no NUL device; the older platforms: the
// interpreter detached with the NUL device as its standard handles, which
// the program closes after the launch. Both start in the program folder's
// parent.
TEST_F(SelfRemovalTest, InterpreterLaunch) {
    for (const MachineKind& kind : kBothFamilies) {
        UseMachine(kind);
        Uninstall();
        const std::vector<std::string> starts = Calls("CreateProcessA");
        ASSERT_EQ(starts.size(), 1u) << kind.name;
        const std::string& start = starts[0];
        const std::string comspec = *machine().Environment("COMSPEC");
        const std::vector<std::string> nul = Calls("CreateFileA \"NUL\"");
        if (Nt()) {
            EXPECT_NE(
                start.find(" cmd=" + sim::Quote(comspec + " /c \"\"" + ScriptPath() + "\"\"") +
                           " inherit=1 flags=0x0 dir=null startup={cb=68 flags=0x1 show=0} -> 1"),
                std::string::npos)
                << start;
            EXPECT_TRUE(nul.empty()) << kind.name;
        } else {
            EXPECT_NE(start.find(" cmd=" + sim::Quote(comspec + " /c \"" + ScriptPath() + "\"") +
                                 " inherit=1 flags=0x8 dir=null startup={cb=68 flags=0x100 "
                                 "std=\"NUL\",\"NUL\",\"NUL\"} -> 1"),
                      std::string::npos)
                << start;
            ASSERT_EQ(nul.size(), 1u);
            const std::string opened =
                "CreateFileA \"NUL\" access=0x40000000 share=0x1 creation=2 flags=0x0 -> ";
            ASSERT_EQ(nul[0].rfind(opened, 0), 0u) << nul[0];
            const std::string handle =
                nul[0].substr(opened.size(), nul[0].find(' ', opened.size()) - opened.size());
            const std::vector<std::string>& lines = machine().TraceLines();
            size_t launch = 0;
            while (launch < lines.size() && lines[launch].rfind("CreateProcessA", 0) != 0) ++launch;
            ASSERT_LT(launch + 1, lines.size());
            EXPECT_EQ(lines[launch + 1], "CloseHandle " + handle + " -> 1");
        }
        ASSERT_EQ(machine().PendingProcesses().size(), 1u);
        EXPECT_EQ(machine().PendingProcesses()[0].currentDirectory, "C:\\Program Files");
        EXPECT_EQ(machine().PendingProcesses()[0].hidden, Nt());
    }
}

TEST_F(SelfRemovalTest, ProgramInADrivesRoot) {
    for (const MachineKind& kind : kBothFamilies) {
        UseMachine(kind);
        MoveProgram("C:\\uninstall.exe");
        Uninstall();
        EXPECT_EQ(ReadFile(ScriptPath()), Script(Nt(), "C:\\uninstall.exe", "C:\\", ScriptPath()))
            << kind.name;
        ASSERT_EQ(machine().PendingProcesses().size(), 1u);
        EXPECT_EQ(machine().PendingProcesses()[0].currentDirectory, "C:\\");
        ExpectRemovedAfterTheScript(kind.name);
    }
}

// Letters outside ASCII, "%", "&" and blanks: the script holds the path in
// the OEM code page with "%" doubled, and the interpreter finds the file.
TEST_F(SelfRemovalTest, ProgramFolderWithCyrillicPercentAndAmpersand) {
    for (const MachineKind& kind : kBothFamilies) {
        UseMachine(kind);
        MoveProgram("C:\\Программы\\Velkor 100% & Co\\uninstall.exe");
        Uninstall();
        EXPECT_EQ(ReadFile(ScriptPath()),
                  Script(Nt(), Oem("C:\\Программы\\Velkor 100%% & Co\\uninstall.exe"),
                         Oem("C:\\Программы\\Velkor 100%% & Co"), ScriptPath()))
            << kind.name;
        ExpectRemovedAfterTheScript(kind.name);
    }
}

// A path that the OEM code page cannot hold is written in its short form.
TEST_F(SelfRemovalTest, PathWithoutOemFormIsWrittenShort) {
    UseMachine({"1252/850", sim::Family::kNt, 1252, 850});
    MoveProgram("C:\\Velkor \xe2\x82\xac\\uninstall.exe");  // the euro sign
    std::string shortProgram, shortFolder;
    ASSERT_EQ(machine().Files().ShortPath(Program(), &shortProgram), 0);
    ASSERT_EQ(machine().Files().ShortPath(FolderWithoutBackslash(), &shortFolder), 0);
    ASSERT_EQ(shortProgram.find("\xe2\x82\xac"), std::string::npos);
    Uninstall();
    EXPECT_EQ(ReadFile(ScriptPath()), Script(true, shortProgram, shortFolder, ScriptPath()));
    ExpectRemovedAfterTheScript("short form");
}

// A piece that would not fit its buffer is never cut: no script is written
// and nothing is started; the program file stays.
TEST_F(SelfRemovalTest, ScriptThatCannotBeWrittenWholeIsNotWritten) {
    for (const MachineKind& kind : kBothFamilies) {
        UseMachine(kind);
        MoveProgram("C:\\" + std::string(180, 'a') + "\\" + std::string(180, 'b') +
                    "\\uninstall.exe");
        Uninstall();
        EXPECT_FALSE(Exists(Folder() + "Uninstall.lst")) << kind.name;
        EXPECT_FALSE(Exists(ScriptPath())) << kind.name;
        EXPECT_TRUE(Calls("CreateProcessA").empty()) << kind.name;
        RunStarted();
        EXPECT_TRUE(Exists(Program())) << kind.name;
    }
}

// The command interpreter strips the quotes of its /c text when the path
// holds "&" or parentheses, unless the text is quoted once more.
TEST_F(SelfRemovalTest, TemporaryFolderWithSpecialCharacters) {
    const std::string temp = "C:\\Temp (A&B)";
    MakeFolder(temp);
    for (auto& [name, value] : machine().Config().environment) {
        if (name == "TEMP" || name == "TMP") value = temp;
    }
    RunProgram("/s");
    EXPECT_EQ(ScriptPath(), temp + "\\Uninstall_Vlk.Bat");
    ExpectRemovedAfterTheScript("temporary folder " + temp);
}

TEST_F(SelfRemovalTest, WithoutComspecNoInterpreterStarts) {
    auto& environment = machine().Config().environment;
    for (auto it = environment.begin(); it != environment.end(); ++it) {
        if (it->first == "COMSPEC") {
            environment.erase(it);
            break;
        }
    }
    Uninstall();
    const std::vector<std::string> starts = Calls("CreateProcessA");
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_NE(starts[0].find(" -> 0 err=2"), std::string::npos) << starts[0];
    RunStarted();
    EXPECT_TRUE(Exists(Program()));
    EXPECT_TRUE(Exists(ScriptPath()));
}

}  // namespace
}  // namespace uninstall_test
