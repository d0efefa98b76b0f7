#include "platform/sim/runner.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/sim/actions.h"
#include "platform/sim/process_runner.h"
#include "platform/sim/services.h"
#include "platform/sim/what_if.h"

namespace os {
void DefaultPlatform(Platform* platform);
}

namespace sim {

namespace fs = std::filesystem;

namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::string SiblingName(const std::string& dir, const char* what) {
    static std::atomic<int> counter{0};
    fs::path p = fs::absolute(fs::path(dir)).lexically_normal();
    if (p.filename().empty()) p = p.parent_path();
    return (p.parent_path() / ("." + p.filename().string() + "." + what + "-" +
                               std::to_string(getpid()) + "-" + std::to_string(++counter)))
        .string();
}

const char kUsage[] =
    "usage: uninstall --machine DIR [--actions FILE] [--trace FILE]\n"
    "                 [--command-line TEXT | -- TAIL...]\n"
    "       uninstall --machine DIR --restart\n"
    "Runs the program on the simulated Windows machine in DIR (made from the\n"
    "sample machine when DIR does not exist) and saves the machine afterwards.\n"
    "  --actions FILE       the user's answers, one a line (yes, no, ok, cancel,\n"
    "                       escape, enter, click ID, help)\n"
    "  --trace FILE         every platform call, one a line\n"
    "  --command-line TEXT  the whole command line of the process\n"
    "  -- TAIL...           the command-line tail (words joined with blanks)\n"
    "  --restart            restart the machine instead (deletions at restart)\n"
    "See also: uninstall --what-if --help\n";

int Usage(const std::string& problem) {
    std::cerr << "uninstall: " << problem << "\n" << kUsage;
    return 2;
}

}  // namespace

