// Message boxes, answered from the user's actions (see actions.h).
#include <unistd.h>

#include <iostream>

#include "platform/sim/actions.h"
#include "platform/sim/machine.h"
#include "platform/sim/services.h"
#include "platform/sim/text.h"

namespace sim {

namespace {

struct Button {
    int id;
    const char* verb;
    const char* label;
};

const Button kButtons[] = {
    {os::kIdOk, "ok", "OK"},      {os::kIdCancel, "cancel", "Cancel"},
    {3, "abort", "Abort"},        {4, "retry", "Retry"},
    {5, "ignore", "Ignore"},      {os::kIdYes, "yes", "Yes"},
    {os::kIdNo, "no", "No"},      {10, "try", "Try Again"},
    {11, "continue", "Continue"},
};

// The buttons of a box style, in their order on the box.
std::vector<int> ButtonsOf(unsigned type) {
    switch (type & 0xF) {
        case 1:
            return {os::kIdOk, os::kIdCancel};
        case 2:
            return {3, 4, 5};
        case 3:
            return {os::kIdYes, os::kIdNo, os::kIdCancel};
        case 4:
            return {os::kIdYes, os::kIdNo};
        case 5:
            return {4, os::kIdCancel};
        case 6:
            return {os::kIdCancel, 10, 11};
        default:
            return {os::kIdOk};
    }
}

const Button& ButtonById(int id) {
    for (const Button& b : kButtons)
        if (b.id == id) return b;
    return kButtons[0];
}

// The button an action presses on a box (0: none; -1: Help).
int Press(const Action& a, unsigned type) {
    const std::vector<int> buttons = ButtonsOf(type);
    auto has = [&](int id) {
        return std::find(buttons.begin(), buttons.end(), id) != buttons.end();
    };
    if (a.verb == "help") return (type & 0x4000) ? -1 : 0;  // MB_HELP
    if (a.verb == "click") return has(a.id) ? a.id : 0;
    if (a.verb == "enter") {
        const size_t index = (type >> 8) & 0xF;  // MB_DEFBUTTON2 = 0x100, ...
        return buttons[index < buttons.size() ? index : 0];
    }
    if (a.verb == "escape") {
        // Esc is Cancel where there is one, OK on a box with only OK.
        if (has(os::kIdCancel)) return os::kIdCancel;
        return buttons.size() == 1 ? os::kIdOk : 0;
    }
    for (const Button& b : kButtons)
        if (a.verb == b.verb) return has(b.id) ? b.id : 0;
    return 0;
}

}  // namespace

int SimUi::MessageBoxA(os::Window owner, const char* text, const char* caption, unsigned type) {
    const std::string body = text ? m_.AnsiToUtf8(text) : "";
    const std::string title = caption ? m_.AnsiToUtf8(caption) : "Error";
    std::string buttons;
    for (int id : ButtonsOf(type))
        buttons += (buttons.empty() ? "" : "/") + std::string(ButtonById(id).label);
    if (type & 0x4000) buttons += "/Help";
    const std::string args =
        "owner=" + Hex(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(owner))) +
        " caption=" + Quote(title) + " text=" + Quote(body) + " type=" + Hex(type);
    Actions& actions = m_.UserActions();
    for (;;) {
        Action action;
        int pressed = 0;
        if (actions.Take([&](const Action& a) { return Press(a, type) != 0; }, &action)) {
            pressed = Press(action, type);
        } else if (actions.Interactive()) {
            std::cerr << "\n[" << title << "]\n" << body << "\n(" << buttons << ")> " << std::flush;
            std::string line;
            if (!std::getline(std::cin, line)) break;
            std::string error;
            if (!Actions::Parse(line, &action, &error) || (pressed = Press(action, type)) == 0) {
                std::cerr << "This box takes: " << buttons << ", escape, enter, click ID\n";
                continue;
            }
        } else {
            break;
        }
        if (pressed < 0) {
            m_.Trace().Add("MessageBoxA", args + " help");
            continue;
        }
        m_.Trace().Add("MessageBoxA", args + " -> " + std::to_string(pressed) + " (" +
                                          ButtonById(pressed).verb + ")");
        return pressed;
    }
    m_.Trace().Add("MessageBoxA", args + " -> unanswered");
    throw RunAborted("no answer for the message box \"" + title + "\": \"" + body + "\" (buttons " +
                     buttons + ")");
}

}  // namespace sim
