#include "app/process_state.h"

namespace {
bool g_silentMode = false;
char g_programGroupPath[kProgramGroupPathSize] = {};
os::Icon g_dialogIcon = nullptr;
}  // namespace

bool SilentMode() { return g_silentMode; }
void SetSilentMode(bool on) { g_silentMode = on; }

char* ProgramGroupPath() { return g_programGroupPath; }

os::Icon DialogIcon() { return g_dialogIcon; }
void SetDialogIcon(os::Icon icon) { g_dialogIcon = icon; }

void ResetProcessState() {
    g_silentMode = false;
    g_programGroupPath[0] = '\0';
    g_dialogIcon = nullptr;
}
