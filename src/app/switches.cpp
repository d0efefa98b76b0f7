#include "app/switches.h"

#include <string.h>

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when `text` begins with the lower-case `name`, in any ASCII letter case.
bool BeginsWith(const char* text, const char* name) {
    for (; *name != '\0'; ++text, ++name) {
        if (AsciiLower(*text) != *name) return false;
    }
    return true;
}

}  // namespace

SwitchKind ClassifySwitch(const char* text) {
    if (BeginsWith(text, "setup")) return SwitchKind::kSetup;
    if (AsciiLower(text[0]) == 's' && !IsAsciiLetter(text[1])) return SwitchKind::kSilent;
    if (BeginsWith(text, "wait")) return SwitchKind::kWait;
    if (BeginsWith(text, "warning")) return SwitchKind::kWarning;
    return SwitchKind::kOther;
}

SwitchScan ScanSwitches(const char* tail, SwitchActions& actions) {
    SwitchScan scan;
    for (const char* mark = strpbrk(tail, "/-"); mark; mark = strpbrk(mark + 1, "/-")) {
        switch (ClassifySwitch(mark + 1)) {
            case SwitchKind::kSetup:
                scan.setupRequested = true;
                break;
            case SwitchKind::kSilent:
                scan.silent = true;
                actions.Silent();
                continue;
            case SwitchKind::kWait:
                actions.Wait();
                break;
            case SwitchKind::kWarning:
                actions.Warning();
                break;
            case SwitchKind::kOther:
                break;
        }
        ++scan.switchCount;
    }
    return scan;
}

RunMode DecideMode(const SwitchScan& scan) {
    if (scan.setupRequested) return RunMode::kIntegration;
    if (scan.switchCount == 0) return RunMode::kUninstall;
    return RunMode::kHelper;
}
