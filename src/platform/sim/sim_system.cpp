// Version, code pages, modules and resources, environment and time.
#include <cstring>

#include "platform/sim/machine.h"
#include "platform/sim/pe_resources.h"
#include "platform/sim/services.h"
#include "platform/sim/text.h"

namespace sim {

using os::Dword;

namespace {

constexpr long kErrorModNotFound = 126;
constexpr long kErrorBadExeFormat = 193;
constexpr long kErrorEnvvarNotFound = 203;
constexpr long kErrorNoUnicodeTranslation = 1113;
constexpr uintptr_t kProgramInstance = 0x00400000;

// Libraries of the system itself: they load without a file of the machine
// and hold no resources the program reads.
const char* const kSystemLibraries[] = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll",    "kernel32.dll",
    "msvcrt.dll",   "ntdll.dll",    "ole32.dll",    "oleaut32.dll", "riched20.dll",
    "riched32.dll", "shell32.dll",  "shlwapi.dll",  "user32.dll",   "version.dll",
};

// The code page a call names: CP_ACP and CP_THREAD_ACP (3) are the
// machine's ANSI code page, CP_OEMCP its OEM one; CP_MACCP (2) is not
// available; null when the host cannot provide the page.
const CodePage* CallCodePage(const MachineConfig& config, Dword codePage) {
    if (codePage == os::kCpAcp || codePage == 3) return CodePage::Find(config.acp);
    if (codePage == os::kCpOemcp) return CodePage::Find(config.oemcp);
    if (codePage == 2) return nullptr;
    return CodePage::Find(codePage);
}

std::string FileName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ResourceName(const char* name) {
    if (os::IsIntResource(name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
    return Quote(name);
}

unsigned DefaultBuild(const MachineConfig& c) {
    if (c.build) return c.build;
    const unsigned v = c.major * 100 + c.minor;
    if (!c.Nt()) return v >= 490 ? 3000 : v >= 410 ? 1998 : 950;
    switch (v) {
        case 351:
            return 1057;
        case 400:
            return 1381;
        case 500:
            return 2195;
        case 501:
            return 2600;
        case 502:
            return 3790;
        case 600:
            return 6002;
        case 601:
            return 7601;
        default:
            return 9200;
    }
}

}  // namespace

struct SimSystem::LoadedModule {
    std::string path;
    int references = 1;
    std::unique_ptr<ResourceSet> resources;  // null for a library of the system
};

SimSystem::SimSystem(Machine& machine) : m_(machine) {}
SimSystem::~SimSystem() = default;

os::Module SimSystem::ProgramInstance() { return reinterpret_cast<os::Module>(kProgramInstance); }

void SimSystem::FreeAll() {
    for (auto& [handle, module] : modules_)
        if (module->resources) m_.Files().ReleaseImage(module->path);
    modules_.clear();
}

Dword SimSystem::GetLastError() {
    m_.Trace().Add("GetLastError", "-> " + std::to_string(m_.lastError));
    return m_.lastError;
}

void SimSystem::SetLastError(Dword code) {
    m_.Trace().Add("SetLastError", std::to_string(code));
    m_.lastError = code;
}

os::Bool SimSystem::GetVersionExA(os::VersionInfo* info) {
    const MachineConfig& c = m_.Config();
    unsigned major = c.major, minor = c.minor, build = DefaultBuild(c);
    // A program that declares no supported Windows versions in its manifest
    // is told 6.2 by Windows 8.1 and later.
    if (c.Nt() && (major > 6 || (major == 6 && minor > 2))) major = 6, minor = 2, build = 9200;
    info->majorVersion = major;
    info->minorVersion = minor;
    info->platformId = c.Nt() ? os::kPlatformWin32Nt : os::kPlatformWin32Windows;
    info->buildNumber = c.Nt() ? build : ((major << 24) | (minor << 16) | (build & 0xFFFF));
    const std::string csd = m_.Utf8ToAnsi(c.servicePack);
    snprintf(info->csdVersion, sizeof info->csdVersion, "%s", csd.c_str());
    m_.Trace().Add("GetVersionExA", "-> 1 " + std::to_string(major) + "." + std::to_string(minor) +
                                        "." + std::to_string(build) +
                                        " platform=" + std::to_string(info->platformId));
    return 1;
}

os::Bool SimSystem::GetCPInfo(Dword codePage, os::CpInfo* info) {
    const CodePage* page = CallCodePage(m_.Config(), codePage);
    if (!page || !info) {
        m_.lastError = os::kErrorInvalidParameter;
        m_.Trace().Add("GetCPInfo", std::to_string(codePage) + " -> 0 err=87");
        return 0;
    }
    memset(info, 0, sizeof *info);
    info->maxCharSize = page->MaxCharSize();
    info->defaultChar[0] = '?';
    size_t i = 0;
    for (auto [from, to] : page->LeadRanges()) {
        if (i + 2 > sizeof info->leadByte - 2) break;
        info->leadByte[i++] = from;
        info->leadByte[i++] = to;
    }
    m_.Trace().Add("GetCPInfo", std::to_string(codePage) +
                                    " -> 1 maxCharSize=" + std::to_string(info->maxCharSize));
    return 1;
}

os::Bool SimSystem::IsDBCSLeadByte(unsigned char byte) {
    const os::Bool lead = m_.Ansi().IsLeadByte(byte) ? 1 : 0;
    m_.Trace().Add("IsDBCSLeadByte", Hex(byte) + " -> " + std::to_string(lead));
    return lead;
}

Dword SimSystem::GetACP() {
    m_.Trace().Add("GetACP", "-> " + std::to_string(m_.Config().acp));
    return m_.Config().acp;
}

Dword SimSystem::GetOEMCP() {
    m_.Trace().Add("GetOEMCP", "-> " + std::to_string(m_.Config().oemcp));
    return m_.Config().oemcp;
}

int SimSystem::CompareStringA(Dword locale, Dword flags, const char* a, int lengthA, const char* b,
                              int lengthB) {
    if (!a || !b) {
        m_.lastError = os::kErrorInvalidParameter;
        m_.Trace().Add("CompareStringA", "-> 0 err=87");
        return 0;
    }
    const std::string textA =
        lengthA < 0 ? std::string(a) : std::string(a, static_cast<size_t>(lengthA));
    const std::string textB =
        lengthB < 0 ? std::string(b) : std::string(b, static_cast<size_t>(lengthB));
    std::u16string wa = m_.Ansi().ToWide(textA), wb = m_.Ansi().ToWide(textB);
    if (flags & os::kNormIgnoreCase) {
        wa = Upcase(wa);
        wb = Upcase(wb);
    }
    const int result = wa < wb ? 1 : wa == wb ? 2 : 3;
    m_.Trace().Add("CompareStringA",
                   Hex(locale) + " " + Hex(flags) + " " + Quote(m_.AnsiToUtf8(textA)) + " " +
                       Quote(m_.AnsiToUtf8(textB)) + " -> " + std::to_string(result));
    return result;
}

int SimSystem::MultiByteToWideChar(Dword codePage, Dword flags, const char* source,
                                   int sourceLength, os::Wchar* dest, int destLength) {
    const CodePage* page = CallCodePage(m_.Config(), codePage);
    auto fail = [&](long err) {
        m_.lastError = static_cast<Dword>(err);
        m_.Trace().Add("MultiByteToWideChar", std::to_string(codePage) + " -> 0" + TraceError(err));
        return 0;
    };
    if (!page || !source || sourceLength == 0 || destLength < 0 || (destLength && !dest))
        return fail(os::kErrorInvalidParameter);
    const size_t length = sourceLength < 0 ? strlen(source) + 1 : static_cast<size_t>(sourceLength);
    bool invalid = false;
    const std::u16string wide = page->ToWide(std::string_view(source, length), &invalid);
    if (invalid && (flags & 8)) return fail(kErrorNoUnicodeTranslation);  // MB_ERR_INVALID_CHARS
    const int needed = static_cast<int>(wide.size());
    if (destLength) {
        if (destLength < needed) return fail(os::kErrorInsufficientBuffer);
        for (int i = 0; i < needed; ++i) dest[i] = wide[static_cast<size_t>(i)];
    }
    m_.Trace().Add(
        "MultiByteToWideChar",
        std::to_string(codePage) + " " +
            Quote(page->Number() == 65001 ? std::string(source, length) : Utf16ToUtf8(wide)) +
            " -> " + std::to_string(needed));
    return needed;
}

int SimSystem::WideCharToMultiByte(Dword codePage, Dword flags, const os::Wchar* source,
                                   int sourceLength, char* dest, int destLength,
                                   const char* defaultChar, os::Bool* usedDefault) {
    (void)flags;
    const CodePage* page = CallCodePage(m_.Config(), codePage);
    auto fail = [&](long err) {
        m_.lastError = static_cast<Dword>(err);
        m_.Trace().Add("WideCharToMultiByte", std::to_string(codePage) + " -> 0" + TraceError(err));
        return 0;
    };
    if (!page || !source || sourceLength == 0 || destLength < 0 || (destLength && !dest) ||
        (page->Number() == 65001 && (defaultChar || usedDefault)))
        return fail(os::kErrorInvalidParameter);
    size_t length = 0;
    if (sourceLength < 0) {
        while (source[length]) ++length;
        ++length;
    } else {
        length = static_cast<size_t>(sourceLength);
    }
    std::u16string wide(source, source + length);
    bool used = false;
    const std::string bytes = page->FromWide(wide, defaultChar, &used);
    if (usedDefault) *usedDefault = used ? 1 : 0;
    const int needed = static_cast<int>(bytes.size());
    if (destLength) {
        if (destLength < needed) return fail(os::kErrorInsufficientBuffer);
        memcpy(dest, bytes.data(), bytes.size());
    }
    m_.Trace().Add("WideCharToMultiByte",
                   std::to_string(codePage) + " " + Quote(Utf16ToUtf8(wide)) + " -> " +
                       std::to_string(needed) + (used ? " usedDefault" : ""));
    return needed;
}

Dword SimSystem::GetModuleFileNameA(os::Module module, char* buffer, Dword size) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(module);
    std::string path;
    if (!module || value == kProgramInstance) {
        path = m_.Config().programPath;
    } else if (auto it = modules_.find(value); it != modules_.end()) {
        path = it->second->path;
    } else {
        m_.lastError = kErrorModNotFound;
        m_.Trace().Add("GetModuleFileNameA", Hex(static_cast<uint32_t>(value)) + " -> 0 err=126");
        return 0;
    }
    const std::string ansi = m_.Utf8ToAnsi(path);
    Dword n;
    if (ansi.size() < size) {
        memcpy(buffer, ansi.c_str(), ansi.size() + 1);
        n = static_cast<Dword>(ansi.size());
    } else if (m_.Config().Nt() && m_.Config().major >= 6) {
        // Vista and later cut the path and terminate it.
        if (size) {
            memcpy(buffer, ansi.data(), size - 1);
            buffer[size - 1] = '\0';
        }
        m_.lastError = os::kErrorInsufficientBuffer;
        n = size;
    } else {
        // Earlier systems fill the buffer without a terminator.
        memcpy(buffer, ansi.data(), size);
        n = size;
    }
    m_.Trace().Add("GetModuleFileNameA", Hex(static_cast<uint32_t>(value)) +
                                             " size=" + std::to_string(size) + " -> " +
                                             std::to_string(n) + " " + Quote(path));
    return n;
}

os::Module SimSystem::LoadLibraryA(const char* name) {
    const std::string given = name ? m_.AnsiToUtf8(name) : "";
    auto fail = [&](long err) {
        m_.lastError = static_cast<Dword>(err);
        m_.Trace().Add("LoadLibraryA", Quote(given) + " -> 0" + TraceError(err));
        return static_cast<os::Module>(nullptr);
    };
    if (!name || given.empty()) return fail(os::kErrorInvalidParameter);
    std::string file = FileName(given);
    if (file.find('.') == std::string::npos) file += ".dll";
    const bool bare = given.find_first_of("\\/") == std::string::npos;
    std::vector<std::string> candidates;
    if (given.find_first_of("\\/") != std::string::npos) {
        candidates.push_back(given.find('.', given.find_last_of("\\/")) == std::string::npos
                                 ? given + ".dll"
                                 : given);
    } else {
        const std::string& program = m_.Config().programPath;
        const size_t slash = program.rfind('\\');
        if (slash != std::string::npos) candidates.push_back(program.substr(0, slash + 1) + file);
        candidates.push_back(JoinWindowsPath(m_.SystemFolder(), file));
        candidates.push_back(JoinWindowsPath(m_.WindowsFolder(), file));
        candidates.push_back(JoinWindowsPath(m_.Files().CurrentDirectory(), file));
        if (const std::string* path = m_.Environment("PATH")) {
            size_t pos = 0;
            while (pos <= path->size()) {
                size_t semi = path->find(';', pos);
                if (semi == std::string::npos) semi = path->size();
                if (semi > pos)
                    candidates.push_back(JoinWindowsPath(path->substr(pos, semi - pos), file));
                pos = semi + 1;
            }
        }
    }
    std::string found;
    for (const std::string& candidate : candidates) {
        os::Dword attributes = 0;
        if (m_.Files().GetAttributes(candidate, &attributes) == 0 &&
            !(attributes & os::kFileAttributeDirectory)) {
            m_.Files().FullPath(candidate, &found);
            break;
        }
    }
    bool system = false;
    if (found.empty()) {
        for (const char* library : kSystemLibraries)
            if (EqualNoCaseUtf8(file, library) && bare) system = true;
        if (!system) return fail(kErrorModNotFound);
        found = JoinWindowsPath(m_.SystemFolder(), file);
    }
    for (auto& [handle, module] : modules_) {
        if (EqualNoCaseUtf8(module->path, found)) {
            ++module->references;
            m_.Trace().Add(
                "LoadLibraryA",
                Quote(given) + " -> " + Hex(static_cast<uint32_t>(handle)) + " " + Quote(found));
            return reinterpret_cast<os::Module>(handle);
        }
    }
    auto module = std::make_unique<LoadedModule>();
    module->path = found;
    if (!system) {
        std::string bytes;
        if (long err = m_.Files().ReadAll(found, &bytes)) return fail(err);
        std::string error;
        module->resources =
            ResourceSet::FromPe(std::vector<uint8_t>(bytes.begin(), bytes.end()), &error);
        if (!module->resources) return fail(kErrorBadExeFormat);
        m_.Files().HoldImage(found);
    }
    const uintptr_t handle = nextModule_;
    nextModule_ += 0x10000;
    modules_[handle] = std::move(module);
    m_.Trace().Add("LoadLibraryA",
                   Quote(given) + " -> " + Hex(static_cast<uint32_t>(handle)) + " " + Quote(found));
    return reinterpret_cast<os::Module>(handle);
}

bool SimSystem::LibraryLoaded(const std::string& fileName) const {
    for (const auto& [handle, module] : modules_)
        if (EqualNoCaseUtf8(FileName(module->path), fileName)) return true;
    return false;
}

os::Bool SimSystem::FreeLibrary(os::Module module) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(module);
    auto it = modules_.find(value);
    if (it == modules_.end()) {
        m_.lastError = os::kErrorInvalidHandle;
        m_.Trace().Add("FreeLibrary", Hex(static_cast<uint32_t>(value)) + " -> 0 err=6");
        return 0;
    }
    if (--it->second->references == 0) {
        if (it->second->resources) m_.Files().ReleaseImage(it->second->path);
        modules_.erase(it);
    }
    m_.Trace().Add("FreeLibrary", Hex(static_cast<uint32_t>(value)) + " -> 1");
    return 1;
}

