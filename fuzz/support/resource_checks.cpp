#include "support/resource_checks.h"

#include <stdlib.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/pe_resources.h"
#include "platform/sim/res_dialog.h"
#include "platform/sim/res_table.h"
#include "support/check.h"

namespace fuzz {

namespace {

constexpr unsigned kLastResourceType = 24;  // RT_MANIFEST

// True for a name that FindResourceA can be given as a text: ASCII without a
// terminator inside it.
bool IsPlainName(const std::string& name) {
    if (name.empty()) return false;
    for (char c : name) {
        if (c == '\0' || static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

std::string WithCase(std::string name, bool upper) {
    for (char& c : name) {
        if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

// The resource `name` as Names() gives it; checks that its forms agree.
const std::vector<uint8_t>* FindNamed(const sim::ResourceSet& set, const char* type,
                                      const std::string& name) {
    if (name[0] == '#') {
        char* end = nullptr;
        const unsigned long id = strtoul(name.c_str() + 1, &end, 10);
        if (end != name.c_str() + 1 && *end == '\0' && id <= 0xFFFF) {
            const std::vector<uint8_t>* byId = set.Find(type, os::IntResource(id));
            FUZZ_CHECK(set.Find(type, name.c_str()) == byId, "%s and id %lu differ", name.c_str(),
                       id);
            return byId;
        }
        // FindResourceA reads any text that begins with "#" as an id, so a
        // text name such as "#TL" cannot be asked for by its text.
        return nullptr;
    }
    const std::vector<uint8_t>* found = set.Find(type, name.c_str());
    FUZZ_CHECK(found != nullptr, "resource \"%s\" listed but not found", name.c_str());
    FUZZ_CHECK(set.Find(type, WithCase(name, true).c_str()) == found &&
                   set.Find(type, WithCase(name, false).c_str()) == found,
               "resource \"%s\" found differently in another letter case", name.c_str());
    return found;
}

void CheckData(unsigned type, const std::vector<uint8_t>& data) {
    if (type == os::kRtDialog) {
        sim::DialogTemplate dialog;
        std::string error;
        sim::ParseDialogTemplate(data, &dialog, &error);
    } else if (type == os::kRtString) {
        std::u16string strings[16];
        sim::ParseStringBlock(data, strings);
    }
}

}  // namespace

void CheckResourceSet(const sim::ResourceSet& set) {
    for (unsigned type = 1; type <= kLastResourceType; ++type) {
        const char* typeId = os::IntResource(type);
        for (const std::string& name : set.Names(typeId)) {
            if (!IsPlainName(name)) continue;
            if (const std::vector<uint8_t>* data = FindNamed(set, typeId, name)) {
                CheckData(type, *data);
            }
        }
    }
    for (unsigned id : set.StringIds()) {
        FUZZ_CHECK(!set.String(id).empty(), "string %u listed without a text", id);
    }
}

}  // namespace fuzz
