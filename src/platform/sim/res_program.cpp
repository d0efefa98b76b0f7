// The program's own resources in the sim build: resources/uninstall.rc as
// windres compiles it, embedded by the build (cmake/resources.cmake).
#include <cstdio>
#include <cstdlib>

#include "platform/sim/pe_resources.h"

namespace sim {

extern const unsigned char kProgramResourceBytes[];
extern const size_t kProgramResourceSize;

const ResourceSet& ProgramResources() {
    static const std::unique_ptr<ResourceSet> resources = [] {
        std::string error;
        std::unique_ptr<ResourceSet> set =
            ResourceSet::FromRes(kProgramResourceBytes, kProgramResourceSize, &error);
        if (!set) {
            fprintf(stderr, "the program's embedded resources do not parse: %s\n", error.c_str());
            abort();
        }
        return set;
    }();
    return *resources;
}

}  // namespace sim
