// Which program a command line starts, found the way CreateProcessA finds it
// when it is given no application name.
#pragma once

#include <string>
#include <vector>

namespace sim {

class Machine;

// The program's full path (UTF-8) in *program and the text after its name in
// *arguments. The name is the first token: up to the closing double quote
// when it starts with one, else up to a blank, and for an unquoted name with
// blanks each longer run of words in turn ("C:\Program Files\x y" tries
// "C:\Program", then "C:\Program Files\x", then the whole). ".exe" is added
// to a name without an extension. A name with a folder is taken relative to
// the current directory; a bare name is looked for in the program's folder,
// the current directory, the system folder, the Windows folder and the
// folders of PATH. Returns 0 or the Win32 error (2 when nothing is found).
long FindProgram(Machine& m, const std::string& commandLine, std::string* program,
                 std::string* arguments);

// The full path of the existing file (not folder) `name`, or "".
std::string ExistingFile(Machine& m, const std::string& name);
// The folders of the PATH variable, in order.
std::vector<std::string> PathFolders(Machine& m);

// True when the two paths name the same existing file (short names and
// letter case allowed).
bool SameFile(Machine& m, const std::string& a, const std::string& b);

}  // namespace sim
