// The resource section of a PE file (DLL or EXE): the DOS header leads to the
// PE signature, the file header and the optional header (PE32 or PE32+),
// whose data directory 2 gives the resource directory's address. The section
// table maps addresses to file offsets. The directory is a tree of three
// levels (type, name, language) whose leaves describe the data.
#include "platform/sim/pe_resources.h"

#include "platform/sim/res_bytes.h"
#include "platform/sim/res_table.h"

namespace sim {

namespace {

constexpr uint32_t kSubdirectoryFlag = 0x80000000u;
constexpr uint32_t kNameIsTextFlag = 0x80000000u;
constexpr size_t kMaxSections = 96;
// More entries than these mean a directory that refers to itself.
constexpr size_t kMaxResources = 16384;
constexpr size_t kMaxDirectoryEntries = 65536;

struct Section {
    uint32_t address;
    uint32_t virtualSize;
    uint32_t rawSize;
    uint32_t rawOffset;
};

class PeReader {
  public:
    PeReader(const std::vector<uint8_t>& bytes, std::string* error)
        : file_(bytes.data(), bytes.size()), error_(error) {}

    bool Read(ResourceTable* table);

  private:
    bool Fail(const std::string& what) {
        if (error_) *error_ = "not a well-formed PE file: " + what;
        return false;
    }
    bool ReadHeaders(uint32_t* resourceAddress, uint32_t* resourceSize);
    // The file offset of `count` bytes at address `address`; false when they
    // do not lie inside one section's file data. *available (optional): the
    // section's bytes from there on.
    bool Map(uint32_t address, uint32_t count, size_t* offset, size_t* available = nullptr) const;
    bool ReadDirectory(uint32_t offset, int level, const ResourceEntry& partial,
                       ResourceTable* table);
    bool ReadName(uint32_t field, ResourceId* id);
    bool ReadLeaf(uint32_t offset, ResourceEntry entry, ResourceTable* table);

