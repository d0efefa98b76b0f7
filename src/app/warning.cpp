#include "app/warning.h"

#include "app/modes.h"
#include "localisation/bounded_text.h"
#include "localisation/program_path.h"
#include "localisation/strings.h"
#include "platform/platform.h"

void ComposeWarningText(char* text, size_t size, const char* programPath) {
    TextBuilder message(text, size);
    message.Append(GetString(kStringUninstallComplete));
    message.Append("\n");
    message.AppendWithPath(GetString(kStringDeleteYourself), programPath);
}

void ShowWarningMessage() {
    // A path that the system cannot give whole is left out rather than cut,
    // which would name another file.
    char path[kPathSize];
    GetProgramPath(path, sizeof path);
    char text[kStringSize];
    ComposeWarningText(text, sizeof text, path);
    os::Gui().MessageBoxA(nullptr, text, GetString(kStringUninstallTitle),
                          os::kMbIconInformation | os::kMbSetForeground);
}
