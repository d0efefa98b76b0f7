// The whole integration taken away in its order.
#include "integration/apply.h"
#include "integration/archive_types.h"
#include "integration/associations.h"
#include "integration/handlers.h"
#include "integration/shell_extension.h"
#include "integration/shortcuts.h"
#include "platform/platform.h"
#include "registry/registry.h"

void RemoveIntegration() {
    IntegrationSettings none = {};
    // The backups lie below the product key, which goes last.
    ApplyAssociations(&none);
    os::Sh().ChangeNotify(os::kShcneAssocChanged, os::kShcnfFlush, nullptr, nullptr);
    ApplyShellExtension(&none);
    ApplyShortcuts(&none, nullptr);
    DeleteKeyTree(os::ClassesRoot(), kVelkorClass);
    DeleteKeyTree(os::ClassesRoot(), kVelkorZipClass);
    DeleteKeyTree(os::ClassesRoot(), kVelkorRevClass);
    UnbindRecoveryVolumes();
    DeleteKey(os::LocalMachine(), kUninstallKey);
    DeleteKey(os::LocalMachine(), kAppPathsKey);
    DeleteKeyTree(os::CurrentUser(), "");
}
