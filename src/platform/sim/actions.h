// The user's answers to message boxes and dialogs, one action a line:
//   yes, no, ok, cancel, abort, retry, ignore   press that button
//   escape                                     press Esc
//   enter                                      press the default button
//   click ID                                   press the control with that ID
//   help                                       press Help (the box stays open)
// Blank lines and lines starting with "#" are skipped. A box takes the first
// unused action that it can act on. On a terminal without an actions file
// the machine asks instead; with neither, the run ends (RunAborted).
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace sim {

// Ends a run that cannot go on (an unanswered message box); the machine
// folder is then left as it was.
class RunAborted : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Action {
    std::string verb;  // yes, no, ok, cancel, abort, retry, ignore, escape, enter, click, help
    int id = 0;        // for click
    std::string text;  // the line as given
};

class Actions {
  public:
    // Parses an actions file; false and *error (naming the line) on an unknown action.
    bool Load(const std::string& text, std::string* error);
    // Parses one action ("yes", "click 5118").
    static bool Parse(const std::string& line, Action* action, std::string* error);
    void Add(const Action& action) { actions_.push_back({action, false}); }
    bool Provided() const { return provided_ || !actions_.empty(); }

    // Takes the first unused action that `accepts` acts on.
    bool Take(const std::function<bool(const Action&)>& accepts, Action* taken);
    std::vector<std::string> Unused() const;

    // Whether to ask on the terminal when no action fits (set by the sim program).
    void SetInteractive(bool on) { interactive_ = on; }
    bool Interactive() const { return interactive_ && !Provided(); }

  private:
    std::vector<std::pair<Action, bool>> actions_;  // action, used
    bool provided_ = false;
    bool interactive_ = false;
};

}  // namespace sim
