#include "platform/sim/cmd_parse.h"

namespace sim {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDelimiter(char c) { return IsBlank(c) || c == ',' || c == ';' || c == '='; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::vector<std::string> BatchLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string current;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            lines.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) lines.push_back(current);
    return lines;
}

bool IsBatchLabel(std::string_view line, std::string* name) {
    size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i == line.size() || line[i] != ':') return false;
    ++i;
    size_t end = i;
    while (end < line.size() && !IsDelimiter(line[end])) ++end;
    *name = std::string(line.substr(i, end - i));
    return true;
}

std::string ExpandBatchLine(std::string_view line, const std::vector<std::string>& arguments,
                            const VariableLookup& variable) {
    std::string out;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '%') {
            out += line[i];
            continue;
        }
        if (i + 1 >= line.size()) break;  // a lone "%" at the end is dropped
        const char next = line[i + 1];
        if (next == '%') {
            out += '%';
            ++i;
        } else if (IsDigit(next)) {
            const size_t index = static_cast<size_t>(next - '0');
            if (index < arguments.size()) out += arguments[index];
            ++i;
        } else if (next == '*') {
            for (size_t k = 1; k < arguments.size(); ++k) out += (k > 1 ? " " : "") + arguments[k];
            ++i;
        } else {
            const size_t close = line.find('%', i + 1);
            if (close == std::string_view::npos) continue;  // dropped
            if (const std::string* value = variable(line.substr(i + 1, close - i - 1))) {
                out += *value;
            }
            i = close;
        }
    }
    return out;
}

bool SplitBatchCommands(std::string_view line, std::vector<std::string>* commands,
                        std::string* problem) {
    commands->clear();
    std::string current;
    bool quoted = false;
    auto finish = [&]() {
        size_t start = 0;
        while (start < current.size() && IsBlank(current[start])) ++start;
        if (start < current.size() && current[start] == '(') {
            *problem = "a block in parentheses";
            return false;
        }
        if (start < current.size()) commands->push_back(current.substr(start));
        current.clear();
        return true;
    };
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') quoted = !quoted;
        if (quoted || c == '"') {
            current += c;
            continue;
        }
        if (c == '^' && i + 1 < line.size()) {
            current += c;
            current += line[++i];
            continue;
        }
        if (c == '&' && i + 1 < line.size() && line[i + 1] == '&') {
            *problem = "the operator &&";
            return false;
        }
        if (c == '|' || c == '<' || c == '>') {
            *problem = std::string("the operator ") + c;
            return false;
        }
        if (c == '&') {
            if (!finish()) return false;
            continue;
        }
        current += c;
    }
    return finish();
}

std::vector<CmdToken> TokenizeCommand(std::string_view command) {
    std::vector<CmdToken> tokens;
    size_t i = 0;
    for (;;) {
        while (i < command.size() && IsDelimiter(command[i])) ++i;
        if (i >= command.size()) break;
        CmdToken token;
        bool quoted = false;
        while (i < command.size() && (quoted || !IsDelimiter(command[i]))) {
            const char c = command[i];
            if (c == '"') {
                quoted = !quoted;
                token.quoted = true;
            } else if (c == '^' && !quoted && i + 1 < command.size()) {
                token.text += command[++i];
            } else {
                token.text += c;
            }
            ++i;
        }
        token.end = i;
        tokens.push_back(token);
    }
    return tokens;
}

}  // namespace sim
