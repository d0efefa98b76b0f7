// The uninstall entry as Windows' list of installed programs uses it: its
// "UninstallString" becomes the whole command line of a new process of the
// program, which must then run the uninstall.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/entry.h"
#include "integration/handlers.h"
#include "platform/sim/machine.h"
#include "platform/sim/text.h"
#include "support/sim_machine.h"

namespace os {
void DefaultPlatform(Platform* platform);
}  // namespace os

namespace shell_test {
namespace {

const char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velkor archiver";

// The host path of a machine's file (ASCII paths on C:) in folder `dir`.
std::string HostPath(const std::string& dir, const std::string& windowsPath) {
    std::string rest = windowsPath.substr(3);
    std::replace(rest.begin(), rest.end(), '\\', '/');
    return dir + "/drives/C/" + rest;
}

std::string HostRead(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A sample machine folder in `dir` whose installation lies in `folder`
// (UTF-8), with the uninstall entry written by the program itself. Returns
// the entry's "UninstallString" (UTF-8).
std::string MachineWithEntry(const std::string& dir, const std::string& folder) {
    namespace fs = std::filesystem;
    std::string error;
    EXPECT_TRUE(sim::WriteSampleMachine(dir, sim::MachineOptions(), &error)) << error;
    // The installation moved on the host, and machine.ini told of it.
    sim::MachineConfig config;
    EXPECT_TRUE(sim::MachineConfig::Parse(HostRead(dir + "/machine.ini"), &config, &error))
        << error;
    const std::string installed = config.programPath.substr(0, config.programPath.rfind('\\'));
    fs::rename(HostPath(dir, installed), HostPath(dir, folder));
    config.programPath = folder + "\\uninstall.exe";
    std::ofstream(dir + "/machine.ini", std::ios::binary | std::ios::trunc) << config.Format();
    std::unique_ptr<sim::Machine> machine = sim::Machine::Load(dir, &error);
    EXPECT_TRUE(machine) << error;
    if (!machine) return "";

    machine->Install();
    ProgramProcessStart();
    RegisterUninstallEntry();
    ProgramProcessEnd();
    os::Platform fallback;
    os::DefaultPlatform(&fallback);
    os::Install(fallback);

    std::string command;
    sim::RegNode* key =
        machine->Registry().Find(sim::Hive::kLocalMachine, sim::Utf8ToUtf16(kUninstallKey));
    const sim::RegValue* value = key ? key->Value(u"UninstallString") : nullptr;
    EXPECT_TRUE(value) << "no UninstallString";
    if (value) {
        std::u16string text;
        for (size_t i = 0; i + 1 < value->data.size(); i += 2)
            text += static_cast<char16_t>(value->data[i] | (value->data[i + 1] << 8));
        while (!text.empty() && text.back() == u'\0') text.pop_back();
        command = sim::Utf16ToUtf8(text);
    }
    EXPECT_TRUE(machine->Save(&error)) << error;
    return command;
}

TEST(UninstallEntryRun, WindowsStartsTheUninstallThroughTheEntry) {
    if (sim::SimUninstallPath().empty()) GTEST_SKIP() << "the sim program is not built";
    struct Case {
        int line;
        const char* folder;
        bool asWritten;  // the entry's own text, or the bare path in its place
        bool uninstalled;
    };
    const Case cases[] = {
        {__LINE__, "C:\\Program Files\\Velkor-5", true, true},
        {__LINE__, "C:\\Program Files\\Velkor 5 -beta", true, true},
        {__LINE__, "C:\\Velkor", true, true},
        // Unquoted, the "-5\uninstall.exe" after the blank is a switch and
        // the program does nothing.
        {__LINE__, "C:\\Program Files\\Velkor-5", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        const std::string temp = sim::MakeTempFolder();
        const std::string dir = temp + "/machine";
        std::string command = MachineWithEntry(dir, c.folder);
        const std::string program = std::string(c.folder) + "\\uninstall.exe";
        ASSERT_EQ(command, "\"" + program + "\"");
        if (!c.asWritten) command = program;
        {
            std::ofstream actions(temp + "/actions");
            actions << "# the uninstall question\nyes\n";
        }
        const sim::ProcessResult run = sim::RunSimUninstall(
            {"--machine", dir, "--actions", temp + "/actions", "--command-line", command});
        EXPECT_EQ(run.exitCode, 0) << run.err;

        // Velkor.exe is one of the listed files that the uninstall deletes.
        EXPECT_EQ(std::filesystem::exists(HostPath(dir, std::string(c.folder) + "\\Velkor.exe")),
                  !c.uninstalled);
        sim::RemoveTree(temp);
    }
}

}  // namespace
}  // namespace shell_test
