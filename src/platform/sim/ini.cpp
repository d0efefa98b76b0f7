#include "platform/sim/ini.h"

#include "platform/sim/text.h"

namespace sim {

namespace {

// The lines of a text with their byte ranges (each without its LF).
struct Line {
    size_t begin, end;  // [begin, end) without LF; `next` starts the following line
    size_t next;
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t lf = text.find('\n', pos);
        if (lf == std::string_view::npos) {
            lines.push_back({pos, text.size(), text.size()});
            break;
        }
        lines.push_back({pos, lf, lf + 1});
        pos = lf + 1;
    }
    return lines;
}

bool IsSection(std::string_view line, std::string_view* name) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() != '[') return false;
    size_t close = line.find(']');
    if (close == std::string_view::npos) return false;
    *name = TrimBlanks(line.substr(1, close - 1));
    return true;
}

bool IsEntry(std::string_view line, std::string_view* key, std::string_view* value) {
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    *key = TrimBlanks(line.substr(0, eq));
    *value = TrimBlanks(line.substr(eq + 1));
    return true;
}

}  // namespace

bool ParseIni(std::string_view text, bool strict, std::vector<IniSection>* sections,
              std::string* error) {
    sections->clear();
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    int number = 0;
    for (const Line& l : SplitLines(text)) {
        ++number;
        std::string_view line = TrimBlanks(text.substr(l.begin, l.end - l.begin));
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        std::string_view name, key, value;
        if (IsSection(line, &name)) {
            if (strict && TrimBlanks(line).back() != ']') {
                *error = "line " + std::to_string(number) + ": text after the section name";
                return false;
            }
            sections->push_back({std::string(name), number, {}});
        } else if (IsEntry(line, &key, &value) && (!strict || !key.empty())) {
            if (sections->empty()) sections->push_back({"", 0, {}});
            sections->back().entries.push_back({std::string(key), std::string(value), number});
        } else if (strict) {
            *error = "line " + std::to_string(number) +
                     ": neither [section] nor key=value: " + std::string(line);
            return false;
        }
    }
    return true;
}

std::string EditProfile(std::string_view bytes, std::string_view section, const char* key,
                        const char* value, const NameEquals& equals) {
    const std::vector<Line> lines = SplitLines(bytes);
    // Find the section and, inside it, the key and the end of its last entry.
    size_t sectionLine = lines.size();
    size_t sectionEnd = lines.size();  // first line after the section
    size_t lastEntryNext = std::string_view::npos;
    size_t keyLine = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view text = bytes.substr(lines[i].begin, lines[i].end - lines[i].begin);
        std::string_view name, k, v;
        if (IsSection(text, &name)) {
            if (sectionLine != lines.size()) {
                sectionEnd = i;
                break;
            }
            if (equals(name, section)) {
                sectionLine = i;
                lastEntryNext = lines[i].next;
            }
            continue;
        }
        if (sectionLine == lines.size()) continue;
        std::string_view trimmed = TrimBlanks(text);
        if (trimmed.empty() || trimmed.front() == ';') continue;
        lastEntryNext = lines[i].next;
        if (key && keyLine == lines.size() && IsEntry(text, &k, &v) && equals(k, key)) keyLine = i;
    }
    std::string out;
    auto endsWithNewline = [&](size_t upTo) { return upTo == 0 || bytes[upTo - 1] == '\n'; };

    if (!key) {  // delete the section
        if (sectionLine == lines.size()) return std::string(bytes);
        const size_t from = lines[sectionLine].begin;
        const size_t to = sectionEnd == lines.size() ? bytes.size() : lines[sectionEnd].begin;
        return std::string(bytes.substr(0, from)) + std::string(bytes.substr(to));
    }
    if (!value) {  // delete the key
        if (keyLine == lines.size()) return std::string(bytes);
        return std::string(bytes.substr(0, lines[keyLine].begin)) +
               std::string(bytes.substr(lines[keyLine].next));
    }
    std::string entry = std::string(key) + "=" + value;
    if (keyLine != lines.size()) {  // replace the value, keeping the key's name and the line's end
        std::string_view k, v;
        IsEntry(bytes.substr(lines[keyLine].begin, lines[keyLine].end - lines[keyLine].begin), &k,
                &v);
        entry = std::string(k) + "=" + value;
        const bool cr =
            lines[keyLine].end > lines[keyLine].begin && bytes[lines[keyLine].end - 1] == '\r';
        out = std::string(bytes.substr(0, lines[keyLine].begin)) + entry + (cr ? "\r" : "");
        return out + std::string(bytes.substr(lines[keyLine].end));
    }
    if (sectionLine != lines.size()) {  // add the key after the section's last entry
        std::string head(bytes.substr(0, lastEntryNext));
        if (!endsWithNewline(lastEntryNext)) head += "\r\n";
        return head + entry + "\r\n" + std::string(bytes.substr(lastEntryNext));
    }
    out = std::string(bytes);
    if (!out.empty()) {
        if (out.back() != '\n') out += "\r\n";
        out += "\r\n";
    }
    return out + "[" + std::string(section) + "]\r\n" + entry + "\r\n";
}

}  // namespace sim
