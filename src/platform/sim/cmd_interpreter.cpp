#include "platform/sim/cmd_interpreter.h"

#include <algorithm>
#include <cctype>

#include "platform/sim/cmd_parse.h"
#include "platform/sim/process_runner.h"
#include "platform/sim/process_search.h"
#include "platform/sim/text.h"

namespace sim {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimLeft(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    return std::string(text.substr(i));
}

std::string Trim(std::string_view text) {
    std::string out = TrimLeft(text);
    while (!out.empty() && IsBlank(out.back())) out.pop_back();
    return out;
}

bool HasExtension(const std::string& name) {
    const size_t separator = name.find_last_of("\\/:");
    const size_t dot = name.rfind('.');
    return dot != std::string::npos && (separator == std::string::npos || dot > separator);
}

std::string Extension(const std::string& path) {
    return HasExtension(path) ? FoldUtf8(path.substr(path.rfind('.'))) : "";
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) items.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

class Interpreter {
  public:
    Interpreter(ProcessRun& run, const PendingProcess& self)
        : run_(run), self_(self), cwd_(self.currentDirectory), nt_(run.machine().Config().Nt()) {}

    void Run();

  private:
    enum class Flow { kNext, kGoto, kEnd };

    // The machine with this process's current directory.
    Machine& M() {
        Machine& m = run_.machine();
        m.Files().SetCurrentDirectory(cwd_);
        return m;
    }
    void Trace(const std::string& rest) { run_.machine().Trace().Add("Batch", rest); }

    std::string FindCommand(const std::string& name);
    std::string SwitchCCommand(const std::string& arguments, bool* found);
    void RunBatch(const std::string& path, const std::vector<std::string>& arguments);
    Flow Execute(const std::string& command, bool inBatch, std::string* label);
    Flow Delete(const std::vector<CmdToken>& tokens);
    Flow RemoveFolder(const std::vector<CmdToken>& tokens);
    Flow If(const std::string& command, const std::vector<CmdToken>& tokens, bool inBatch,
            std::string* label);
    Flow Start(const std::string& command, const std::vector<CmdToken>& tokens);
    Flow RunNamed(const std::string& command, const std::vector<CmdToken>& tokens, bool inBatch);
    void StartProgram(const std::string& commandLine, const std::string& program, bool wait);

