#include "app/process_state.h"
#include "common/file.h"
#include "common/path.h"
#include "common/text.h"
#include "integration/apply.h"
#include "localisation/bounded_text.h"
#include "localisation/ext_resource.h"
#include "localisation/program_path.h"
#include "localisation/strings.h"
#include "platform/platform.h"
#include "uninstall/delete_listed.h"
#include "uninstall/self_removal.h"
#include "uninstall/uninstall.h"

namespace {

const char kListName[] = "Uninstall.lst";
// The help viewer's index files beside the help file.
const char* const kHelpIndexFiles[] = {"velkor.gid", "velkor.fts"};
enum : size_t { kListErrorSize = 200 };

// The program folder: the program's path without its file name, a drive's
// root keeping its backslash. False when the path names no folder.
bool ProgramFolder(const char* program, char* folder) {
    const char* name = NameInPath(program);
    if (name == program || (name[-1] != '\\' && name[-1] != '/')) return false;
    if (!CopyText(folder, kPathSize, program)) return false;
    CutNameFromPath(folder);
    return true;
}

bool UserConfirms() {
    if (SilentMode()) return true;
    const int answer = os::Gui().MessageBoxA(
        nullptr, GetString(kStringConfirmUninstall), GetString(kStringUninstallTitle),
        os::kMbYesNo | os::kMbIconQuestion | os::kMbSetForeground);
    return answer == os::kIdYes;
}

// The list error names the list; the text is a translation, so its "%s" is
// filled in as text, never used as a format.
void ShowListError() {
    char text[kListErrorSize];
    InsertPath(text, sizeof text, GetString(kStringCannotOpenList), kListName);
    os::Gui().MessageBoxA(nullptr, text, GetString(kStringUninstallTitle),
                          os::kMbIconError | os::kMbSetForeground);
}

void ShowRestartNotice() {
    os::Gui().MessageBoxA(nullptr, GetString(kStringRestartNeeded),
                          GetString(kStringUninstallTitle),
                          os::kMbIconInformation | os::kMbSetForeground);
}

}  // namespace

void RunUninstall() {
    char program[kPathSize];
    char folder[kPathSize];
    if (!GetProgramPath(program, sizeof program) || !ProgramFolder(program, folder)) return;
    // The bare names below are files of the program folder only once it is
    // the current directory: without it nothing may be deleted.
    os::Files& files = os::Fs();
    if (!files.SetCurrentDirectoryA(folder)) return;
    if (!AppendBackslash(folder, sizeof folder)) return;

    if (!UserConfirms()) return;
    File list;
    if (!list.Open(kListName, nullptr, false, false)) {
        ShowListError();
        return;
    }

    // Only now, with the list open, does anything change.
    RemoveIntegration();

    // The language module's own file is one of the listed files.
    TheExtResource().Unload();
    for (const char* index : kHelpIndexFiles) {
        files.SetFileAttributesA(index, 0);
        files.DeleteFileA(index);
    }
    const bool restartNeeded = DeleteListedFiles(list, folder);
    list.Close();
    files.DeleteFileA(kListName);
    if (restartNeeded) ShowRestartNotice();
    StartSelfRemoval(program);
}
