#include "platform/sim/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/sim/ini.h"
#include "platform/sim/machine.h"
#include "platform/sim/text.h"

namespace sim {

using os::Dword;

namespace {

constexpr Dword kDelete = 0x10000;
constexpr Dword kGenericAll = 0x10000000;
constexpr Dword kGenericExecute = 0x20000000;
constexpr Dword kMaximumAllowed = 0x02000000;
constexpr Dword kFlagBackupSemantics = 0x02000000;
constexpr Dword kFlagDeleteOnClose = 0x04000000;
constexpr long kErrorDiskFull = 112;
constexpr Dword kSettableAttributes = 0x01 | 0x02 | 0x04 | 0x20 | 0x80 | 0x100 | 0x1000 | 0x2000;

struct AccessKinds {
    bool read, write, del;
};

AccessKinds Kinds(Dword access) {
    const bool all = (access & (kGenericAll | kMaximumAllowed)) != 0;
    return {all || (access & (os::kGenericRead | kGenericExecute | 0x1 | 0x20)) != 0,
            all || (access & (os::kGenericWrite | 0x2 | 0x4)) != 0, all || (access & kDelete) != 0};
}

bool Conflicts(Dword access, Dword share, Dword otherAccess, Dword otherShare) {
    const AccessKinds mine = Kinds(access), other = Kinds(otherAccess);
    if (!mine.read && !mine.write && !mine.del) return false;
    if (!other.read && !other.write && !other.del) return false;
    return (mine.read && !(otherShare & os::kFileShareRead)) ||
           (mine.write && !(otherShare & os::kFileShareWrite)) ||
           (mine.del && !(otherShare & os::kFileShareDelete)) ||
           (other.read && !(share & os::kFileShareRead)) ||
           (other.write && !(share & os::kFileShareWrite)) ||
           (other.del && !(share & os::kFileShareDelete));
}

std::vector<std::string> ListHost(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return FoldUtf8(a) < FoldUtf8(b); });
    return names;
}

// The size of a host file, 0 for a folder or a missing file.
uint64_t HostFileSize(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    return static_cast<uint64_t>(st.st_size);
}

bool HostIsDir(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool InvalidNameChar(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u < 0x20 || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' ||
           c == '*';
}

std::vector<std::string> SplitComponents(std::string_view path) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!current.empty()) parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) parts.push_back(current);
    return parts;
}

// Prefix test on folded paths at a component boundary.
bool IsBelow(const std::string& key, const std::string& folder) {
    return key.size() > folder.size() && key.compare(0, folder.size(), folder) == 0 &&
           key[folder.size()] == '\\';
}

const struct {
    const char* name;
    Dword bit;
} kAttributeNames[] = {
    {"readonly", 0x01}, {"hidden", 0x02},     {"system", 0x04},    {"archive", 0x20},
    {"normal", 0x80},   {"temporary", 0x100}, {"offline", 0x1000}, {"notindexed", 0x2000},
};

bool ShortChar(char16_t c, const CodePage* oem) {
    if (c < 0x80) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               std::u16string_view(u"$%'-_@~`!(){}^#&").find(c) != std::u16string_view::npos;
    }
    if (!oem) return false;
    bool usedDefault = false;
    oem->FromWide(std::u16string(1, c), nullptr, &usedDefault);
    return !usedDefault;
}

size_t OemLength(const std::u16string& text, const CodePage* oem) {
    return oem ? oem->FromWide(text).size() : text.size();
}

// True when a name is a valid 8.3 name (then it is its own short name).
bool IsShortName(const std::u16string& name, const CodePage* oem) {
    const size_t dot = name.find(u'.');
    if (dot != std::u16string::npos && name.find(u'.', dot + 1) != std::u16string::npos)
        return false;
    const std::u16string base = name.substr(0, dot);
    const std::u16string ext = dot == std::u16string::npos ? u"" : name.substr(dot + 1);
    if (base.empty() || (dot != std::u16string::npos && ext.empty())) return false;
    if (OemLength(base, oem) > 8 || OemLength(ext, oem) > 3) return false;
    for (char16_t c : base + ext)
        if (!ShortChar(c, oem)) return false;
    return true;
}

// The parts of a generated short name: the upper-cased base without blanks
// and dots, and the first three characters of the last extension.
void ShortParts(const std::u16string& name, const CodePage* oem, std::u16string* base,
                std::u16string* ext) {
    std::u16string stripped = name;
    while (!stripped.empty() && stripped.front() == u'.') stripped.erase(0, 1);
    const size_t dot = stripped.rfind(u'.');
    std::u16string rawBase = dot == std::u16string::npos ? stripped : stripped.substr(0, dot);
    std::u16string rawExt = dot == std::u16string::npos ? u"" : stripped.substr(dot + 1);
    auto clean = [&](const std::u16string& in, size_t limit) {
        std::u16string out;
        for (char16_t c : in) {
            if (c == u' ' || c == u'.') continue;
            char16_t u = UpcaseChar(c);
            if (!ShortChar(u, oem)) u = u'_';
            out += u;
            if (out.size() == limit) break;
        }
        return out;
    };
    *base = clean(rawBase, 6);
    *ext = clean(rawExt, 3);
    if (base->empty()) *base = u"_";
}

}  // namespace

