// The registry calls. HKEY_CLASSES_ROOT is HKLM\SOFTWARE\Classes, read and
// written there (as Wine has it; the per-user classes that Windows 2000 and
// later merge into it are not modelled). On 64-bit Windows the 32-bit process
// sees HKLM\SOFTWARE and HKLM\SOFTWARE\Classes\CLSID through Wow6432Node (the
// Windows 7 rules: a handle belongs to one view, a relative open keeps the
// handle's view unless its access names one). The access rights of a handle
// are checked on the NT family only.
#include <cstring>

#include "platform/sim/machine.h"
#include "platform/sim/services.h"
#include "platform/sim/text.h"

namespace sim {

using os::Dword;

namespace {

constexpr uintptr_t kClassesRoot = 0x80000000u;
constexpr uintptr_t kCurrentUser = 0x80000001u;
constexpr uintptr_t kLocalMachine = 0x80000002u;
constexpr Dword kDelete = 0x10000;
constexpr Dword kWriteRights =
    os::kKeySetValue | os::kKeyCreateSubKey | 0x20 | kDelete | 0x40000 | 0x80000;
constexpr long kErrorKeyDeleted = 1018;
constexpr long kErrorBadPathname = 161;
constexpr long kErrorNoAccess = 998;

Dword NormalizeAccess(Dword access) {
    Dword out = access & ~(0xF0000000u | 0x02000000u | os::kKeyWow64_64Key | os::kKeyWow64_32Key);
    if (access & 0x80000000u) out |= os::kKeyRead;       // GENERIC_READ
    if (access & 0x40000000u) out |= os::kKeyWrite;      // GENERIC_WRITE
    if (access & 0x20000000u) out |= os::kKeyRead;       // GENERIC_EXECUTE
    if (access & 0x10000000u) out |= os::kKeyAllAccess;  // GENERIC_ALL
    if (access & 0x02000000u) out |= os::kKeyAllAccess;  // MAXIMUM_ALLOWED
    return out;
}

bool IsStringType(Dword type) {
    return type == os::kRegSz || type == os::kRegExpandSz || type == os::kRegMultiSz;
}

std::vector<uint8_t> ToStored(Machine& m, Dword type, const uint8_t* data, Dword size) {
    if (!IsStringType(type)) return std::vector<uint8_t>(data, data + size);
    return Utf16LeBytes(
        m.Ansi().ToWide(std::string_view(reinterpret_cast<const char*>(data), size)));
}

// The value's data as the "A" calls return it.
std::string AnsiData(Machine& m, const RegValue& v) {
    if (!IsStringType(v.type)) return std::string(v.data.begin(), v.data.end());
    std::u16string wide;
    for (size_t i = 0; i + 1 < v.data.size(); i += 2)
        wide += static_cast<char16_t>(v.data[i] | (v.data[i + 1] << 8));
    return m.Ansi().FromWide(wide);
}

std::u16string Wide(Machine& m, const char* ansi) {
    return ansi ? m.Ansi().ToWide(ansi) : std::u16string();
}

const char* TypeName(Dword type) {
    switch (type) {
        case os::kRegNone:
            return "REG_NONE";
        case os::kRegSz:
            return "REG_SZ";
        case os::kRegExpandSz:
            return "REG_EXPAND_SZ";
        case os::kRegBinary:
            return "REG_BINARY";
        case os::kRegDword:
            return "REG_DWORD";
        case os::kRegMultiSz:
            return "REG_MULTI_SZ";
        default:
            return nullptr;
    }
}

std::string ValueName(Machine& m, const char* name) {
    return (!name || !*name) ? "@" : Quote(m.AnsiToUtf8(name));
}

}  // namespace

std::string TraceText(Machine& m, const char* ansi) {
    return ansi ? Quote(m.AnsiToUtf8(ansi)) : "null";
}

std::string TraceError(long error) { return error ? " err=" + std::to_string(error) : ""; }

std::string TraceData(Machine& m, Dword type, const void* data, Dword size) {
    const char* name = TypeName(type);
    std::string out = name ? name : "type=" + std::to_string(type);
    if (!data) return out + " size=" + std::to_string(size);
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    if (type == os::kRegSz || type == os::kRegExpandSz) {
        std::string text(reinterpret_cast<const char*>(bytes), size);
        if (!text.empty() && text.back() == '\0') text.pop_back();
        return out + " " + Quote(m.AnsiToUtf8(text));
    }
    if (type == os::kRegMultiSz) {
        std::string list;
        std::string text(reinterpret_cast<const char*>(bytes), size);
        size_t pos = 0;
        while (pos < text.size() && text[pos] != '\0') {
            size_t end = text.find('\0', pos);
            if (end == std::string::npos) end = text.size();
            list += (list.empty() ? "" : ",") + Quote(m.AnsiToUtf8(text.substr(pos, end - pos)));
            pos = end + 1;
        }
        return out + " [" + list + "]";
    }
    if (type == os::kRegDword && size == 4) {
        return out + " " +
               Hex(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (uint32_t(bytes[3]) << 24));
    }
    out += " hex:";
    char buf[4];
    for (Dword i = 0; i < size; ++i) {
        snprintf(buf, sizeof buf, "%02x", bytes[i]);
        out += (i ? "," : "") + std::string(buf);
    }
    return out;
}

struct SimRegistry::Handle {
    std::shared_ptr<RegNode> node;
    Hive hive = Hive::kLocalMachine;
    std::string name;  // as the program named it, for the trace
    Dword access = os::kKeyAllAccess;
    bool view32 = false;
    bool classesRoot = false;
    bool predefined = false;
};

SimRegistry::SimRegistry(Machine& machine) : m_(machine) {}
SimRegistry::~SimRegistry() = default;

void SimRegistry::CloseAll() { handles_.clear(); }

long SimRegistry::Lookup(os::Key key, Handle* out) const {
    const uintptr_t value = reinterpret_cast<uintptr_t>(key);
    RegistryStore& store = m_.Registry();
    const bool view32 = m_.Config().win64;
    if (value == kClassesRoot || value == kCurrentUser || value == kLocalMachine) {
        *out = Handle();
        out->predefined = true;
        out->view32 = view32;
        if (value == kCurrentUser) {
            out->hive = Hive::kCurrentUser;
            out->node = store.RootShared(Hive::kCurrentUser);
            out->name = "HKCU";
        } else if (value == kLocalMachine) {
            out->node = store.RootShared(Hive::kLocalMachine);
            out->name = "HKLM";
        } else {
            // The classes root always exists.
            store.Create(Hive::kLocalMachine, u"SOFTWARE\\Classes");
            std::shared_ptr<RegNode> node = store.RootShared(Hive::kLocalMachine);
            node = node->ChildShared(u"SOFTWARE");
            node = node->ChildShared(u"Classes");
            out->node = node;
            out->name = "HKCR";
            out->classesRoot = true;
        }
        if (!MayWrite(*out)) out->access = os::kKeyRead;
        return 0;
    }
    auto it = handles_.find(value);
    if (it == handles_.end()) return os::kErrorInvalidHandle;
    *out = *it->second;
    return 0;
}

bool SimRegistry::MayWrite(const Handle& h) const {
    return !(m_.Config().Nt() && !m_.Config().admin && h.hive == Hive::kLocalMachine);
}

long SimRegistry::Use(os::Key key, Dword rights, Handle* h) const {
    if (long err = Lookup(key, h)) return err;
    if (h->node->Deleted()) return kErrorKeyDeleted;
    // The older platforms check no rights.
    if (m_.Config().Nt() && (h->access & rights) != rights) return os::kErrorAccessDenied;
    if ((rights & kWriteRights) && !MayWrite(*h)) return os::kErrorAccessDenied;
    return 0;
}

std::string SimRegistry::Name(os::Key key) const {
    Handle h;
    if (Lookup(key, &h) != 0)
        return Hex(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(key))) + "?";
    return h.name;
}