os::Bool SimSystem::IsWow64Process(os::Bool* wow64, os::Bool* present) {
    const MachineConfig& c = m_.Config();
    // The call exists from Windows XP on.
    const bool exists = c.Nt() && (c.major > 5 || (c.major == 5 && c.minor >= 1));
    if (present) *present = exists ? 1 : 0;
    if (!exists) {
        m_.Trace().Add("IsWow64Process", "-> absent");
        return 0;
    }
    if (wow64) *wow64 = c.win64 ? 1 : 0;
    m_.Trace().Add("IsWow64Process", std::string("-> 1 wow64=") + (c.win64 ? "1" : "0"));
    return 1;
}

const ResourceSet* SimSystem::Resources(os::Module module, bool* known) const {
    const uintptr_t value = reinterpret_cast<uintptr_t>(module);
    *known = true;
    if (!module || value == kProgramInstance) return &ProgramResources();
    auto it = modules_.find(value);
    if (it == modules_.end()) {
        *known = false;
        return nullptr;
    }
    return it->second->resources.get();
}

const void* SimSystem::FindResourceData(os::Module module, const char* name, const char* type,
                                        Dword* size) {
    const std::string args = Hex(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(module))) + " " +
                             ResourceName(name) + " type=" + ResourceName(type);
    bool known;
    const ResourceSet* set = Resources(module, &known);
    const std::vector<uint8_t>* data = set ? set->Find(type, name) : nullptr;
    if (!data) {
        const long err = known ? os::kErrorResourceNameNotFound : os::kErrorInvalidHandle;
        m_.lastError = static_cast<Dword>(err);
        m_.Trace().Add("FindResourceA", args + " -> 0" + TraceError(err));
        return nullptr;
    }
    if (size) *size = static_cast<Dword>(data->size());
    m_.Trace().Add("FindResourceA", args + " -> size=" + std::to_string(data->size()));
    return data->data();
}