bool IsAbsoluteWindowsPath(std::string_view path) {
    return path.size() >= 3 && isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           (path[2] == '\\' || path[2] == '/');
}

std::string JoinWindowsPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (!out.empty() && out.back() != '\\' && out.back() != '/') out += '\\';
    return out + std::string(name);
}

struct FileSystem::Resolved {
    char drive = 'C';
    std::vector<std::string> names;  // host names of the existing components
    std::string full;                // C:\Names\As\On\Disk
    std::string host;
    std::string parentHost;
    std::string parentFull;
    bool exists = false;
    bool directory = false;
};

struct FileSystem::OpenFile {
    std::string key;
    std::string path;
    std::string host;
    int fd = -1;
    bool nul = false;
    bool directory = false;
    Dword access = 0;
    Dword share = 0;
    bool deleteOnClose = false;
    uint64_t position = 0;
};

FileSystem::~FileSystem() { CloseAll(); }

long FileSystem::FullPath(std::string_view path, std::string* full) const {
    std::string p(path);
    for (char& c : p)
        if (c == '/') c = '\\';
    if (p.empty()) return os::kErrorPathNotFound;
    if (p.size() >= 2 && p[0] == '\\' && p[1] == '\\') {
        if (p.size() >= 4 && (p[2] == '?' || p[2] == '.') && p[3] == '\\') {
            p = p.substr(4);  // \\?\C:\... and \\.\C:\...
        } else {
            return 53;  // ERROR_BAD_NETPATH: no network in the machine
        }
    }
    char drive;
    std::string rest;
    std::vector<std::string> parts;
    if (p.size() >= 2 && p[1] == ':' && isalpha(static_cast<unsigned char>(p[0]))) {
        drive = static_cast<char>(toupper(static_cast<unsigned char>(p[0])));
        rest = p.substr(2);
        if (rest.empty() || rest[0] != '\\') {
            // Relative to the drive's current directory: the process's own on
            // its drive, the root elsewhere.
            if (toupper(static_cast<unsigned char>(cwd_[0])) == drive)
                parts = SplitComponents(std::string_view(cwd_).substr(2));
        }
    } else {
        drive = static_cast<char>(toupper(static_cast<unsigned char>(cwd_[0])));
        rest = p;
        if (rest[0] != '\\') parts = SplitComponents(std::string_view(cwd_).substr(2));
    }
    for (std::string& part : SplitComponents(rest)) {
        if (part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(std::move(part));
    }
    // Trailing dots and blanks of the last name are dropped, as Windows does.
    if (!parts.empty()) {
        std::string& last = parts.back();
        while (!last.empty() && (last.back() == '.' || last.back() == ' ')) last.pop_back();
        if (last.empty()) parts.pop_back();
    }
    std::string out(1, drive);
    out += ":";
    for (const std::string& part : parts) {
        for (char c : part)
            if (InvalidNameChar(c)) return 123;  // ERROR_INVALID_NAME
        out += "\\" + part;
    }
    if (parts.empty()) out += "\\";
    *full = out;
    return 0;
}

long FileSystem::Resolve(std::string_view path, Resolved* r) const {
    std::string full;
    if (long err = FullPath(path, &full)) return err;
    *r = Resolved();
    r->drive = full[0];
    if (root_.empty()) return os::kErrorPathNotFound;
    std::string driveHost;
    for (const std::string& name : ListHost(root_)) {
        if (name.size() == 1 && toupper(static_cast<unsigned char>(name[0])) == r->drive) {
            driveHost = root_ + "/" + name;
            break;
        }
    }
    if (driveHost.empty() || !HostIsDir(driveHost)) return os::kErrorPathNotFound;
    const std::vector<std::string> parts = SplitComponents(std::string_view(full).substr(2));
    std::string host = driveHost;
    std::string canonical = std::string(1, r->drive) + ":";
    r->exists = true;
    r->directory = true;
    r->host = host;
    r->full = canonical + "\\";
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& given = parts[i];
        const std::u16string folded = Upcase(Utf8ToUtf16(given));
        const std::string folder = canonical.size() == 2 ? canonical + "\\" : canonical;
        std::string match;
        for (int round = 0; round < 2 && match.empty(); ++round) {
            for (const std::string& name : ListHost(host)) {
                if (Upcase(Utf8ToUtf16(name)) == folded) {
                    match = name;
                    break;
                }
                auto it = shortNames_.find(FoldUtf8(JoinWindowsPath(folder, name)));
                if (it != shortNames_.end() && Upcase(Utf8ToUtf16(it->second.second)) == folded) {
                    match = name;
                    break;
                }
            }
            // A short name not given out yet: give out the folder's names.
            if (match.empty() && round == 0 && given.find('~') != std::string::npos)
                AssignShortNames(host, folder);
            else if (match.empty())
                break;
        }
        const bool last = i + 1 == parts.size();
        if (match.empty()) {
            if (!last) return os::kErrorPathNotFound;
            r->parentHost = host;
            r->parentFull = folder;
            r->host = host + "/" + given;
            r->full = JoinWindowsPath(folder, given);
            r->names.push_back(given);
            r->exists = false;
            r->directory = false;
            return 0;
        }
        const std::string next = host + "/" + match;
        const bool dir = HostIsDir(next);
        if (!last && !dir) return os::kErrorPathNotFound;
        r->parentHost = host;
        r->parentFull = folder;
        host = next;
        canonical = JoinWindowsPath(folder, match);
        r->names.push_back(match);
        r->host = host;
        r->full = canonical;
        r->directory = dir;
    }
    return 0;
}

