#include "module_run.h"

#include "exit_codes.h"
#include "paths.h"

namespace torvexctl {

ModuleRun::ModuleRun(const Options& options, Output& out) : options_(options), out_(out)
{
    setting_.modulePath = AbsolutePath(options.dllPath.empty() ? JoinPath(ProgramFolder(), "torvex.dll")
                                                               : options.dllPath);
    setting_.programFolder = ProgramFolder();
    setting_.folder = HasModuleFileName(setting_.modulePath) ? FolderOf(setting_.modulePath) : ProgramFolder();
}

int ModuleRun::Start()
{
    const std::string& path = setting_.modulePath;
    out_.Data()["module"] = path;
    if (!HasModuleFileName(path))
        out_.Note("warning: the module looks for torvex.ini and writes Torvex.log beside the program, not beside "
                  + path + ", because its file is not named torvex.dll");

    // The module finds its folder through the narrow-character path it was loaded by: a
    // path the ANSI code page cannot hold is loaded by its short name.
    NarrowPath narrow = ForModule(path);
    std::string loadAs;
    if (narrow.usable) {
        setting_.narrowPath = narrow.bytes;
        if (narrow.shortName) {
            loadAs = AnsiToUtf8(narrow.bytes);
            out_.Note("the module's path holds characters outside the ANSI code page: loading it by its short name "
                      + loadAs);
        }
    } else {
        out_.Note("warning: the module's path " + path + " cannot be given to it: " + narrow.problem
                  + "; it will find neither torvex.ini nor its log: move it to a folder with a plainer name");
    }
    log_.emplace(JoinPath(setting_.folder, "Torvex.log"));

    std::string error;
    if (!module_.Load(path, loadAs, &error)) {
        out_.Error(error + "; put torvex.dll beside torvexctl or name it with --dll PATH");
        return kExitModuleUnusable;
    }
    int result = module_.init();
    initCalled_ = true;
    out_.Data()["init_result"] = result;
    if (result == 1)
        return kExitSuccess;

    std::vector<std::string> lines = LogLines();
    std::string message = "initialisation failed (" + std::to_string(result) + ")";
    if (!lines.empty())
        message += ": check torvex.ini beside " + path + " (key QuelvanePath in [TorvexPath]) and " + log_->Path();
    for (const std::string& cause : InitFailureCauses(setting_, lines))
        message += "\n  cause: " + cause;
    warned_ = lines.empty();  // the causes say it already
    out_.Error(message);
    return kExitInitFailed;
}

std::vector<std::string> ModuleRun::LogLines() const
{
    return log_ ? log_->AddedLines() : std::vector<std::string>();
}

bool ModuleRun::WarnWhenLogUnwritten()
{
    if (warned_ || !log_ || !initCalled_)
        return false;
    bool restarted = false;
    if (!log_->AddedLines(&restarted).empty() || restarted)
        return false;
    warned_ = true;
    std::string problem = LogWriteProblem(setting_);
    out_.Data()["log_unwritten"] = problem.empty() ? "unknown cause" : problem;
    out_.Note("warning: this run's lines could not be written to " + log_->Path()
              + (problem.empty() ? std::string() : ": " + problem));
    return true;
}

void ModuleRun::Finish()
{
    module_.Unload();
    WarnWhenLogUnwritten();
    if (!options_.showLog || !log_)
        return;
    bool restarted = false;
    std::vector<std::string> lines = log_->AddedLines(&restarted);
    out_.Data()["log"] = lines;
    if (restarted)
        out_.Data()["log_restarted"] = true;
    if (lines.empty() && !restarted) {
        out_.Info("");
        out_.Info(log_->Path() + ": no lines were added by this run");
        return;
    }
    out_.Info("");
    out_.Info(log_->Path() + ", lines added by this run"
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
