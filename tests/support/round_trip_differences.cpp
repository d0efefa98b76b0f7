#include "support/round_trip_differences.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/sim/machine.h"
#include "platform/sim/text.h"

namespace round_trip {

namespace {

const char kClasses[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES";

std::string KeyName(const std::string& folded) {
    const std::string classes = kClasses;
    if (folded.compare(0, classes.size(), classes) == 0 &&
        (folded.size() == classes.size() || folded[classes.size()] == '\\'))
        return "HKEY_CLASSES_ROOT" + folded.substr(classes.size());
    return folded;
}

std::string HexBytes(const std::vector<uint8_t>& data) {
    std::string out;
    char byte[4];
    for (uint8_t b : data) {
        snprintf(byte, sizeof byte, "%02x", b);
        out += byte;
    }
    return out;
}

// A value's text as setup_compare.py's value_text gives it.
std::string ValueText(const sim::RegValue& value) {
    const os::Dword type = value.type;
    if (type == 1 || type == 2 || type == 7) {
        std::u16string text;
        for (size_t i = 0; i + 1 < value.data.size(); i += 2)
            text += static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8));
        while (!text.empty() && text.back() == u'\0') text.pop_back();
        if (type == 7)
            for (char16_t& c : text)
                if (c == u'\0') c = u'|';
        return (type == 1 ? "sz:" : type == 2 ? "expand:" : "multi:") + sim::Utf16ToUtf8(text);
    }
    if (type == 4 && value.data.size() == 4) {
        char text[16];
        snprintf(text, sizeof text, "dword:%08x",
                 static_cast<unsigned>(value.data[0] | (value.data[1] << 8) |
                                       (value.data[2] << 16) | (value.data[3] << 24)));
        return text;
    }
    char kind[16];
    snprintf(kind, sizeof kind, "hex(%x):", static_cast<unsigned>(type));
    return kind + HexBytes(value.data);
}

void AddKey(const sim::RegNode& node, const std::string& path, RegistryView* view) {
    std::map<std::string, std::string>& values = (*view)[KeyName(path)];
    for (const sim::RegValue& value : node.Values())
        values[sim::FoldUtf8(sim::Utf16ToUtf8(value.name))] = ValueText(value);
    for (size_t i = 0; i < node.ChildCount(); ++i) {
        const sim::RegNode* child = node.ChildAt(i);
        AddKey(*child, path + "\\" + sim::FoldUtf8(sim::Utf16ToUtf8(child->Name())), view);
    }
}

// A "*" that is a whole key name ("\*\" or "\*]") names the key "*" of
// HKEY_CLASSES_ROOT (every file type), not any run of characters.
bool IsKeyNamedStar(const char* start, const char* at) {
    return at > start && at[-1] == '\\' && (at[1] == '\\' || at[1] == ']');
}

// `text` matches `pattern` (which begins at `start`), in which "?" stands for
// any one character and "*" for any run of characters without a backslash.
bool Matches(const char* start, const char* pattern, const char* text) {
    for (; *pattern; ++pattern, ++text) {
        if (*pattern == '*' && !IsKeyNamedStar(start, pattern)) {
            for (const char* rest = text;; ++rest) {
                if (Matches(start, pattern + 1, rest)) return true;
                if (*rest == '\0' || *rest == '\\') return false;
            }
        }
        if (*text == '\0' || (*pattern != '?' && *pattern != *text)) return false;
    }
    return *text == '\0';
}

// A value change "[KEY] NAME = TEXT" of a value that `before` lacked.
bool NewValue(const RegistryView& before, const std::string& change) {
    if (change.compare(0, 1, "[") != 0) return false;
    const size_t close = change.find("] ");
    const size_t equals = change.find(" = ", close);
    if (close == std::string::npos || equals == std::string::npos) return false;
    const auto key = before.find(change.substr(1, close - 1));
    if (key == before.end()) return true;
    std::string name = change.substr(close + 2, equals - close - 2);
    return !key->second.count(name == "@" ? "" : name);
}

// Removes a trailing " WORD" from `text`; true when it was there.
bool TakeWord(std::string* text, const std::string& word) {
    const std::string tail = " " + word;
    if (text->size() < tail.size() ||
        text->compare(text->size() - tail.size(), tail.size(), tail) != 0)
        return false;
    text->erase(text->size() - tail.size());
    return true;
}

// The value of before setup that an "as" or "if" clause names; empty when the
// key or value was missing or held the empty text.
std::string Before(const RegistryView& before, const std::string& key, const std::string& name) {
    const auto k = before.find(key);
    if (k == before.end()) return "";
    const auto v = k->second.find(name == "@" ? "" : name);
    return v == k->second.end() || v->second == "sz:" ? "" : v->second;
}

// Splits "CHANGE KEYWORD [KEY] NAME" at its last " KEYWORD [".
bool SplitClause(std::string* text, const std::string& keyword, std::string* key,
                 std::string* name) {
    const std::string mark = " " + keyword + " [";
    const size_t at = text->rfind(mark);
    if (at == std::string::npos) return true;
    const size_t open = at + mark.size() - 1;
    const size_t close = text->find("] ", open);
    if (close == std::string::npos) return false;
    *key = text->substr(open + 1, close - open - 1);
    *name = text->substr(close + 2);
    text->erase(at);
    return !key->empty() && !name->empty();
}

}  // namespace

RegistryView ReadRegistry(sim::Machine& machine) {
    RegistryView view;
    AddKey(*machine.Registry().Root(sim::Hive::kCurrentUser), "HKEY_CURRENT_USER", &view);
    AddKey(*machine.Registry().Root(sim::Hive::kLocalMachine), "HKEY_LOCAL_MACHINE", &view);
    return view;
}