std::string FileSystem::Key(const Resolved& r) const { return FoldUtf8(r.full); }

long FileSystem::HostPath(std::string_view path, std::string* host) const {
    Resolved r;
    if (long err = Resolve(path, &r)) return err;
    if (!r.exists) return os::kErrorFileNotFound;
    *host = r.host;
    return 0;
}

std::vector<FileSystem::Holder> FileSystem::Holders(const std::string& key) const {
    std::vector<Holder> holders;
    for (const auto& [id, f] : handles_)
        if (!f->nul && f->key == key) holders.push_back({f->access, f->share, false});
    for (const auto& [path, mode] : config_->busy) {
        std::string full;
        if (FullPath(path, &full) != 0 || FoldUtf8(full) != key) continue;
        if (FoldUtf8(mode) == "IMAGE") {
            holders.push_back({os::kGenericRead, os::kFileShareRead | os::kFileShareDelete, true});
        } else if (FoldUtf8(mode) == "LOCKED") {
            holders.push_back({os::kGenericRead | os::kGenericWrite, 0, false});
        } else {
            holders.push_back({os::kGenericRead, os::kFileShareRead, false});
        }
    }
    auto it = images_.find(key);
    if (it != images_.end() && it->second > 0)
        holders.push_back({os::kGenericRead, os::kFileShareRead | os::kFileShareDelete, true});
    return holders;
}

bool FileSystem::Denied(const std::string& key) const {
    for (const auto& [path, who] : config_->denied) {
        std::string full;
        if (FullPath(path, &full) != 0) continue;
        const std::string folder = FoldUtf8(full);
        if (key != folder && !IsBelow(key, folder)) continue;
        if (FoldUtf8(who) == "ALWAYS") return true;
        if (config_->Nt() && !config_->admin) return true;
    }
    return false;
}

bool FileSystem::AnyOpenBelow(const std::string& key) const {
    for (const auto& [id, f] : handles_)
        if (!f->nul && IsBelow(f->key, key)) return true;
    for (const auto& [image, count] : images_)
        if (count > 0 && IsBelow(image, key)) return true;
    for (const auto& [path, mode] : config_->busy) {
        std::string full;
        if (FullPath(path, &full) == 0 && IsBelow(FoldUtf8(full), key)) return true;
    }
    return IsBelow(FoldUtf8(cwd_), key);
}

Dword FileSystem::StoredAttributes(const std::string& key, bool directory) const {
    auto it = attributes_.find(key);
    if (directory)
        return os::kFileAttributeDirectory | (it == attributes_.end() ? 0 : it->second.second);
    return it == attributes_.end() ? os::kFileAttributeArchive : it->second.second;
}

void FileSystem::StoreAttributes(const std::string& key, const std::string& path, Dword value,
                                 bool directory) {
    value &= kSettableAttributes;
    if (directory) {
        value &= ~os::kFileAttributeNormal;
        if (value == 0) {
            attributes_.erase(key);
        } else {
            attributes_[key] = {path, value};
        }
        return;
    }
    if (value == 0) value = os::kFileAttributeNormal;
    if (value != os::kFileAttributeNormal) value &= ~os::kFileAttributeNormal;
    if (value == os::kFileAttributeArchive) {
        attributes_.erase(key);
    } else {
        attributes_[key] = {path, value};
    }
}

void FileSystem::ForgetEntries(const std::string& key) {
    auto drop = [&](auto& table) {
        for (auto it = table.begin(); it != table.end();)
            it = (it->first == key || IsBelow(it->first, key)) ? table.erase(it) : std::next(it);
    };
    drop(attributes_);
    drop(shortNames_);
}

