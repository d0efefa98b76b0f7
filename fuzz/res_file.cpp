// Fuzz target: the reader of compiled resource files (.res), from which the
// simulated machine takes the program's own resources.
//
// Input: the bytes of a .res file.
//
// Besides what the sanitizers catch, it checks that the parsed resources
// agree with themselves (CheckResourceSet).
#include <stdint.h>

#include <memory>
#include <string>

#include "platform/sim/pe_resources.h"
#include "support/resource_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    const std::unique_ptr<sim::ResourceSet> set = sim::ResourceSet::FromRes(data, size, &error);
    if (set) fuzz::CheckResourceSet(*set);
    return 0;
}
