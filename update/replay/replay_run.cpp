#include "replay/replay_run.h"

#include "replay/board_script.h"
#include "replay/call_script.h"
#include "replay/log_reader.h"
#include "replay/replay_platform.h"
#include "words/messages.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace torvexreplay {

const char kCallsFileName[] = "calls.txt";
const char kFieldLinesName[] = "field.log";
const char kCallsOutputName[] = "calls-output.txt";

namespace {

namespace fs = std::filesystem;
using torvexupdate::Message;
using torvexupdate::Say;

fs::path PathOf(const std::string& utf8)
{
    return fs::u8path(utf8);
}

std::string Utf8(const fs::path& path)
{
    return path.u8string();
}

bool ReadWhole(const fs::path& path, std::string* bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream text;
    text << file.rdbuf();
    *bytes = text.str();
    return !file.bad();
}

bool WriteWhole(const fs::path& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}

// The folder the setup goes into: new (its parent must exist), or empty. Nothing else is
// written to, so that a mistyped FOLDER cannot overwrite anything.
bool PrepareFolder(const std::string& folder, fs::path* made, std::string* refusal)
{
    std::error_code error;
    fs::path path = PathOf(folder);
    if (folder.empty()) {
        *refusal = Say(Message::kReplayFolderUnnamed);
        return false;
    }
    fs::file_status status = fs::symlink_status(path, error);
    if (fs::is_symlink(status)) {
        *refusal = Say(Message::kReplayFolderLink, {{"folder", folder}});
        return false;
    }
    if (fs::exists(status)) {
        if (!fs::is_directory(status)) {
            *refusal = Say(Message::kReplayFolderNotFolder, {{"folder", folder}});
            return false;
        }
        if (!fs::is_empty(path, error) || error) {
            *refusal = Say(Message::kReplayFolderNotEmpty, {{"folder", folder}});
            return false;
        }
    } else {
        fs::path parent = fs::absolute(path, error).parent_path();
        if (error || !fs::is_directory(parent, error)) {
            *refusal = Say(Message::kReplayFolderNoParent, {{"folder", folder}, {"parent", Utf8(parent)}});
            return false;
        }
        if (!fs::create_directory(path, error)) {
            *refusal = Say(Message::kReplayFolderNotMade, {{"folder", folder}, {"problem", error.message()}});
            return false;
        }
    }
    *made = fs::absolute(path, error);
    return true;
}

// The bytes of field lines [first, end) (0-based), line ends included, as the log holds them.
std::string FieldBytes(const FieldLog& log, std::size_t first, std::size_t end)
{
    if (first >= end || end > log.lines.size())
        return std::string();
    std::size_t from = static_cast<std::size_t>(log.lines[first].text.data() - log.text.data());
    const std::string_view& last = log.lines[end - 1].text;
    std::size_t to = static_cast<std::size_t>(last.data() - log.text.data()) + last.size();
    while (to < log.text.size() && (log.text[to] == '\r' || log.text[to] == '\n')) {
        bool newline = log.text[to] == '\n';
        ++to;
        if (newline)
            break;
    }
    return log.text.substr(from, to - from);
}

std::string CallsText(const ReplayPlan& plan, const std::string& logPath)
{
    std::string text = "; The calls of the field log " + logPath + ", lines " + std::to_string(plan.firstLine) + " to "
        + std::to_string(plan.endLine - 1) + ", for torvexcalls (one process a block).\n"
        + "; library absent / present: torvex.ini names a folder without the library (" + kNoLibraryFolder
        + ") or the simulator (" + kLibraryFolder + ").\n";
    for (const ReplayProcess& process : plan.processes) {
        text += "\n; field lines " + std::to_string(process.firstLine) + " to " + std::to_string(process.lastLine)
            + "\nprocess\n";
        for (const ReplayStep& step : process.steps) {
            ScriptedCall call;
            switch (step.kind) {
            case ReplayStep::Kind::kLibraryAbsent:
                call.kind = ScriptedCall::Kind::kLibraryAbsent;
                break;
            case ReplayStep::Kind::kLibraryPresent:
                call.kind = ScriptedCall::Kind::kLibraryPresent;
                break;
            case ReplayStep::Kind::kCall:
                call.kind = step.call == HostCall::kInit ? ScriptedCall::Kind::kInit
                    : step.call == HostCall::kDownload   ? ScriptedCall::Kind::kDownload
                    : step.call == HostCall::kVersion    ? ScriptedCall::Kind::kVersion
                    : step.call == HostCall::kReference  ? ScriptedCall::Kind::kReference
                                                         : ScriptedCall::Kind::kClean;
                if (step.file >= 0)
                    call.path = std::string("files") + kSetupPathSeparator
                        + plan.files[static_cast<std::size_t>(step.file)].name;
                break;
            }
            text += CallText(call) + "\n";
        }
    }
    return text;
}

bool WriteSetup(const fs::path& folder, const ReplayRequest& request, const FieldLog& log, const ReplayOutcome& outcome,
                std::string* problem)
{
    const ReplayPlan& plan = outcome.plan;
    std::error_code error;
    fs::create_directory(folder / "simulator", error);
    fs::create_directory(folder / "files", error);
    struct Copy {
        const std::string& from;
        fs::path to;
    };
    const Copy copies[] = {{request.module, folder / "torvex.dll"},
                           {request.simulator, folder / "simulator" / "quelvane.dll"},
                           {request.callsProgram, folder / kCallsProgramName}};
    for (const Copy& copy : copies) {
        if (!fs::copy_file(PathOf(copy.from), copy.to, error)) {
            *problem = Say(Message::kReplaySetupCopy, {{"file", copy.from}, {"problem", error.message()}});
            return false;
        }
    }
    std::vector<std::string> heading = {"The simulated board's answers to the calls of the field log " + request.log
                                            + ",",
                                        "lines " + std::to_string(plan.firstLine) + " to "
                                            + std::to_string(plan.endLine - 1) + ", worked out by torvexctl replay."};
    bool written = WriteWhole(folder / "torvex.ini", IniText(true))
        && WriteWhole(folder / "simulator" / "quelvane-sim.ini", BoardScript(plan.answers, heading))
        && WriteWhole(folder / kCallsFileName, CallsText(plan, request.log))
        && WriteWhole(folder / kRepeatCommandName, RepeatCommandText(kCallsFileName))
        && WriteWhole(folder / kFieldLinesName, FieldBytes(log, plan.firstLine - 1, plan.endLine - 1));
    for (const ReplayFile& file : plan.files)
        written = written && WriteWhole(folder / "files" / PathOf(file.name), file.bytes);
    if (!written)
        *problem = Say(Message::kReplaySetupWrite, {{"folder", Utf8(folder)}});
    return written;
}

// The first line of the simulator's journal that says its script was refused, or "".
std::string ScriptRefusal(const fs::path& folder)
{
    std::string journal;
    ReadWhole(folder / "simulator" / "quelvane-sim.journal", &journal);
    std::size_t at = journal.find("ScriptRefused ");
    return at == std::string::npos ? std::string() : journal.substr(at, journal.find('\n', at) - at);
}

// The last line of torvexcalls' output, which says what stopped it.
std::string LastLine(const std::string& text)
{
    std::size_t end = text.find_last_not_of("\r\n");
    if (end == std::string::npos)
        return std::string();
    std::size_t start = text.find_last_of('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1,
                       end + 1 - (start == std::string::npos ? 0 : start + 1));
}

void Refuse(ReplayOutcome* outcome, const std::string& why)
{
    outcome->result = ReplayResult::kRefused;
    outcome->refusal = why;
}

}  // namespace

