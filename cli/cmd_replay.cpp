// replay LOG --into FOLDER [--run N | --all]: a field log replayed against the simulated
// board in a new setup folder, and the log the replay wrote compared with the field's.
#include "commands.h"
#include "exit_codes.h"
#include "system/paths.h"
#include "system/host_platform.h"
#include "replay/replay_platform.h"
#include "replay/replay_run.h"
#include "system/text.h"

#include <CLI/CLI.hpp>

#include <filesystem>

namespace torvexctl {

namespace {

using namespace torvexupdate;
using torvexreplay::ReplayOutcome;
using torvexreplay::ReplayResult;

// The simulated board of the installation: simulator\ beside bin\ (the release), or in
// the program's own folder (a build).
std::string InstalledSimulator()
{
    std::string folder = ProgramFolder();
    for (const std::string& candidate : {JoinPath(JoinPath(FolderOf(folder), "simulator"), "quelvane.dll"),
                                         JoinPath(JoinPath(folder, "simulator"), "quelvane.dll")}) {
        std::error_code error;
        if (std::filesystem::is_regular_file(FsPath(candidate), error))
            return candidate;
    }
    return JoinPath(JoinPath(FolderOf(folder), "simulator"), "quelvane.dll");
}

std::string Count(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// What was replayed and where.
void Describe(const Options& options, const ReplayOutcome& outcome, Output& out)
{
    const torvexreplay::ReplayPlan& plan = outcome.plan;
    out.Info("log:     " + options.file + " (" + Count(outcome.logLines, "line", "lines") + ", "
             + Count(plan.runsInLog, "run", "runs") + ")");
    if (!outcome.encoding.empty())
        out.Info("         read from " + outcome.encoding
                 + ", as an editor saves it, back into the module's own "
                   "Windows-1252");
    std::string runs = plan.firstRun == plan.lastRun
        ? "run " + std::to_string(plan.firstRun)
        : "runs " + std::to_string(plan.firstRun) + " to " + std::to_string(plan.lastRun);
    out.Info("replay:  " + runs + ", field lines " + std::to_string(plan.firstLine) + " to "
             + std::to_string(plan.endLine - 1));
    for (const std::string& remark : plan.remarks)
        out.Info("         " + remark);
    out.Info("setup:   " + outcome.folder);
    out.Info("         " + Count(plan.processes.size(), "process", "processes") + ", "
             + Count(plan.CallCount(), "call", "calls") + ", " + Count(plan.files.size(), "file", "files")
             + "; the board: " + Count(plan.answers.size(), "answer", "answers") + ", "
             + std::to_string(outcome.numberedAnswers) + " of them in numbered sections");

    auto& data = out.Data();
    data["log"] = options.file;
    data["log_lines"] = outcome.logLines;
    data["runs"] = plan.runsInLog;
    data["encoding"] = outcome.encoding.empty() ? nlohmann::ordered_json(nullptr)
                                                : nlohmann::ordered_json(outcome.encoding);
    data["replayed_runs"] = {plan.firstRun, plan.lastRun};
    data["field_lines"] = {plan.firstLine, plan.endLine - 1};
    data["remarks"] = plan.remarks;
    data["setup"] = outcome.folder;
    data["processes"] = plan.processes.size();
    data["calls"] = plan.CallCount();
    data["files"] = plan.files.size();
    data["answers"] = plan.answers.size();
    data["numbered_answers"] = outcome.numberedAnswers;
}

}  // namespace

void AddReplayOptions(CLI::App& command, Options& options)
{
    command.add_option(Say(Message::kHelpValueLog), options.file, Say(Message::kHelpReplayLog))
        ->required()
        ->type_name("");
    CLI::Option* run = command.add_option("--run", options.replayRun, Say(Message::kHelpReplayRun))
                           ->type_name("N")
                           ->check(CLI::PositiveNumber);
    command.add_flag("--all", options.replayAll, Say(Message::kHelpReplayAll))->excludes(run);
    command.add_option("--into", options.replayInto, Say(Message::kHelpReplayInto))->required()->type_name("FOLDER");
}

int RunReplay(const Options& options, Output& out)
{
    out.Data()["command"] = "replay";
    torvexreplay::ReplayRequest request;
    request.log = options.file;
    request.selection.all = options.replayAll;
    request.selection.run = options.replayRun;
    request.folder = options.replayInto;
    request.module = options.dllPath.empty() ? JoinPath(ProgramFolder(), "torvex.dll") : options.dllPath;
    request.simulator = InstalledSimulator();
    request.callsProgram = JoinPath(ProgramFolder(), torvexreplay::kCallsProgramName);
    ReplayOutcome outcome = torvexreplay::Replay(request);

    if (outcome.result == ReplayResult::kRefused) {
        out.Error("nothing replayed: " + outcome.refusal);
        return kExitReplayRefused;
    }
    Describe(options, outcome, out);
    const torvexreplay::Comparison& comparison = outcome.comparison;
    auto& data = out.Data();
    switch (outcome.result) {
    case ReplayResult::kReproduced:
        data["result"] = "reproduced";
        out.Info("result:  reproduced: " + Count(comparison.compared, "field line comes", "field lines come")
                 + " back line for line (dates and paths aside)");
        return kExitSuccess;
    case ReplayResult::kReproducedInPart:
        data["result"] = "reproduced_in_part";
        data["stopped"] = {{"line", outcome.plan.stopLine}, {"reason", outcome.plan.stopReason}};
        out.Info("result:  reproduced up to line " + std::to_string(outcome.plan.stopLine) + " ("
                 + Count(comparison.compared, "line", "lines") + "), where the log stops being readable");
        out.Error("the replay stopped at line " + std::to_string(outcome.plan.stopLine) + " of " + options.file + ": "
                  + outcome.plan.stopReason);
        return kExitReproducedInPart;
    default:
        break;
    }
    data["result"] = "not_reproduced";
    nlohmann::ordered_json difference = {{"why", outcome.why}};
    if (comparison.fieldLine != 0) {
        auto shown = [](const std::string& line) {
            return line.empty() ? std::string("(an empty line)") : ForTerminal(line);
        };
        std::string fieldText = shown(comparison.fieldText);
        std::string replayText = comparison.replayLine != 0 ? shown(comparison.replayText) : "";
        difference["field_line"] = comparison.fieldLine;
        difference["field_text"] = comparison.replayLonger ? nlohmann::ordered_json(nullptr)
                                                           : nlohmann::ordered_json(Cp1252ToUtf8(comparison.fieldText));
        difference["replay_line"] = comparison.replayLine;
        difference["replay_text"] = comparison.replayLine != 0
            ? nlohmann::ordered_json(Cp1252ToUtf8(comparison.replayText))
            : nlohmann::ordered_json(nullptr);
        out.Info("result:  not reproduced: field line " + std::to_string(comparison.fieldLine) + " differs ("
                 + Count(comparison.compared, "line", "lines") + " alike before it)");
        out.Info("  field:  " + (comparison.replayLonger ? std::string("(the field lines end here)") : fieldText));
        out.Info("  replay: "
                 + (comparison.replayLine != 0 ? replayText : std::string("(the replay's log ends here)")));
    } else {
        out.Info("result:  not reproduced");
    }
    data["difference"] = difference;
    out.Error("not reproduced: " + outcome.why);
    return kExitNotReproduced;
}

}  // namespace torvexctl
