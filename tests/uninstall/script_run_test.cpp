// The simulated machine's command interpreter as the self-removal script
// needs it: batch files read in the OEM code page, "%" forms, labels, the
// programs a batch waits for, and the quotes of the switch /c.
#include <string>
#include <vector>

#include "platform/sim/text.h"
#include "uninstall_fixture.h"

namespace uninstall_test {
namespace {

class ScriptRunTest : public UninstallTest {
  protected:
    std::string Comspec() { return *machine().Environment("COMSPEC"); }
    // Starts the interpreter with `arguments` after its name, as the program
    // would, and runs it to its end.
    void RunInterpreter(const std::string& arguments) {
        sim::PendingProcess process;
        process.commandLine = Comspec() + " " + arguments;
        process.currentDirectory = "C:\\";
        process.program = Comspec();
        machine().PendingProcesses().push_back(process);
        RunStarted();
    }
    // Writes `utf8` as the batch file `path` in code page `codePage` and runs it.
    void RunBatch(const std::string& utf8, unsigned codePage = 0,
                  const std::string& path = "C:\\t.bat") {
        const sim::CodePage& page = codePage ? *sim::CodePage::Find(codePage) : machine().Oem();
        PutFile(path, page.FromWide(sim::Utf8ToUtf16(utf8)));
        RunInterpreter("/c \"" + path + "\"");
    }
};

// The interpreter reads a batch file in the OEM code page: a path written in
// the ANSI code page names another file.
TEST_F(ScriptRunTest, BatchFilesAreReadInTheOemCodePage) {
    const struct {
        int line;
        unsigned codePage;
        bool deleted;
    } cases[] = {{__LINE__, 866, true}, {__LINE__, 1251, false}};
    for (const auto& c : cases) {
        UseMachine(kBothFamilies[0]);
        MakeFolder("C:\\Папка");
        PutFile("C:\\Папка\\файл.txt", "x");
        RunBatch("del \"C:\\Папка\\файл.txt\"\r\n", c.codePage);
        EXPECT_EQ(!Exists("C:\\Папка\\файл.txt"), c.deleted) << "case at line " << c.line;
    }
}

TEST_F(ScriptRunTest, PercentSigns) {
    const struct {
        int line;
        const char* script;
        bool deleted;
    } cases[] = {
        {__LINE__, "del \"C:\\100%%.txt\"", true},
        // A lone "%" is dropped: the name is another one.
        {__LINE__, "del \"C:\\100%.txt\"", false},
        {__LINE__, "del \"%SystemDrive%\\100%%.txt\"", true},
    };
    for (const auto& c : cases) {
        UseMachine(kBothFamilies[0]);
        PutFile("C:\\100%.txt", "x");
        RunBatch(c.script);
        EXPECT_EQ(!Exists("C:\\100%.txt"), c.deleted) << "case at line " << c.line;
    }
}

TEST_F(ScriptRunTest, LabelsAndGoto) {
    PutFile("C:\\a.txt", "a");
    PutFile("C:\\b.txt", "b");
    RunBatch("goto two\r\ndel \"C:\\a.txt\"\r\n:two\r\ndel \"C:\\b.txt\"");
    EXPECT_TRUE(Exists("C:\\a.txt"));
    EXPECT_FALSE(Exists("C:\\b.txt"));
    // A missing label ends the batch.
    RunBatch("goto nowhere\r\ndel \"C:\\a.txt\"");
    EXPECT_TRUE(Exists("C:\\a.txt"));
    RunBatch(
        "if exist \"C:\\a.txt\" goto gone\r\n:gone\r\nif not exist \"C:\\b.txt\" del "
        "\"C:\\a.txt\"");
    EXPECT_FALSE(Exists("C:\\a.txt"));
}

// Which program runs a batch waits for: on the NT family every one, on the
// older platforms only one started with "start /wait". The NT family's
// "start" takes a first quoted argument for the window's title.
TEST_F(ScriptRunTest, ProgramsTheBatchWaitsFor) {
    const struct {
        int line;
        MachineKind kind;
        const char* run;
        bool waits;
    } cases[] = {
        {__LINE__, kBothFamilies[0], "\"%s\" /wait", true},
        {__LINE__, kBothFamilies[1], "start /wait \"%s\" /wait", true},
        {__LINE__, kBothFamilies[1], "\"%s\" /wait", false},
        {__LINE__, kBothFamilies[0], "start /wait \"%s\" /wait", false},
    };
    for (const auto& c : cases) {
        UseMachine(c.kind);
        std::string run = c.run;
        run.replace(run.find("%s"), 2, Program());
        PutFile("C:\\marker.txt", "m");
        RunBatch(run + "\r\ndel \"C:\\marker.txt\"\r\n");
        const std::vector<std::string> sleeps = Calls("Sleep");
        if (c.waits) {
            ASSERT_EQ(sleeps.size(), 1u) << "case at line " << c.line;
            EXPECT_LT(Position("Sleep 2000"), Position("Batch del \"C:\\marker.txt\""))
                << "case at line " << c.line;
        } else if (!sleeps.empty()) {
            EXPECT_GT(Position("Sleep 2000"), Position("Batch del \"C:\\marker.txt\""))
                << "case at line " << c.line;
        }
        EXPECT_FALSE(Exists("C:\\marker.txt")) << "case at line " << c.line;
    }
}

// cmd.exe keeps the quotes of its /c text only for one quoted program name
// with a blank and without &<>()@^|; otherwise it removes the first and the
// last quote.
TEST_F(ScriptRunTest, QuotesOfTheSwitchC) {
    const struct {
        int line;
        const char* folder;
        const char* quoted;
        bool runs;
    } cases[] = {
        {__LINE__, "C:\\Temp AB", "\"%s\"", true},
        {__LINE__, "C:\\Temp (A&B)", "\"%s\"", false},
        {__LINE__, "C:\\Temp (A&B)", "\"\"%s\"\"", true},
        {__LINE__, "C:\\TempAB", "\"%s\"", true},
    };
    for (const auto& c : cases) {
        UseMachine(kBothFamilies[0]);
        MakeFolder(c.folder);
        const std::string batch = std::string(c.folder) + "\\t.bat";
        PutFile(batch, "del \"C:\\WINDOWS\\win.ini\"\r\n");
        std::string argument = c.quoted;
        argument.replace(argument.find("%s"), 2, batch);
        RunInterpreter("/c " + argument);
        EXPECT_EQ(!Exists("C:\\WINDOWS\\win.ini"), c.runs) << "case at line " << c.line;
    }
}

}  // namespace
}  // namespace uninstall_test
