#include "platform/sim/what_if.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <tuple>

#include "platform/sim/actions.h"
#include "platform/sim/file_list.h"
#include "platform/sim/machine_changes.h"
#include "platform/sim/text.h"

namespace sim {

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage: uninstall --what-if EXPORT.reg [--files LIST] [--machine DIR]\n"
    "                 [--machine-config FILE] [--family nt|9x] [--version M.N]\n"
    "                 [--win64 yes|no] [--acp N] [--oemcp N] [--admin yes|no]\n"
    "                 [--actions FILE]\n"
    "Shows what setup (/setup /s) and then the uninstall (/s, its script and a\n"
    "restart) would change on a Windows machine whose registry regedit exported\n"
    "into EXPORT.reg (either form: Unicode or REGEDIT4 in the ANSI code page).\n"
    "  --files LIST           files and folders to put on the machine, one Windows\n"
    "                         path a line (\"C:\\dir\\\" a folder, \"C:\\f.txt | 1024\" a\n"
    "                         file of 1024 bytes, \"C:\\f.txt\" an empty one)\n"
    "  --machine DIR          build the machine in DIR (which must not exist) and\n"
    "                         keep it there as the run leaves it\n"
    "  --machine-config FILE  the machine's machine.ini (the sample's otherwise)\n"
    "  --family, --version, --win64, --acp, --oemcp, --admin\n"
    "                         the kind of Windows (default: NT 5.1, 32-bit,\n"
    "                         code pages 1251/866, an administrator)\n"
    "  --actions FILE         answers to message boxes, one a line\n";

int Usage(const std::string& problem) {
    std::cerr << "uninstall: " << problem << "\n" << kUsage;
    return 2;
}

int Fail(int code, const std::string& problem) {
    std::cerr << "uninstall: " << problem << "\n";
    return code;
}

bool ReadAll(const std::string& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    *bytes = text.str();
    return !in.bad();
}

bool YesNo(const std::string& v, bool* out) {
    if (v == "yes" || v == "no") {
        *out = v == "yes";
        return true;
    }
    return false;
}

bool Number(const std::string& v, unsigned* out) {
    if (v.empty() || v.size() > 5 || v.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *out = static_cast<unsigned>(std::stoul(v));
    return true;
}

// Removes a folder at the end unless kept.
struct FolderGuard {
    std::string path;
    bool keep = false;
    ~FolderGuard() {
        std::error_code ec;
        if (!keep && !path.empty()) fs::remove_all(path, ec);
    }
};

// A new folder name beside `dir` for the machine until it is complete.
std::string BesideName(const std::string& dir) {
    fs::path p = fs::absolute(fs::path(dir)).lexically_normal();
    if (p.filename().empty()) p = p.parent_path();
    return (p.parent_path() /
            ("." + p.filename().string() + ".what-if-" + std::to_string(getpid())))
        .string();
}

// The sample's registry becomes the base of the export: its file types go.
void KeepOnlyWindowsClasses(RegistryStore& registry) {
    RegNode* classes = registry.Find(Hive::kLocalMachine, u"SOFTWARE\\Classes");
    if (!classes) return;
    std::vector<RegNode*> types;
    for (size_t i = 0; i < classes->ChildCount(); ++i) {
        RegNode* child = classes->ChildAt(i);
        const std::u16string name = Upcase(child->Name());
        if (name != u"CLSID" && name != u"WOW6432NODE") types.push_back(child);
    }
    for (RegNode* type : types) classes->RemoveChild(type);
}

// Puts one listed file or folder on the machine, past the platform (it was
// there before the program ran: no rights or free bytes apply), making the
// folders on the way.
bool PutListed(Machine& m, const ListedFile& f, std::string* why) {
    FileSystem& files = m.Files();
    std::string cur = f.path.substr(0, 2) + "\\";
    std::string host;
    std::error_code ec;
    if (files.HostPath(cur, &host) != 0) {
        host = files.Root() + "/" + f.path.substr(0, 1);
        fs::create_directories(host, ec);
        if (ec) {
            *why = "cannot make drive " + f.path.substr(0, 2) + ": " + ec.message();
            return false;
        }
    }
    std::vector<std::string> names;
    for (size_t pos = 3; pos < f.path.size();) {
        size_t end = f.path.find('\\', pos);
        if (end == std::string::npos) end = f.path.size();
        names.push_back(f.path.substr(pos, end - pos));
        pos = end + 1;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        const bool last = i + 1 == names.size();
        cur = JoinWindowsPath(cur, names[i]);
        os::Dword attributes = 0;
        if (files.GetAttributes(cur, &attributes) == 0) {
            const bool folder = (attributes & os::kFileAttributeDirectory) != 0;
            if (folder && last && !f.folder) {
                *why = cur + " is a folder on the machine";
                return false;
            }
            if (!folder && (!last || f.folder)) {
                *why = cur + " is a file on the machine, not a folder";
                return false;
            }
            if (files.HostPath(cur, &host) != 0) {
                *why = "cannot find " + cur + " on the host";
                return false;
            }
            // A listed file the sample machine has too takes the listed size.
            if (last && !f.folder) fs::resize_file(host, f.size, ec);
            if (ec) {
                *why = "cannot size " + cur + ": " + ec.message();
                return false;
            }
            continue;
        }
        host += "/" + names[i];
        if (!last || f.folder) {
            fs::create_directory(host, ec);
        } else {
            std::ofstream(host, std::ios::binary).close();
            fs::resize_file(host, f.size, ec);
        }
        if (ec || !fs::exists(host, ec)) {
            *why = "cannot make " + cur + (ec ? ": " + ec.message() : "");
            return false;
        }
    }
    return true;
}

void PrintChanges(const MachineState& before, const MachineState& after) {
    std::vector<std::string> lines = RegistryChanges(before.registry, after.registry);
    for (std::string& line : FileChanges(before, after)) lines.push_back(std::move(line));
    if (lines.empty()) std::cout << "  (nothing)\n";
    for (const std::string& line : lines) std::cout << "  " << line << "\n";
}

}  // namespace

int RunWhatIf(int argc, char** argv, const ProgramHooks& hooks) {
    std::string exportFile, listFile, dir, configFile, actionsFile;
    std::string family, version, win64, acp, oemcp, admin;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        std::string* slot = arg == "--what-if"          ? &exportFile
                            : arg == "--files"          ? &listFile
                            : arg == "--machine"        ? &dir
                            : arg == "--machine-config" ? &configFile
                            : arg == "--actions"        ? &actionsFile
                            : arg == "--family"         ? &family
                            : arg == "--version"        ? &version
                            : arg == "--win64"          ? &win64
                            : arg == "--acp"            ? &acp
                            : arg == "--oemcp"          ? &oemcp
                            : arg == "--admin"          ? &admin
                                                        : nullptr;
        if (!slot) return Usage("unknown option for --what-if: " + arg);
        if (i + 1 >= argc || std::string(argv[i + 1]).empty()) return Usage(arg + " needs a value");
        if (!slot->empty()) return Usage(arg + " is given twice");
        *slot = argv[++i];
    }
    struct stat st;
    if (!dir.empty() && lstat(dir.c_str(), &st) == 0)
        return Usage("--machine " + dir + " exists already (a what-if run makes a new machine)");

