// The command-line switches: a "/" or "-" anywhere in the tail starts one, and
// the switch's text is what follows it. The scan resumes right after the switch
// character, so a switch's own text is searched for further switches too
// (/s/setup holds s and setup).
#pragma once

enum class SwitchKind {
    kSetup,    // text begins with "setup": setup requested, counts
    kSilent,   // "s" not followed by an ASCII letter: silent mode, does not count
    kWait,     // text begins with "wait": pause 2 seconds, counts
    kWarning,  // text begins with "warning": the warning message, counts
    kOther,    // anything else, clean and the empty text included: counts
};

// What a switch's text (the text after the switch character) is; names are
// compared as prefixes without regard to ASCII letter case.
SwitchKind ClassifySwitch(const char* text);

// What the helper switches do, in the order in which they stand in the tail.
class SwitchActions {
  public:
    virtual ~SwitchActions() = default;
    virtual void Silent() = 0;
    virtual void Wait() = 0;
    virtual void Warning() = 0;
};

struct SwitchScan {
    bool setupRequested = false;
    bool silent = false;
    // Every switch but s.
    int switchCount = 0;
};

// Scans `tail`, calling `actions` for s, wait and warning as it meets them.
SwitchScan ScanSwitches(const char* tail, SwitchActions& actions);

enum class RunMode {
    kIntegration,  // setup requested
    kUninstall,    // no switch, or only s
    kHelper,       // only wait, warning or unrecognised switches: done after the scan
};

RunMode DecideMode(const SwitchScan& scan);