int SimSystem::LoadStringA(os::Module module, unsigned id, char* buffer, int size) {
    const std::string args = Hex(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(module))) + " " +
                             std::to_string(id) + " size=" + std::to_string(size);
    bool known;
    const ResourceSet* set = Resources(module, &known);
    const std::u16string text = set ? set->String(id) : std::u16string();
    if (!buffer || size <= 0) {
        m_.Trace().Add("LoadStringA", args + " -> 0");
        return 0;
    }
    if (text.empty()) {
        buffer[0] = '\0';
        m_.lastError = os::kErrorResourceNameNotFound;
        m_.Trace().Add("LoadStringA", args + " -> 0");
        return 0;
    }
    const std::string ansi = m_.Ansi().FromWide(text);
    // Whole characters only, as many as fit before the terminator.
    size_t n = 0;
    while (n < ansi.size()) {
        const size_t step =
            m_.Ansi().IsLeadByte(static_cast<unsigned char>(ansi[n])) && n + 1 < ansi.size() ? 2
                                                                                             : 1;
        if (n + step > static_cast<size_t>(size - 1)) break;
        n += step;
    }
    memcpy(buffer, ansi.data(), n);
    buffer[n] = '\0';
    m_.Trace().Add("LoadStringA",
                   args + " -> " + std::to_string(n) + " " + Quote(Utf16ToUtf8(text)));
    return static_cast<int>(n);
}

