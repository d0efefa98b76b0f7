#include "platform/sim/actions.h"

#include <cstdlib>
#include <sstream>

namespace sim {

namespace {
const char* const kVerbs[] = {"yes",    "no",     "ok",    "cancel", "abort", "retry",
                              "ignore", "escape", "enter", "click",  "help"};
}

bool Actions::Parse(const std::string& line, Action* action, std::string* error) {
    std::istringstream in(line);
    std::string verb, extra;
    in >> verb;
    for (char& c : verb) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    bool known = false;
    for (const char* v : kVerbs) known = known || verb == v;
    if (!known) {
        *error = "unknown action \"" + line +
                 "\" (yes, no, ok, cancel, abort, retry, ignore, "
                 "escape, enter, click ID, help)";
        return false;
    }
    *action = Action{verb, 0, line};
    if (verb == "click") {
        std::string id;
        in >> id;
        char* end = nullptr;
        const long value = id.empty() ? -1 : strtol(id.c_str(), &end, 10);
        if (id.empty() || *end != '\0' || value < 0 || value > 0xFFFF) {
            *error = "\"click\" needs a control ID: " + line;
            return false;
        }
        action->id = static_cast<int>(value);
    }
    if (in >> extra) {
        *error = "text after the action: " + line;
        return false;
    }
    return true;
}

bool Actions::Load(const std::string& text, std::string* error) {
    provided_ = true;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        Action action;
        std::string what;
        if (!Parse(line.substr(start), &action, &what)) {
            *error = "line " + std::to_string(number) + ": " + what;
            return false;
        }
        Add(action);
    }
    return true;
}

bool Actions::Take(const std::function<bool(const Action&)>& accepts, Action* taken) {
    for (auto& [action, used] : actions_) {
        if (used || !accepts(action)) continue;
        used = true;
        *taken = action;
        return true;
    }
    return false;
}

std::vector<std::string> Actions::Unused() const {
    std::vector<std::string> out;
    for (const auto& [action, used] : actions_)
        if (!used) out.push_back(action.text);
    return out;
}

}  // namespace sim
