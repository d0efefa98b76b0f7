#include "uninstall/self_removal.h"

#include <string.h>

#include "common/path.h"
#include "common/system.h"
#include "common/text.h"
#include "platform/platform.h"
#include "uninstall/batch_path.h"
#include "uninstall/removal_script.h"

namespace {

enum : int { kPathSize = 1024 };
const char kScriptName[] = "Uninstall_Vlk.Bat";

// A folder path from a call of the GetTempPathA kind: false when the call
// failed or the path did not fit.
bool Fits(os::Dword length) { return length != 0 && length < kPathSize; }

// The script's full path, and the same as the script's own last line names it.
bool ScriptPaths(char* path, char* batchText) {
    char temp[kPathSize];
    if (!Fits(os::Fs().GetTempPathA(kPathSize, temp))) return false;
    if (!AppendBackslash(temp, kPathSize)) return false;
    char tempText[kPathSize];
    return FormatInto(path, kPathSize, "%s%s", temp, kScriptName) &&
           BatchPathText(temp, tempText, kPathSize) &&
           FormatInto(batchText, kPathSize, "%s%s", tempText, kScriptName);
}

// Writes the script whole; a script that could not be written whole is
// deleted again.
bool WriteScript(const char* path, const RemovalScript& text) {
    os::Files& files = os::Fs();
    os::FileHandle file = files.CreateFileA(path, os::kGenericWrite, os::kFileShareRead,
                                            os::kCreateAlways, os::kFileAttributeNormal);
    if (file == os::InvalidFileHandle()) return false;
    bool ok = true;
    auto put = [&](const char* piece) {
        const os::Dword length = static_cast<os::Dword>(strlen(piece));
        os::Dword written = 0;
        ok = ok && files.WriteFile(file, piece, length, &written) && written == length;
    };
    put(text.first);
    for (int i = 0; i < kScriptBlockRepeats; ++i) put(text.block);
    put(text.last);
    if (!files.CloseHandle(file)) ok = false;
    if (!ok) files.DeleteFileA(path);
    return ok;
}

}  // namespace

void StartSelfRemoval(const char* programPath) {
    const bool nt = NtFamilyVersion() != 0;
    char scriptPath[kPathSize];
    char scriptText[kPathSize];
    char folder[kPathSize];
    char programText[kPathSize];
    char folderText[kPathSize];
    RemovalScript script;
    if (!ScriptPaths(scriptPath, scriptText) ||
        !Fits(os::Fs().GetCurrentDirectoryA(kPathSize, folder)) ||
        !BatchPathText(programPath, programText, kPathSize) ||
        !BatchPathText(folder, folderText, kPathSize) ||
        !ComposeRemovalScript(nt, programText, folderText, scriptText, &script)) {
        return;
    }

    // The interpreter's command line; COMSPEC unset leaves it starting with
    // a blank, and no interpreter starts. cmd.exe removes the first and the
    // last quote of its /c text unless that text is one quoted program name
    // with a blank and without any of &<>()@^|, so the quoted script path is
    // quoted once more: the path then reads whole whatever it holds.
    char comspec[kPathSize];
    if (!Fits(os::Sys().GetEnvironmentVariableA("COMSPEC", comspec, kPathSize))) {
        comspec[0] = '\0';
    }
    char commandLine[kPathSize];
    const bool composed =
        nt ? FormatInto(commandLine, kPathSize, "%s /c \"\"%s\"\"", comspec, scriptPath)
           : FormatInto(commandLine, kPathSize, "%s /c \"%s\"", comspec, scriptPath);
    if (!composed) return;

    if (!WriteScript(scriptPath, script)) return;

    os::StartupInfo startup{};
    startup.size = os::kStartupInfoSize;
    os::FileHandle nul = os::InvalidFileHandle();
    if (nt) {
        startup.flags = os::kStartfUseShowWindow;
        startup.showWindow = os::kSwHide;
    } else {
        startup.flags = os::kStartfUseStdHandles;
        nul = os::Fs().CreateFileA("NUL", os::kGenericWrite, os::kFileShareRead, os::kCreateAlways,
                                   0);
        startup.stdInput = nul;
        startup.stdOutput = nul;
        startup.stdError = nul;
    }
    // The script's working folder: not the program folder, which it removes.
    os::Fs().SetCurrentDirectoryA("..");
    os::ProcessInformation started{};
    const os::Dword creationFlags = nt ? 0 : static_cast<os::Dword>(os::kDetachedProcess);
    os::Proc().CreateProcessA(nullptr, commandLine, 1, creationFlags, nullptr, &startup, &started);
    if (nul != os::InvalidFileHandle()) os::Fs().CloseHandle(nul);
}