os::Icon SimSystem::LoadIconA(os::Module module, const char* name) {
    const std::string args =
        Hex(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(module))) + " " + ResourceName(name);
    std::string key;
    if (!module && os::IsIntResource(name) && reinterpret_cast<uintptr_t>(name) >= 32512) {
        key = "system" + ResourceName(name);  // IDI_APPLICATION and the others
    } else {
        bool known;
        const ResourceSet* set = Resources(module, &known);
        if (!set || !set->Find(os::IntResource(os::kRtGroupIcon), name)) {
            m_.lastError = os::kErrorResourceNameNotFound;
            m_.Trace().Add("LoadIconA", args + " -> 0 err=1814");
            return nullptr;
        }
        key = Hex(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(module))) + ResourceName(name);
    }
    uintptr_t& icon = icons_[key];
    if (!icon) {
        icon = nextIcon_;
        nextIcon_ += 4;
    }
    m_.Trace().Add("LoadIconA", args + " -> " + Hex(static_cast<uint32_t>(icon)));
    return reinterpret_cast<os::Icon>(icon);
}

Dword SimSystem::GetEnvironmentVariableA(const char* name, char* buffer, Dword size) {
    const std::string key = name ? m_.AnsiToUtf8(name) : "";
    const std::string* value = name ? m_.Environment(key) : nullptr;
    if (!value) {
        m_.lastError = kErrorEnvvarNotFound;
        m_.Trace().Add("GetEnvironmentVariableA", Quote(key) + " -> 0 err=203");
        return 0;
    }
    const std::string ansi = m_.Utf8ToAnsi(*value);
    Dword n;
    if (buffer && size > ansi.size()) {
        memcpy(buffer, ansi.c_str(), ansi.size() + 1);
        n = static_cast<Dword>(ansi.size());
    } else {
        n = static_cast<Dword>(ansi.size() + 1);
    }
    m_.Trace().Add("GetEnvironmentVariableA", Quote(key) + " size=" + std::to_string(size) +
                                                  " -> " + std::to_string(n) + " " + Quote(*value));
    return n;
}

void SimSystem::Sleep(Dword milliseconds) {
    m_.AdvanceClock(milliseconds);
    m_.Trace().Add("Sleep",
                   std::to_string(milliseconds) + " -> clock=" + std::to_string(m_.Clock()));
}

}  // namespace sim
