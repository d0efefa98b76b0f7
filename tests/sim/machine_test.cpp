// Machine folders: the configuration, loading and saving, and runs of the sim
// program on a folder (with a stand-in for the program's entry).
#include "platform/sim/machine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "platform/sim/runner.h"
#include "platform/sim/text.h"
#include "support/sim_machine.h"

namespace sim {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

void Spit(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// The whole folder as text: every path with its bytes.
std::string Snapshot(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        files[fs::relative(e.path(), dir).string()] =
            e.is_regular_file() ? Slurp(e.path().string()) : "<dir>";
    std::string out;
    for (const auto& [path, bytes] : files) out += path + "\n" + bytes + "\n";
    return out;
}

TEST(MachineConfig, ParsesAndRejectsWithTheLine) {
    MachineConfig c;
    std::string error;
    ASSERT_TRUE(
        MachineConfig::Parse("[System]\nFamily=9x\nversion=4.10\nwin64=no\nacp=1252\noemcp=850\n"
                             "admin=no\n[program]\npath=C:\\Velkor\\uninstall.exe\n"
                             "[environment]\nTEMP=C:\\TEMP\n[busy]\nC:\\Velkor\\x.dll=image\n",
                             &c, &error))
        << error;
    EXPECT_FALSE(c.Nt());
    EXPECT_EQ(c.minor, 10u);
    EXPECT_EQ(c.acp, 1252u);
    EXPECT_FALSE(c.admin);
    EXPECT_EQ(*MachineConfig::Find(c.environment, "temp"), "C:\\TEMP");
    MachineConfig again;
    ASSERT_TRUE(MachineConfig::Parse(c.Format(), &again, &error)) << error;
    EXPECT_EQ(again.Format(), c.Format());

    struct Case {
        int line;
        std::string text;
        std::string problem;
    };
    const std::string program = "[program]\npath=C:\\a.exe\n";
    const Case cases[] = {
        {__LINE__, "[system]\nfamily=nt4\n" + program, "line 2"},
        {__LINE__, "[system]\nversion=5\n" + program, "line 2"},
        {__LINE__, "[system]\nacp=1234567\n" + program, "line 2"},
        {__LINE__, "[system]\nwin64=maybe\n" + program, "line 2"},
        {__LINE__, "[system]\ncolour=blue\n" + program, "line 2"},
        {__LINE__, program + "[extra]\n", "line 3"},
        {__LINE__, program + "[busy]\nC:\\a.exe=running\n", "line 4"},
        {__LINE__, "[program]\npath=a.exe\n", "line 2"},
        {__LINE__, "[system]\nfamily=nt\n", "no [program] path"},
        {__LINE__, "garbage\n", "line 1"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << k.line);
        EXPECT_FALSE(MachineConfig::Parse(k.text, &c, &error));
        EXPECT_NE(error.find(k.problem), std::string::npos) << error;
    }
}

TEST(MachineFolder, SavesAndLoadsTheMachine) {
    FreshMachine m;
    const std::string ini = Slurp(m.Folder() + "/machine.ini");
    os::Key key = nullptr;
    ASSERT_EQ(os::Reg().CreateKeyEx(os::CurrentUser(), "Software\\Velkor", 0, os::kKeyWrite, &key,
                                    nullptr),
              0);
    ASSERT_EQ(os::Reg().SetValueEx(key, "Set", os::kRegDword, "\x01\0\0\0", 4), 0);
    os::Reg().CloseKey(key);
    m.Reload();
    EXPECT_EQ(Slurp(m.Folder() + "/machine.ini"), ini);  // unchanged configuration, untouched file
    EXPECT_NE(Slurp(m.Folder() + "/registry.reg")
                  .find("[HKEY_CURRENT_USER\\Software\\Velkor]\n\"Set\"=dword:00000001\n"),
              std::string::npos);
}

TEST(MachineFolder, CorruptFoldersAreRejectedWithAClearMessage) {
    struct Case {
        int line;
        std::function<void(const std::string&)> damage;
        std::string problem;
    };
    const Case cases[] = {
        {__LINE__, [](const std::string& d) { fs::remove(d + "/machine.ini"); }, "no machine.ini"},
        {__LINE__, [](const std::string& d) { fs::remove(d + "/registry.reg"); },
         "no registry.reg"},
        {__LINE__, [](const std::string& d) { Spit(d + "/registry.reg", "hello\n"); },
         "registry.reg, line 1"},
        {__LINE__, [](const std::string& d) { Spit(d + "/machine.ini", "[system]\nfamily=os2\n"); },
         "machine.ini, line 2"},
        {__LINE__,
         [](const std::string& d) { Spit(d + "/files.ini", "[attributes]\nC:\\x=shiny\n"); },
         "files.ini, line 2"},
        {__LINE__, [](const std::string& d) { fs::remove_all(d + "/drives"); }, "no drives folder"},
        {__LINE__,
         [](const std::string& d) {
             fs::remove(d + "/drives/C/Program Files/Velkor/uninstall.exe");
         },
         "the program file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        const std::string temp = MakeTempFolder();
        const std::string dir = temp + "/m";
        std::string error;
        ASSERT_TRUE(WriteSampleMachine(dir, MachineOptions(), &error)) << error;
        c.damage(dir);
        EXPECT_EQ(Machine::Load(dir, &error), nullptr);
        EXPECT_NE(error.find(c.problem), std::string::npos) << error;
        RemoveTree(temp);
    }
}

// A stand-in for the program's entry.
int g_entryCalls = 0;
std::string g_tail;
bool g_askQuestion = false;
int g_answer = 0;

void FakeProcessStart() {}
const char* FakeTail(const char* commandLine) {
    const char* p = strchr(commandLine + 1, '"');
    p = p ? p + 1 : commandLine + strlen(commandLine);
    while (*p == ' ') ++p;
    return p;
}
int FakeEntry(os::Module, const char* tail) {
    ++g_entryCalls;
    g_tail = tail;
    os::Key key = nullptr;
    os::Reg().CreateKeyEx(os::CurrentUser(), "Software\\Velkor", 0, os::kKeyWrite, &key, nullptr);
    os::Reg().SetValueEx(key, "Tail", os::kRegSz, tail, static_cast<os::Dword>(strlen(tail) + 1));
    os::Reg().CloseKey(key);
    if (g_askQuestion) g_answer = os::Gui().MessageBoxA(nullptr, "Sure?", "Velkor", os::kMbYesNo);
    return 0;
}

class SimProgramRun : public ::testing::Test {
  protected:
    void SetUp() override {
        temp_ = MakeTempFolder();
        dir_ = temp_ + "/machine";
        g_entryCalls = 0;
        g_askQuestion = false;
        g_answer = 0;
    }
    void TearDown() override { RemoveTree(temp_); }
    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), "uninstall");
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        testing::internal::CaptureStderr();
        const int code = RunSimProgram(static_cast<int>(argv.size()), argv.data(),
                                       {FakeProcessStart, FakeEntry, FakeTail});
        err_ = testing::internal::GetCapturedStderr();
        return code;
    }
    std::string temp_, dir_, err_;
};