    // The inputs, all checked before anything is made.
    std::string exportText, listText, configText, actionsText, what;
    if (!ReadAll(exportFile, &exportText))
        return Usage("cannot read the registry export " + exportFile);
    if (!listFile.empty() && !ReadAll(listFile, &listText))
        return Usage("cannot read the file list " + listFile);
    if (!configFile.empty() && !ReadAll(configFile, &configText))
        return Usage("cannot read the machine configuration " + configFile);
    if (!actionsFile.empty() && !ReadAll(actionsFile, &actionsText))
        return Usage("cannot read the actions file " + actionsFile);

    MachineConfig config;
    if (!configFile.empty() && !MachineConfig::Parse(configText, &config, &what))
        return Fail(2, configFile + ", " + what);
    if (!family.empty()) {
        if (family != "nt" && family != "9x") return Usage("--family is nt or 9x: " + family);
        config.family = family == "nt" ? Family::kNt : Family::k9x;
    }
    MachineOptions options;
    options.family = config.family;
    if (!version.empty()) {
        const size_t dot = version.find('.');
        if (dot == std::string::npos || !Number(version.substr(0, dot), &config.major) ||
            !Number(version.substr(dot + 1), &config.minor) || config.major == 0)
            return Usage("--version is MAJOR.MINOR (5.1, 4.10, ...): " + version);
    }
    if (!version.empty() || !configFile.empty()) {
        options.major = config.major;
        options.minor = config.minor;
    }
    if (!win64.empty() && !YesNo(win64, &config.win64))
        return Usage("--win64 is yes or no: " + win64);
    if (!admin.empty() && !YesNo(admin, &config.admin))
        return Usage("--admin is yes or no: " + admin);
    for (auto [text, page, name] :
         {std::tuple{&acp, &config.acp, "--acp"}, std::tuple{&oemcp, &config.oemcp, "--oemcp"}}) {
        if (text->empty()) continue;
        if (!Number(*text, page) || !CodePage::Find(*page))
            return Usage(
                std::string(name) +
                " must be a code page this host has (1251, 1252, 932, 866, ...): " + *text);
    }
    options.win64 = config.win64;
    options.admin = config.admin;
    options.acp = config.acp;
    options.oemcp = config.oemcp;
    const CodePage* ansi = CodePage::Find(options.acp);
    if (!ansi || !CodePage::Find(options.oemcp))
        return Usage("the code pages " + std::to_string(options.acp) + "/" +
                     std::to_string(options.oemcp) + " are not available on this host");

