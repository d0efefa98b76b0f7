// One take-over and give-back sequence of file associations, run on whatever
// platform is installed: the simulated machine in the unit tests, the real
// registry in the win64 program under wine64. Both dump the same keys as text
// so that the two results can be compared value for value.
//
// The scenario erases and rewrites the keys it uses (its own extensions below
// HKEY_CLASSES_ROOT, .v00 to .v99, Software\Velkor below HKEY_CURRENT_USER) and
// the template files beside the program: run it only on a throw-away machine.
#pragma once

#include <string>

namespace assoc_test {

struct ScenarioDump {
    std::string before;     // the prepared previous owners
    std::string takenOver;  // after the take-over of every scenario extension
    std::string givenBack;  // after the give-back of every one
    std::string Text() const;
};

// The scenario's extensions and what they start as:
//   .vlkta  another program's, with "Content Type" and a ShellNew "FileName" (ZIP row)
//   .vlktb  another program's, with a ShellNew "NullFile" (VLK row: volume extensions)
//   .vlktc  no key at all (ZIP row)
//   .vlktd  already "velkor.zip" in other letters, no backup (ZIP row)
//   .v07 another program's, .v45 another program's
// Everything is taken over with shell integration on, then given back.
ScenarioDump RunAssociationScenario();

}  // namespace assoc_test