void FileSystem::MoveEntries(const std::string& fromKey, const std::string& toPath) {
    const size_t fromDepth = std::count(fromKey.begin(), fromKey.end(), '\\');
    auto moved = [&](const std::string& path) {
        std::string out = toPath;
        const std::vector<std::string> parts = SplitComponents(std::string_view(path).substr(2));
        for (size_t i = fromDepth; i < parts.size(); ++i) out += "\\" + parts[i];
        return out;
    };
    auto rekey = [&](auto& table, bool dropSelf) {
        std::vector<std::pair<std::string, typename std::decay_t<decltype(table)>::mapped_type>>
            out;
        for (auto it = table.begin(); it != table.end();) {
            if (it->first == fromKey || IsBelow(it->first, fromKey)) {
                if (!(dropSelf && it->first == fromKey)) {
                    auto value = it->second;
                    value.first = moved(value.first);
                    out.push_back({FoldUtf8(value.first), value});
                }
                it = table.erase(it);
            } else {
                ++it;
            }
        }
        for (auto& [k, v] : out) table[k] = v;
    };
    rekey(attributes_, false);
    rekey(shortNames_, true);  // a renamed entry gets a new short name
    for (auto& [path, mode] : config_->busy) {
        std::string full;
        if (FullPath(path, &full) != 0) continue;
        const std::string key = FoldUtf8(full);
        if (key == fromKey || IsBelow(key, fromKey)) path = moved(full);
    }
    std::map<std::string, int> images;
    for (auto& [key, count] : images_) {
        if (key == fromKey || IsBelow(key, fromKey)) {
            images[FoldUtf8(toPath) + key.substr(fromKey.size())] += count;
        } else {
            images[key] += count;
        }
    }
    images_ = images;
    std::set<std::string> pending;
    for (const std::string& key : deletePending_)
        pending.insert((key == fromKey || IsBelow(key, fromKey))
                           ? FoldUtf8(toPath) + key.substr(fromKey.size())
                           : key);
    deletePending_ = pending;
}

void FileSystem::AssignShortNames(const std::string& hostFolder,
                                  const std::string& folderPath) const {
    const std::vector<std::string> names = ListHost(hostFolder);
    std::set<std::u16string> taken;
    std::vector<std::string> needing;
    for (const std::string& name : names) {
        const std::u16string wide = Utf8ToUtf16(name);
        auto it = shortNames_.find(FoldUtf8(JoinWindowsPath(folderPath, name)));
        if (IsShortName(wide, oem_)) {
            taken.insert(Upcase(wide));
        } else if (it != shortNames_.end()) {
            taken.insert(Upcase(Utf8ToUtf16(it->second.second)));
        } else {
            needing.push_back(name);
        }
    }
    for (const std::string& name : needing) {
        std::u16string base, ext;
        ShortParts(Utf8ToUtf16(name), oem_, &base, &ext);
        for (unsigned n = 1; n < 1000000; ++n) {
            const std::u16string number = u"~" + Utf8ToUtf16(std::to_string(n));
            const size_t keep = std::min(base.size(), n < 10    ? size_t(6)
                                                      : n < 100 ? size_t(5)
                                                                : size_t(4));
            std::u16string candidate = base.substr(0, keep) + number;
            if (!ext.empty()) candidate += u"." + ext;
            if (taken.insert(candidate).second) {
                const std::string path = JoinWindowsPath(folderPath, name);
                shortNames_[FoldUtf8(path)] = {path, Utf16ToUtf8(candidate)};
                break;
            }
        }
    }
}

std::string FileSystem::ShortNameOf(const std::string& key) const {
    auto it = shortNames_.find(key);
    return it == shortNames_.end() ? std::string() : it->second.second;
}

bool FileSystem::LoadSideTable(std::string_view text, std::string* error) {
    std::vector<IniSection> sections;
    if (!ParseIni(text, true, &sections, error)) return false;
    attributes_.clear();
    shortNames_.clear();
    for (const IniSection& s : sections) {
        const std::string name = FoldUtf8(s.name);
        if (name != "ATTRIBUTES" && name != "SHORT NAMES") {
            *error = "line " + std::to_string(s.line) + ": unknown section [" + s.name + "]";
            return false;
        }
        for (const IniEntry& e : s.entries) {
            std::string full;
            if (FullPath(e.key, &full) != 0 || !IsAbsoluteWindowsPath(e.key)) {
                *error = "line " + std::to_string(e.line) + ": not a full path: " + e.key;
                return false;
            }
            if (name == "SHORT NAMES") {
                shortNames_[FoldUtf8(full)] = {full, e.value};
                continue;
            }
            Dword value = 0;
            std::string list = e.value;
            size_t pos = 0;
            while (pos <= list.size()) {
                size_t comma = list.find(',', pos);
                if (comma == std::string::npos) comma = list.size();
                std::string word = list.substr(pos, comma - pos);
                word.erase(0, word.find_first_not_of(" \t"));
                word.erase(word.find_last_not_of(" \t") + 1);
                pos = comma + 1;
                if (word.empty()) continue;
                bool known = false;
                for (const auto& a : kAttributeNames) {
                    if (FoldUtf8(word) == FoldUtf8(a.name)) {
                        value |= a.bit;
                        known = true;
                    }
                }
                if (!known) {
                    *error = "line " + std::to_string(e.line) + ": unknown attribute " + word;
                    return false;
                }
            }
            attributes_[FoldUtf8(full)] = {full, value};
        }
    }
    return true;
}

