// torvexcalls: repeats the calls a calls file lists (torvexctl replay writes one from a
// field log) into torvex.dll, against the setup in the file's folder: the module,
// torvex.ini and the simulated board in simulator\. Each process of the file runs in a
// process of its own, so that the module starts afresh as it did in the field; before the
// first, the log and the board's state are emptied, so that every run starts alike.
//
//   torvexcalls CALLS-FILE
#include "call_run.h"

#include "system/paths.h"
#include "system/host_platform.h"
#include "replay/call_script.h"
#include "replay/replay_platform.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using torvexupdate::FsPath;
using torvexupdate::Utf8Of;

// The module's log and the board's state: what a replay starts without.
const char* const kRunFiles[] = {"Torvex.log", "simulator/quelvane-sim.flash", "simulator/quelvane-sim.eeprom",
                                 "simulator/quelvane-sim.journal", "simulator/quelvane-sim.calls"};

int Fail(const std::string& message, int status)
{
    std::fprintf(stderr, "torvexcalls: %s\n", message.c_str());
    return status;
}

int Run(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 2 && !(arguments.size() == 4 && arguments[2] == "--process"))
        return Fail("usage: torvexcalls CALLS-FILE (the calls, one a line, as torvexctl replay writes them)", 2);
    fs::path callsFile = fs::absolute(FsPath(arguments[1]));
    std::string folder = Utf8Of(callsFile.parent_path());
    std::ifstream in(callsFile, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in)
        return Fail("cannot read " + arguments[1], 2);
    std::vector<torvexreplay::ScriptedProcess> processes;
    std::string problem;
    if (!torvexreplay::ReadCallScript(text.str(), &processes, &problem))
        return Fail(arguments[1] + " " + problem, 2);

    if (arguments.size() == 4) {
        // One process of the file, in this process.
        std::size_t index = static_cast<std::size_t>(std::stoul(arguments[3]));
        if (index < 1 || index > processes.size())
            return Fail("no process " + arguments[3] + " in " + arguments[1], 2);
        return torvexcalls::RunCalls(folder, processes[index - 1], &problem) ? 0 : Fail(problem, 1);
    }

    std::error_code error;
    for (const char* name : kRunFiles)
        fs::remove(FsPath(folder) / FsPath(name), error);
    std::ofstream ini(FsPath(folder) / "torvex.ini", std::ios::binary | std::ios::trunc);
    ini << torvexreplay::IniText(true);
    ini.close();

    // One process needs no other: this one has not loaded the module yet.
    if (processes.size() == 1) {
        std::printf("process 1\n");
        std::fflush(stdout);
        return torvexcalls::RunCalls(folder, processes.front(), &problem) ? 0 : Fail(problem, 1);
    }
    std::string self = torvexupdate::JoinPath(torvexupdate::ProgramFolder(), torvexreplay::kCallsProgramName);
    for (std::size_t i = 0; i < processes.size(); ++i) {
        std::printf("process %u\n", static_cast<unsigned>(i + 1));
        std::fflush(stdout);
        int status = torvexreplay::RunProgram(self, {Utf8Of(callsFile), "--process", std::to_string(i + 1)}, folder,
                                              std::string(), &problem);
        if (status != 0)
            return Fail("process " + std::to_string(i + 1) + ": "
                            + (problem.empty() ? "ended with status " + std::to_string(status) : problem),
                        1);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return Run(torvexupdate::Utf8Arguments(argc, argv));
    } catch (const std::exception& error) {
        return Fail(std::string("internal error: ") + error.what(), 1);
    }
}
