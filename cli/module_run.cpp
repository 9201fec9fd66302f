#include "module_run.h"

#include "exit_codes.h"

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
    me.activity = "running '" + (command.is_string() ? command.get<std::string>() : std::string("torvexctl")) + "'";
    if (!options_.file.empty()) {
        me.file = AbsolutePath(options_.file);
        me.activity = "downloading " + me.file;
    }
    LockHolder holder;
    std::string error;
    switch (lock_.Take(me, &holder, &error)) {
    case BoardLock::Result::kTaken:
        return true;
    case BoardLock::Result::kFailed:
        out_.Note("warning: " + error + "; going on without it: make sure that no other program uses the board");
        return true;
    case BoardLock::Result::kBusy:
        break;
    }
    out_.Data()["board_holder"] = {{"program", holder.program},   {"process_id", holder.processId},
                                   {"since", holder.since},       {"activity", holder.activity},
                                   {"file", holder.file},         {"machine", holder.machine},
                                   {"update_id", holder.updateId}};
    out_.Error("the board interface is in use: " + HolderWords(holder)
               + "; nothing was done: wait until it has finished, then run this command again");
    return false;
}

int ModuleRun::Start()
{
    const std::string& path = session_.Setting().modulePath;
    out_.Data()["module"] = path;
    if (!Lock())
        return kExitBoardBusy;
    if (!HasModuleFileName(path))
        out_.Note("warning: the module looks for torvex.ini and writes Torvex.log beside the program, not beside "
                  + path + ", because its file is not named torvex.dll");
    const NarrowPath& narrow = session_.Narrow();
    if (!narrow.usable)
        out_.Note("warning: the module's path " + path + " cannot be given to it: " + narrow.problem
                  + "; it will find neither torvex.ini nor its log: move it to a folder with a plainer name");
    else if (narrow.shortName)
        out_.Note("the module's path holds characters outside the ANSI code page: loading it by its short name "
                  + session_.LoadName());

    std::string error;
    if (!session_.Load(&error)) {
        out_.Error(error + "; put torvex.dll beside torvexctl or name it with --dll PATH");
        return kExitModuleUnusable;
    }
    int result = session_.Init();
    out_.Data()["init_result"] = result;
    if (result == 1)
        return kExitSuccess;

    std::vector<std::string> lines = LogLines();
    std::string message = "initialisation failed (" + std::to_string(result) + ")";
    if (!lines.empty())
        message += ": check torvex.ini beside " + path + " (key QuelvanePath in [TorvexPath]) and "
            + session_.LogPath();
    for (const std::string& cause : session_.InitFailureCauses())
        message += "\n  cause: " + cause;
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
    out_.Note("warning: this run's lines could not be written to " + session_.LogPath()
              + (problem.empty() ? std::string() : ": " + problem));
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
        out_.Info(session_.LogPath() + ": no lines were added by this run");
        return;
    }
    out_.Info("");
    out_.Info(session_.LogPath() + ", lines added by this run"
              + (restarted ? std::string(" (the log was emptied on reaching its size limit)") : "") + ":");
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
