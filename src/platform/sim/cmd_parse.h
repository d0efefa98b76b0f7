// The text side of the command interpreter that runs batch files on the
// simulated machine: lines, percent signs, commands and their tokens, as the
// interpreter of the NT family reads them (only what batch scripts of this
// kind use; anything else is reported as not simulated).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// The lines of a batch file's text (already decoded from the OEM code page):
// split at LF, every CR dropped.
std::vector<std::string> BatchLines(std::string_view text);

// True when the line is a label (":name", blanks before it allowed); *name
// is the label's name up to the first blank.
bool IsBatchLabel(std::string_view line, std::string* name);

// The percent signs of a batch line: "%%" reads as "%", "%0" to "%9" as the
// batch's arguments (%0 its own path), "%*" as all arguments after %0,
// "%NAME%" as the variable's value (the empty text when it is not set),
// and a "%" that starts none of these is dropped.
using VariableLookup = std::function<const std::string*(std::string_view name)>;
std::string ExpandBatchLine(std::string_view line, const std::vector<std::string>& arguments,
                            const VariableLookup& variable);

// One token of a command: the text without its quotes and the escape
// carets, whether any of it was quoted, and where the token ends in the
// command's text (for the rest of a command after it).
struct CmdToken {
    std::string text;
    bool quoted = false;
    size_t end = 0;
};

// Splits an expanded line into its commands at "&" outside quotes ("^"
// escapes the next character outside quotes). False, with *problem, for the
// operators that are not simulated: "&&", "||", "|", "<", ">" and a "("
// starting a command.
bool SplitBatchCommands(std::string_view line, std::vector<std::string>* commands,
                        std::string* problem);

// The tokens of one command: blanks (and "," ";" "=" as the interpreter
// takes them) separate tokens outside quotes; quotes group.
std::vector<CmdToken> TokenizeCommand(std::string_view command);

}  // namespace sim
