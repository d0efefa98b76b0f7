// The platform the program sees before the sim program or a test installs a
// machine (static construction fills tables from it): a bare machine with the
// default configuration, no drives and an empty registry. It lives until the
// process ends, for the program's static objects that call it at exit.
#include "platform/sim/machine.h"

namespace os {

void DefaultPlatform(Platform* platform) {
    static sim::Machine* bare = sim::Machine::Bare().release();
    *platform = bare->Platform();
}

}  // namespace os
