#include "fault_run.h"

#include "integration/machine_snapshot.h"
#include "platform/sim/text.h"

namespace fault_test {

namespace {

bool BeginsWithAny(const std::string& line, const std::vector<std::string>& prefixes) {
    for (const std::string& prefix : prefixes)
        if (line.rfind(prefix, 0) == 0) return true;
    return false;
}

// A box text ending in "*" matches every text that begins with what precedes it.
bool BoxesMatch(const std::vector<std::string>& actual, const std::vector<std::string>& expected) {
    if (actual.size() != expected.size()) return false;
    for (size_t i = 0; i < actual.size(); ++i) {
        const std::string& e = expected[i];
        const bool prefix = !e.empty() && e.back() == '*';
        if (prefix ? actual[i].rfind(e.substr(0, e.size() - 1), 0) != 0 : actual[i] != e)
            return false;
    }
    return true;
}

std::string Listed(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& text : texts) out += "\n  " + text;
    return out.empty() ? " none" : out;
}

}  // namespace

std::set<std::string> FaultRunTest::Lines() { return shell_test::Snapshot(machine()); }

std::set<std::string> FaultRunTest::With(const std::set<std::string>& lines,
                                         const std::string& prefix) {
    std::set<std::string> out;
    for (const std::string& line : lines)
        if (line.rfind(prefix, 0) == 0) out.insert(line);
    return out;
}

void FaultRunTest::SetEnvironment(const std::string& name, const std::string* value) {
    auto& environment = machine().Config().environment;
    for (auto it = environment.begin(); it != environment.end();) {
        it = sim::EqualNoCaseUtf8(it->first, name) ? environment.erase(it) : it + 1;
    }
    if (value) environment.push_back({name, *value});
}

void FaultRunTest::SetString(const std::string& key, const std::string& name,
                             const std::string& value, bool currentUser) {
    machine()
        .Registry()
        .Create(currentUser ? sim::Hive::kCurrentUser : sim::Hive::kLocalMachine,
                sim::Utf8ToUtf16(key))
        ->SetValue(sim::Utf8ToUtf16(name), os::kRegSz, sim::RegSzBytes(value));
}

void FaultRunTest::AppendToList(const std::string& entries) {
    SetList(ReadFile(Folder() + "Uninstall.lst") + entries);
}

std::string FaultRunTest::ProgramGroup() {
    const std::string* programs = machine().SpecialFolder("programs");
    return programs ? *programs + "\\Velkor" : std::string();
}

std::string FaultRunTest::TempFolder() const {
    const std::string script = ScriptPath();
    return script.substr(0, script.rfind('\\'));
}

void FaultRunTest::Run(const FaultCase& c) {
    SCOPED_TRACE(testing::Message()
                 << c.name << " on " << c.kind.name << " (case at line " << c.line << ")");
    UseMachine(c.kind);
    if (HasFatalFailure()) return;
    if (c.beforeSetup) c.beforeSetup();
    beforeSetup_ = Lines();
    RunProgram("/setup /s");
    RunStarted();
    EXPECT_EQ(Boxes(), std::vector<std::string>{}) << "setup shows nothing";
    const size_t setupBoxes = Boxes().size();
    afterSetup_ = Lines();

    if (c.beforeUninstall) c.beforeUninstall();
    const std::set<std::string> beforeUninstall = Lines();
    Answer(c.answers);
    RunProgram(c.tail);
    RunStarted();
    std::vector<std::string> boxes = Boxes();
    boxes.erase(boxes.begin(), boxes.begin() + static_cast<long>(setupBoxes));
    EXPECT_TRUE(BoxesMatch(boxes, c.boxes))
        << "boxes shown:" << Listed(boxes) << "\nexpected:" << Listed(c.boxes);
    if (c.restart) machine().Restart();

    const std::set<std::string> after = Lines();
    if (c.outcome == Outcome::kUnchanged) {
        EXPECT_EQ(shell_test::Difference(beforeUninstall, after), std::vector<std::string>{})
            << "the uninstall changed the machine";
    } else {
        std::vector<std::string> allowed = c.mayLose;
        const std::string folder = sim::FoldUtf8(Folder());
        allowed.push_back("file " + folder);
        allowed.push_back("folder " + folder.substr(0, folder.size() - 1));
        std::vector<std::string> lost;
        for (const std::string& line : beforeSetup_)
            if (!after.count(line) && !BeginsWithAny(line, allowed)) lost.push_back(line);
        EXPECT_EQ(lost, std::vector<std::string>{}) << "lost what the uninstall does not own";
        EXPECT_EQ(With(after, "key HKCU\\SOFTWARE\\VELKOR"), std::set<std::string>{})
            << "the product key stays";
    }
    if (c.expect) c.expect();
}

}  // namespace fault_test