std::string FileSystem::SaveSideTable() const {
    std::string out = "[attributes]\n";
    for (const auto& [key, entry] : attributes_) {
        std::string words;
        for (const auto& a : kAttributeNames) {
            if (entry.second & a.bit) words += (words.empty() ? "" : ",") + std::string(a.name);
        }
        out += entry.first + "=" + words + "\n";
    }
    out += "\n[short names]\n";
    for (const auto& [key, entry] : shortNames_) out += entry.first + "=" + entry.second + "\n";
    return out;
}

long FileSystem::GetAttributes(std::string_view path, Dword* attributes) const {
    Resolved r;
    if (long err = Resolve(path, &r)) return err;
    if (!r.exists) return os::kErrorFileNotFound;
    if (deletePending_.count(Key(r))) return os::kErrorAccessDenied;
    *attributes = StoredAttributes(Key(r), r.directory);
    return 0;
}

long FileSystem::SetAttributes(std::string_view path, Dword attributes) {
    Resolved r;
    if (long err = Resolve(path, &r)) return err;
    if (!r.exists) return os::kErrorFileNotFound;
    const std::string key = Key(r);
    if (Denied(key) || deletePending_.count(key)) return os::kErrorAccessDenied;
    StoreAttributes(key, r.full, attributes, r.directory);
    return 0;
}

void FileSystem::GiveBackSpace(const std::string& key, uint64_t bytes) {
    if (uint64_t* free = key.empty() ? nullptr : config_->FreeBytes(key[0])) *free += bytes;
}

void FileSystem::FinishDelete(const std::string& key, const std::string& host) {
    deletePending_.erase(key);
    if (HostIsDir(host)) {
        rmdir(host.c_str());
    } else {
        const uint64_t size = HostFileSize(host);
        if (unlink(host.c_str()) == 0) GiveBackSpace(key, size);
    }
    ForgetEntries(key);
}

long FileSystem::DeleteFile(std::string_view path) {
    Resolved r;
    if (long err = Resolve(path, &r)) return err;
    if (!r.exists) return os::kErrorFileNotFound;
    const std::string key = Key(r);
    if (r.directory || Denied(key) || deletePending_.count(key)) return os::kErrorAccessDenied;
    if (StoredAttributes(key, false) & os::kFileAttributeReadOnly) return os::kErrorAccessDenied;
    const Dword shareAll = os::kFileShareRead | os::kFileShareWrite | os::kFileShareDelete;
    bool image = false, open = false;
    for (const Holder& h : Holders(key)) {
        if (Conflicts(kDelete, shareAll, h.access, h.share)) return os::kErrorSharingViolation;
        image = image || h.image;
        open = open || !h.image;
    }
    if (image) return os::kErrorAccessDenied;  // a mapped image cannot be deleted
    if (open) {
        // Handles that share deletion: the file goes when the last one closes.
        deletePending_.insert(key);
        return 0;
    }
    const uint64_t size = HostFileSize(r.host);
    if (unlink(r.host.c_str()) != 0) return os::kErrorAccessDenied;
    GiveBackSpace(key, size);
    ForgetEntries(key);
    return 0;
}

long FileSystem::CreateDirectory(std::string_view path) {
    Resolved r;
    if (long err = Resolve(path, &r)) return err;
    if (r.exists) return os::kErrorAlreadyExists;
    if (Denied(Key(r))) return os::kErrorAccessDenied;
    if (mkdir(r.host.c_str(), 0777) != 0) return os::kErrorAccessDenied;
    return 0;
}

long FileSystem::RemoveDirectory(std::string_view path) {
    Resolved r;
    if (long err = Resolve(path, &r)) return err;
    if (!r.exists) return os::kErrorFileNotFound;
    if (!r.directory) return 267;  // ERROR_DIRECTORY
    const std::string key = Key(r);
    if (r.names.empty() || Denied(key)) return os::kErrorAccessDenied;
    if (StoredAttributes(key, true) & os::kFileAttributeReadOnly) return os::kErrorAccessDenied;
    if (FoldUtf8(cwd_) == key || !Holders(key).empty()) return os::kErrorSharingViolation;
    if (!ListHost(r.host).empty()) return os::kErrorDirNotEmpty;
    if (rmdir(r.host.c_str()) != 0) return os::kErrorAccessDenied;
    ForgetEntries(key);
    return 0;
}

