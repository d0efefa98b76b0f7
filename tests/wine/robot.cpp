// The test robot: a small win64 program, run in the same wine prefix as the
// program under test, that finds the program's dialog windows by caption,
// reads their texts and presses their buttons, as a user would.
//
//   robot list [CAPTION]          captions of all dialogs; or one dialog's controls
//   robot wait-box CAPTION SECS   waits until the dialog is shown
//   robot wait-gone CAPTION SECS  waits until the dialog is gone
//   robot text CAPTION            the dialog's static texts, one control a line
//   robot press CAPTION BUTTON    presses a button given by its text ('&' left out) or id
//   robot checks CAPTION          "ID STATE TEXT" of each check box (0, 1 or 2)
//
// Texts are UTF-8. Exit code 0 on success, 1 when the window or control is
// not there (or the wait timed out), 2 on a usage error. Waits poll every 50 ms.
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/win32/robot/desktop.h"

namespace {

int Usage() {
    fprintf(stderr,
            "usage: robot list [CAPTION] | wait-box CAPTION SECS | wait-gone CAPTION SECS |\n"
            "       text CAPTION | press CAPTION BUTTON | checks CAPTION\n");
    return 2;
}

std::string WithoutMnemonic(const std::string& text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;  // "&&" stands for one '&'
        result += text[i];
    }
    return result;
}

bool ParseId(const std::string& text, int* id) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    *id = atoi(text.c_str());
    return true;
}

// A time-out in seconds (fractions allowed, at most an hour) in milliseconds.
bool ParseSeconds(const std::string& text, long* milliseconds) {
    char* end = nullptr;
    const double seconds = strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(seconds >= 0 && seconds <= 3600)) return false;
    *milliseconds = static_cast<long>(seconds * 1000);
    return true;
}

// Polls until the dialog's presence is `wanted`; false when the time runs out.
bool WaitFor(const std::string& caption, long milliseconds, bool wanted) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if ((robot::FindDialog(caption) != 0) == wanted) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        robot::Pause(50);
    }
}

robot::WindowId Dialog(const std::string& caption) {
    const robot::WindowId dialog = robot::FindDialog(caption);
    if (!dialog) fprintf(stderr, "robot: no dialog \"%s\"\n", caption.c_str());
    return dialog;
}

int List(const std::vector<std::string>& args) {
    if (args.size() == 2) {
        for (const std::string& caption : robot::DialogCaptions()) printf("%s\n", caption.c_str());
        return 0;
    }
    const robot::WindowId dialog = Dialog(args[2]);
    if (!dialog) return 1;
    for (const robot::Control& c : robot::Controls(dialog)) {
        printf("%d\t%s\t%s%s%s\n", c.id, c.className.c_str(), c.text.c_str(),
               c.visible ? "" : "\t(hidden)", c.enabled ? "" : "\t(disabled)");
    }
    return 0;
}

int Text(const std::string& caption) {
    const robot::WindowId dialog = Dialog(caption);
    if (!dialog) return 1;
    for (const robot::Control& c : robot::Controls(dialog)) {
        if (c.className == "Static" && c.visible && !c.text.empty()) printf("%s\n", c.text.c_str());
    }
    return 0;
}

int Press(const std::string& caption, const std::string& button) {
    const robot::WindowId dialog = Dialog(caption);
    if (!dialog) return 1;
    int id = 0;
    const bool byId = ParseId(button, &id);
    for (const robot::Control& c : robot::Controls(dialog)) {
        if (c.className != "Button") continue;
        if (byId ? c.id != id : WithoutMnemonic(c.text) != button) continue;
        if (!c.visible || !c.enabled) {
            fprintf(stderr, "robot: button \"%s\" is hidden or disabled\n", button.c_str());
            return 1;
        }
        return robot::Click(c) ? 0 : 1;
    }
    fprintf(stderr, "robot: no button \"%s\" in \"%s\"\n", button.c_str(), caption.c_str());
    return 1;
}

int Checks(const std::string& caption) {
    const robot::WindowId dialog = Dialog(caption);
    if (!dialog) return 1;
    for (const robot::Control& c : robot::Controls(dialog)) {
        if (robot::HasCheckState(c))
            printf("%d %d %s\n", c.id, robot::CheckState(c), c.text.c_str());
    }
    return 0;
}

}  // namespace

int main() {
    // The texts go out as they are: no CR added before each line feed.
    _setmode(_fileno(stdout), _O_BINARY);
    const std::vector<std::string> args = robot::Arguments();
    if (args.size() < 2) return Usage();
    const std::string& command = args[1];
    int result = 2;
    long milliseconds = 0;
    const bool waits = command == "wait-box" || command == "wait-gone";
    if (command == "list" && args.size() <= 3) {
        result = List(args);
    } else if (waits && args.size() == 4 && ParseSeconds(args[3], &milliseconds)) {
        result = WaitFor(args[2], milliseconds, command == "wait-box") ? 0 : 1;
    } else if (command == "text" && args.size() == 3) {
        result = Text(args[2]);
    } else if (command == "press" && args.size() == 4) {
        result = Press(args[2], args[3]);
    } else if (command == "checks" && args.size() == 3) {
        result = Checks(args[2]);
    } else {
        return Usage();
    }
    fflush(stdout);
    return result;
}
