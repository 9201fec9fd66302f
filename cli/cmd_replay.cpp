// replay LOG --into FOLDER [--run N | --all]: a field log replayed against the simulated
// board in a new setup folder, and the log the replay wrote compared with the field's.
#include "commands.h"
#include "exit_codes.h"
#include "system/paths.h"
#include "system/host_platform.h"
#include "replay/log_reader.h"
#include "replay/replay_platform.h"
#include "replay/replay_run.h"
#include "system/text.h"
#include "words/for_people.h"
#include "words/language.h"
#include "words/messages.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <limits>

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

// A count in words: "1 line", "3 lines" ("0 ligne" in French, where zero takes the singular).
std::string Count(std::size_t n, Message one, Message many)
{
    bool singular = n == 1 || (n == 0 && CurrentLanguage() == Language::kFrench);
    return Say(singular ? one : many, {{"count", NumberForPeople(static_cast<long long>(n))}});
}

// The field log's encoding as people read it; JSON keeps the name the reader gave.
std::string EncodingForPeople(const std::string& encoding)
{
    if (encoding == torvexreplay::kEncodingUtf16BigEndian)
        return Say(Message::kReplayEncodingBigEndian);
    if (encoding == torvexreplay::kEncodingUtf16NoMark)
        return Say(Message::kReplayEncodingNoMark);
    return encoding;
}

std::string Number(std::size_t n)
{
    return NumberForPeople(static_cast<long long>(n));
}

// What was replayed and where.
void Describe(const Options& options, const ReplayOutcome& outcome, Output& out)
{
    const torvexreplay::ReplayPlan& plan = outcome.plan;
    out.Info(Say(Message::kReplayShowLog,
                 {{"log", options.file},
                  {"lines", Count(outcome.logLines, Message::kReplayCountLine, Message::kReplayCountLines)},
                  {"runs", Count(plan.runsInLog, Message::kReplayCountRun, Message::kReplayCountRuns)}}));
    if (!outcome.encoding.empty())
        out.Info(Say(Message::kReplayShowEncoding, {{"encoding", EncodingForPeople(outcome.encoding)}}));
    std::string first = Number(plan.firstLine);
    std::string last = Number(plan.endLine - 1);
    if (plan.firstRun == plan.lastRun)
        out.Info(Say(Message::kReplayShowRun, {{"run", Number(plan.firstRun)}, {"first", first}, {"last", last}}));
    else
        out.Info(Say(Message::kReplayShowRuns,
                     {{"first_run", Number(plan.firstRun)},
                      {"last_run", Number(plan.lastRun)},
                      {"first", first},
                      {"last", last}}));
    for (const std::string& remark : plan.remarks)
        out.Info(Say(Message::kReplayShowRemark, {{"remark", remark}}));
    out.Info(Say(Message::kReplayShowSetup, {{"folder", outcome.folder}}));
    out.Info(
        Say(Message::kReplayShowSetupMade,
            {{"processes", Count(plan.processes.size(), Message::kReplayCountProcess, Message::kReplayCountProcesses)},
             {"calls", Count(plan.CallCount(), Message::kReplayCountCall, Message::kReplayCountCalls)},
             {"files", Count(plan.files.size(), Message::kReplayCountFile, Message::kReplayCountFiles)},
             {"answers", Count(plan.answers.size(), Message::kReplayCountAnswer, Message::kReplayCountAnswers)},
             {"numbered", Number(outcome.numberedAnswers)}}));

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
                           ->check(CLI::Range(1, std::numeric_limits<int>::max()).description(Say(Message::kHelpValuePositive)));
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
        out.Error(Say(Message::kReplayNothingReplayed, {{"reason", outcome.refusal}}));
        return kExitReplayRefused;
    }
    Describe(options, outcome, out);
    const torvexreplay::Comparison& comparison = outcome.comparison;
    auto& data = out.Data();
    switch (outcome.result) {
    case ReplayResult::kReproduced:
        data["result"] = "reproduced";
        out.Info(Say(comparison.compared == 1 ? Message::kReplayShowReproducedOne : Message::kReplayShowReproduced,
                     {{"count", Number(comparison.compared)}}));
        return kExitSuccess;
    case ReplayResult::kReproducedInPart:
        data["result"] = "reproduced_in_part";
        data["stopped"] = {{"line", outcome.plan.stopLine}, {"reason", outcome.plan.stopReason}};
        out.Info(Say(Message::kReplayShowReproducedUpTo,
                     {{"line", Number(outcome.plan.stopLine)},
                      {"lines", Count(comparison.compared, Message::kReplayCountLine, Message::kReplayCountLines)}}));
        out.Error(
            Say(Message::kReplayStoppedAt,
                {{"line", Number(outcome.plan.stopLine)}, {"log", options.file}, {"reason", outcome.plan.stopReason}}));
        return kExitReproducedInPart;
    default:
        break;
    }
    data["result"] = "not_reproduced";
    nlohmann::ordered_json difference = {{"why", outcome.why}};
    if (comparison.fieldLine != 0) {
        auto shown = [](const std::string& line) {
            return line.empty() ? Say(Message::kReplayEmptyLine) : ForTerminal(line);
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
        out.Info(
            Say(Message::kReplayShowNotReproducedAt,
                {{"line", Number(comparison.fieldLine)},
                 {"alike", Count(comparison.compared, Message::kReplayCountAlike, Message::kReplayCountAlikeMany)}}));
        out.Info(Say(Message::kReplayShowField,
                     {{"text", comparison.replayLonger ? Say(Message::kReplayFieldLinesEnd) : fieldText}}));
        out.Info(Say(Message::kReplayShowReplay,
                     {{"text", comparison.replayLine != 0 ? replayText : Say(Message::kReplayReplayLogEnds)}}));
    } else {
        out.Info(Say(Message::kReplayShowNotReproduced));
    }
    data["difference"] = difference;
    out.Error(Say(Message::kReplayNotReproduced, {{"why", outcome.why}}));
    return kExitNotReproduced;
}

}  // namespace torvexctl
