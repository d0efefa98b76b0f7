// The fixtures this program shares with the uninstall and integration tests:
// the uninstall runs on a sample machine and the machine's state as lines.
#include "integration/machine_snapshot.cpp"
#include "uninstall/uninstall_fixture.cpp"
