// The association take-over and give-back scenario against the real registry
// (run under wine64 in a private prefix by assoc_compare.sh). Writes the dump
// to the file named by its argument, or to the standard output.
//
// The scenario erases Software\Velkor and the volume extensions .v00 to .v99:
// it refuses to run unless VLK_ASSOC_PRIVATE_PREFIX=1 says that the registry
// is a throw-away one.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "integration/assoc_scenario.h"

int main(int argc, char** argv) {
    const char* allowed = std::getenv("VLK_ASSOC_PRIVATE_PREFIX");
    if (allowed == nullptr || std::strcmp(allowed, "1") != 0) {
        std::fprintf(stderr,
                     "assoc_scenario: set VLK_ASSOC_PRIVATE_PREFIX=1 in a private prefix\n");
        return 2;
    }
    const std::string text = assoc_test::RunAssociationScenario().Text();
    std::FILE* out = argc > 1 ? std::fopen(argv[1], "wb") : stdout;
    if (out == nullptr) {
        std::fprintf(stderr, "assoc_scenario: cannot write %s\n", argv[1]);
        return 2;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    if (out != stdout) ok = std::fclose(out) == 0 && ok;
    return ok ? 0 : 1;
}
