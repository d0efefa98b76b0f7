#include "platform/sim/process_service.h"

#include "platform/sim/machine.h"
#include "platform/sim/process_search.h"
#include "platform/sim/services.h"
#include "platform/sim/text.h"

namespace sim {

namespace {

constexpr long kErrorDirectory = 267;

std::string HandleText(Machine& m, os::FileHandle handle) {
    if (!handle) return "null";
    if (handle == os::InvalidFileHandle()) return "INVALID";
    const std::string path = m.Files().HandlePath(handle);
    return path.empty() ? Hex(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle)))
                        : Quote(path);
}

std::string StartupText(Machine& m, const os::StartupInfo* s) {
    if (!s) return "startup=null";
    std::string out = "startup={cb=" + std::to_string(s->size) + " flags=" + Hex(s->flags);
    if (s->flags & os::kStartfUseShowWindow) out += " show=" + std::to_string(s->showWindow);
    if (s->flags & os::kStartfUseStdHandles) {
        out += " std=" + HandleText(m, s->stdInput) + "," + HandleText(m, s->stdOutput) + "," +
               HandleText(m, s->stdError);
    }
    return out + "}";
}

}  // namespace

os::Bool SimProcess::CreateProcessA(const char* applicationName, char* commandLine,
                                    os::Bool inheritHandles, os::Dword creationFlags,
                                    const char* currentDirectory,
                                    const os::StartupInfo* startupInfo,
                                    os::ProcessInformation* processInformation) {
    const std::string line = commandLine ? m_.AnsiToUtf8(commandLine) : "";
    const std::string args =
        "app=" + TraceText(m_, applicationName) + " cmd=" + TraceText(m_, commandLine) +
        " inherit=" + std::to_string(inheritHandles) + " flags=" + Hex(creationFlags) +
        " dir=" + TraceText(m_, currentDirectory) + " " + StartupText(m_, startupInfo);
    auto fail = [&](long error) {
        m_.lastError = static_cast<os::Dword>(error);
        m_.Trace().Add("CreateProcessA", args + " -> 0" + TraceError(error));
        return 0;
    };
    if (!startupInfo || !processInformation) return fail(os::kErrorInvalidParameter);
    std::string program, arguments;
    if (applicationName) {
        // The application is named apart; the command line is its whole
        // command line, program name included.
        std::string full;
        if (m_.Files().FullPath(m_.AnsiToUtf8(applicationName), &full) != 0)
            return fail(os::kErrorFileNotFound);
        os::Dword attributes = 0;
        if (m_.Files().GetAttributes(full, &attributes) != 0 ||
            (attributes & os::kFileAttributeDirectory))
            return fail(os::kErrorFileNotFound);
        program = full;
    } else if (long error = FindProgram(m_, line, &program, &arguments)) {
        return fail(error);
    }
    std::string directory = m_.Files().CurrentDirectory();
    if (currentDirectory) {
        const std::string given = m_.AnsiToUtf8(currentDirectory);
        os::Dword attributes = 0;
        if (m_.Files().GetAttributes(given, &attributes) != 0 ||
            !(attributes & os::kFileAttributeDirectory))
            return fail(kErrorDirectory);
        m_.Files().FullPath(given, &directory);
    }
    PendingProcess started;
    started.commandLine = line;
    started.currentDirectory = directory;
    started.creationFlags = creationFlags;
    started.hidden =
        (startupInfo->flags & os::kStartfUseShowWindow) && startupInfo->showWindow == os::kSwHide;
    started.program = program;
    m_.PendingProcesses().push_back(started);

    processInformation->process = reinterpret_cast<void*>(nextHandle_);
    processInformation->thread = reinterpret_cast<void*>(nextHandle_ + 4);
    nextHandle_ += 8;
    processInformation->processId = nextId_;
    processInformation->threadId = nextId_ + 4;
    nextId_ += 8;
    m_.lastError = 0;
    m_.Trace().Add("CreateProcessA", args + " -> 1 program=" + Quote(program));
    return 1;
}

}  // namespace sim