os::Key SimRegistry::AddHandle(const Handle& h) {
    const uintptr_t value = next_;
    next_ += 4;
    handles_[value] = std::make_unique<Handle>(h);
    return reinterpret_cast<os::Key>(value);
}

long SimRegistry::Walk(const Handle& from, const char* subKey, Dword access, bool create,
                       Handle* out, bool* created, bool* redirected) {
    *created = false;
    *redirected = false;
    if (from.node->Deleted()) return kErrorKeyDeleted;
    std::u16string path = Wide(m_, subKey);
    if (!path.empty() && path[0] == u'\\') {
        if (!m_.Config().Nt()) return os::kErrorFileNotFound;
        if (!from.classesRoot) return kErrorBadPathname;
        while (!path.empty() && path[0] == u'\\') path.erase(0, 1);
    }
    bool view32 = false;
    if (m_.Config().win64) {
        view32 = from.view32;
        if (access & os::kKeyWow64_64Key) {
            view32 = false;
        } else if (access & os::kKeyWow64_32Key) {
            view32 = true;
        }
    }
    std::shared_ptr<RegNode> node = from.node;
    auto step = [&](std::u16string_view name) -> bool {
        std::shared_ptr<RegNode> child = node->ChildShared(name);
        if (!child) {
            if (!create) return false;
            node->AddChild(name);
            child = node->ChildShared(name);
            *created = true;
        } else {
            *created = false;
        }
        node = child;
        return true;
    };
    auto redirect = [&](const std::u16string* next) -> bool {
        if (!view32 || from.hive != Hive::kLocalMachine) return true;
        const std::u16string here = Upcase(node->Path());
        const std::u16string up = next ? Upcase(*next) : u"";
        const bool software =
            here == u"SOFTWARE" && (!next || (up != u"CLASSES" && up != u"WOW6432NODE"));
        const bool clsid = here == u"SOFTWARE\\CLASSES" && next && up == u"CLSID";
        if (!software && !clsid) return true;
        *redirected = true;
        return step(u"Wow6432Node");
    };
    const std::vector<std::u16string_view> parts = SplitKeyPath(path);
    for (std::u16string_view part : parts) {
        const std::u16string name(part);
        if (!redirect(&name) || !step(part)) return os::kErrorFileNotFound;
    }
    if (!parts.empty() && !redirect(nullptr)) return os::kErrorFileNotFound;
    *out = Handle();
    out->node = node;
    out->hive = from.hive;
    out->name = from.name;
    std::string given = subKey ? m_.AnsiToUtf8(subKey) : "";
    while (!given.empty() && given.back() == '\\') given.pop_back();
    if (!given.empty()) out->name += (given[0] == '\\' ? "" : "\\") + given;
    out->view32 = view32;
    return 0;
}