long FileSystem::Move(std::string_view from, std::string_view to, Dword flags) {
    Resolved src, dst;
    if (long err = Resolve(from, &src)) return err;
    if (!src.exists) return os::kErrorFileNotFound;
    if (long err = Resolve(to, &dst)) return err;
    const std::string srcKey = Key(src), dstKey = Key(dst);
    if (src.names.empty() || dst.names.empty()) return os::kErrorAccessDenied;
    const bool same = dst.exists && dstKey == srcKey;
    if (dst.exists && !same) {
        if (!(flags & os::kMoveFileReplaceExisting)) return os::kErrorAlreadyExists;
        if (src.directory || dst.directory) return os::kErrorAccessDenied;
        if (StoredAttributes(dstKey, false) & os::kFileAttributeReadOnly)
            return os::kErrorAccessDenied;
        if (!Holders(dstKey).empty() || deletePending_.count(dstKey)) return os::kErrorAccessDenied;
    }
    if (Denied(srcKey) || Denied(dstKey) || deletePending_.count(srcKey))
        return os::kErrorAccessDenied;
    if (src.directory) {
        if (IsBelow(dstKey, srcKey)) return os::kErrorSharingViolation;
        if (src.drive != dst.drive) return 17;  // ERROR_NOT_SAME_DEVICE
        if (FoldUtf8(cwd_) == srcKey) return os::kErrorSharingViolation;
        if (AnyOpenBelow(srcKey)) return os::kErrorAccessDenied;
    }
    const Dword shareAll = os::kFileShareRead | os::kFileShareWrite | os::kFileShareDelete;
    for (const Holder& h : Holders(srcKey))
        if (Conflicts(kDelete, shareAll, h.access, h.share)) return os::kErrorSharingViolation;
    // A file moved to another drive takes room there and gives it back on its own.
    const uint64_t moved = src.drive != dst.drive ? HostFileSize(src.host) : 0;
    const uint64_t replaced = dst.exists && !same ? HostFileSize(dst.host) : 0;
    if (const uint64_t* free = config_->FreeBytes(dst.drive); free && moved > *free + replaced)
        return kErrorDiskFull;
    const std::string target =
        same || !dst.exists ? dst.parentHost + "/" + dst.names.back() : dst.host;
    if (rename(src.host.c_str(), target.c_str()) != 0) return os::kErrorAccessDenied;
    if (uint64_t* free = config_->FreeBytes(dst.drive)) *free = *free + replaced - moved;
    GiveBackSpace(srcKey, moved);
    if (dst.exists && !same) ForgetEntries(dstKey);
    const std::string newPath = JoinWindowsPath(dst.parentFull, dst.names.back());
    MoveEntries(srcKey, newPath);
    for (auto& [id, f] : handles_) {
        if (f->nul || (f->key != srcKey && !IsBelow(f->key, srcKey))) continue;
        f->path = newPath + f->path.substr(src.full.size());
        f->key = FoldUtf8(f->path);
        f->host = target + f->host.substr(src.host.size());
    }
    return 0;
}

long FileSystem::ShortPath(std::string_view path, std::string* shortPath) {
    Resolved r;
    if (long err = Resolve(path, &r)) return err;
    if (!r.exists) return os::kErrorFileNotFound;
    std::string out = std::string(1, r.drive) + ":";
    std::string folder = out + "\\";
    // Walk again from the drive folder, giving out short names folder by folder.
    std::string hostFolder;
    for (const std::string& name : ListHost(root_))
        if (name.size() == 1 && toupper(static_cast<unsigned char>(name[0])) == r.drive)
            hostFolder = root_ + "/" + name;
    for (const std::string& name : r.names) {
        std::string shortName = name;
        if (!IsShortName(Utf8ToUtf16(name), oem_)) {
            const std::string key = FoldUtf8(JoinWindowsPath(folder, name));
            if (ShortNameOf(key).empty()) AssignShortNames(hostFolder, folder);
            shortName = ShortNameOf(key);
            if (shortName.empty()) shortName = name;
        }
        out += "\\" + shortName;
        folder = JoinWindowsPath(folder, name);
        hostFolder += "/" + name;
    }
    if (r.names.empty()) out += "\\";
    if (!r.names.empty() && !path.empty() && (path.back() == '\\' || path.back() == '/'))
        out += "\\";
    *shortPath = out;
    return 0;
}

long FileSystem::SetCurrentDirectory(std::string_view path) {
    Resolved r;
    if (long err = Resolve(path, &r)) return err;
    if (!r.exists) return os::kErrorFileNotFound;
    if (!r.directory) return 267;
    std::string full;
    FullPath(path, &full);
    cwd_ = full;
    return 0;
}

