#include "platform/sim/res_table.h"

#include <algorithm>
#include <cstdlib>

#include "platform/platform.h"
#include "platform/sim/text.h"

namespace sim {

namespace {

char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c; }

// Whether `id` is what FindResourceA would take `wanted` for.
bool Matches(const ResourceId& id, const char* wanted) {
    if (os::IsIntResource(wanted)) {
        return id.isInt && id.id == static_cast<uint16_t>(reinterpret_cast<uintptr_t>(wanted));
    }
    if (wanted[0] == '#') {
        char* end = nullptr;
        const unsigned long value = strtoul(wanted + 1, &end, 10);
        return end != wanted + 1 && *end == '\0' && value <= 0xFFFF && id.isInt && id.id == value;
    }
    if (id.isInt) return false;
    size_t i = 0;
    for (; wanted[i] != '\0'; ++i) {
        if (i >= id.text.size()) return false;
        const char16_t c = static_cast<unsigned char>(wanted[i]);
        if (AsciiUpper(c) != AsciiUpper(id.text[i])) return false;
    }
    return i == id.text.size();
}

}  // namespace

bool ParseStringBlock(const std::vector<uint8_t>& block, std::u16string strings[16]) {
    size_t offset = 0;
    for (int i = 0; i < 16; ++i) {
        if (offset + 2 > block.size()) return false;
        const size_t length = block[offset] | (block[offset + 1] << 8);
        offset += 2;
        if (offset + 2 * length > block.size()) return false;
        for (size_t k = 0; k < length; ++k, offset += 2) {
            strings[i] += static_cast<char16_t>(block[offset] | (block[offset + 1] << 8));
        }
    }
    return true;
}

const std::vector<uint8_t>* ResourceTable::Find(const char* type, const char* name) const {
    for (const ResourceEntry& e : entries_) {
        if (Matches(e.type, type) && Matches(e.name, name)) return &e.data;
    }
    return nullptr;
}

std::u16string ResourceTable::String(unsigned id) const {
    if (id > 0xFFFF) return {};
    const std::vector<uint8_t>* block =
        Find(os::IntResource(os::kRtString), os::IntResource(id / 16 + 1));
    if (!block) return {};
    std::u16string strings[16];
    ParseStringBlock(*block, strings);
    return strings[id % 16];
}

std::vector<unsigned> ResourceTable::StringIds() const {
    std::vector<unsigned> ids;
    std::vector<uint16_t> blocks;
    for (const ResourceEntry& e : entries_) {
        // String ids have 16 bits: id / 16 + 1 names blocks 1 to 4096 only, and
        // a block beyond them holds no string that LoadString can reach.
        if (!e.type.isInt || e.type.id != os::kRtString || !e.name.isInt || e.name.id == 0 ||
            e.name.id > 4096)
            continue;
        // With several languages of a block the first one counts, as in String().
        if (std::find(blocks.begin(), blocks.end(), e.name.id) != blocks.end()) continue;
        blocks.push_back(e.name.id);
        std::u16string strings[16];
        ParseStringBlock(e.data, strings);
        for (unsigned i = 0; i < 16; ++i) {
            if (!strings[i].empty()) ids.push_back((e.name.id - 1u) * 16 + i);
        }
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::vector<std::string> ResourceTable::Names(const char* type) const {
    std::vector<std::string> names;
    for (const ResourceEntry& e : entries_) {
        if (!Matches(e.type, type)) continue;
        std::string name =
            e.name.isInt ? "#" + std::to_string(e.name.id) : Utf16ToUtf8(e.name.text);
        bool seen = false;
        for (const std::string& n : names) seen = seen || n == name;
        if (!seen) names.push_back(name);
    }
    return names;
}

}  // namespace sim