TEST_F(SimProgramRun, MakesTheSampleMachineAndSavesTheRun) {
    ASSERT_EQ(Run({"--machine", dir_, "--trace", temp_ + "/trace", "--", "/setup", "/s"}), 0)
        << err_;
    EXPECT_EQ(g_entryCalls, 1);
    EXPECT_EQ(g_tail, "/setup /s");
    EXPECT_NE(Slurp(dir_ + "/registry.reg").find("\"Tail\"=\"/setup /s\""), std::string::npos);
    EXPECT_NE(Slurp(temp_ + "/trace")
                  .find("RegSetValueExA HKCU\\Software\\Velkor \"Tail\" REG_SZ \"/setup /s\" -> 0"),
              std::string::npos);
    // Only the machine folder is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(temp_), fs::directory_iterator()), 2);
    ASSERT_EQ(Run({"--machine", dir_, "--command-line", "\"C:\\x\\uninstall.exe\"  /clean"}), 0)
        << err_;
    EXPECT_EQ(g_tail, "/clean");
}

TEST_F(SimProgramRun, BadOptionsChangeNothing) {
    ASSERT_EQ(Run({"--machine", dir_}), 0) << err_;
    const std::string before = Snapshot(dir_);
    g_entryCalls = 0;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--frobnicate"},
             {"--machine"},
             {"--", "/s"},
             {"--machine", dir_, "--restart", "--", "/s"},
             {"--machine", dir_, "--command-line", "x", "--", "/s"},
             {"--machine", dir_, "--actions", temp_ + "/missing-actions"},
         }) {
        EXPECT_EQ(Run(args), 2) << args[0];
        EXPECT_NE(err_.find("uninstall: "), std::string::npos);
    }
    Spit(temp_ + "/actions", "yes\npress harder\n");
    EXPECT_EQ(Run({"--machine", dir_, "--actions", temp_ + "/actions"}), 2);
    EXPECT_NE(err_.find("line 2"), std::string::npos) << err_;
    EXPECT_EQ(g_entryCalls, 0);
    EXPECT_EQ(Snapshot(dir_), before);
}