    ProcessRun& run_;
    PendingProcess self_;
    std::string cwd_;
    bool nt_;
};

// A command name as the interpreter finds it: with the extensions of PATHEXT
// when it has none, in the current directory and then in the PATH folders
// when it names no folder.
std::string Interpreter::FindCommand(const std::string& name) {
    Machine& m = M();
    std::vector<std::string> extensions = {""};
    if (!HasExtension(name)) {
        const std::string* pathext = nt_ ? m.Environment("PATHEXT") : nullptr;
        extensions = SplitList(pathext ? *pathext : nt_ ? ".COM;.EXE;.BAT;.CMD" : ".COM;.EXE;.BAT");
    }
    std::vector<std::string> folders;
    if (name.find_first_of("\\/:") == std::string::npos) {
        folders.push_back(cwd_);
        for (const std::string& folder : PathFolders(m)) folders.push_back(folder);
    } else {
        folders.push_back("");
    }
    for (const std::string& folder : folders) {
        for (const std::string& extension : extensions) {
            const std::string candidate =
                folder.empty() ? name + extension : JoinWindowsPath(folder, name + extension);
            const std::string found = ExistingFile(m, candidate);
            if (!found.empty()) return found;
        }
    }
    return "";
}

// The command of the switch /c (or /k) in the interpreter's arguments. cmd.exe
// keeps the quotes of "text" only when the text holds exactly two quotes,
// no special character, a blank, names a program and /s is not given;
// otherwise it removes the first character when it is a quote, and the last
// quote.
std::string Interpreter::SwitchCCommand(const std::string& arguments, bool* found) {
    *found = false;
    bool switchS = false;
    size_t i = 0;
    std::string rest;
    for (;;) {
        while (i < arguments.size() && IsBlank(arguments[i])) ++i;
        if (i + 1 >= arguments.size() || arguments[i] != '/') return "";
        const char option =
            static_cast<char>(toupper(static_cast<unsigned char>(arguments[i + 1])));
        if (option == 'C' || option == 'K') {
            rest = TrimLeft(std::string_view(arguments).substr(i + 2));
            break;
        }
        if (option == 'S') switchS = true;
        while (i < arguments.size() && !IsBlank(arguments[i])) ++i;
    }
    *found = true;
    if (!nt_ || rest.empty() || rest[0] != '"') return rest;
    const size_t quotes = static_cast<size_t>(std::count(rest.begin(), rest.end(), '"'));
    const size_t last = rest.rfind('"');
    if (!switchS && quotes == 2) {
        const std::string inside = rest.substr(1, last - 1);
        const bool special = inside.find_first_of("&<>()@^|") != std::string::npos;
        const bool blank = inside.find_first_of(" \t") != std::string::npos;
        if (!special && blank && !FindCommand(inside).empty()) return rest;
    }
    return rest.substr(1, last - 1) + rest.substr(last + 1);
}

void Interpreter::Run() {
    std::string arguments;
    const std::string& line = self_.commandLine;
    // The interpreter's own name, as the command line gives it.
    size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i < line.size() && line[i] == '"') {
        const size_t close = line.find('"', i + 1);
        i = close == std::string::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && !IsBlank(line[i])) ++i;
    }
    arguments = line.substr(i);
    bool found = false;
    std::string command = SwitchCCommand(arguments, &found);
    if (!found) {
        Trace("not simulated: an interpreter without /c: " + Quote(arguments));
        return;
    }
    // On its command line the interpreter puts in the variables that are
    // set and leaves every other "%" as it stands.
    std::string expanded;
    for (size_t k = 0; k < command.size(); ++k) {
        const size_t close = command[k] == '%' ? command.find('%', k + 1) : std::string::npos;
        const std::string* value =
            close == std::string::npos
                ? nullptr
                : run_.machine().Environment(
                      std::string_view(command).substr(k + 1, close - k - 1));
        if (value) {
            expanded += *value;
            k = close;
        } else {
            expanded += command[k];
        }
    }
    Trace("command " + Quote(expanded));
    std::vector<std::string> commands;
    std::string problem;
    if (!SplitBatchCommands(expanded, &commands, &problem)) {
        Trace("not simulated: " + problem);
        return;
    }
    std::string label;
    for (const std::string& c : commands) {
        if (Execute(c, false, &label) == Flow::kEnd) return;
    }
}

void Interpreter::RunBatch(const std::string& path, const std::vector<std::string>& arguments) {
    std::string bytes;
    if (long error = M().Files().ReadAll(path, &bytes)) {
        Trace("run " + Quote(path) + " -> err=" + std::to_string(error));
        return;
    }
    // Batch files are read in the OEM code page.
    const std::vector<std::string> lines = BatchLines(Utf16ToUtf8(M().Oem().ToWide(bytes)));
    Trace("run " + Quote(path));
    const VariableLookup variable = [this](std::string_view name) {
        return run_.machine().Environment(name);
    };
    size_t next = 0;
    while (next < lines.size()) {
        // The interpreter reads the file again for each line.
        os::Dword attributes = 0;
        if (M().Files().GetAttributes(path, &attributes) != 0) {
            Trace("the batch file cannot be found: " + Quote(path));
            return;
        }
        const size_t number = next + 1;
        std::string text = TrimLeft(lines[next++]);
        std::string name;
        if (IsBatchLabel(text, &name)) continue;
        while (!text.empty() && (text[0] == '@' || IsBlank(text[0]))) text.erase(0, 1);
        const std::string expanded = ExpandBatchLine(text, arguments, variable);
        Trace(std::to_string(number) + " " + Quote(expanded));
        std::vector<std::string> commands;
        std::string problem;
        if (!SplitBatchCommands(expanded, &commands, &problem)) {
            Trace("not simulated: " + problem);
            continue;
        }
        for (const std::string& command : commands) {
            std::string label;
            const Flow flow = Execute(command, true, &label);
            if (flow == Flow::kEnd) return;
            if (flow != Flow::kGoto) continue;
            // The label is looked for after this line, then from the top.
            bool jumped = false;
            for (size_t k = 0; k < lines.size() && !jumped; ++k) {
                const size_t at = (next + k) % lines.size();
                if (IsBatchLabel(lines[at], &name) && EqualNoCaseUtf8(name, label)) {
                    next = at + 1;
                    jumped = true;
                }
            }
            if (!jumped) {
                Trace("no label " + Quote(label));
                return;
            }
            break;
        }
    }
}

