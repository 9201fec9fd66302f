#include "module_run.h"

#include "exit_codes.h"
#include "module/path_words.h"
#include "words/messages.h"

namespace torvexctl {

using namespace torvexupdate;

ModuleRun::ModuleRun(const Options& options, Output& out)
        : options_(options), out_(out), session_(options.dllPath), lock_(session_.Setting().folder)
{
}

bool ModuleRun::Lock(const std::string& updateId)
{
    LockHolder me;
    me.program = "torvexctl";
    me.updateId = updateId;
    const auto& command = out_.Data()["command"];
    me.activity = ActivityText(Activity::kRunning, command.is_string() ? command.get<std::string>() : "torvexctl");
    if (!options_.file.empty()) {
        me.file = AbsolutePath(options_.file);
        me.activity = ActivityText(Activity::kDownloading, me.file);
    }
    LockHolder holder;
    std::string error;
    switch (lock_.Take(me, &holder, &error)) {
    case BoardLock::Result::kTaken:
        return true;
    case BoardLock::Result::kFailed:
        out_.Note(Say(Message::kConsoleLockFailed, {{"error", error}}));
        return true;
    case BoardLock::Result::kBusy:
        break;
    }
    out_.Data()["board_holder"] = {{"program", holder.program},   {"process_id", holder.processId},
                                   {"since", holder.since},       {"activity", holder.activity},
                                   {"file", holder.file},         {"machine", holder.machine},
                                   {"update_id", holder.updateId}};
    out_.Error(Say(Message::kConsoleBoardBusy, {{"holder", HolderWords(holder)}}));
    return false;
}

int ModuleRun::Start()
{
    const std::string& path = session_.Setting().modulePath;
    out_.Data()["module"] = path;
    if (!Lock())
        return kExitBoardBusy;
    if (!HasModuleFileName(path))
        out_.Note(Say(Message::kConsoleModuleNotNamed, {{"path", path}}));
    const NarrowPath& narrow = session_.Narrow();
    if (!narrow.usable)
        out_.Note(Say(Message::kConsoleModulePathUnusable, {{"path", path}, {"problem", NarrowProblemWords(narrow)}}));
    else if (narrow.shortName)
        out_.Note(Say(Message::kConsoleModuleShortName, {{"name", session_.LoadName()}}));

    std::string error;
    if (!session_.Load(&error)) {
        out_.Error(Say(Message::kConsoleModuleNotLoaded, {{"error", error}}));
        return kExitModuleUnusable;
    }
    int result = session_.Init();
    out_.Data()["init_result"] = result;
    if (result == 1)
        return kExitSuccess;

    std::vector<std::string> lines = LogLines();
    std::string message = lines.empty()
        ? Say(Message::kConsoleInitFailed, {{"result", std::to_string(result)}})
        : Say(Message::kConsoleInitFailedCheck,
              {{"result", std::to_string(result)}, {"path", path}, {"log", session_.LogPath()}});
    for (const std::string& cause : session_.InitFailureCauses())
        message += Say(Message::kConsoleInitCause, {{"cause", cause}});
    warned_ = lines.empty();  // the causes say it already
    out_.Error(message);
    return kExitInitFailed;
}

bool ModuleRun::WarnWhenLogUnwritten()
{
    if (warned_ || !session_.InitCalled())
        return false;
    bool restarted = false;
    if (!session_.LogLines(&restarted).empty() || restarted)
        return false;
    warned_ = true;
    std::string problem = LogWriteProblem(session_.Setting());
    out_.Data()["log_unwritten"] = problem.empty() ? "unknown cause" : problem;
    out_.Note(problem.empty()
                  ? Say(Message::kConsoleLogUnwritten, {{"log", session_.LogPath()}})
                  : Say(Message::kConsoleLogUnwrittenBecause, {{"log", session_.LogPath()}, {"problem", problem}}));
    return true;
}

void ModuleRun::Finish()
{
    session_.Unload();
    lock_.Release();
    WarnWhenLogUnwritten();
    if (!options_.showLog)
        return;
    bool restarted = false;
    std::vector<std::string> lines = session_.LogLines(&restarted);
    out_.Data()["log"] = lines;
    if (restarted)
        out_.Data()["log_restarted"] = true;
    if (lines.empty() && !restarted) {
        out_.Info("");
        out_.Info(Say(Message::kConsoleLogNoLines, {{"log", session_.LogPath()}}));
        return;
    }
    out_.Info("");
    out_.Info(
        Say(restarted ? Message::kConsoleLogLinesRestarted : Message::kConsoleLogLines, {{"log", session_.LogPath()}}));
    for (const std::string& line : lines)
        out_.Info(line.empty() ? line : "  " + line);
}

int WithModule(const Options& options, Output& out, const std::function<int(ModuleRun&)>& body)
{
    ModuleRun run(options, out);
    int code = run.Start();
    if (code == kExitSuccess)
        code = body(run);
    run.Finish();
    return code;
}

}  // namespace torvexctl
