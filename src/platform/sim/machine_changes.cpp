#include "platform/sim/machine_changes.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/sim/machine.h"
#include "platform/sim/text.h"

namespace sim {

namespace fs = std::filesystem;

namespace {

// Files up to this size are compared by their bytes, larger ones by size.
constexpr uint64_t kComparedBytes = 1 << 20;

std::string KeyName(const std::string& path) { return "[" + path + "]"; }

// The data part of a value's line ("name"= left out).
std::string DataOf(const RegValue& value) {
    RegValue unnamed = value;
    unnamed.name.clear();
    return FormatValue(unnamed).substr(2);  // after "@="
}

bool SameValue(const RegValue& a, const RegValue& b) {
    return a.type == b.type && a.data == b.data;
}

// A key and everything below it, as added ("+") or removed ("-").
void WholeKey(const RegNode& node, const std::string& path, char sign,
              std::vector<std::string>* out) {
    out->push_back(std::string(1, sign) + " " + KeyName(path));
    for (const RegValue& v : node.Values())
        out->push_back(std::string(1, sign) + " " + KeyName(path) + " " + FormatValue(v));
    for (size_t i = 0; i < node.ChildCount(); ++i) {
        const RegNode* child = node.ChildAt(i);
        WholeKey(*child, path + "\\" + Utf16ToUtf8(child->Name()), sign, out);
    }
}

void CompareKeys(const RegNode& a, const RegNode& b, const std::string& path,
                 std::vector<std::string>* out) {
    RegNode& before = const_cast<RegNode&>(a);
    RegNode& after = const_cast<RegNode&>(b);
    for (const RegValue& v : a.Values())
        if (!after.Value(v.name)) out->push_back("- " + KeyName(path) + " " + FormatValue(v));
    for (const RegValue& v : b.Values()) {
        const RegValue* old = before.Value(v.name);
        if (!old) {
            out->push_back("+ " + KeyName(path) + " " + FormatValue(v));
        } else if (!SameValue(*old, v)) {
            out->push_back("* " + KeyName(path) + " " + FormatValue(v) + " (was " + DataOf(*old) +
                           ")");
        }
    }
    // Subkeys in enumeration order (by upper-cased name), from both sides.
    std::set<std::u16string> names;
    for (size_t i = 0; i < a.ChildCount(); ++i) names.insert(Upcase(a.ChildAt(i)->Name()));
    for (size_t i = 0; i < b.ChildCount(); ++i) names.insert(Upcase(b.ChildAt(i)->Name()));
    for (const std::u16string& name : names) {
        const RegNode* ca = a.Child(name);
        const RegNode* cb = b.Child(name);
        const std::string sub = path + "\\" + Utf16ToUtf8((cb ? cb : ca)->Name());
        if (ca && cb) {
            CompareKeys(*ca, *cb, sub, out);
        } else if (cb) {
            WholeKey(*cb, sub, '+', out);
        } else {
            WholeKey(*ca, sub, '-', out);
        }
    }
}

}  // namespace

MachineState CaptureState(Machine& machine) {
    MachineState state;
    std::string unused;
    state.registry.Load(machine.Registry().Save(), &unused);
    const std::string root = machine.Files().Root();
    std::error_code ec;
    if (root.empty() || !fs::is_directory(root, ec)) return state;
    for (const fs::directory_entry& drive : fs::directory_iterator(root, ec)) {
        const std::string letter = drive.path().filename().string();
        if (letter.size() != 1 || !drive.is_directory(ec)) continue;
        for (auto it = fs::recursive_directory_iterator(drive.path(), ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            MachineState::Entry e;
            e.path = letter + ":";
            for (const fs::path& part : fs::relative(it->path(), drive.path(), ec))
                e.path += "\\" + part.string();
            e.folder = it->is_directory(ec);
            if (e.folder) {
                e.path += "\\";
            } else {
                e.size = it->file_size(ec);
                if (e.size <= kComparedBytes) {
                    std::ifstream in(it->path(), std::ios::binary);
                    std::ostringstream bytes;
                    bytes << in.rdbuf();
                    e.bytes = bytes.str();
                }
            }
            state.files[FoldUtf8(e.path)] = e;
        }
    }
    return state;
}

std::vector<std::string> RegistryChanges(const RegistryStore& before, const RegistryStore& after) {
    std::vector<std::string> out;
    for (Hive hive : kHives)
        CompareKeys(*before.Root(hive), *after.Root(hive), HiveName(hive), &out);
    return out;
}

std::vector<std::string> FileChanges(const MachineState& before, const MachineState& after) {
    std::vector<std::string> out;
    auto a = before.files.begin(), b = after.files.begin();
    while (a != before.files.end() || b != after.files.end()) {
        if (b == after.files.end() || (a != before.files.end() && a->first < b->first)) {
            out.push_back("- " + a->second.path);
            ++a;
        } else if (a == before.files.end() || b->first < a->first) {
            out.push_back("+ " + b->second.path);
            ++b;
        } else {
            const MachineState::Entry &x = a->second, &y = b->second;
            // A folder's path ends in "\", so the same path is of the same kind.
            if (!x.folder && (x.size != y.size || x.bytes != y.bytes)) {
                out.push_back("* " + y.path + " (" + std::to_string(y.size) + " bytes, was " +
                              std::to_string(x.size) + ")");
            }
            ++a;
            ++b;
        }
    }
    return out;
}

}  // namespace sim
