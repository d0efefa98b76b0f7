// Fuzz target: the command line, from the whole process command line to the
// run it decides: the tail after the program name (CommandLineTail), the
// switch scan (ScanSwitches) and the mode (DecideMode).
//
// Input: the bytes of the command line, up to the first zero byte.
//
// Besides what the sanitizers catch, it checks:
//  - the tail is the end of the command line, and starts neither with a blank
//    nor inside a quoted program name;
//  - every "/" and "-" of the tail is one switch: counted, or s, and each
//    is told apart as setup, s, wait, warning or another (an own model);
//  - the helper switches are carried out in the order in which they stand;
//  - the mode follows from the scan: setup when requested, the uninstall
//    exactly when every switch is s.
#include <stdint.h>
#include <string.h>
#include <strings.h>

#include <string>

#include "app/entry.h"
#include "app/switches.h"
#include "support/check.h"

namespace {

// The helper switches in the order the scan carries them out.
class RecordingActions : public SwitchActions {
  public:
    void Silent() override { order += 's'; }
    void Wait() override { order += 'W'; }
    void Warning() override { order += '!'; }
    std::string order;
};

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// What the switch with this text does, told apart here on its own: 'S' setup,
// 's' silent, 'W' wait, '!' warning, 'o' any other.
char SwitchLetter(const char* text) {
    if (strncasecmp(text, "setup", 5) == 0) return 'S';
    if ((text[0] == 's' || text[0] == 'S') && !IsAsciiLetter(text[1])) return 's';
    if (strncasecmp(text, "wait", 4) == 0) return 'W';
    if (strncasecmp(text, "warning", 7) == 0) return '!';
    return 'o';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The command line the system hands over ends at its terminator.
    const std::string commandLine(reinterpret_cast<const char*>(data),
                                  strnlen(reinterpret_cast<const char*>(data), size));
    const char* tail = CommandLineTail(commandLine.c_str());
    const char* begin = commandLine.c_str();
    const char* end = begin + commandLine.size();
    FUZZ_CHECK(tail >= begin && tail <= end, "the tail lies outside the command line");
    FUZZ_CHECK(*tail != ' ' && *tail != '\t', "the tail starts with a blank");
    // A name in quotes ends only at its closing quote (or a TAB), any other
    // at a blank: no tail starts inside the name.
    const char* first = begin + strspn(begin, " \t");
    const char* nameEnd =
        *first == '"' ? first + 1 + strcspn(first + 1, "\"\t") : first + strcspn(first, " \t");
    FUZZ_CHECK(tail >= nameEnd, "the tail starts inside the program name");

    RecordingActions actions;
    const SwitchScan scan = ScanSwitches(tail, actions);
    size_t marks = 0;
    size_t silent = 0;
    bool setup = false;
    std::string expected;
    for (const char* p = tail; *p != '\0'; ++p) {
        if (*p != '/' && *p != '-') continue;
        ++marks;
        const char letter = SwitchLetter(p + 1);
        if (letter == 'S') setup = true;
        if (letter == 's') ++silent;
        if (letter == 's' || letter == 'W' || letter == '!') expected += letter;
    }
    FUZZ_CHECK(scan.switchCount >= 0 && static_cast<size_t>(scan.switchCount) + silent == marks,
               "%d counted and %zu silent switches for %zu switch characters", scan.switchCount,
               silent, marks);
    FUZZ_CHECK(actions.order == expected, "helper switches carried out as \"%s\", not \"%s\"",
               actions.order.c_str(), expected.c_str());
    FUZZ_CHECK(scan.silent == (silent > 0), "silent mode %d after %zu s switches", scan.silent,
               silent);

    FUZZ_CHECK(scan.setupRequested == setup, "setup requested %d, but a setup switch %s",
               scan.setupRequested, setup ? "is there" : "is missing");

    const RunMode mode = DecideMode(scan);
    if (setup) {
        FUZZ_CHECK(mode == RunMode::kIntegration, "setup requested but no integration");
    } else if (marks == silent) {
        FUZZ_CHECK(mode == RunMode::kUninstall, "only s switches but no uninstall");
    } else {
        FUZZ_CHECK(mode == RunMode::kHelper, "a counted switch but no helper run");
    }
    return 0;
}
