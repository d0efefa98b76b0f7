// The whole integration applied in its order.
#include "integration/apply.h"
#include "integration/associations.h"
#include "integration/handlers.h"
#include "integration/shell_extension.h"
#include "integration/shortcuts.h"

void ApplyIntegration(const IntegrationSettings* settings, char* groupPath) {
    RegisterAppPath();
    ApplyShellExtension(settings);
    ApplyAssociations(settings);
    RegisterHandlerClasses();
    ApplyShortcuts(settings, groupPath);
}
