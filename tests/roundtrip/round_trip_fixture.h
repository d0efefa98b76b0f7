// One round trip on a simulated machine: a start state, setup with the stored
// choices (/setup /s, once or twice), the silent uninstall (/s) with its
// script, and a restart; then the registry and the files compared with the
// start, less the differences of tests/data/round_trip_differences.txt.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "support/round_trip_differences.h"
#include "uninstall/uninstall_fixture.h"

namespace round_trip {

// What the machine holds before the uninstall's setup runs.
enum class State {
    kFresh,               // the sample machine
    kOtherOwners,         // other programs own every kind of extension Velkor takes over
    kEarlierIntegration,  // an earlier setup with other choices, Explorer holding vlkext.dll
    kSecondSetup,         // setup twice over other owners, then the uninstall
    kJarIsoOwned,         // JAR and ISO owned by other programs
};

struct Platform {
    const char* name;
    sim::Family family;
    bool win64;
};

struct CodePages {
    const char* name;
    unsigned acp, oemcp;
    // The installation folder's name below Program Files, in UTF-8: letters
    // of the code page (for 932 a double-byte letter whose second byte is a
    // backslash).
    const char* folder;
};

struct Case {
    State state;
    Platform platform;
    CodePages codePages;
    // "OtherOwners_Nt64_Cp932": the test's name.
    std::string Name() const;
};

// Every state on NT (32-bit and 64-bit Windows) and on the older platforms
// (32-bit only), with each code page pair.
std::vector<Case> AllCases();

class RoundTripTest : public uninstall_test::UninstallTest,
                      public ::testing::WithParamInterface<Case> {
  protected:
    // A fresh sample machine of the case's platform and code pages, with the
    // installation moved into the code page's folder.
    void UseCaseMachine(const Case& c);
    // Puts the machine into the state's start (what "before" is taken of).
    void PrepareStart(State state);
    // What happens between the start and the setup of the round trip
    // (the earlier integration, the first of two setups).
    void RunHistory(State state);
    // Setup with the stored choices, the processes it starts, and the checks
    // that setup took over what it should and left the rest.
    void RunSetup(State state);
    // The silent uninstall, its script and a restart.
    void RunUninstallAndRestart();

    // A REG_SZ value and a key in the machine's registry, past the program
    // (HKLM\SOFTWARE\Classes for a root-relative path "Classes:...").
    void PutString(sim::Hive hive, const std::string& key, const std::string& name,
                   const std::string& text);
    void PutDword(sim::Hive hive, const std::string& key, const std::string& name, os::Dword value);
    // The default value of an extension's key under HKLM\SOFTWARE\Classes;
    // "<none>" when the key or value is missing.
    std::string ClassOf(const std::string& extension);
    // Gives `extension` (".7z") to another program's class `owner`, with a
    // "Content Type" and a ShellNew "FileName" or "NullFile" when given.
    void OwnBy(const std::string& extension, const std::string& owner, const std::string& content,
               const std::string& shellNewFile, bool nullFile);
};

}  // namespace round_trip
