#include "platform/sim/machine.h"

#include <sys/stat.h>

#include <cctype>
#include <fstream>
#include <sstream>

#include "platform/sim/actions.h"
#include "platform/sim/ini.h"
#include "platform/sim/services.h"
#include "platform/sim/text.h"

namespace sim {

namespace {

bool ReadFile(const std::string& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    *text = s.str();
    return true;
}

bool WriteFile(const std::string& path, const std::string& text, std::string* error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

bool ParseYesNo(const std::string& value, bool* out) {
    const std::string v = FoldUtf8(value);
    if (v == "YES" || v == "TRUE" || v == "1") return *out = true, true;
    if (v == "NO" || v == "FALSE" || v == "0") return *out = false, true;
    return false;
}

bool ParseNumber(const std::string& value, unsigned* out) {
    if (value.empty() || value.size() > 9) return false;
    for (char c : value)
        if (c < '0' || c > '9') return false;
    *out = static_cast<unsigned>(std::stoul(value));
    return true;
}

// A count of free bytes: decimal digits only, at most 18 of them.
bool ParseBytes(const std::string& value, uint64_t* out) {
    if (value.empty() || value.size() > 18) return false;
    for (char c : value)
        if (c < '0' || c > '9') return false;
    *out = std::stoull(value);
    return true;
}

const char16_t kSessionManager[] = u"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char16_t kPendingRenames[] = u"PendingFileRenameOperations";

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('\\');
    if (slash == std::string::npos) return path;
    return slash == 2 ? path.substr(0, 3) : path.substr(0, slash);
}

}  // namespace

uint64_t* MachineConfig::FreeBytes(char drive) {
    const char letter = static_cast<char>(toupper(static_cast<unsigned char>(drive)));
    for (auto& [d, free] : diskFree)
        if (d == letter) return &free;
    return nullptr;
}

const std::string* MachineConfig::Find(const NamedValues& list, std::string_view name) {
    for (const auto& [key, value] : list)
        if (EqualNoCaseUtf8(key, name)) return &value;
    return nullptr;
}

bool MachineConfig::Parse(std::string_view text, MachineConfig* config, std::string* error) {
    std::vector<IniSection> sections;
    std::string what;
    if (!ParseIni(text, true, &sections, &what)) {
        *error = what;
        return false;
    }
    MachineConfig c;
    c.environment.clear();
    bool havePath = false;
    for (const IniSection& s : sections) {
        const std::string section = FoldUtf8(s.name);
        auto fail = [&](const IniEntry& e, const std::string& why) {
            *error = "line " + std::to_string(e.line) + ": " + why;
            return false;
        };
        if (section == "SYSTEM") {
            for (const IniEntry& e : s.entries) {
                const std::string key = FoldUtf8(e.key);
                if (key == "FAMILY") {
                    const std::string v = FoldUtf8(e.value);
                    if (v == "NT") {
                        c.family = Family::kNt;
                    } else if (v == "9X") {
                        c.family = Family::k9x;
                    } else {
                        return fail(e, "family must be nt or 9x: " + e.value);
                    }
                } else if (key == "VERSION") {
                    const size_t dot = e.value.find('.');
                    if (dot == std::string::npos ||
                        !ParseNumber(e.value.substr(0, dot), &c.major) ||
                        !ParseNumber(e.value.substr(dot + 1), &c.minor))
                        return fail(e, "version must be MAJOR.MINOR: " + e.value);
                } else if (key == "BUILD") {
                    if (!ParseNumber(e.value, &c.build))
                        return fail(e, "build must be a number: " + e.value);
                } else if (key == "SERVICEPACK") {
                    c.servicePack = e.value;
                } else if (key == "WIN64" || key == "ADMIN") {
                    bool v;
                    if (!ParseYesNo(e.value, &v))
                        return fail(e, e.key + " must be yes or no: " + e.value);
                    (key == "WIN64" ? c.win64 : c.admin) = v;
                } else if (key == "ACP" || key == "OEMCP") {
                    unsigned cp;
                    if (!ParseNumber(e.value, &cp))
                        return fail(e, e.key + " must be a code page number: " + e.value);
                    if (!CodePage::Find(cp))
                        return fail(e, "code page " + e.value + " is not available");
                    (key == "ACP" ? c.acp : c.oemcp) = cp;
                } else {
                    return fail(e, "unknown setting " + e.key + " in [system]");
                }
            }
        } else if (section == "PROGRAM") {
            for (const IniEntry& e : s.entries) {
                const std::string key = FoldUtf8(e.key);
                if (key != "PATH" && key != "DIRECTORY")
                    return fail(e, "unknown setting " + e.key + " in [program]");
                if (!IsAbsoluteWindowsPath(e.value))
                    return fail(e, e.key + " must be a full path (C:\\...): " + e.value);
                if (key == "PATH") {
                    c.programPath = e.value;
                    havePath = true;
                } else {
                    c.startDirectory = e.value;
                }
            }
        } else if (section == "DISK") {
            for (const IniEntry& e : s.entries) {
                std::string drive = e.key;
                if (drive.size() == 2 && drive[1] == ':') drive.pop_back();
                const char letter =
                    drive.size() == 1
                        ? static_cast<char>(toupper(static_cast<unsigned char>(drive[0])))
                        : '\0';
                if (letter < 'A' || letter > 'Z')
                    return fail(
                        e,
                        "a [disk] entry is a drive letter and its free bytes (C=4096): " + e.key);
                uint64_t free = 0;
                if (!ParseBytes(e.value, &free))
                    return fail(e, "the free bytes of drive " + std::string(1, letter) +
                                       ": must be a number of at most 18 digits: " + e.value);
                if (c.FreeBytes(letter))
                    return fail(e, "drive " + std::string(1, letter) + ": is in [disk] twice");
                c.diskFree.push_back({letter, free});
            }
        } else if (section == "ENVIRONMENT" || section == "FOLDERS" || section == "BUSY" ||
                   section == "DENIED") {
            NamedValues& list = section == "ENVIRONMENT" ? c.environment
                                : section == "FOLDERS"   ? c.folders
                                : section == "BUSY"      ? c.busy
                                                         : c.denied;
            for (const IniEntry& e : s.entries) {
                if (section == "BUSY" || section == "DENIED") {
                    if (!IsAbsoluteWindowsPath(e.key)) return fail(e, "not a full path: " + e.key);
                    const std::string v = FoldUtf8(e.value);
                    if (section == "BUSY" && v != "IMAGE" && v != "OPEN" && v != "LOCKED")
                        return fail(e, "a busy file is image, open or locked: " + e.value);
                    if (section == "DENIED" && v != "ALWAYS" && v != "NONADMIN")
                        return fail(e, "a denied folder is always or nonadmin: " + e.value);
                }
                list.push_back({e.key, e.value});
            }
        } else {
            *error = "line " + std::to_string(s.line) + ": unknown section [" + s.name + "]";
            return false;
        }
    }
    if (!havePath) {
        *error = "no [program] path= (the program file)";
        return false;
    }
    *config = c;
    return true;
}

std::string MachineConfig::Format() const {
    std::string out =
        "; A simulated Windows machine (build/sim/uninstall --machine). The settings are\n"
        "; described in src/platform/sim/machine.h.\n"
        "[system]\n";
    out += std::string("family=") + (Nt() ? "nt" : "9x") + "\n";
    out += "version=" + std::to_string(major) + "." + std::to_string(minor) + "\n";
    if (build) out += "build=" + std::to_string(build) + "\n";
    if (!servicePack.empty()) out += "servicepack=" + servicePack + "\n";
    out += std::string("win64=") + (win64 ? "yes" : "no") + "\n";
    out += "acp=" + std::to_string(acp) + "\n";
    out += "oemcp=" + std::to_string(oemcp) + "\n";
    out += std::string("admin=") + (admin ? "yes" : "no") + "\n";
    out += "\n[program]\npath=" + programPath + "\n";
    if (!startDirectory.empty()) out += "directory=" + startDirectory + "\n";
    const std::pair<const char*, const NamedValues*> lists[] = {
        {"environment", &environment}, {"folders", &folders}, {"busy", &busy}, {"denied", &denied}};
    for (const auto& [name, list] : lists) {
        out += std::string("\n[") + name + "]\n";
        for (const auto& [key, value] : *list) out += key + "=" + value + "\n";
    }
    if (!diskFree.empty()) {
        out += "\n[disk]\n";
        for (const auto& [drive, free] : diskFree)
            out += std::string(1, drive) + "=" + std::to_string(free) + "\n";
    }
    return out;
}

Machine::Machine() : files_(&config_), actions_(std::make_unique<Actions>()) {
    services_ = std::make_unique<Services>(*this);
}

Machine::~Machine() {
    services_->registry.CloseAll();
    services_->system.FreeAll();
    files_.CloseAll();
}

bool Machine::Init(std::string* error) {
    ansi_ = CodePage::Find(config_.acp);
    oem_ = CodePage::Find(config_.oemcp);
    if (!ansi_ || !oem_) {
        *error = "the code pages " + std::to_string(config_.acp) + "/" +
                 std::to_string(config_.oemcp) + " are not available on this host";
        return false;
    }
    files_.SetOemCodePage(oem_);
    std::string start =
        config_.startDirectory.empty() ? FolderOf(config_.programPath) : config_.startDirectory;
    files_.SetCurrentDirectory(start);
    return true;
}

std::unique_ptr<Machine> Machine::Bare() {
    std::unique_ptr<Machine> m(new Machine());
    std::string error;
    m->Init(&error);
    m->savedConfig_ = m->config_.Format();
    return m;
}

std::unique_ptr<Machine> Machine::Load(const std::string& dir, std::string* error,
                                       bool programMayBeGone) {
    struct stat st;
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        *error = dir + " is not a machine folder";
        return nullptr;
    }
    std::unique_ptr<Machine> m(new Machine());
    m->folder_ = dir;
    std::string text, what;
    if (!ReadFile(dir + "/machine.ini", &text)) {
        *error = dir + ": no machine.ini";
        return nullptr;
    }
    if (!MachineConfig::Parse(text, &m->config_, &what)) {
        *error = dir + "/machine.ini, " + what;
        return nullptr;
    }
    m->savedConfig_ = m->config_.Format();
    if (!ReadFile(dir + "/registry.reg", &text)) {
        *error = dir + ": no registry.reg";
        return nullptr;
    }
    if (!m->registry_.Load(text, &what)) {
        *error = dir + "/registry.reg, " + what;
        return nullptr;
    }
    if (stat((dir + "/drives").c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        *error = dir + ": no drives folder";
        return nullptr;
    }
    m->files_.SetRoot(dir + "/drives");
    if (ReadFile(dir + "/files.ini", &text) && !m->files_.LoadSideTable(text, &what)) {
        *error = dir + "/files.ini, " + what;
        return nullptr;
    }
    if (!m->Init(error)) return nullptr;
    os::Dword attributes = 0;
    const long missing = m->files_.GetAttributes(m->config_.programPath, &attributes);
    if ((missing != 0 && !programMayBeGone) ||
        (missing == 0 && (attributes & os::kFileAttributeDirectory))) {
        *error = dir + ": the program file " + m->config_.programPath +
                 " (machine.ini [program] path) is not in the machine's drives";
        return nullptr;
    }
    return m;
}

bool Machine::Save(std::string* error) {
    if (folder_.empty()) {
        *error = "the machine has no folder";
        return false;
    }
    const std::string config = config_.Format();
    if (config != savedConfig_) {
        if (!WriteFile(folder_ + "/machine.ini", config, error)) return false;
        savedConfig_ = config;
    }
    return WriteFile(folder_ + "/registry.reg", registry_.Save(), error) &&
           WriteFile(folder_ + "/files.ini", files_.SaveSideTable(), error);
}

os::Platform Machine::Platform() const {
    os::Platform platform{};
    platform.registry = &services_->registry;
    platform.files = &services_->files;
    platform.system = &services_->system;
    platform.ui = &services_->ui;
    platform.shell = &services_->shell;
    platform.process = &services_->process;
    return platform;
}

void Machine::Install() const { os::Install(Platform()); }

void Machine::StartProgram(const std::string& commandLine) {
    commandLine_ = commandLine;
    lastError = 0;
    files_.HoldImage(config_.programPath);
    programRunning_ = true;
}

void Machine::EndProgram() {
    if (!programRunning_) return;
    services_->registry.CloseAll();
    files_.CloseAll();
    services_->system.FreeAll();
    services_->shell.EndProcess();
    files_.ReleaseImages();
    programRunning_ = false;
}

void Machine::Restart() {
    EndProgram();
    files_.ReleaseAllHolds();
    auto strip = [](std::string path) {
        if (path.compare(0, 4, "\\??\\") == 0) path.erase(0, 4);
        return path;
    };
    auto remove = [&](const std::string& path) {
        files_.SetAttributes(path, os::kFileAttributeNormal);
        os::Dword attributes = 0;
        long err = files_.GetAttributes(path, &attributes);
        if (!err) {
            err = (attributes & os::kFileAttributeDirectory) ? files_.RemoveDirectory(path)
                                                             : files_.DeleteFile(path);
        }
        trace_.Add("Restart", "delete " + Quote(path) + " -> " + std::to_string(err));
    };
    auto move = [&](const std::string& from, const std::string& to, bool replace) {
        const long err =
            files_.Move(from, to, replace ? os::Dword{os::kMoveFileReplaceExisting} : 0);
        trace_.Add("Restart",
                   "rename " + Quote(from) + " " + Quote(to) + " -> " + std::to_string(err));
    };
    if (config_.Nt()) {
        for (const auto& [from, target] : PendingFileRenames()) {
            if (target.empty()) {
                remove(strip(from));
                continue;
            }
            const bool replace = target[0] == '!';
            move(strip(from), strip(replace ? target.substr(1) : target), replace);
        }
        if (RegNode* key = registry_.Find(Hive::kLocalMachine, kSessionManager))
            key->RemoveValue(kPendingRenames);
        return;
    }
    const std::string ini = JoinWindowsPath(WindowsFolder(), "wininit.ini");
    std::string bytes;
    if (files_.ReadAll(ini, &bytes) != 0) return;
    std::vector<IniSection> sections;
    std::string error;
    ParseIni(bytes, false, &sections, &error);
    for (const IniSection& s : sections) {
        if (!EqualNoCaseUtf8(s.name, "Rename")) continue;
        for (const IniEntry& e : s.entries) {
            const std::string target = AnsiToUtf8(e.key), source = AnsiToUtf8(e.value);
            if (EqualNoCaseUtf8(target, "NUL")) {
                remove(source);
            } else {
                move(source, target, true);
            }
        }
    }
    move(ini, JoinWindowsPath(WindowsFolder(), "wininit.bak"), true);
}

std::vector<std::pair<std::string, std::string>> Machine::PendingFileRenames() const {
    std::vector<std::pair<std::string, std::string>> pairs;
    const RegNode* key = registry_.Find(Hive::kLocalMachine, kSessionManager);
    const RegValue* v = key ? const_cast<RegNode*>(key)->Value(kPendingRenames) : nullptr;
    if (!v) return pairs;
    // Pairs of texts, each with its terminator; a deletion has an empty
    // second text; one more terminator ends the list.
    std::vector<std::string> texts;
    std::u16string current;
    for (size_t i = 0; i + 1 < v->data.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(v->data[i] | (v->data[i + 1] << 8));
        if (c) {
            current += c;
        } else {
            texts.push_back(Utf16ToUtf8(current));
            current.clear();
        }
    }
    if (texts.size() % 2 == 1 && texts.back().empty()) texts.pop_back();
    for (size_t i = 0; i + 1 < texts.size(); i += 2) pairs.push_back({texts[i], texts[i + 1]});
    return pairs;
}

void Machine::AddPendingFileRename(const std::string& from, const std::string& target) {
    auto pairs = PendingFileRenames();
    pairs.push_back({from, target});
    std::u16string list;
    for (const auto& [a, b] : pairs) list += Utf8ToUtf16(a) + u'\0' + Utf8ToUtf16(b) + u'\0';
    list += u'\0';
    registry_.Create(Hive::kLocalMachine, kSessionManager)
        ->SetValue(kPendingRenames, os::kRegMultiSz, Utf16LeBytes(list));
}

std::string Machine::AnsiToUtf8(std::string_view ansi) const {
    return Utf16ToUtf8(ansi_->ToWide(ansi));
}

std::string Machine::Utf8ToAnsi(std::string_view utf8, bool* usedDefault) const {
    return ansi_->FromWide(Utf8ToUtf16(utf8), nullptr, usedDefault);
}

const std::string* Machine::Environment(std::string_view name) const {
    return MachineConfig::Find(config_.environment, name);
}

const std::string* Machine::SpecialFolder(std::string_view name) const {
    return MachineConfig::Find(config_.folders, name);
}

std::string Machine::WindowsFolder() const {
    if (const std::string* f = SpecialFolder("windows")) return *f;
    if (const std::string* e = Environment("windir")) return *e;
    if (const std::string* e = Environment("SystemRoot")) return *e;
    return "C:\\WINDOWS";
}

std::string Machine::SystemFolder() const {
    if (const std::string* f = SpecialFolder("system")) return *f;
    return JoinWindowsPath(WindowsFolder(), config_.Nt() ? "system32" : "SYSTEM");
}

}  // namespace sim