ReplayOutcome Replay(const ReplayRequest& request)
{
    ReplayOutcome outcome;
    std::error_code error;
    fs::path logPath = PathOf(request.log);
    std::uintmax_t size = fs::file_size(logPath, error);
    if (error) {
        Refuse(&outcome, Say(Message::kReplayLogUnreadableWhy, {{"log", request.log}, {"problem", error.message()}}));
        return outcome;
    }
    if (size > kLargestLog) {
        Refuse(&outcome, Say(Message::kReplayLogTooLarge, {{"log", request.log}, {"size", std::to_string(size)}}));
        return outcome;
    }
    std::string bytes;
    if (!ReadWhole(logPath, &bytes)) {
        Refuse(&outcome, Say(Message::kReplayLogUnreadable, {{"log", request.log}}));
        return outcome;
    }
    FieldLog log;
    std::string refusal;
    if (!ReadFieldLog(bytes, &log, &refusal)) {
        Refuse(&outcome, Say(Message::kReplayLogRefused, {{"log", request.log}, {"reason", refusal}}));
        return outcome;
    }
    outcome.encoding = log.encoding;
    outcome.logLines = log.lines.size();
    if (!PlanReplay(log, request.selection, &outcome.plan, &refusal)) {
        Refuse(&outcome, refusal);
        return outcome;
    }
    outcome.numberedAnswers = NumberedSections(outcome.plan.answers);
    for (const std::string& tool : {request.module, request.simulator, request.callsProgram}) {
        if (!fs::is_regular_file(PathOf(tool), error)) {
            Refuse(&outcome, Say(Message::kReplayToolMissing, {{"tool", tool}}));
            return outcome;
        }
    }
    fs::path folder;
    if (!PrepareFolder(request.folder, &folder, &refusal)) {
        Refuse(&outcome, refusal);
        return outcome;
    }
    outcome.folder = Utf8(folder);
    ReplayRequest described = request;
    described.log = Utf8(fs::absolute(logPath, error));
    if (!WriteSetup(folder, described, log, outcome, &refusal)) {
        Refuse(&outcome, refusal);
        return outcome;
    }

    outcome.result = ReplayResult::kNotReproduced;
    std::string runError;
    int status = RunProgram(Utf8(folder / kCallsProgramName), {kCallsFileName}, Utf8(folder),
                            Utf8(folder / kCallsOutputName), &runError);
    std::string output;
    ReadWhole(folder / kCallsOutputName, &output);
    if (status != 0) {
        outcome.why = runError.empty()
            ? Say(Message::kReplayCallsStatus, {{"status", std::to_string(status)}, {"last_line", LastLine(output)}})
            : runError;
        return outcome;
    }
    std::string replayBytes;
    FieldLog replayLog;
    if (!ReadWhole(folder / "Torvex.log", &replayBytes) || !ReadFieldLog(replayBytes, &replayLog, &refusal)) {
        outcome.why = Say(Message::kReplayNoReplayLog);
        return outcome;
    }
    outcome.comparison = CompareLogs(log, outcome.plan.firstLine - 1, outcome.plan.endLine - 1, outcome.plan.cutShort,
                                     replayLog);
    if (outcome.comparison.same) {
        outcome.result = outcome.plan.cutShort ? ReplayResult::kReproducedInPart : ReplayResult::kReproduced;
        return outcome;
    }
    std::string refused = ScriptRefusal(folder);
    const LineNote* note = NoteFor(outcome.plan, outcome.comparison.fieldLine);
    if (!refused.empty())
        outcome.why = Say(Message::kReplayScriptRefused, {{"refusal", refused}});
    else if (note)
        outcome.why = note->line != outcome.comparison.fieldLine
            ? Say(Message::kReplayNoteAtLine, {{"why", note->why}, {"line", std::to_string(note->line)}})
            : note->why;
    else if (outcome.comparison.replayLonger)
        outcome.why = Say(Message::kReplayLonger);
    else
        outcome.why = Say(Message::kReplayAnotherLine,
                          {{"calls", kCallsFileName},
                           {"script", std::string("simulator") + kSetupPathSeparator + "quelvane-sim.ini"},
                           {"journal", std::string("simulator") + kSetupPathSeparator + "quelvane-sim.journal"}});
    return outcome;
}

}  // namespace torvexreplay
