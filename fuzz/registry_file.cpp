// Fuzz target: the registry file reader of the simulated machine
// (RegistryStore::Load: regedit's export format, UTF-8 or UTF-16LE with its
// byte-order mark, or REGEDIT4 in an ANSI code page, here 1251), and the file
// it writes back.
//
// Input: the bytes of registry.reg.
//
// Besides what the sanitizers catch, it checks that a registry the reader
// takes is written as a file that reads back as the same registry: saving it
// again gives the same file. A machine saved and loaded again must be the
// machine it was.
#include <stdint.h>

#include <string>
#include <string_view>

#include "platform/sim/registry_store.h"
#include "platform/sim/text.h"
#include "support/check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sim::RegistryStore store;
    std::string error;
    static const sim::CodePage* const ansi = sim::CodePage::Find(1251);
    if (!store.Load(std::string_view(reinterpret_cast<const char*>(data), size), &error, ansi)) {
        FUZZ_CHECK(!error.empty(), "a refused registry file without a reason");
        return 0;
    }
    const std::string saved = store.Save();
    sim::RegistryStore again;
    FUZZ_CHECK(again.Load(saved, &error), "the saved registry does not load again: %s\n%s",
               error.c_str(), saved.c_str());
    const std::string resaved = again.Save();
    FUZZ_CHECK(resaved == saved, "the saved registry loads as another one:\n%s\n--- then ---\n%s",
               saved.c_str(), resaved.c_str());
    return 0;
}
