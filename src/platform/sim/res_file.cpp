// The compiled resource file (.res): a sequence of entries, each a header
// (data size, header size, type and name as an ordinal or a UTF-16 text,
// data version, memory flags, language, version, characteristics) and the
// data, every part aligned to 4 bytes. The first entry is an empty one.
#include "platform/sim/pe_resources.h"
#include "platform/sim/res_bytes.h"
#include "platform/sim/res_table.h"

namespace sim {

namespace {

// An ordinal (0xFFFF and the id) or a NUL-terminated text, inside the header.
bool ReadNameOrId(const ByteView& header, size_t offset, ResourceId* id, size_t* end) {
    uint16_t first;
    if (!header.U16(offset, &first)) return false;
    if (first == 0xFFFF) {
        id->isInt = true;
        *end = offset + 4;
        return header.U16(offset + 2, &id->id);
    }
    id->isInt = false;
    return header.Text16(offset, &id->text, end);
}

bool Fail(std::string* error, size_t offset, const char* what) {
    if (error)
        *error = "resource file: " + std::string(what) + " at offset " + std::to_string(offset);
    return false;
}

bool ParseEntries(const ByteView& file, ResourceTable* table, std::string* error) {
    size_t offset = 0;
    while (offset < file.Size()) {
        uint32_t dataSize, headerSize;
        if (!file.U32(offset, &dataSize) || !file.U32(offset + 4, &headerSize)) {
            return Fail(error, offset, "entry header cut short");
        }
        if (headerSize < 8 || !file.Has(offset, headerSize)) {
            return Fail(error, offset, "bad header size");
        }
        const ByteView header(file.Data() + offset, headerSize);
        ResourceEntry entry;
        size_t at = 8;
        if (!ReadNameOrId(header, at, &entry.type, &at) ||
            !ReadNameOrId(header, at, &entry.name, &at)) {
            return Fail(error, offset, "type or name outside the header");
        }
        at = AlignUp4(at);
        uint16_t language;
        if (!header.Has(at, 16) || !header.U16(at + 6, &language)) {
            return Fail(error, offset, "header fields outside the header");
        }
        entry.language = language;
        const size_t dataOffset = offset + headerSize;
        if (!file.Has(dataOffset, dataSize)) return Fail(error, offset, "data outside the file");
        entry.data.assign(file.Data() + dataOffset, file.Data() + dataOffset + dataSize);
        const bool empty = entry.type.isInt && entry.type.id == 0 && entry.name.isInt &&
                           entry.name.id == 0 && dataSize == 0;
        if (!empty) table->Add(std::move(entry));
        offset = AlignUp4(dataOffset + dataSize);
    }
    return true;
}

}  // namespace

std::unique_ptr<ResourceSet> ResourceSet::FromRes(const uint8_t* data, size_t size,
                                                  std::string* error) {
    auto table = std::make_unique<ResourceTable>();
    if (!data && size) {
        Fail(error, 0, "no data");
        return nullptr;
    }
    if (!ParseEntries(ByteView(data, size), table.get(), error)) return nullptr;
    return table;
}

}  // namespace sim
