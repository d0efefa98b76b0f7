#include "support/fuzz_machine.h"

#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <memory>

#include "app/entry.h"
#include "platform/sim/machine.h"
#include "support/check.h"

namespace fuzz {

namespace {

struct Machines {
    std::string folder;  // the temporary folder that holds them
    std::map<unsigned, std::unique_ptr<sim::Machine>> byCodePage;
    sim::Machine* current = nullptr;

    ~Machines() {
        if (current) {
            current->EndProgram();
            ProgramProcessEnd();
        }
        byCodePage.clear();
        std::error_code ec;
        if (!folder.empty()) std::filesystem::remove_all(folder, ec);
    }
};

Machines& All() {
    static Machines machines;
    return machines;
}

sim::Machine& Make(unsigned acp) {
    Machines& all = All();
    if (all.folder.empty()) {
        const char* base = getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/vlk-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) Fail("no temporary folder");
        all.folder = pattern;
    }
    sim::MachineOptions options;
    options.acp = acp;
    options.oemcp = acp == 1251 ? 866 : acp == 932 ? 932 : 850;
    const std::string dir = all.folder + "/machine-" + std::to_string(acp);
    std::string error;
    if (!sim::WriteSampleMachine(dir, options, &error)) Fail(error);
    std::unique_ptr<sim::Machine> machine = sim::Machine::Load(dir, &error);
    if (!machine) Fail(error);
    sim::Machine& made = *machine;
    all.byCodePage[acp] = std::move(machine);
    return made;
}

}  // namespace

void Fail(const std::string& what) {
    fprintf(stderr, "fuzz: %s\n", what.c_str());
    abort();
}

sim::Machine& UseMachine(unsigned acp) {
    Machines& all = All();
    auto found = all.byCodePage.find(acp);
    sim::Machine& machine = found != all.byCodePage.end() ? *found->second : Make(acp);
    if (all.current != &machine) {
        if (all.current) {
            all.current->EndProgram();
            ProgramProcessEnd();
        }
        machine.Install();
        machine.StartProgram("\"" + machine.Config().programPath + "\"");
        ProgramProcessStart();
        // As the entry does at start-up: the setup dialog's rich-edit control
        // needs its library.
        if (!os::Sys().LoadLibraryA("riched32.dll")) Fail("riched32.dll cannot be loaded");
        all.current = &machine;
    }
    machine.Trace().Clear();
    return machine;
}

std::string ProgramFolder() {
    Machines& all = All();
    if (!all.current) Fail("no machine in use");
    const std::string& program = all.current->Config().programPath;
    return program.substr(0, program.rfind('\\') + 1);
}

void PutFile(const std::string& path, const std::string& bytes) {
    Machines& all = All();
    if (!all.current) Fail("no machine in use");
    // The folders on the way, from the drive's root on.
    for (size_t slash = path.find('\\', 3); slash != std::string::npos;
         slash = path.find('\\', slash + 1)) {
        all.current->Files().CreateDirectory(path.substr(0, slash));
    }
    const long error = all.current->Files().WriteAll(path, bytes);
    if (error != 0) Fail("cannot write " + path + ": error " + std::to_string(error));
}

}  // namespace fuzz
