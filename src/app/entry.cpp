#include "app/entry.h"

#include "app/modes.h"
#include "app/process_state.h"
#include "app/switches.h"
#include "common/error_reporter.h"
#include "common/lead_bytes.h"
#include "common/open_file_table.h"
#include "common/system.h"
#include "integration/shell_extension.h"
#include "localisation/localisation.h"
#include "platform/platform.h"
#include "registry/registry.h"

namespace {

// The pause of the switch wait, which the self-removal script starts the
// program with so that the previous run has exited.
constexpr os::Dword kWaitMilliseconds = 2000;

// The helper switches as a run carries them out.
class RunSwitchActions : public SwitchActions {
  public:
    void Silent() override { SetSilentMode(true); }
    void Wait() override { os::Sys().Sleep(kWaitMilliseconds); }
    void Warning() override { ShowWarningMessage(); }
};

void RunIntegration() {
    int result = RunSetupDialog();
    const char* group = ProgramGroupPath();
    if (result != 0 && group[0] != '\0' && !SilentMode()) OpenProgramGroupFolder(group);
}

}  // namespace

int ProgramEntry(os::Module instance, const char* tail) {
    PrepareRun(instance);
    RunSwitchActions actions;
    SwitchScan scan = ScanSwitches(tail ? tail : "", actions);
    switch (DecideMode(scan)) {
        case RunMode::kIntegration:
            RunIntegration();
            break;
        case RunMode::kUninstall:
            RunUninstallMode();
            break;
        case RunMode::kHelper:
            break;
    }
    FinishRun();
    return 0;
}

void ProgramProcessStart() {
    RefillLeadBytes();
    ResetNtFamilyVersion();
    OpenFiles().Clear();
    TheErrorReporter().Reset();
    ResetRegistryState();
    ResetProcessState();
    ResetIsWow64();
    ResetLocalisation();
}

void ProgramProcessEnd() { EndLocalisation(); }