    RegistryStore trial;
    if (!trial.Import(exportText, &what, ansi)) return Fail(2, exportFile + ", " + what);
    std::vector<ListedFile> listed;
    if (!listFile.empty() && !ParseFileList(listText, *ansi, &listed, &what))
        return Fail(2, listFile + ", " + what);
    Actions actions;
    if (!actionsFile.empty() && !actions.Load(actionsText, &what))
        return Fail(2, actionsFile + ", " + what);

    // The machine, in a folder of its own until it is complete.
    FolderGuard temp, work;
    if (dir.empty()) {
        const char* tmp = getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vlk-what-if-XXXXXX";
        if (!mkdtemp(pattern.data()))
            return Fail(3, "cannot make a temporary folder: " + std::string(strerror(errno)));
        temp.path = pattern;
        work.path = pattern + "/machine";
    } else {
        work.path = BesideName(dir);
    }
    std::unique_ptr<Machine> m;
    {
        if (!WriteSampleMachine(work.path, options, &what)) return Fail(3, what);
        m = Machine::Load(work.path, &what);
        if (!m) return Fail(3, what);
        if (!configFile.empty()) {
            if (!EqualNoCaseUtf8(config.programPath, m->Config().programPath))
                return Fail(2, configFile +
                                   ": [program] path must be where the archiver is installed on a "
                                   "machine of this kind: " +
                                   m->Config().programPath);
            m->Config() = config;
        }
        KeepOnlyWindowsClasses(m->Registry());
        m->Registry().Import(exportText, &what, ansi);
        for (const ListedFile& f : listed) {
            if (!PutListed(*m, f, &what))
                return Fail(2, listFile + ", line " + std::to_string(f.line) + ": " + what);
        }
        if (!m->Save(&what)) return Fail(3, what);
        m = Machine::Load(work.path, &what);
        if (!m) return Fail(3, what);
    }
    m->UserActions() = actions;
    m->UserActions().SetInteractive(false);

    const MachineConfig& c = m->Config();
    const std::string program = "\"" + c.programPath + "\"";
    std::cout << "What if: " << (c.Nt() ? "NT " : "9x ") << c.major << "." << c.minor
              << (c.win64 ? ", 64-bit Windows" : "") << ", code pages " << c.acp << "/" << c.oemcp
              << (c.admin ? "" : ", a user without administrator rights") << "; the registry of "
              << exportFile;
    if (!listFile.empty())
        std::cout << ", " << listed.size() << " files and folders of " << listFile;
    std::cout << "\n";
    const MachineState start = CaptureState(*m);

    std::cout << "Setup, " << program << " /setup /s, changes:\n";
    if (int code = RunProgramOnMachine(m, hooks, program + " /setup /s")) return code;
    PrintChanges(start, CaptureState(*m));

    // The uninstall is a later start of the program: a machine loaded afresh.
    Actions left = m->UserActions();
    if (!m->Save(&what)) return Fail(3, what);
    m = Machine::Load(work.path, &what);
    if (!m) return Fail(3, what);
    m->UserActions() = left;
    std::cout << "Uninstall, " << program
              << " /s, the processes it starts and a restart, change since the start:\n";
    if (int code = RunProgramOnMachine(m, hooks, program + " /s")) return code;
    m->Restart();
    PrintChanges(start, CaptureState(*m));
    for (const std::string& unused : m->UserActions().Unused())
        std::cerr << "uninstall: action not used: " << unused << "\n";

    if (!dir.empty()) {
        if (!m->Save(&what)) return Fail(3, what);
        if (rename(work.path.c_str(), dir.c_str()) != 0)
            return Fail(3, "cannot put the machine in " + dir + ": " + strerror(errno));
        work.keep = true;
        std::cout << "The machine is in " << dir << "\n";
    }
    return 0;
}

}  // namespace sim