long SimRegistry::CreateKeyEx(os::Key root, const char* subKey, Dword options, Dword access,
                              os::Key* result, Dword* disposition) {
    const std::string args = Name(root) + (subKey && *subKey ? "\\" + m_.AnsiToUtf8(subKey) : "") +
                             " access=" + Hex(access) + (options ? " options=" + Hex(options) : "");
    auto done = [&](long error, const std::string& extra = "") {
        m_.Trace().Add("RegCreateKeyExA", args + " -> " + std::to_string(error) + extra);
        return error;
    };
    Handle from;
    if (long err = Lookup(root, &from)) return done(err);
    if (!result) return done(1010);  // ERROR_BADKEY
    *result = nullptr;
    Handle h;
    bool created = false, redirected = false;
    long err = Walk(from, subKey, access, false, &h, &created, &redirected);
    const bool exists = err == 0;
    if (err && err != os::kErrorFileNotFound) return done(err);
    Dword rights = NormalizeAccess(access);
    h.hive = from.hive;
    if (!MayWrite(h) && (!exists || (rights & kWriteRights))) return done(os::kErrorAccessDenied);
    if (!exists) {
        err = Walk(from, subKey, access, true, &h, &created, &redirected);
        if (err) return done(err);
    }
    h.access = rights;
    *result = AddHandle(h);
    if (disposition) *disposition = exists ? 2 : 1;
    std::string extra = exists ? " (opened)" : " (created)";
    if (redirected)
        extra +=
            " [" + std::string(HiveShortName(h.hive)) + "\\" + Utf16ToUtf8(h.node->Path()) + "]";
    return done(0, extra);
}

