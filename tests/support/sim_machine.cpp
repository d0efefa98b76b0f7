#include "support/sim_machine.h"

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/sim/text.h"

namespace os {
void DefaultPlatform(Platform* platform);
}

namespace sim {

namespace fs = std::filesystem;

std::string Utf16File(const std::string& utf8) {
    std::string out = "\xFF\xFE";
    for (uint8_t byte : Utf16LeBytes(Utf8ToUtf16(utf8))) out += static_cast<char>(byte);
    return out;
}

std::string MakeTempFolder() {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/vlk-test-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

void RemoveTree(const std::string& path) {
    std::error_code ec;
    fs::remove_all(path, ec);
}

FreshMachine::FreshMachine(const MachineOptions& options) {
    temp_ = MakeTempFolder();
    folder_ = temp_ + "/machine";
    std::string error;
    if (!WriteSampleMachine(folder_, options, &error)) throw std::runtime_error(error);
    machine_ = Machine::Load(folder_, &error);
    if (!machine_) throw std::runtime_error(error);
    machine_->Install();
}

FreshMachine::~FreshMachine() {
    os::Platform fallback;
    os::DefaultPlatform(&fallback);
    os::Install(fallback);
    machine_.reset();
    RemoveTree(temp_);
}

std::string FreshMachine::HostPath(const std::string& windowsPath) const {
    std::string host =
        folder_ + "/drives/" + std::string(1, static_cast<char>(toupper(windowsPath[0])));
    std::string rest = windowsPath.substr(2);
    for (char& c : rest)
        if (c == '\\') c = '/';
    // Existing components in their own case.
    std::string path = host;
    std::stringstream parts(rest);
    std::string part;
    while (std::getline(parts, part, '/')) {
        if (part.empty()) continue;
        std::string match = part;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(path, ec)) {
            const std::string name = entry.path().filename().string();
            if (EqualNoCaseUtf8(name, part)) match = name;
        }
        path += "/" + match;
    }
    return path;
}

void FreshMachine::WriteFile(const std::string& windowsPath, const std::string& bytes) {
    const std::string host = HostPath(windowsPath);
    fs::create_directories(fs::path(host).parent_path());
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void FreshMachine::MakeFolder(const std::string& windowsPath) {
    fs::create_directories(HostPath(windowsPath));
}

bool FreshMachine::Exists(const std::string& windowsPath) const {
    std::error_code ec;
    return fs::exists(HostPath(windowsPath), ec);
}

std::string FreshMachine::ReadFile(const std::string& windowsPath) const {
    std::ifstream in(HostPath(windowsPath), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void FreshMachine::Reload() {
    std::string error;
    if (!machine_->Save(&error)) throw std::runtime_error(error);
    machine_.reset();
    machine_ = Machine::Load(folder_, &error);
    if (!machine_) throw std::runtime_error(error);
    machine_->Install();
}

std::string SimUninstallPath() {
    if (const char* env = getenv("VLK_SIM_UNINSTALL"); env && *env && access(env, X_OK) == 0)
        return env;
#ifdef VLK_BINARY_DIR
    const std::string built = std::string(VLK_BINARY_DIR) + "/uninstall";
    if (access(built.c_str(), X_OK) == 0) return built;
#endif
    return "";
}

ProcessResult RunSimUninstall(const std::vector<std::string>& args) {
    ProcessResult result;
    const std::string program = SimUninstallPath();
    if (program.empty()) return result;
    const std::string temp = MakeTempFolder();
    const std::string outPath = temp + "/out", errPath = temp + "/err";
    const pid_t pid = fork();
    if (pid == 0) {
        freopen("/dev/null", "r", stdin);
        freopen(outPath.c_str(), "w", stdout);
        freopen(errPath.c_str(), "w", stderr);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    auto slurp = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    };
    result.out = slurp(outPath);
    result.err = slurp(errPath);
    RemoveTree(temp);
    return result;
}

}  // namespace sim