    ByteView file_;
    std::string* error_;
    std::vector<Section> sections_;
    // The resource directory: its file offset and size.
    size_t directory_ = 0;
    size_t directorySize_ = 0;
    size_t visitedEntries_ = 0;
};

bool PeReader::ReadHeaders(uint32_t* resourceAddress, uint32_t* resourceSize) {
    uint16_t mz;
    uint32_t peOffset;
    if (!file_.U16(0, &mz) || mz != 0x5A4D) return Fail("no MZ header");
    if (!file_.U32(0x3C, &peOffset)) return Fail("DOS header cut short");
    uint32_t signature;
    if (!file_.U32(peOffset, &signature) || signature != 0x00004550) return Fail("no PE signature");
    const size_t fileHeader = static_cast<size_t>(peOffset) + 4;
    uint16_t sectionCount, optionalSize;
    if (!file_.U16(fileHeader + 2, &sectionCount) || !file_.U16(fileHeader + 16, &optionalSize)) {
        return Fail("file header cut short");
    }
    if (sectionCount == 0 || sectionCount > kMaxSections) return Fail("bad number of sections");
    const size_t optional = fileHeader + 20;
    if (!file_.Has(optional, optionalSize)) return Fail("optional header outside the file");
    const ByteView header(file_.Data() + optional, optionalSize);
    uint16_t magic;
    if (!header.U16(0, &magic)) return Fail("optional header cut short");
    size_t countField;
    if (magic == 0x10B) {
        countField = 92;
    } else if (magic == 0x20B) {
        countField = 108;
    } else {
        return Fail("unknown optional header magic");
    }
    uint32_t directoryCount;
    if (!header.U32(countField, &directoryCount)) return Fail("optional header cut short");
    *resourceAddress = 0;
    *resourceSize = 0;
    if (directoryCount > 2) {
        const size_t entry = countField + 4 + 2 * 8;
        if (!header.U32(entry, resourceAddress) || !header.U32(entry + 4, resourceSize)) {
            return Fail("data directories outside the optional header");
        }
    }
    const size_t table = optional + optionalSize;
    for (size_t i = 0; i < sectionCount; ++i) {
        const size_t at = table + 40 * i;
        Section s;
        if (!file_.U32(at + 8, &s.virtualSize) || !file_.U32(at + 12, &s.address) ||
            !file_.U32(at + 16, &s.rawSize) || !file_.U32(at + 20, &s.rawOffset)) {
            return Fail("section table outside the file");
        }
        if (s.rawSize && !file_.Has(s.rawOffset, s.rawSize))
            return Fail("section data outside the file");
        sections_.push_back(s);
    }
    return true;
}

bool PeReader::Map(uint32_t address, uint32_t count, size_t* offset, size_t* available) const {
    for (const Section& s : sections_) {
        if (address < s.address) continue;
        const uint64_t inside = static_cast<uint64_t>(address) - s.address;
        if (inside + count <= s.rawSize) {
            *offset = s.rawOffset + static_cast<size_t>(inside);
            if (available) *available = s.rawSize - static_cast<size_t>(inside);
            return true;
        }
    }
    return false;
}

bool PeReader::ReadName(uint32_t field, ResourceId* id) {
    if (!(field & kNameIsTextFlag)) {
        if (field > 0xFFFF) return Fail("resource id out of range");
        id->isInt = true;
        id->id = static_cast<uint16_t>(field);
        return true;
    }
    const uint32_t at = field & ~kNameIsTextFlag;
    const ByteView directory(file_.Data() + directory_, directorySize_);
    uint16_t length;
    if (!directory.U16(at, &length) || !directory.Has(static_cast<size_t>(at) + 2, 2u * length)) {
        return Fail("resource name outside the resource directory");
    }
    id->isInt = false;
    id->text.clear();
    for (size_t i = 0; i < length; ++i) {
        uint16_t c = 0;
        directory.U16(at + 2 + 2 * i, &c);
        id->text += static_cast<char16_t>(c);
    }
    return true;
}

bool PeReader::ReadLeaf(uint32_t offset, ResourceEntry entry, ResourceTable* table) {
    const ByteView directory(file_.Data() + directory_, directorySize_);
    uint32_t address, size;
    if (!directory.U32(offset, &address) || !directory.U32(offset + 4, &size)) {
        return Fail("resource data entry outside the resource directory");
    }
    size_t at;
    if (!Map(address, size, &at)) return Fail("resource data outside the file's sections");
    if (table->Count() >= kMaxResources) return Fail("too many resources");
    entry.data.assign(file_.Data() + at, file_.Data() + at + size);
    table->Add(std::move(entry));
    return true;
}

bool PeReader::ReadDirectory(uint32_t offset, int level, const ResourceEntry& partial,
                             ResourceTable* table) {
    const ByteView directory(file_.Data() + directory_, directorySize_);
    uint16_t named, numbered;
    if (!directory.U16(static_cast<size_t>(offset) + 12, &named) ||
        !directory.U16(static_cast<size_t>(offset) + 14, &numbered)) {
        return Fail("resource directory table outside the resource directory");
    }
    const size_t count = static_cast<size_t>(named) + numbered;
    for (size_t i = 0; i < count; ++i) {
        const size_t at = static_cast<size_t>(offset) + 16 + 8 * i;
        uint32_t nameField, target;
        if (!directory.U32(at, &nameField) || !directory.U32(at + 4, &target)) {
            return Fail("resource directory entry outside the resource directory");
        }
        if (++visitedEntries_ > kMaxDirectoryEntries)
            return Fail("too many resource directory entries");
        ResourceEntry entry = partial;
        if (level == 2) {
            if (nameField & kNameIsTextFlag || nameField > 0xFFFF) return Fail("bad language id");
            entry.language = static_cast<uint16_t>(nameField);
        } else if (!ReadName(nameField, level == 0 ? &entry.type : &entry.name)) {
            return false;
        }
        const bool subdirectory = (target & kSubdirectoryFlag) != 0;
        if (subdirectory != (level < 2)) return Fail("resource directory not three levels deep");
        const bool ok = subdirectory
                            ? ReadDirectory(target & ~kSubdirectoryFlag, level + 1, entry, table)
                            : ReadLeaf(target, std::move(entry), table);
        if (!ok) return false;
    }
    return true;
}

bool PeReader::Read(ResourceTable* table) {
    uint32_t address, size;
    if (!ReadHeaders(&address, &size)) return false;
    // A file without resources is well formed; it just has none.
    if (address == 0 || size == 0) return true;
    // Names and subdirectories are looked for in the rest of the section,
    // whatever size the data directory states.
    if (!Map(address, size, &directory_, &directorySize_)) {
        return Fail("resource directory outside the file's sections");
    }
    return ReadDirectory(0, 0, ResourceEntry(), table);
}

}  // namespace

std::unique_ptr<ResourceSet> ResourceSet::FromPe(const std::vector<uint8_t>& bytes,
                                                 std::string* error) {
    auto table = std::make_unique<ResourceTable>();
    PeReader reader(bytes, error);
    if (!reader.Read(table.get())) return nullptr;
    return table;
}

}  // namespace sim