std::vector<std::string> Changes(const RegistryView& before, const RegistryView& after) {
    std::vector<std::string> lines;
    auto b = before.begin();
    auto a = after.begin();
    while (b != before.end() || a != after.end()) {
        if (a == after.end() || (b != before.end() && b->first < a->first)) {
            lines.push_back("-[" + b->first + "]");
            ++b;
            continue;
        }
        static const std::map<std::string, std::string> kNone;
        const bool isNew = b == before.end() || a->first < b->first;
        const std::map<std::string, std::string>& old = isNew ? kNone : b->second;
        if (isNew) lines.push_back("+[" + a->first + "]");
        for (const auto& [name, text] : a->second) {
            const auto was = old.find(name);
            if (was == old.end() || was->second != text)
                lines.push_back("[" + a->first + "] " + (name.empty() ? "@" : name) + " = " + text);
        }
        for (const auto& [name, text] : old)
            if (!a->second.count(name))
                lines.push_back("[" + a->first + "] " + (name.empty() ? "@" : name) + " deleted");
        ++a;
        if (!isNew) ++b;
    }
    return lines;
}

std::vector<std::string> FileChanges(const std::map<std::string, std::string>& before,
                                     const std::map<std::string, std::string>& after,
                                     const std::set<std::string>& removed) {
    std::map<std::string, std::string> changes;
    for (const auto& [path, bytes] : before) {
        const std::string folded = sim::FoldUtf8(path);
        const auto now = after.find(path);
        if (removed.count(folded)) {
            if (now != after.end()) changes[folded] = "=<" + folded + ">";
        } else if (now == after.end()) {
            changes[folded] = "-<" + folded + ">";
        } else if (now->second != bytes) {
            changes[folded] = "*<" + folded + ">";
        }
    }
    for (const auto& [path, bytes] : after)
        if (!before.count(path)) changes[sim::FoldUtf8(path)] = "+<" + sim::FoldUtf8(path) + ">";
    std::vector<std::string> lines;
    for (const auto& [path, line] : changes) lines.push_back(line);
    return lines;
}

std::string DifferenceList::DefaultPath() {
#ifdef VLK_SOURCE_DIR
    return std::string(VLK_SOURCE_DIR) + "/tests/data/round_trip_differences.txt";
#else
    return "tests/data/round_trip_differences.txt";
#endif
}

bool DifferenceList::Load(std::string* error, const std::string& path) {
    entries_.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read " + path;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const size_t blank = line.find(' ');
        const std::string where = line.substr(0, blank);
        Entry entry{number, false, false, "", "", "", "", "", false, false};
        std::stringstream families(where);
        for (std::string family; std::getline(families, family, ',');) {
            if (family == "nt") {
                entry.nt = true;
            } else if (family == "9x") {
                entry.older = true;
            } else {
                *error = path + ":" + std::to_string(number) + ": unknown family \"" + family +
                         "\" (nt, 9x)";
                return false;
            }
        }
        std::string change = blank == std::string::npos ? "" : line.substr(blank + 1);
        entry.ifBusy = TakeWord(&change, "if busy");
        entry.ifNew = TakeWord(&change, "if new");
        if (!SplitClause(&change, "if", &entry.ifKey, &entry.ifName) ||
            !SplitClause(&change, "as", &entry.asKey, &entry.asName) || change.empty() ||
            (!entry.asKey.empty() &&
             (change.size() < 2 || change.compare(change.size() - 2, 2, " =") != 0))) {
            *error = path + ":" + std::to_string(number) + ": cannot read the entry";
            return false;
        }
        entry.change = change;
        entries_.push_back(entry);
    }
    return true;
}

std::vector<std::string> DifferenceList::Unprescribed(const std::vector<std::string>& changes,
                                                      const RegistryView& before,
                                                      const RunFacts& run) const {
    struct Allowed {
        std::string pattern;
        bool ifNew;
    };
    std::vector<Allowed> allowed;
    for (const Entry& entry : entries_) {
        if (!(run.nt ? entry.nt : entry.older)) continue;
        if (entry.ifBusy && !run.busy) continue;
        if (!entry.ifKey.empty() && Before(before, entry.ifKey, entry.ifName).empty()) continue;
        std::string change = entry.change;
        const std::string folder = "{PROGRAM FOLDER}";
        if (const size_t at = change.find(folder); at != std::string::npos)
            change.replace(at, folder.size(), sim::FoldUtf8(run.programFolder));
        if (!entry.asKey.empty()) {
            const std::string text = Before(before, entry.asKey, entry.asName);
            if (text.empty()) continue;
            change += " " + text;
        }
        allowed.push_back({change, entry.ifNew});
        // A key that may be new may come with new keys above it.
        if (change.compare(0, 2, "+[") == 0) {
            for (size_t at = change.rfind('\\'); at != std::string::npos && at > 2;
                 at = change.rfind('\\', at - 1)) {
                const std::string above = change.substr(0, at) + "]";
                if (above.find('\\') != std::string::npos) allowed.push_back({above, false});
            }
        }
    }
    std::vector<std::string> out;
    for (const std::string& line : changes) {
        bool prescribed = false;
        for (const Allowed& a : allowed)
            prescribed =
                prescribed || (Matches(a.pattern.c_str(), a.pattern.c_str(), line.c_str()) &&
                               (!a.ifNew || NewValue(before, line)));
        if (!prescribed) out.push_back(line);
    }
    return out;
}

}  // namespace round_trip