long FileSystem::Open(std::string_view path, Dword access, Dword share, Dword creation, Dword flags,
                      os::FileHandle* handle, bool* existed) {
    *existed = false;
    auto add = [&](OpenFile* f) {
        const uintptr_t id = nextHandle_;
        nextHandle_ += 4;
        handles_[id] = f;
        *handle = reinterpret_cast<os::FileHandle>(id);
        return 0L;
    };
    {
        const std::vector<std::string> parts = SplitComponents(path);
        std::string last = parts.empty() ? "" : parts.back();
        last = last.substr(0, last.find('.'));
        if (FoldUtf8(last) == "NUL") {
            OpenFile* f = new OpenFile;
            f->nul = true;
            f->path = "NUL";
            f->access = access;
            f->share = share;
            *existed = true;
            return add(f);
        }
    }
    if (creation < os::kCreateNew || creation > 5) return os::kErrorInvalidParameter;
    Resolved r;
    if (long err = Resolve(path, &r)) return err;
    const std::string key = Key(r);
    const AccessKinds kinds = Kinds(access);
    *existed = r.exists;
    if (r.exists && deletePending_.count(key)) return os::kErrorAccessDenied;
    if (r.exists && r.directory) {
        if (!(flags & kFlagBackupSemantics) || creation == os::kCreateNew ||
            creation == os::kCreateAlways || creation == 5)
            return creation == os::kCreateNew ? long{os::kErrorFileExists}
                                              : long{os::kErrorAccessDenied};
    }
    bool create = false, truncate = false;
    switch (creation) {
        case os::kCreateNew:
            if (r.exists) return os::kErrorFileExists;
            create = true;
            break;
        case os::kCreateAlways:
            if (r.exists) {
                const Dword existing = StoredAttributes(key, false);
                if ((existing & (os::kFileAttributeHidden | os::kFileAttributeSystem)) &
                    ~(flags & (os::kFileAttributeHidden | os::kFileAttributeSystem)))
                    return os::kErrorAccessDenied;
                truncate = true;
            } else {
                create = true;
            }
            break;
        case os::kOpenExisting:
            if (!r.exists) return os::kErrorFileNotFound;
            break;
        case os::kOpenAlways:
            if (!r.exists) create = true;
            break;
        default:  // TRUNCATE_EXISTING
            if (!r.exists) return os::kErrorFileNotFound;
            if (!kinds.write) return os::kErrorInvalidParameter;
            truncate = true;
    }
    if (r.exists && !r.directory && (kinds.write || truncate) &&
        (StoredAttributes(key, false) & os::kFileAttributeReadOnly))
        return os::kErrorAccessDenied;
    if ((create || truncate || kinds.write || kinds.del) && Denied(key))
        return os::kErrorAccessDenied;
    for (const Holder& h : Holders(key))
        if (Conflicts(access, share, h.access, h.share)) return os::kErrorSharingViolation;
    OpenFile* f = new OpenFile;
    f->key = key;
    f->path = r.full;
    f->host = r.host;
    f->access = access;
    f->share = share;
    f->directory = r.directory;
    f->deleteOnClose = (flags & kFlagDeleteOnClose) != 0;
    if (r.directory) {
        f->fd = open(r.host.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } else {
        int mode = O_RDONLY;
        if (kinds.write || truncate) mode = kinds.read ? O_RDWR : O_WRONLY;
        if (create) mode |= O_CREAT | O_EXCL;
        if (truncate) mode |= O_TRUNC;
        if (!kinds.read && !kinds.write && !truncate) mode = O_RDONLY;
        const uint64_t truncated = truncate ? HostFileSize(r.host) : 0;
        f->fd = open(r.host.c_str(), mode | O_CLOEXEC, 0666);
        if (f->fd >= 0) GiveBackSpace(key, truncated);
        if (f->fd < 0 && !(mode & O_CREAT) && !truncate && !kinds.write)
            f->fd = open(r.host.c_str(), O_WRONLY | O_CLOEXEC);  // a host file we may not read
    }
    if (f->fd < 0) {
        delete f;
        return os::kErrorAccessDenied;
    }
    if (create) StoreAttributes(key, r.full, (flags & 0x27) | os::kFileAttributeArchive, false);
    return add(f);
}

long FileSystem::Read(os::FileHandle handle, void* buffer, Dword count, Dword* read) {
    *read = 0;
    auto it = handles_.find(reinterpret_cast<uintptr_t>(handle));
    if (it == handles_.end()) return os::kErrorInvalidHandle;
    OpenFile* f = it->second;
    if (!Kinds(f->access).read) return os::kErrorAccessDenied;
    if (f->nul) return 0;
    if (f->directory) return 1;  // ERROR_INVALID_FUNCTION
    const ssize_t n = pread(f->fd, buffer, count, static_cast<off_t>(f->position));
    if (n < 0) return 30;  // ERROR_READ_FAULT
    f->position += static_cast<uint64_t>(n);
    *read = static_cast<Dword>(n);
    return 0;
}

long FileSystem::Write(os::FileHandle handle, const void* buffer, Dword count, Dword* written) {
    *written = 0;
    auto it = handles_.find(reinterpret_cast<uintptr_t>(handle));
    if (it == handles_.end()) return os::kErrorInvalidHandle;
    OpenFile* f = it->second;
    if (!Kinds(f->access).write) return os::kErrorAccessDenied;
    if (f->nul) {
        *written = count;
        return 0;
    }
    if (f->directory) return 1;
    // On a drive with a limit a write that does not fit writes nothing.
    uint64_t* free = config_->FreeBytes(f->key.empty() ? 'C' : f->key[0]);
    uint64_t growth = 0;
    if (free) {
        struct stat st;
        const uint64_t size = fstat(f->fd, &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
        const uint64_t end = f->position + count;
        growth = end > size ? end - size : 0;
        if (growth > *free) return kErrorDiskFull;
    }
    const ssize_t n = pwrite(f->fd, buffer, count, static_cast<off_t>(f->position));
    if (n < 0) return 29;  // ERROR_WRITE_FAULT
    if (free) *free -= growth;
    f->position += static_cast<uint64_t>(n);
    *written = static_cast<Dword>(n);
    return 0;
}

long FileSystem::Seek(os::FileHandle handle, int64_t distance, Dword method, uint64_t* position) {
    auto it = handles_.find(reinterpret_cast<uintptr_t>(handle));
    if (it == handles_.end()) return os::kErrorInvalidHandle;
    OpenFile* f = it->second;
    int64_t base;
    if (method == os::kFileBegin) {
        base = 0;
    } else if (method == os::kFileCurrent) {
        base = static_cast<int64_t>(f->position);
    } else if (method == os::kFileEnd) {
        struct stat st;
        base = (!f->nul && fstat(f->fd, &st) == 0) ? st.st_size : 0;
    } else {
        return os::kErrorInvalidParameter;
    }
    const int64_t target = base + distance;
    if (target < 0) return 131;  // ERROR_NEGATIVE_SEEK
    f->position = f->nul ? 0 : static_cast<uint64_t>(target);
    *position = f->position;
    return 0;
}

long FileSystem::FileType(os::FileHandle handle, Dword* type) const {
    auto it = handles_.find(reinterpret_cast<uintptr_t>(handle));
    if (it == handles_.end()) return os::kErrorInvalidHandle;
    *type = it->second->nul ? os::kFileTypeChar : os::kFileTypeDisk;
    return 0;
}

long FileSystem::Close(os::FileHandle handle) {
    auto it = handles_.find(reinterpret_cast<uintptr_t>(handle));
    if (it == handles_.end()) return os::kErrorInvalidHandle;
    OpenFile* f = it->second;
    handles_.erase(it);
    if (f->fd >= 0) close(f->fd);
    if (!f->nul) {
        if (f->deleteOnClose) deletePending_.insert(f->key);
        bool last = true;
        for (const auto& [id, other] : handles_)
            if (!other->nul && other->key == f->key) last = false;
        if (last && deletePending_.count(f->key)) FinishDelete(f->key, f->host);
    }
    delete f;
    return 0;
}

std::string FileSystem::HandlePath(os::FileHandle handle) const {
    auto it = handles_.find(reinterpret_cast<uintptr_t>(handle));
    return it == handles_.end() ? std::string() : it->second->path;
}

void FileSystem::CloseAll() {
    while (!handles_.empty()) Close(reinterpret_cast<os::FileHandle>(handles_.begin()->first));
}

long FileSystem::ReadAll(std::string_view path, std::string* bytes) const {
    Resolved r;
    if (long err = Resolve(path, &r)) return err;
    if (!r.exists) return os::kErrorFileNotFound;
    const std::string key = Key(r);
    if (r.directory || deletePending_.count(key)) return os::kErrorAccessDenied;
    for (const Holder& h : Holders(key))
        if (Conflicts(os::kGenericRead, os::kFileShareRead | os::kFileShareDelete, h.access,
                      h.share))
            return os::kErrorSharingViolation;
    int fd = open(r.host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return os::kErrorAccessDenied;
    bytes->clear();
    char buffer[65536];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) bytes->append(buffer, static_cast<size_t>(n));
    close(fd);
    return 0;
}

long FileSystem::WriteAll(std::string_view path, std::string_view bytes) {
    os::FileHandle handle;
    bool existed;
    if (long err = Open(path, os::kGenericWrite, os::kFileShareRead, os::kCreateAlways, 0, &handle,
                        &existed))
        return err;
    Dword written = 0;
    long err = Write(handle, bytes.data(), static_cast<Dword>(bytes.size()), &written);
    Close(handle);
    return err;
}

void FileSystem::HoldImage(std::string_view path) {
    Resolved r;
    if (Resolve(path, &r) == 0) ++images_[Key(r)];
}

void FileSystem::ReleaseImage(std::string_view path) {
    Resolved r;
    if (Resolve(path, &r) != 0) return;
    auto it = images_.find(Key(r));
    if (it != images_.end() && --it->second <= 0) images_.erase(it);
}

void FileSystem::ReleaseAllHolds() {
    config_->busy.clear();
    images_.clear();
}

}  // namespace sim