std::unique_ptr<MachineSession> MachineSession::Open(const std::string& dir, std::string* error,
                                                     bool programMayBeGone) {
    std::unique_ptr<MachineSession> s(new MachineSession());
    s->dir_ = dir;
    s->work_ = SiblingName(dir, "run");
    std::error_code ec;
    if (Exists(dir)) {
        fs::copy(dir, s->work_, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
        if (ec) {
            *error = "cannot copy the machine folder " + dir + ": " + ec.message();
            fs::remove_all(s->work_, ec);
            return nullptr;
        }
    } else if (!WriteSampleMachine(s->work_, MachineOptions(), error)) {
        fs::remove_all(s->work_, ec);
        return nullptr;
    }
    s->machine_ = Machine::Load(s->work_, error, programMayBeGone);
    if (!s->machine_) {
        // Name the folder the user gave, not the copy.
        for (size_t at; (at = error->find(s->work_)) != std::string::npos;)
            error->replace(at, s->work_.size(), dir);
        return nullptr;
    }
    return s;
}

MachineSession::~MachineSession() {
    machine_.reset();
    if (!committed_) {
        std::error_code ec;
        fs::remove_all(work_, ec);
    }
}

bool MachineSession::Commit(std::string* error) {
    if (!machine_->Save(error)) return false;
    if (!Exists(dir_)) {
        if (rename(work_.c_str(), dir_.c_str()) != 0) {
            *error = "cannot put the machine in " + dir_ + ": " + strerror(errno);
            return false;
        }
        committed_ = true;
        return true;
    }
    // One atomic exchange; the old folder then lies where the copy was.
    if (renameat2(AT_FDCWD, work_.c_str(), AT_FDCWD, dir_.c_str(), RENAME_EXCHANGE) != 0) {
        if (errno != EINVAL && errno != ENOSYS) {
            *error = "cannot replace the machine folder " + dir_ + ": " + strerror(errno);
            return false;
        }
        const std::string old = SiblingName(dir_, "old");
        if (rename(dir_.c_str(), old.c_str()) != 0 || rename(work_.c_str(), dir_.c_str()) != 0) {
            *error = "cannot replace the machine folder " + dir_ + ": " + strerror(errno);
            if (!Exists(dir_)) rename(old.c_str(), dir_.c_str());
            return false;
        }
        std::error_code ec;
        fs::remove_all(old, ec);
        committed_ = true;
        return true;
    }
    std::error_code ec;
    fs::remove_all(work_, ec);
    committed_ = true;
    return true;
}

int RunProgramOnMachine(std::unique_ptr<Machine>& slot, const ProgramHooks& hooks,
                        const std::string& commandLine) {
    Machine& m = *slot;
    int code = 0;
    std::string error;
    const std::string ansiLine = m.Utf8ToAnsi(commandLine);
    m.Install();
    m.StartProgram(commandLine);
    try {
        hooks.processStart();
        hooks.entry(SimSystem::ProgramInstance(), hooks.commandLineTail(ansiLine.c_str()));
    } catch (const RunAborted& e) {
        std::cerr << "uninstall: the run ended: " << e.what() << "\n";
        code = 4;
    } catch (...) {
        std::cerr << "uninstall: the program ended abnormally (an exception left its entry)\n";
        code = 5;
    }
    if (code == 0 && hooks.processEnd) hooks.processEnd();
    m.EndProgram();
    // The processes that the program started run after it has exited.
    if (code == 0) {
        try {
            if (!RunStartedProcesses(slot, hooks, &error)) {
                std::cerr << "uninstall: " << error << "\n";
                code = 3;
            }
        } catch (const RunAborted& e) {
            std::cerr << "uninstall: the run ended: " << e.what() << "\n";
            code = 4;
        } catch (...) {
            std::cerr << "uninstall: a program started by the run ended abnormally\n";
            code = 5;
        }
    }
    // The program's static objects may still call the platform at exit.
    os::Platform fallback;
    os::DefaultPlatform(&fallback);
    os::Install(fallback);
    return code;
}

int RunSimProgram(int argc, char** argv, const ProgramHooks& hooks) {
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--what-if") return RunWhatIf(argc, argv, hooks);
    std::string dir, actionsFile, traceFile, commandLine, tail;
    bool haveCommandLine = false, haveTail = false, restart = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= argc) return false;
            *out = argv[++i];
            return true;
        };
        if (arg == "--") {
            haveTail = true;
            for (int k = i + 1; k < argc; ++k)
                tail += (k > i + 1 ? " " : "") + std::string(argv[k]);
            break;
        } else if (arg == "--machine") {
            if (!value(&dir)) return Usage("--machine needs a folder");
        } else if (arg == "--actions") {
            if (!value(&actionsFile)) return Usage("--actions needs a file");
        } else if (arg == "--trace") {
            if (!value(&traceFile)) return Usage("--trace needs a file");
        } else if (arg == "--command-line") {
            if (!value(&commandLine)) return Usage("--command-line needs a text");
            haveCommandLine = true;
        } else if (arg == "--restart") {
            restart = true;
        } else if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else {
            return Usage("unknown option " + arg);
        }
    }
    if (dir.empty()) return Usage("--machine DIR is required");
    if (haveCommandLine && haveTail)
        return Usage("give either --command-line or -- TAIL, not both");
    if (restart && (haveCommandLine || haveTail || !actionsFile.empty()))
        return Usage("--restart runs nothing else");

    Actions actions;
    if (!actionsFile.empty()) {
        std::ifstream in(actionsFile, std::ios::binary);
        if (!in) return Usage("cannot read the actions file " + actionsFile);
        std::ostringstream text;
        text << in.rdbuf();
        std::string error;
        if (!actions.Load(text.str(), &error)) return Usage(actionsFile + ", " + error);
    }

    std::string error;
    std::unique_ptr<MachineSession> session = MachineSession::Open(dir, &error, restart);
    if (!session) {
        std::cerr << "uninstall: " << error << "\n";
        return 3;
    }
    Machine& m = session->machine();
    if (!traceFile.empty() && !m.Trace().WriteTo(traceFile, &error)) return Usage(error);

    int code = 0;
    if (restart) {
        m.Restart();
    } else {
        m.UserActions() = actions;
        m.UserActions().SetInteractive(actionsFile.empty() && isatty(0));
        if (!haveCommandLine) {
            commandLine = "\"" + m.Config().programPath + "\"" + (tail.empty() ? "" : " " + tail);
        }
        code = RunProgramOnMachine(session->machineSlot(), hooks, commandLine);
        for (const std::string& unused : session->machine().UserActions().Unused())
            std::cerr << "uninstall: action not used: " << unused << "\n";
    }
    if (code) return code;
    if (!session->Commit(&error)) {
        std::cerr << "uninstall: " << error << "\n";
        return 3;
    }
    return 0;
}

}  // namespace sim
