#include "platform/sim/shell_link_format.h"

#include <cstring>

#include "platform/sim/text.h"

namespace sim {

namespace {

constexpr uint32_t kHeaderSize = 0x4C;
// 00021401-0000-0000-C000-000000000046 as stored (the first three fields
// little-endian).
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr uint32_t kLinkInfoHeaderSize = 0x24;  // with the UTF-16 path offsets
constexpr uint32_t kLinkInfoMinHeaderSize = 0x1C;
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr uint32_t kDriveFixed = 3;
constexpr size_t kMaxCount = 0xFFFF;

void Put16(std::string* out, uint32_t value) {
    out->push_back(static_cast<char>(value & 0xFF));
    out->push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string* out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutWide(std::string* out, std::u16string_view text) {
    for (char16_t c : text) Put16(out, c);
}

// The LinkInfo block of a local target: the volume of a fixed drive without a
// label, the path in the ANSI code page, an empty common suffix, and the same
// two in UTF-16.
std::string LinkInfo(const std::string& ansiPath, std::u16string_view widePath) {
    std::string volume;
    Put32(&volume, 0x11);  // VolumeIDSize: the four fields and the empty label
    Put32(&volume, kDriveFixed);
    Put32(&volume, 0);     // drive serial number
    Put32(&volume, 0x10);  // VolumeLabelOffset
    volume.push_back('\0');

    const uint32_t volumeAt = kLinkInfoHeaderSize;
    const uint32_t pathAt = volumeAt + static_cast<uint32_t>(volume.size());
    const uint32_t suffixAt = pathAt + static_cast<uint32_t>(ansiPath.size() + 1);
    const uint32_t widePathAt = suffixAt + 1;
    const uint32_t wideSuffixAt = widePathAt + static_cast<uint32_t>(2 * (widePath.size() + 1));
    const uint32_t size = wideSuffixAt + 2;

    std::string out;
    Put32(&out, size);
    Put32(&out, kLinkInfoHeaderSize);
    Put32(&out, kVolumeIdAndLocalBasePath);
    Put32(&out, volumeAt);
    Put32(&out, pathAt);
    Put32(&out, 0);  // no network location
    Put32(&out, suffixAt);
    Put32(&out, widePathAt);
    Put32(&out, wideSuffixAt);
    out += volume;
    out += ansiPath;
    out.push_back('\0');
    out.push_back('\0');  // the common path suffix: empty
    PutWide(&out, widePath);
    Put16(&out, 0);
    Put16(&out, 0);
    return out;
}

// Bounds-checked reading of the file's bytes.
class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool Has(size_t at, size_t count) const {
        return at <= bytes_.size() && count <= bytes_.size() - at;
    }
    uint32_t U16(size_t at) const {
        return static_cast<unsigned char>(bytes_[at]) |
               static_cast<uint32_t>(static_cast<unsigned char>(bytes_[at + 1])) << 8;
    }
    uint32_t U32(size_t at) const { return U16(at) | U16(at + 2) << 16; }
    std::string_view Bytes(size_t at, size_t count) const { return bytes_.substr(at, count); }
    // A zero-terminated ANSI text inside [at, end); false when it has no terminator there.
    bool AnsiZ(size_t at, size_t end, std::string* out) const {
        for (size_t i = at; i < end && i < bytes_.size(); ++i) {
            if (bytes_[i] == '\0') {
                *out = std::string(bytes_.substr(at, i - at));
                return true;
            }
        }
        return false;
    }
    bool WideZ(size_t at, size_t end, std::u16string* out) const {
        out->clear();
        for (size_t i = at; i + 1 < end && i + 1 < bytes_.size(); i += 2) {
            const char16_t c = static_cast<char16_t>(U16(i));
            if (c == 0) return true;
            *out += c;
        }
        return false;
    }

  private:
    std::string_view bytes_;
};

bool Fail(std::string* error, const std::string& what) {
    if (error) *error = what;
    return false;
}

bool ReadLinkInfo(const Reader& r, size_t at, const CodePage& ansi, ShellLinkFile* link,
                  size_t* next, std::string* error) {
    if (!r.Has(at, 8)) return Fail(error, "LinkInfo cut short");
    const uint32_t size = r.U32(at);
    const uint32_t headerSize = r.U32(at + 4);
    if (size < kLinkInfoMinHeaderSize || !r.Has(at, size) || headerSize < kLinkInfoMinHeaderSize ||
        headerSize > size) {
        return Fail(error, "LinkInfo sizes out of range");
    }
    const size_t end = at + size;
    const uint32_t flags = r.U32(at + 8);
    *next = end;
    link->hasLinkInfo = true;
    if (!(flags & kVolumeIdAndLocalBasePath)) return true;  // a network target: no local path
    const uint32_t pathAt = r.U32(at + 16);
    const uint32_t suffixAt = r.U32(at + 24);
    std::u16string path, suffix;
    if (headerSize >= kLinkInfoHeaderSize && r.U32(at + 28) != 0) {
        if (!r.WideZ(at + r.U32(at + 28), end, &path) ||
            (r.U32(at + 32) != 0 && !r.WideZ(at + r.U32(at + 32), end, &suffix))) {
            return Fail(error, "LinkInfo UTF-16 path without its terminator");
        }
    } else {
        std::string ansiPath, ansiSuffix;
        if (!r.AnsiZ(at + pathAt, end, &ansiPath) ||
            (suffixAt != 0 && !r.AnsiZ(at + suffixAt, end, &ansiSuffix))) {
            return Fail(error, "LinkInfo path without its terminator");
        }
        path = ansi.ToWide(ansiPath);
        suffix = ansi.ToWide(ansiSuffix);
    }
    link->target = path + suffix;
    return true;
}

bool ReadString(const Reader& r, size_t* at, bool unicode, const CodePage& ansi,
                std::u16string* out, std::string* error) {
    if (!r.Has(*at, 2)) return Fail(error, "string data cut short");
    const size_t count = r.U16(*at);
    *at += 2;
    const size_t bytes = unicode ? 2 * count : count;
    if (!r.Has(*at, bytes)) return Fail(error, "string data cut short");
    if (unicode) {
        out->clear();
        for (size_t i = 0; i < count; ++i) *out += static_cast<char16_t>(r.U16(*at + 2 * i));
    } else {
        *out = ansi.ToWide(r.Bytes(*at, bytes));
    }
    *at += bytes;
    // A reader gets the text up to its first zero: some writers count a
    // terminator into the string.
    const size_t end = out->find(u'\0');
    if (end != std::u16string::npos) out->resize(end);
    return true;
}

}  // namespace

bool EncodeShellLink(const ShellLinkFile& link, const CodePage& ansi, std::string* bytes) {
    const std::pair<uint32_t, const std::u16string*> strings[] = {
        {kLinkHasName, &link.description},
        {kLinkHasRelativePath, &link.relativePath},
        {kLinkHasWorkingDir, &link.workingDirectory},
        {kLinkHasArguments, &link.arguments},
        {kLinkHasIconLocation, &link.iconLocation},
    };
    uint32_t flags = kLinkIsUnicode;
    std::string ansiTarget;
    if (!link.target.empty()) {
        bool usedDefault = false;
        ansiTarget = ansi.FromWide(link.target, nullptr, &usedDefault);
        if (usedDefault || ansiTarget.find('\0') != std::string::npos) return false;
        flags |= kLinkHasLinkInfo;
    }
    for (const auto& [flag, text] : strings) {
        if (text->size() > kMaxCount) return false;
        if (!text->empty()) flags |= flag;
    }

    std::string out;
    Put32(&out, kHeaderSize);
    out.append(reinterpret_cast<const char*>(kLinkClsid), sizeof kLinkClsid);
    Put32(&out, flags);
    Put32(&out, link.fileAttributes);
    out.append(24, '\0');  // creation, access and write times: not known
    Put32(&out, link.fileSize);
    Put32(&out, static_cast<uint32_t>(link.iconIndex));
    Put32(&out, link.showCommand);
    Put16(&out, 0);  // no hot key
    out.append(10, '\0');
    if (flags & kLinkHasLinkInfo) out += LinkInfo(ansiTarget, link.target);
    for (const auto& [flag, text] : strings) {
        if (!(flags & flag)) continue;
        Put16(&out, static_cast<uint32_t>(text->size()));
        PutWide(&out, *text);
    }
    Put32(&out, 0);  // the terminal block
    *bytes = std::move(out);
    return true;
}

bool DecodeShellLink(std::string_view bytes, const CodePage& ansi, ShellLinkFile* link,
                     std::string* error) {
    const Reader r(bytes);
    *link = ShellLinkFile();
    if (!r.Has(0, kHeaderSize) || r.U32(0) != kHeaderSize ||
        memcmp(bytes.data() + 4, kLinkClsid, sizeof kLinkClsid) != 0) {
        return Fail(error, "no shell link header");
    }
    const uint32_t flags = r.U32(20);
    link->fileAttributes = r.U32(24);
    link->fileSize = r.U32(52);
    link->iconIndex = static_cast<int32_t>(r.U32(56));
    link->showCommand = r.U32(60);
    size_t at = kHeaderSize;
    if (flags & kLinkHasIdList) {
        if (!r.Has(at, 2)) return Fail(error, "item-ID list cut short");
        const size_t size = r.U16(at);
        if (!r.Has(at + 2, size)) return Fail(error, "item-ID list cut short");
        at += 2 + size;
        link->hasIdList = true;
    }
    if ((flags & kLinkHasLinkInfo) && !(flags & kLinkForceNoLinkInfo)) {
        if (!ReadLinkInfo(r, at, ansi, link, &at, error)) return false;
    }
    const bool unicode = (flags & kLinkIsUnicode) != 0;
    const std::pair<uint32_t, std::u16string*> strings[] = {
        {kLinkHasName, &link->description},
        {kLinkHasRelativePath, &link->relativePath},
        {kLinkHasWorkingDir, &link->workingDirectory},
        {kLinkHasArguments, &link->arguments},
        {kLinkHasIconLocation, &link->iconLocation},
    };
    for (const auto& [flag, text] : strings) {
        if ((flags & flag) && !ReadString(r, &at, unicode, ansi, text, error)) return false;
    }
    return true;
}

}  // namespace sim