TEST_F(SimProgramRun, ACorruptFolderIsLeftAsItWas) {
    ASSERT_EQ(Run({"--machine", dir_}), 0) << err_;
    Spit(dir_ + "/registry.reg", "Windows Registry Editor Version 5.00\n[HKLM\\A]\n\"v\"=hex:zz\n");
    const std::string before = Snapshot(dir_);
    g_entryCalls = 0;
    EXPECT_EQ(Run({"--machine", dir_, "--", "/s"}), 3);
    EXPECT_NE(err_.find(dir_ + "/registry.reg, line 3"), std::string::npos) << err_;
    EXPECT_EQ(g_entryCalls, 0);
    EXPECT_EQ(Snapshot(dir_), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(temp_), fs::directory_iterator()), 1);
}

TEST_F(SimProgramRun, AnUnansweredBoxEndsTheRunWithoutSaving) {
    ASSERT_EQ(Run({"--machine", dir_}), 0) << err_;
    const std::string before = Snapshot(dir_);
    g_askQuestion = true;
    Spit(temp_ + "/none", "# no answers\n");
    EXPECT_EQ(Run({"--machine", dir_, "--actions", temp_ + "/none", "--", "/x"}), 4);
    EXPECT_NE(err_.find("no answer for the message box \"Velkor\""), std::string::npos) << err_;
    EXPECT_EQ(Snapshot(dir_), before);
    Spit(temp_ + "/answers", "no\n");
    EXPECT_EQ(Run({"--machine", dir_, "--actions", temp_ + "/answers", "--", "/x"}), 0) << err_;
    EXPECT_EQ(g_answer, os::kIdNo);
}

TEST_F(SimProgramRun, RestartRunsNothingElse) {
    ASSERT_EQ(Run({"--machine", dir_, "--restart"}), 0) << err_;
    EXPECT_EQ(g_entryCalls, 0);
    EXPECT_TRUE(fs::exists(dir_ + "/machine.ini"));
}

TEST(SimProgram, TheBuiltProgramRunsOnAFreshFolder) {
    if (SimUninstallPath().empty()) GTEST_SKIP() << "build/sim/uninstall is not built";
    const std::string temp = MakeTempFolder();
    const ProcessResult r =
        RunSimUninstall({"--machine", temp + "/m", "--trace", temp + "/t", "--", "/clean"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::exists(temp + "/m/registry.reg"));
    EXPECT_TRUE(fs::exists(temp + "/m/drives/C/Program Files/Velkor/uninstall.exe"));
    EXPECT_NE(Slurp(temp + "/t").find("GetModuleFileNameA"), std::string::npos);
    const ProcessResult bad = RunSimUninstall({"--machine"});
    EXPECT_EQ(bad.exitCode, 2);
    RemoveTree(temp);
}

}  // namespace
}  // namespace sim