long SimRegistry::OpenKeyEx(os::Key root, const char* subKey, Dword access, os::Key* result) {
    const std::string args = Name(root) + (subKey && *subKey ? "\\" + m_.AnsiToUtf8(subKey) : "") +
                             " access=" + Hex(access);
    auto done = [&](long error, const std::string& extra = "") {
        m_.Trace().Add("RegOpenKeyExA", args + " -> " + std::to_string(error) + extra);
        return error;
    };
    Handle from;
    if (long err = Lookup(root, &from)) return done(err);
    if (!result) return done(os::kErrorInvalidParameter);
    *result = nullptr;
    Dword rights = NormalizeAccess(access);
    if (from.predefined && (!subKey || !*subKey)) {
        if (!MayWrite(from) && (rights & kWriteRights)) return done(os::kErrorAccessDenied);
        *result = root;  // the predefined key itself
        return done(0);
    }
    Handle h;
    bool created = false, redirected = false;
    if (long err = Walk(from, subKey, access, false, &h, &created, &redirected)) return done(err);
    if (!MayWrite(h) && (rights & kWriteRights)) {
        if (access & 0x02000000u) {
            rights = os::kKeyRead;  // MAXIMUM_ALLOWED gives what may be given
        } else {
            return done(os::kErrorAccessDenied);
        }
    }
    h.access = rights;
    *result = AddHandle(h);
    std::string extra;
    if (redirected)
        extra =
            " [" + std::string(HiveShortName(h.hive)) + "\\" + Utf16ToUtf8(h.node->Path()) + "]";
    return done(0, extra);
}

long SimRegistry::CloseKey(os::Key key) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(key);
    const std::string name = Name(key);
    long err = 0;
    if (value != kClassesRoot && value != kCurrentUser && value != kLocalMachine) {
        auto it = handles_.find(value);
        if (it == handles_.end()) {
            err = os::kErrorInvalidHandle;
        } else {
            handles_.erase(it);
        }
    }
    m_.Trace().Add("RegCloseKey", name + " -> " + std::to_string(err));
    return err;
}

long SimRegistry::SetValueEx(os::Key key, const char* valueName, Dword type, const void* data,
                             Dword size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    // A string whose given size leaves out its terminator gets it back (as
    // the real call does when the byte after the data is a terminator).
    if (bytes && size && IsStringType(type) && bytes[size - 1] != 0 && bytes[size] == 0) ++size;
    const std::string args = Name(key) + " " + ValueName(m_, valueName) + " " +
                             TraceData(m_, type, data, data ? size : 0);
    auto done = [&](long error) {
        m_.Trace().Add("RegSetValueExA", args + " -> " + std::to_string(error));
        return error;
    };
    Handle h;
    if (long err = Use(key, os::kKeySetValue, &h)) return done(err);
    if (!data && size) return done(kErrorNoAccess);
    h.node->SetValue(Wide(m_, valueName), type, ToStored(m_, type, bytes, size));
    return done(0);
}

long SimRegistry::QueryValueEx(os::Key key, const char* valueName, Dword* type, void* data,
                               Dword* size) {
    const std::string args =
        Name(key) + " " + ValueName(m_, valueName) + (size ? " size=" + std::to_string(*size) : "");
    auto done = [&](long error, const std::string& extra = "") {
        m_.Trace().Add("RegQueryValueExA", args + " -> " + std::to_string(error) + extra);
        return error;
    };
    Handle h;
    if (long err = Use(key, os::kKeyQueryValue, &h)) return done(err);
    if (data && !size) return done(os::kErrorInvalidParameter);
    const RegValue* v = h.node->Value(Wide(m_, valueName));
    if (!v) {
        if (size && !data) *size = 0;
        return done(os::kErrorFileNotFound);
    }
    const std::string bytes = AnsiData(m_, *v);
    if (type) *type = v->type;
    if (!size) return done(0);
    const Dword needed = static_cast<Dword>(bytes.size());
    if (!data) {
        *size = needed;
        return done(0, " " + TraceData(m_, v->type, nullptr, needed));
    }
    if (*size < needed) {
        *size = needed;
        return done(os::kErrorMoreData, " needed=" + std::to_string(needed));
    }
    memcpy(data, bytes.data(), needed);
    *size = needed;
    return done(0, " " + TraceData(m_, v->type, bytes.data(), needed));
}

long SimRegistry::DeleteKey(os::Key root, const char* subKey) {
    return Delete("RegDeleteKeyA", root, subKey, 0);
}

long SimRegistry::DeleteKeyEx(os::Key root, const char* subKey, Dword access) {
    // RegDeleteKeyExA came with 64-bit Windows XP and with Windows Vista.
    const MachineConfig& c = m_.Config();
    if (!c.Nt() || (!c.win64 && c.major < 6)) {
        m_.Trace().Add("RegDeleteKeyExA", "-> absent");
        return os::kErrorCallNotImplemented;
    }
    return Delete("RegDeleteKeyExA", root, subKey, access);
}

