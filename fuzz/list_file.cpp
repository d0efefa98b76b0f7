// Fuzz target: the list of installed files, Uninstall.lst: its line reader
// (ListReader) and the deletion of what it names (DeleteListedFiles), on a
// machine with the archiver's files, a busy file, a read-only file, files
// that no line names, and files outside the program folder, some of them with
// the names of listed ones.
//
// Input: the bytes of Uninstall.lst.
//
// Besides what the sanitizers catch, it checks:
//  - the reader hands out exactly the lines of the file (each up to and with
//    its LF) that hold at most 2047 bytes and no zero byte, in order, and the
//    same again after a rewind;
//  - nothing outside the program folder is deleted, changed or created, and
//    every deletion scheduled for the restart names a file inside it;
//  - a file that no line names stays, and so do the running program and the
//    open list.
#include <stdint.h>
#include <string.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/file.h"
#include "platform/sim/machine.h"
#include "platform/sim/registry_store.h"
#include "support/check.h"
#include "support/fuzz_machine.h"
#include "uninstall/delete_listed.h"
#include "uninstall/list_reader.h"

namespace {

namespace fs = std::filesystem;

// The files of the program folder before each input (relative to it).
const char* const kInstalled[] = {
    "Velkor.exe",          "Velkor.hlp",           "Vlk.txt",          "vlkext.dll",
    "vlkext64.dll",        "vlklng.dll",           "Formats\\Cab.fmt", "Formats\\Lzh.fmt",
    "Formats\\Readme.txt", "Formats\\Deep\\x.dll",
};
// Files of the program folder that the list may name only by these names
// (8.3 names, so that no short name of theirs differs).
const char* const kUnlisted[] = {"KEEP.TXT", "Formats\\KEEP2.TXT"};
// Held open by another process: it cannot be deleted, only renamed.
const char kBusy[] = "vlkext.dll";
const char kReadOnly[] = "Vlk.txt";
// Outside the program folder, with names that the list holds too.
const char* const kOutside[] = {
    "C:\\Vlk.txt",
    "C:\\Program Files\\Vlk.txt",
    "C:\\Program Files\\Velkor2\\Vlk.txt",  // a folder whose name begins alike
    "C:\\Program Files\\Velkor2\\Formats\\Cab.fmt",
    "C:\\WINDOWS\\vlkext.dll",
};
const char16_t kSessionManager[] = u"SYSTEM\\CurrentControlSet\\Control\\Session Manager";

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string Slashed(std::string path) {
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

std::string ReadHost(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteHost(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Every host file and folder of the machine's drives outside `skip`, with
// the bytes of the files.
std::map<std::string, std::string> Snapshot(const fs::path& drives, const fs::path& skip) {
    std::map<std::string, std::string> entries;
    for (auto it = fs::recursive_directory_iterator(drives);
         it != fs::recursive_directory_iterator(); ++it) {
        if (it->path() == skip) {
            it.disable_recursion_pending();
            continue;
        }
        entries[it->path().string()] = it->is_directory() ? "<folder>" : ReadHost(it->path());
    }
    return entries;
}

struct Fixture {
    sim::Machine* machine = nullptr;
    std::string folder;  // the program folder with its backslash
    fs::path host;       // its host folder
    std::string program;
    std::map<std::string, std::string> outside;

    Fixture() {
        machine = &fuzz::UseMachine(1251);
        folder = fuzz::ProgramFolder();
        program = machine->Config().programPath.substr(folder.size());
        machine->Config().busy.push_back({folder + kBusy, "open"});
        for (const char* path : kOutside) fuzz::PutFile(path, std::string("outside ") + path);
        std::string hostPath;
        if (machine->Files().HostPath(folder, &hostPath) != 0) fuzz::Fail("no program folder");
        host = hostPath;
        outside = Snapshot(fs::path(machine->Folder()) / "drives", host);
    }

    // The program folder as installed: the running program, the list with
    // `list`, and the files above, made past the platform (the busy file
    // cannot be written through it).
    void Reset(const std::string& list) {
        for (const fs::directory_entry& entry : fs::directory_iterator(host)) {
            if (Lower(entry.path().filename().string()) != Lower(program)) fs::remove_all(entry);
        }
        for (const char* name : kInstalled) WriteHost(host / Slashed(name), name);
        for (const char* name : kUnlisted) WriteHost(host / Slashed(name), name);
        WriteHost(host / "Uninstall.lst", list);
        machine->Files().SetAttributes(folder + kReadOnly, 1);  // FILE_ATTRIBUTE_READONLY
        if (sim::RegNode* key = machine->Registry().Find(sim::Hive::kLocalMachine, kSessionManager))
            key->RemoveValue(u"PendingFileRenameOperations");
    }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

// The lines the reader must hand out: each up to and with its LF, when it
// holds at most 2047 bytes and no zero byte.
std::vector<std::string> ExpectedLines(const std::string& list) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\n', start);
        end = end == std::string::npos ? list.size() : end + 1;
        const std::string line = list.substr(start, end - start);
        if (line.size() < ListReader::kLineSize && line.find('\0') == std::string::npos) {
            lines.push_back(line);
        }
        start = end;
    }
    return lines;
}

void CheckReader(File& list, const std::string& bytes) {
    const std::vector<std::string> expected = ExpectedLines(bytes);
    ListReader reader(list);
    for (int pass = 0; pass < 2; ++pass) {
        char line[ListReader::kLineSize];
        size_t count = 0;
        while (reader.NextLine(line)) {
            FUZZ_CHECK(count < expected.size(), "pass %d: more than the %zu lines", pass,
                       expected.size());
            FUZZ_CHECK(expected[count] == line, "pass %d: line %zu is not the file's", pass, count);
            ++count;
        }
        FUZZ_CHECK(count == expected.size(), "pass %d: %zu of %zu lines", pass, count,
                   expected.size());
        reader.Rewind();
    }
}

bool Exists(const Fixture& fixture, const char* name) {
    return fs::exists(fixture.host / Slashed(name));
}

void CheckWhatStays(const Fixture& fixture, const std::string& list) {
    const std::map<std::string, std::string> outside =
        Snapshot(fs::path(fixture.machine->Folder()) / "drives", fixture.host);
    for (const auto& [path, bytes] : fixture.outside) {
        auto found = outside.find(path);
        FUZZ_CHECK(found != outside.end(), "%s outside the program folder is gone", path.c_str());
        FUZZ_CHECK(found->second == bytes, "%s outside the program folder changed", path.c_str());
    }
    for (const auto& [path, bytes] : outside) {
        FUZZ_CHECK(fixture.outside.count(path) == 1, "%s made outside the program folder",
                   path.c_str());
    }
    const std::string lowerList = Lower(list);
    for (const char* name : kUnlisted) {
        const std::string file = Lower(fs::path(Slashed(name)).filename().string());
        if (lowerList.find(file) == std::string::npos) {
            FUZZ_CHECK(Exists(fixture, name), "%s, named by no line, is gone", name);
        }
    }
    FUZZ_CHECK(Exists(fixture, fixture.program.c_str()), "the running program is gone");
    FUZZ_CHECK(Exists(fixture, "Uninstall.lst"), "the open list is gone");

    // Deletions at restart: each inside the program folder, however written.
    const std::string prefix = Lower(fixture.folder);
    for (const auto& [from, to] : fixture.machine->PendingFileRenames()) {
        std::string full;
        const std::string path = from.rfind("\\??\\", 0) == 0 ? from.substr(4) : from;
        FUZZ_CHECK(fixture.machine->Files().FullPath(path, &full) == 0, "scheduled: \"%s\"",
                   from.c_str());
        FUZZ_CHECK(Lower(full).rfind(prefix, 0) == 0 && full.size() > prefix.size(),
                   "\"%s\" outside the program folder is scheduled for the restart", from.c_str());
        FUZZ_CHECK(to.empty(), "a rename at restart, not a deletion: \"%s\"", to.c_str());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fixture& fixture = TheFixture();
    fuzz::UseMachine(1251);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    fixture.Reset(bytes);

    File list;
    FUZZ_CHECK(list.Open((fixture.folder + "Uninstall.lst").c_str(), nullptr, false, false),
               "the list cannot be opened");
    CheckReader(list, bytes);
    DeleteListedFiles(list, fixture.folder.c_str());
    CheckWhatStays(fixture, bytes);
    return 0;
}