Interpreter::Flow Interpreter::Delete(const std::vector<CmdToken>& tokens) {
    bool force = false;
    std::vector<std::string> paths;
    for (size_t i = 1; i < tokens.size(); ++i) {
        const std::string option = FoldUtf8(tokens[i].text);
        if (!tokens[i].quoted && !option.empty() && option[0] == '/') {
            if (option == "/F") {
                force = true;
            } else if (option != "/Q") {
                Trace("not simulated: del " + tokens[i].text);
                return Flow::kNext;
            }
            continue;
        }
        paths.push_back(tokens[i].text);
    }
    for (const std::string& path : paths) {
        FileSystem& files = M().Files();
        os::Dword attributes = 0;
        long error = files.GetAttributes(path, &attributes);
        if (!error && (attributes & os::kFileAttributeDirectory)) {
            Trace("not simulated: del of a folder " + Quote(path));
            continue;
        }
        if (!error && force && (attributes & os::kFileAttributeReadOnly))
            files.SetAttributes(path, attributes & ~os::kFileAttributeReadOnly);
        if (!error) error = files.DeleteFile(path);
        Trace("del " + Quote(path) + " -> " + std::to_string(error));
    }
    return Flow::kNext;
}

Interpreter::Flow Interpreter::RemoveFolder(const std::vector<CmdToken>& tokens) {
    for (size_t i = 1; i < tokens.size(); ++i) {
        const std::string option = FoldUtf8(tokens[i].text);
        if (!tokens[i].quoted && !option.empty() && option[0] == '/') {
            if (option != "/Q") {
                Trace("not simulated: rd " + tokens[i].text);
                return Flow::kNext;
            }
            continue;
        }
        const long error = M().Files().RemoveDirectory(tokens[i].text);
        Trace("rd " + Quote(tokens[i].text) + " -> " + std::to_string(error));
    }
    return Flow::kNext;
}

Interpreter::Flow Interpreter::If(const std::string& command, const std::vector<CmdToken>& tokens,
                                  bool inBatch, std::string* label) {
    size_t i = 1;
    if (i < tokens.size() && !tokens[i].quoted && FoldUtf8(tokens[i].text) == "/I") ++i;
    bool negate = false;
    if (i < tokens.size() && !tokens[i].quoted && FoldUtf8(tokens[i].text) == "NOT") {
        negate = true;
        ++i;
    }
    if (i + 1 >= tokens.size() || tokens[i].quoted || FoldUtf8(tokens[i].text) != "EXIST") {
        Trace("not simulated: " + Quote(command));
        return Flow::kNext;
    }
    const std::string& path = tokens[i + 1].text;
    os::Dword attributes = 0;
    const bool exists = M().Files().GetAttributes(path, &attributes) == 0;
    Trace(std::string(negate ? "if not exist " : "if exist ") + Quote(path) + " -> " +
          (exists != negate ? "true" : "false"));
    if (exists == negate) return Flow::kNext;
    return Execute(TrimLeft(std::string_view(command).substr(tokens[i + 1].end)), inBatch, label);
}

