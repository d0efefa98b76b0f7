// What the registry tests share: the simulated machine, and reading its
// registry store directly, beside the layer under test.
#pragma once

#include <string>
#include <vector>

#include "common/machine_fixture.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/text.h"

namespace registry_test {

// Where a key of the program's view lies in the machine's store.
struct StorePath {
    sim::Hive hive;
    std::string path;  // below the hive, UTF-8
};

inline StorePath User(const std::string& path) { return {sim::Hive::kCurrentUser, path}; }
inline StorePath Machine(const std::string& path) { return {sim::Hive::kLocalMachine, path}; }
inline StorePath Classes(const std::string& path) {
    return {sim::Hive::kLocalMachine,
            path.empty() ? "SOFTWARE\\Classes" : "SOFTWARE\\Classes\\" + path};
}

class RegistryTest : public core_test::MachineTest {
  protected:
    sim::RegNode* Find(const StorePath& at) {
        return machine().Registry().Find(at.hive, sim::Utf8ToUtf16(at.path));
    }
    bool Exists(const StorePath& at) { return Find(at) != nullptr; }
    // The stored bytes of a value; false when the key or value is missing.
    bool StoredValue(const StorePath& at, const std::string& name, std::vector<uint8_t>* data,
                     uint32_t* type = nullptr) {
        sim::RegNode* node = Find(at);
        if (!node) return false;
        const sim::RegValue* value = node->Value(sim::Utf8ToUtf16(name));
        if (!value) return false;
        *data = value->data;
        if (type) *type = value->type;
        return true;
    }
    // Makes the key with its missing parents (under the program's own view).
    sim::RegNode* Make(const StorePath& at) {
        return machine().Registry().Create(at.hive, sim::Utf8ToUtf16(at.path));
    }
    void PutValue(const StorePath& at, const std::string& name, uint32_t type,
                  const std::vector<uint8_t>& data) {
        Make(at)->SetValue(sim::Utf8ToUtf16(name), type, data);
    }
    // The registry calls since `mark`.
    size_t RegistryCallsSince(size_t mark) {
        size_t count = 0;
        for (const std::string& line : TraceSince(mark)) {
            if (line.rfind("Reg", 0) == 0) ++count;
        }
        return count;
    }
};

}  // namespace registry_test
