// Processes: the kernel32 call.
#include <windows.h>

#include "platform/win32/win_platform.h"

namespace os::win {

Bool WinProcess::CreateProcessA(const char* applicationName, char* commandLine, Bool inheritHandles,
                                Dword creationFlags, const char* currentDirectory,
                                const StartupInfo* startupInfo,
                                ProcessInformation* processInformation) {
    // The platform's record names the fields the program sets; the system's
    // own record of this process's width carries them, all others zero.
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (startupInfo) {
        startup.dwFlags = startupInfo->flags;
        startup.wShowWindow = startupInfo->showWindow;
        startup.hStdInput = startupInfo->stdInput;
        startup.hStdOutput = startupInfo->stdOutput;
        startup.hStdError = startupInfo->stdError;
    }
    PROCESS_INFORMATION started{};
    const BOOL ok = ::CreateProcessA(applicationName, commandLine, nullptr, nullptr, inheritHandles,
                                     creationFlags, nullptr, currentDirectory, &startup, &started);
    if (processInformation) {
        processInformation->process = started.hProcess;
        processInformation->thread = started.hThread;
        processInformation->processId = started.dwProcessId;
        processInformation->threadId = started.dwThreadId;
    }
    return ok;
}

}  // namespace os::win