void Interpreter::StartProgram(const std::string& commandLine, const std::string& program,
                               bool wait) {
    PendingProcess child;
    child.commandLine = commandLine;
    child.currentDirectory = cwd_;
    child.program = program;
    if (wait) {
        run_.RunProgram(child);
    } else {
        // Runs on its own, after this interpreter.
        run_.machine().PendingProcesses().push_back(child);
        Trace("started " + Quote(commandLine));
    }
}

Interpreter::Flow Interpreter::Start(const std::string& command,
                                     const std::vector<CmdToken>& tokens) {
    size_t i = 1;
    bool wait = false;
    while (i < tokens.size() && !tokens[i].quoted && !tokens[i].text.empty() &&
           tokens[i].text[0] == '/') {
        if (FoldUtf8(tokens[i].text) == "/WAIT") wait = true;
        ++i;
    }
    // cmd.exe takes a first quoted argument for the window's title.
    if (nt_ && i < tokens.size() && tokens[i].quoted) ++i;
    if (i >= tokens.size()) {
        Trace("not simulated: start without a program: " + Quote(command));
        return Flow::kNext;
    }
    const CmdToken& name = tokens[i];
    const std::string program = FindCommand(name.text);
    const std::string commandLine =
        (name.quoted ? "\"" + name.text + "\"" : name.text) + command.substr(name.end);
    if (program.empty()) {
        Trace("start: cannot find " + Quote(name.text));
    } else if (SameFile(M(), program, M().Config().programPath)) {
        StartProgram(commandLine, program, wait);
    } else {
        Trace("not simulated: start " + Quote(program));
    }
    return Flow::kNext;
}

Interpreter::Flow Interpreter::RunNamed(const std::string& command,
                                        const std::vector<CmdToken>& tokens, bool inBatch) {
    const std::string program = FindCommand(tokens[0].text);
    if (program.empty()) {
        Trace(Quote(tokens[0].text) + " is not recognized");
        return Flow::kNext;
    }
    const std::string extension = Extension(program);
    if (extension == ".BAT" || extension == ".CMD") {
        std::vector<std::string> arguments = {tokens[0].text};
        for (size_t i = 1; i < tokens.size(); ++i) arguments.push_back(tokens[i].text);
        RunBatch(program, arguments);
        // Without "call" the batch file takes over.
        return inBatch ? Flow::kEnd : Flow::kNext;
    }
    if (SameFile(M(), program, M().Config().programPath)) {
        // cmd.exe waits for every program of a batch file; COMMAND.COM only
        // for one started with "start /wait".
        StartProgram(Trim(command), program, inBatch && nt_);
        return Flow::kNext;
    }
    Trace("not simulated: " + Quote(program));
    return Flow::kNext;
}

Interpreter::Flow Interpreter::Execute(const std::string& command, bool inBatch,
                                       std::string* label) {
    const std::vector<CmdToken> tokens = TokenizeCommand(command);
    if (tokens.empty()) return Flow::kNext;
    const std::string name = tokens[0].quoted ? "" : FoldUtf8(tokens[0].text);
    if (name == "REM") return Flow::kNext;
    if (name == "ECHO") {
        Trace("echo " + Quote(TrimLeft(std::string_view(command).substr(tokens[0].end))));
        return Flow::kNext;
    }
    if (name == "EXIT") return Flow::kEnd;
    if (name == "GOTO") {
        if (!inBatch || tokens.size() < 2) return Flow::kNext;
        *label = tokens[1].text;
        if (!label->empty() && (*label)[0] == ':') label->erase(0, 1);
        return FoldUtf8(*label) == "EOF" ? Flow::kEnd : Flow::kGoto;
    }
    if (name == "DEL" || name == "ERASE") return Delete(tokens);
    if (name == "RD" || name == "RMDIR") return RemoveFolder(tokens);
    if (name == "IF") return If(command, tokens, inBatch, label);
    if (name == "START") return Start(command, tokens);
    return RunNamed(command, tokens, inBatch);
}

}  // namespace

void RunInterpreter(ProcessRun& run, const PendingProcess& process) {
    Interpreter(run, process).Run();
}

}  // namespace sim
