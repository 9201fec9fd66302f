#include "commands.h"

#include "banner.h"
#include "exit_codes.h"
#include "log_tail.h"
#include "module_loader.h"
#include "progress.h"
#include "text.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace torvexctl {

namespace {

using Json = nlohmann::ordered_json;

constexpr int kReferenceBufferSize = 256;

// ---- banners -------------------------------------------------------------------------

Json BannerJson(const Banner& banner)
{
    Json fields = Json::array();
    for (const std::string& field : banner.fields)
        fields.push_back(Cp1252ToUtf8(field));
    return Json{{"fields", fields}, {"line", Cp1252ToUtf8(BannerLine(banner))}, {"complete", banner.complete}};
}

void PrintBanner(Output& out, const Banner& banner)
{
    for (std::size_t i = 0; i < kBannerFieldCount; ++i) {
        std::string label = "  field " + std::to_string(i + 1) + ": ";
        out.Info(label + (i < banner.fields.size() ? ForTerminal(banner.fields[i]) : "(missing)"));
    }
    out.Info("  line:    " + ForTerminal(BannerLine(banner)));
    if (!banner.complete)
        out.Info("  (incomplete: the fields do not all end within the 48 bytes)");
}

// The fields one by one, each in quotes: short fields would run together on one line.
std::string Quoted(const Banner& banner)
{
    std::string text;
    for (std::size_t i = 0; i < kBannerFieldCount; ++i)
        text += (i == 0 ? "\"" : " \"") + ForTerminal(FieldOf(banner, i)) + "\"";
    return text;
}

// Reports the file's size and banner; false (after the error) when it cannot be read.
bool DescribeFile(const std::string& path, const ApplicationFile& file, Output& out)
{
    out.Data()["file"] = path;
    if (!file.readable) {
        out.Error("application file " + path + " " + file.problem + ": check the path");
        return false;
    }
    out.Data()["size"] = file.size;
    out.Data()["banner"] = file.banner ? BannerJson(*file.banner) : Json(nullptr);
    out.Info("file:   " + path);
    out.Info("size:   " + std::to_string(file.size) + " bytes");
    if (file.banner) {
        out.Info("banner:");
        PrintBanner(out, *file.banner);
    } else {
        out.Info("banner: none (a banner needs a file of " + std::to_string(kSmallestFileWithBanner)
                 + " bytes or more)");
    }
    return true;
}

// ---- the module in this process ------------------------------------------------------

std::string ModulePathFor(const Options& options)
{
    std::string path = options.dllPath.empty() ? JoinPath(ProgramFolder(), "torvex.dll") : options.dllPath;
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

// What the trace of a failed initialisation says about its cause.
std::vector<std::string> InitFailureCauses(const std::vector<std::string>& log)
{
    static const std::string kLibraryPath = "Path Quelvane : ";
    std::string libraryPath;
    std::vector<std::string> causes;
    for (const std::string& line : log) {
        if (line.compare(0, kLibraryPath.size(), kLibraryPath) == 0)
            libraryPath = line.substr(kLibraryPath.size());
        else if (line == "Status = 0")
            causes.push_back("the communication library could not be loaded from \"" + libraryPath + "\"");
        else if (line.compare(0, 19, "WARNING VCI OCCUPED") == 0)
            causes.push_back("another program holds a session on the interface: close it and retry");
        else if (line == "_CreateRouter KO")
            causes.push_back("the communication library could not create its router");
        else if (line.compare(0, 20, "_OpenCommSession NOK") == 0)
            causes.push_back("no communication session could be opened (" + line + ")");
        else if (line.compare(0, 25, "_InitialiseCommBoard_Exp ") == 0)
            causes.push_back("board initialisation reported: " + line);
    }
    return causes;
}

// Loads the module, notes the log, runs _Init_Module_COM; on Finish() unloads the module
// and shows the lines the run added to Torvex.log when asked.
class ModuleRun {
public:
    ModuleRun(const Options& options, Output& out)
        : options_(options), out_(out), path_(ModulePathFor(options))
    {
    }

    Module& Get() { return module_; }

    int Start()
    {
        out_.Data()["module"] = path_;
        if (!HasModuleFileName(path_))
            out_.Note("warning: the module looks for torvex.ini and writes Torvex.log beside the program, not beside "
                      + path_ + ", because its file is not named torvex.dll");
        std::string folder = HasModuleFileName(path_) ? FolderOf(path_) : ProgramFolder();
        log_.emplace(JoinPath(folder, "Torvex.log"));

        std::string error;
        if (!module_.Load(path_, &error)) {
            out_.Error(error + "; put torvex.dll beside torvexctl or name it with --dll PATH");
            return kExitModuleUnusable;
        }
        int result = module_.init();
        out_.Data()["init_result"] = result;
        if (result == 1)
            return kExitSuccess;

        std::string iniPath = JoinPath(folder, "torvex.ini");
        std::string message = "initialisation failed (" + std::to_string(result) + "): check torvex.ini beside "
                              + path_ + " (key QuelvanePath in [TorvexPath]) and " + log_->Path();
        std::error_code ignored;
        if (!std::filesystem::exists(iniPath, ignored))
            message += "\n  cause: " + iniPath + " does not exist";
        for (const std::string& cause : InitFailureCauses(log_->AddedLines()))
            message += "\n  cause: " + cause;
        out_.Error(message);
        return kExitInitFailed;
    }

    void Finish()
    {
        module_.Unload();
        if (!options_.showLog || !log_)
            return;
        bool restarted = false;
        std::vector<std::string> lines = log_->AddedLines(&restarted);
        out_.Data()["log"] = lines;
        if (restarted)
            out_.Data()["log_restarted"] = true;
        out_.Info("");
        out_.Info(log_->Path() + ", lines added by this run"
                  + (restarted ? std::string(" (the log was emptied on reaching its size limit)") : "") + ":");
        for (const std::string& line : lines)
            out_.Info(line.empty() ? line : "  " + line);
    }

private:
    const Options& options_;
    Output& out_;
    std::string path_;
    Module module_;
    std::optional<LogTail> log_;
};

// Loads and initialises the module, runs `body` with it, then finishes the run.
int WithModule(const Options& options, Output& out, const std::function<int(Module&)>& body)
{
    ModuleRun run(options, out);
    int code = run.Start();
    if (code == kExitSuccess)
        code = body(run.Get());
    run.Finish();
    return code;
}

// ---- queries --------------------------------------------------------------------------

struct FlashContent {
    int result = 0;
    std::optional<Banner> banner;  // absent: empty flash
};

// Reads the version; the buffer starts cleared, so one that stays all zeros means that the
// module wrote nothing: an empty flash.
FlashContent ReadFlash(Module& module)
{
    char buffer[TORVEX_VERSION_BUFFER_SIZE] = {};
    FlashContent content;
    content.result = module.version(0, buffer);
    if (content.result != 0 && !AllZero(buffer, sizeof buffer))
        content.banner = ParseBanner(buffer, sizeof buffer);
    return content;
}

const char* const kSeeLog = "see Torvex.log beside the module (or run again with --log)";

int QueryVersion(Module& module, Output& out)
{
    FlashContent flash = ReadFlash(module);
    out.Data()["version_result"] = flash.result;
    if (flash.result == 0) {
        out.Error(std::string("version query failed (0): ") + kSeeLog);
        return kExitQueryFailed;
    }
    if (!flash.banner) {
        out.Data()["flash"] = "empty";
        out.Data()["flash_banner"] = nullptr;
        out.Info("no application in flash");
        return kExitSuccess;
    }
    out.Data()["flash"] = "application";
    out.Data()["flash_banner"] = BannerJson(*flash.banner);
    out.Info("application in flash:");
    PrintBanner(out, *flash.banner);
    return kExitSuccess;
}

int QueryReference(Module& module, Output& out)
{
    // One spare byte keeps the text terminated even when the library fills the whole buffer.
    char buffer[kReferenceBufferSize + 1] = {};
    int result = module.reference(buffer, kReferenceBufferSize);
    out.Data()["reference_result"] = result;
    if (result == 0) {
        out.Error(std::string("reference query failed (0): ") + kSeeLog);
        return kExitQueryFailed;
    }
    std::string reference(buffer);
    out.Data()["reference"] = Cp1252ToUtf8(reference);
    out.Info("board reference: " + ForTerminal(reference));
    return kExitSuccess;
}

// ---- download ------------------------------------------------------------------------

struct DownloadOutcome {
    const char* words;
    const char* name;  // for JSON
    int exitCode;
};

DownloadOutcome OutcomeOf(int result)
{
    if (result > 0)
        return {"accepted, application started", "accepted", kExitSuccess};
    switch (result) {
    case -2:
        return {"refused by the board (-2)", "refused", kExitDownloadRefused};
    case -1:
        return {"download failed (-1)", "failed", kExitDownloadFailed};
    case 0:
        return {"failed (0)", "failed", kExitDownloadFailed};
    default:
        return {"unexpected result", "failed", kExitDownloadFailed};
    }
}

int Verify(Module& module, const ApplicationFile& file, Output& out)
{
    Json& verification = out.Data()["verification"];
    if (!file.banner) {
        verification = Json{{"status", "skipped"}, {"reason", "the file carries no banner"}};
        out.Info("verify: skipped, the file carries no banner");
        return kExitSuccess;
    }
    FlashContent flash = ReadFlash(module);
    if (flash.result == 0) {
        verification = Json{{"status", "failed"}, {"version_result", 0}};
        out.Error(std::string("the download was accepted but the version query failed (0), so the new "
                              "application could not be verified: run 'torvexctl version'; ")
                  + kSeeLog);
        return kExitQueryFailed;
    }
    if (!flash.banner) {
        verification = Json{{"status", "mismatch"}, {"flash_banner", nullptr}};
        out.Error("verification failed: the board reports no application in flash after the download; "
                  "download again, and check Torvex.log");
        return kExitVerifyMismatch;
    }
    bool same = SameFields(*flash.banner, *file.banner);
    verification = Json{{"status", same ? "match" : "mismatch"}, {"flash_banner", BannerJson(*flash.banner)}};
    if (!same) {
        out.Error("verification failed: the board reports " + Quoted(*flash.banner) + " but the file carries "
                  + Quoted(*file.banner) + "; download again, and check Torvex.log");
        return kExitVerifyMismatch;
    }
    out.Info("verify: the board reports the file's banner");
    return kExitSuccess;
}

std::string HintFor(int exitCode)
{
    if (exitCode == kExitDownloadRefused)
        return "the board refused the application: check that the file is meant for this board; " + std::string(kSeeLog);
    return std::string("the application was not written: ") + kSeeLog;
}

}  // namespace

int RunDownload(const Options& options, Output& out)
{
    out.Data()["command"] = "download";
    ApplicationFile file = ReadApplicationFile(options.file);
    if (!DescribeFile(options.file, file, out))
        return kExitFileUnreadable;
    if (file.size == 0) {
        out.Error("application file " + options.file + " is empty: nothing to download");
        return kExitFileUnreadable;
    }

    return WithModule(options, out, [&](Module& module) {
        // The module opens the file itself; an absolute path also reads clearly in its log.
        std::error_code error;
        std::filesystem::path absolute = std::filesystem::absolute(options.file, error);
        std::string text = error ? options.file : absolute.string();
        std::vector<char> path(text.begin(), text.end());
        path.push_back('\0');
        double seconds = 0;
        int result = RunWithProgress([&] { return module.download(path.data()); }, out.ProgressStream(),
                                     "downloading " + FileNameOf(options.file), &seconds);
        DownloadOutcome outcome = OutcomeOf(result);
        out.Data()["result"] = result;
        out.Data()["outcome"] = outcome.name;
        out.Data()["elapsed_seconds"] = static_cast<double>(static_cast<long long>(seconds * 1000)) / 1000;

        char elapsed[32];
        std::snprintf(elapsed, sizeof elapsed, "%.1f s", seconds);
        out.Info(std::string("result: ") + outcome.words
                 + (outcome.exitCode != kExitSuccess && result < -2 ? " (" + std::to_string(result) + ")" : ""));
        out.Info(std::string("time:   ") + elapsed);
        if (outcome.exitCode != kExitSuccess) {
            out.Error(HintFor(outcome.exitCode));
            return outcome.exitCode;
        }
        if (!options.verify) {
            out.Data()["verification"] = Json{{"status", "skipped"}, {"reason", "--no-verify"}};
            return static_cast<int>(kExitSuccess);
        }
        return Verify(module, file, out);
    });
}

int RunVersion(const Options& options, Output& out)
{
    out.Data()["command"] = "version";
    return WithModule(options, out, [&](Module& module) { return QueryVersion(module, out); });
}

int RunReference(const Options& options, Output& out)
{
    out.Data()["command"] = "reference";
    return WithModule(options, out, [&](Module& module) { return QueryReference(module, out); });
}

int RunInfo(const Options& options, Output& out)
{
    out.Data()["command"] = "info";
    return WithModule(options, out, [&](Module& module) {
        int reference = QueryReference(module, out);
        int version = QueryVersion(module, out);
        return reference != kExitSuccess ? reference : version;
    });
}

int RunClean(const Options& options, Output& out)
{
    out.Data()["command"] = "clean";
    return WithModule(options, out, [&](Module& module) {
        int result = module.clean();
        out.Data()["result"] = result;
        if (result == 0) {
            out.Error(std::string("clean-up failed (0): no session could be opened or the library has no clean-up; ")
                      + kSeeLog);
            return static_cast<int>(kExitQueryFailed);
        }
        out.Info("clean-up done");
        return static_cast<int>(kExitSuccess);
    });
}

int RunBanner(const Options& options, Output& out)
{
    out.Data()["command"] = "banner";
    if (options.showLog)
        out.Note("--log has no effect on banner: it reads the file without the module");
    ApplicationFile file = ReadApplicationFile(options.file);
    return DescribeFile(options.file, file, out) ? kExitSuccess : kExitFileUnreadable;
}

}  // namespace torvexctl