long SimRegistry::Delete(const char* call, os::Key root, const char* subKey, Dword access) {
    const std::string args = Name(root) + (subKey && *subKey ? "\\" + m_.AnsiToUtf8(subKey) : "") +
                             (access ? " access=" + Hex(access) : "");
    auto done = [&](long error) {
        m_.Trace().Add(call, args + " -> " + std::to_string(error));
        return error;
    };
    Handle from;
    if (long err = Lookup(root, &from)) return done(err);
    if (!subKey) return done(os::kErrorInvalidParameter);
    Handle h;
    bool created = false, redirected = false;
    if (long err = Walk(from, subKey, access, false, &h, &created, &redirected)) return done(err);
    RegNode* node = h.node.get();
    if (!node->Parent() || (from.predefined && !*subKey)) return done(os::kErrorAccessDenied);
    if (!MayWrite(h)) return done(os::kErrorAccessDenied);
    if (m_.Config().Nt() && node->ChildCount() > 0) return done(os::kErrorAccessDenied);
    node->Parent()->RemoveChild(node);  // the older platforms delete the whole tree
    return done(0);
}

long SimRegistry::DeleteValue(os::Key key, const char* valueName) {
    const std::string args = Name(key) + " " + ValueName(m_, valueName);
    auto done = [&](long error) {
        m_.Trace().Add("RegDeleteValueA", args + " -> " + std::to_string(error));
        return error;
    };
    Handle h;
    if (long err = Use(key, os::kKeySetValue, &h)) return done(err);
    return done(h.node->RemoveValue(Wide(m_, valueName)) ? 0L : long{os::kErrorFileNotFound});
}

long SimRegistry::EnumKeyEx(os::Key key, Dword index, char* name, Dword* nameSize) {
    const std::string args = Name(key) + " #" + std::to_string(index);
    auto done = [&](long error, const std::string& extra = "") {
        m_.Trace().Add("RegEnumKeyExA", args + " -> " + std::to_string(error) + extra);
        return error;
    };
    Handle h;
    if (long err = Use(key, os::kKeyEnumerateSubKeys, &h)) return done(err);
    if (!name || !nameSize) return done(os::kErrorInvalidParameter);
    const RegNode* child = h.node->ChildAt(index);
    if (!child) return done(os::kErrorNoMoreItems);
    const std::string ansi = m_.Ansi().FromWide(child->Name());
    if (ansi.size() >= *nameSize) return done(os::kErrorMoreData);
    memcpy(name, ansi.c_str(), ansi.size() + 1);
    *nameSize = static_cast<Dword>(ansi.size());
    return done(0, " " + Quote(Utf16ToUtf8(child->Name())));
}

long SimRegistry::EnumValue(os::Key key, Dword index, char* name, Dword* nameSize, Dword* type,
                            void* data, Dword* dataSize) {
    const std::string args = Name(key) + " #" + std::to_string(index);
    auto done = [&](long error, const std::string& extra = "") {
        m_.Trace().Add("RegEnumValueA", args + " -> " + std::to_string(error) + extra);
        return error;
    };
    Handle h;
    if (long err = Use(key, os::kKeyQueryValue, &h)) return done(err);
    if (!name || !nameSize || (data && !dataSize)) return done(os::kErrorInvalidParameter);
    if (index >= h.node->Values().size()) return done(os::kErrorNoMoreItems);
    const RegValue& v = h.node->Values()[index];
    const std::string ansiName = m_.Ansi().FromWide(v.name);
    const std::string bytes = AnsiData(m_, v);
    const Dword needed = static_cast<Dword>(bytes.size());
    if (type) *type = v.type;
    if (ansiName.size() >= *nameSize || (data && *dataSize < needed)) {
        if (dataSize) *dataSize = needed;
        return done(os::kErrorMoreData);
    }
    memcpy(name, ansiName.c_str(), ansiName.size() + 1);
    *nameSize = static_cast<Dword>(ansiName.size());
    if (data) memcpy(data, bytes.data(), needed);
    if (dataSize) *dataSize = needed;
    return done(0, " " + (v.name.empty() ? std::string("@") : Quote(Utf16ToUtf8(v.name))) + " " +
                       TraceData(m_, v.type, data ? bytes.data() : nullptr, needed));
}

}  // namespace sim
