#include "uninstall_fixture.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/entry.h"
#include "platform/sim/actions.h"
#include "platform/sim/process_runner.h"
#include "platform/sim/services.h"
#include "platform/sim/text.h"

namespace os {
void DefaultPlatform(Platform* platform);
}

namespace uninstall_test {

const MachineKind kBothFamilies[2] = {
    {"nt", sim::Family::kNt, 1251, 866},
    {"9x", sim::Family::k9x, 1251, 866},
};

namespace {

const sim::ProgramHooks kHooks = {ProgramProcessStart, ProgramEntry, CommandLineTail,
                                  ProgramProcessEnd};

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('\\');
    return slash == 2 ? path.substr(0, 3) : path.substr(0, slash);
}

void InstallFallback() {
    os::Platform fallback{};
    os::DefaultPlatform(&fallback);
    os::Install(fallback);
}

}  // namespace

std::string Ansi(sim::Machine& m, const std::string& utf8) { return m.Utf8ToAnsi(utf8); }

UninstallTest::UninstallTest() {
    char pattern[] = "/tmp/vlk-uninstall-XXXXXX";
    if (mkdtemp(pattern)) dir_ = pattern;
}

UninstallTest::~UninstallTest() {
    machine_.reset();
    InstallFallback();
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
}

void UninstallTest::UseMachine(const MachineKind& kind) {
    sim::MachineOptions options;
    options.family = kind.family;
    options.acp = kind.acp;
    options.oemcp = kind.oemcp;
    UseMachine(options);
}

void UninstallTest::UseMachine(const sim::MachineOptions& options) {
    ASSERT_FALSE(dir_.empty()) << "no temporary folder";
    machine_.reset();
    InstallFallback();
    std::error_code ignored;
    std::filesystem::remove_all(dir_ + "/machine", ignored);
    std::string error;
    ASSERT_TRUE(sim::WriteSampleMachine(dir_ + "/machine", options, &error)) << error;
    machine_ = sim::Machine::Load(dir_ + "/machine", &error);
    ASSERT_TRUE(machine_) << error;
    machine_->Install();
}

std::string UninstallTest::Folder() const {
    std::string folder = FolderOf(Program());
    return folder.back() == '\\' ? folder : folder + "\\";
}

std::string UninstallTest::ScriptPath() const {
    const std::string* temp = machine_->Environment("TEMP");
    return sim::JoinWindowsPath(temp ? *temp : machine_->WindowsFolder(), "Uninstall_Vlk.Bat");
}

void UninstallTest::MoveProgram(const std::string& programPath) {
    const std::string list = Folder() + "Uninstall.lst";
    const std::string folder = FolderOf(programPath);
    for (size_t at = 2; (at = folder.find('\\', at + 1)) != std::string::npos;)
        machine_->Files().CreateDirectory(folder.substr(0, at));
    machine_->Files().CreateDirectory(folder);
    ASSERT_EQ(machine_->Files().Move(Program(), programPath, 0), 0);
    ASSERT_EQ(machine_->Files().Move(list, sim::JoinWindowsPath(folder, "Uninstall.lst"), 0), 0);
    machine_->Config().programPath = programPath;
    machine_->Files().SetCurrentDirectory(folder);
}

void UninstallTest::PutFile(const std::string& path, const std::string& bytes) {
    ASSERT_EQ(machine_->Files().WriteAll(path, bytes), 0) << path;
}

void UninstallTest::MakeFolder(const std::string& path) {
    ASSERT_EQ(machine_->Files().CreateDirectory(path), 0) << path;
}

bool UninstallTest::Exists(const std::string& path) const {
    os::Dword attributes = 0;
    return machine_->Files().GetAttributes(path, &attributes) == 0;
}

std::string UninstallTest::ReadFile(const std::string& path) const {
    std::string bytes;
    EXPECT_EQ(machine_->Files().ReadAll(path, &bytes), 0) << path;
    return bytes;
}

void UninstallTest::SetAttributes(const std::string& path, os::Dword attributes) {
    ASSERT_EQ(machine_->Files().SetAttributes(path, attributes), 0) << path;
}

void UninstallTest::MakeBusy(const std::string& path, const std::string& how) {
    machine_->Config().busy.push_back({path, how});
}

void UninstallTest::Answer(const std::vector<std::string>& actions) {
    for (const std::string& text : actions) {
        sim::Action action;
        std::string error;
        ASSERT_TRUE(sim::Actions::Parse(text, &action, &error)) << error;
        machine_->UserActions().Add(action);
    }
}

void UninstallTest::RunProgram(const std::string& tail) {
    sim::PendingProcess process;
    process.commandLine = "\"" + Program() + "\"" + (tail.empty() ? "" : " " + tail);
    process.currentDirectory = FolderOf(Program());
    process.program = Program();
    sim::ProcessRun(machine_, kHooks).RunProgram(process);
}

void UninstallTest::RunStarted() {
    std::string error;
    ASSERT_TRUE(sim::RunStartedProcesses(machine_, kHooks, &error)) << error;
}

void UninstallTest::InProgram(const std::function<void()>& body) {
    sim::Machine& m = machine();
    m.Install();
    m.StartProgram("\"" + Program() + "\"");
    ProgramProcessStart();
    body();
    ProgramProcessEnd();
    m.EndProgram();
}

std::vector<std::string> UninstallTest::Calls(const std::string& call) const {
    std::vector<std::string> found;
    for (const std::string& line : machine_->TraceLines()) {
        if (line.rfind(call + " ", 0) == 0) found.push_back(line);
    }
    return found;
}

size_t UninstallTest::Position(const std::string& prefix) const {
    const std::vector<std::string>& lines = machine_->TraceLines();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind(prefix, 0) == 0) return i;
    }
    ADD_FAILURE() << "no trace line begins with " << prefix;
    return lines.size();
}

std::vector<std::string> UninstallTest::Boxes() const {
    std::vector<std::string> boxes;
    for (const std::string& line : Calls("MessageBoxA")) {
        // MessageBoxA owner=0x0 caption="..." text="..." type=...
        const size_t caption = line.find(" caption=\"") + 10;
        const size_t captionEnd = line.find("\" text=\"", caption);
        const size_t text = captionEnd + 8;
        const size_t textEnd = line.rfind("\" type=");
        boxes.push_back(line.substr(caption, captionEnd - caption) + "|" +
                        line.substr(text, textEnd - text));
    }
    return boxes;
}

std::map<std::string, std::string> UninstallTest::Snapshot(const std::string& except) const {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> files;
    const std::string root = dir_ + "/machine/drives";
    const std::string skip = sim::FoldUtf8(except);
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        std::string relative = fs::relative(it->path(), root).string();
        std::string path = relative.substr(0, 1) + ":";
        for (char c : relative.substr(1)) path += c == '/' ? '\\' : c;
        if (!skip.empty() && sim::FoldUtf8(path).rfind(skip, 0) == 0) continue;
        std::string bytes = "<folder>";
        if (!it->is_directory()) {
            std::ifstream in(it->path(), std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        files[path] = bytes;
    }
    return files;
}

}  // namespace uninstall_test
