// The resource set that both parsers fill: resources by type, name and
// language, each with its bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sim/pe_resources.h"

namespace sim {

// A resource type or name: an integer id or a text.
struct ResourceId {
    bool isInt = false;
    uint16_t id = 0;
    std::u16string text;
};

struct ResourceEntry {
    ResourceId type;
    ResourceId name;
    uint16_t language = 0;
    std::vector<uint8_t> data;
};

class ResourceTable final : public ResourceSet {
  public:
    void Add(ResourceEntry entry) { entries_.push_back(std::move(entry)); }
    size_t Count() const { return entries_.size(); }

    const std::vector<uint8_t>* Find(const char* type, const char* name) const override;
    std::u16string String(unsigned id) const override;
    std::vector<unsigned> StringIds() const override;
    std::vector<std::string> Names(const char* type) const override;

  private:
    std::vector<ResourceEntry> entries_;
};

// The 16 strings of a string-table block (id / 16 + 1); false when the block
// is cut short. Strings after a cut are empty.
bool ParseStringBlock(const std::vector<uint8_t>& block, std::u16string strings[16]);

}  // namespace sim
