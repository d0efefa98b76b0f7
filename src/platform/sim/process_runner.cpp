#include "platform/sim/process_runner.h"

#include "platform/sim/actions.h"
#include "platform/sim/cmd_interpreter.h"
#include "platform/sim/process_search.h"
#include "platform/sim/services.h"
#include "platform/sim/text.h"

namespace sim {

namespace {

std::string FileName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsInterpreter(const std::string& program) {
    const std::string name = FoldUtf8(FileName(program));
    return name == "CMD.EXE" || name == "COMMAND.COM";
}

}  // namespace

void ProcessRun::NextProcess() {
    Machine& old = *machine_;
    if (old.Folder().empty()) return;
    std::string error;
    if (!old.Save(&error)) throw ProcessRunError(error);
    std::unique_ptr<Machine> next = Machine::Load(old.Folder(), &error, true);
    if (!next) throw ProcessRunError(error);
    next->Trace().Continue(old.Trace());
    next->UserActions() = old.UserActions();
    next->AdvanceClock(old.Clock());
    next->PendingProcesses() = old.PendingProcesses();
    machine_ = std::move(next);
    machine_->Install();
}

void ProcessRun::RunProgram(const PendingProcess& process) {
    NextProcess();
    Machine& m = machine();
    m.Trace().Add("Process", "start " + Quote(process.commandLine) +
                                 " dir=" + Quote(process.currentDirectory));
    m.Files().SetCurrentDirectory(process.currentDirectory);
    m.Install();
    m.StartProgram(process.commandLine);
    const std::string ansi = m.Utf8ToAnsi(process.commandLine);
    hooks_.processStart();
    hooks_.entry(SimSystem::ProgramInstance(), hooks_.commandLineTail(ansi.c_str()));
    if (hooks_.processEnd) hooks_.processEnd();
    m.EndProgram();
    m.Trace().Add("Process", "exit " + Quote(process.commandLine));
    NextProcess();
}

void ProcessRun::Run(const PendingProcess& process) {
    Machine& m = machine();
    if (SameFile(m, process.program, m.Config().programPath)) {
        RunProgram(process);
        return;
    }
    if (!IsInterpreter(process.program)) {
        m.Trace().Add("Process", "not simulated " + Quote(process.commandLine));
        return;
    }
    NextProcess();
    machine().Trace().Add("Process", "start " + Quote(process.commandLine) +
                                         " dir=" + Quote(process.currentDirectory));
    RunInterpreter(*this, process);
    machine().Trace().Add("Process", "exit " + Quote(process.commandLine));
    NextProcess();
}

void ProcessRun::RunAll() {
    for (;;) {
        std::vector<PendingProcess>& pending = machine().PendingProcesses();
        if (pending.empty()) return;
        const PendingProcess next = pending.front();
        pending.erase(pending.begin());
        Run(next);
    }
}

bool RunStartedProcesses(std::unique_ptr<Machine>& machine, const ProgramHooks& hooks,
                         std::string* error) {
    try {
        ProcessRun(machine, hooks).RunAll();
    } catch (const ProcessRunError& e) {
        *error = std::string("between two processes: ") + e.what();
        return false;
    }
    return true;
}

}  // namespace sim
