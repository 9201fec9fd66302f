#include "banner_print.h"
#include "commands.h"
#include "download_steps.h"
#include "exit_codes.h"
#include "module_run.h"
#include "paths.h"
#include "progress.h"
#include "text.h"

#include <cstdio>
#include <vector>

namespace torvexctl {

namespace {

using Json = nlohmann::ordered_json;

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

std::string Describe(const BoardContent& board)
{
    if (!board.known)
        return "unknown (the version query failed)";
    if (!board.banner)
        return "no application in flash";
    return ForTerminal(BannerLine(*board.banner));
}

Json BoardJson(const BoardContent& board)
{
    if (!board.known)
        return Json{{"known", false}};
    return Json{{"known", true}, {"banner", board.banner ? BannerJson(*board.banner) : Json(nullptr)}};
}

// Refuses (false) a file that cannot be an application unless --force.
bool CheckFile(const Options& options, const FileCheck& check, Output& out)
{
    out.Data()["application"] = check.verdict == FileVerdict::kApplication;
    if (check.verdict == FileVerdict::kApplication)
        return true;
    std::string what = options.file + " is not an application file: " + check.reason;
    if (!options.force) {
        out.Error(what + "; nothing was written: check that this is the file you meant, or add --force to "
                         "download it anyway");
        return false;
    }
    out.Note("warning: " + what + "; downloading it anyway (--force)");
    return true;
}

int Verify(Module& module, const ApplicationFile& file, Output& out)
{
    Json& verification = out.Data()["verification"];
    if (!file.banner) {
        verification = Json{{"status", "skipped"}, {"reason", "the file carries no banner"}};
        out.Info("verify: skipped, the file carries no banner");
        return kExitSuccess;
    }
    BoardContent flash = ReadBoardContent(module);
    if (!flash.known) {
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

// After a download that did not succeed: what the board carries now, and what to do.
void ReportAfterFailure(Module& module, const BoardContent& before, const ApplicationFile& file,
                        const DownloadOutcome& outcome, Output& out)
{
    BoardContent after = ReadBoardContent(module);
    AfterFailure state = ClassifyAfterFailure(before, after, file);
    static const char* const kStateNames[] = {"unknown", "unchanged", "written_not_started", "empty", "other"};
    out.Data()["board_after"] = BoardJson(after);
    out.Data()["board_state"] = kStateNames[static_cast<int>(state)];

    std::string advice;
    switch (state) {
    case AfterFailure::kWrittenNotStarted:
        out.Info("board:  written but not started: " + Describe(after));
        advice = "the application was written but could not be started (or the board not reset): restart the "
                 "board, then check with 'torvexctl version'; if it does not run, download again";
        break;
    case AfterFailure::kUnchanged:
        out.Info("board:  unchanged: " + Describe(after));
        advice = outcome.exitCode == kExitDownloadRefused
                     ? "the board refused the application: check that the file is meant for this board"
                     : "the application was not written: check the connection and download again (--retries N "
                       "tries again after a failed transfer)";
        break;
    case AfterFailure::kEmpty:
        out.Info("board:  no application in flash");
        advice = "the board now has no application: download a good application before restarting it";
        break;
    case AfterFailure::kOther:
        out.Info("board:  another application: " + Describe(after));
        advice = "the board carries neither its former application nor this file's: download again";
        break;
    case AfterFailure::kUnknown:
        out.Info("board:  unknown (the version query failed)");
        advice = "what the board carries could not be read: run 'torvexctl version' before restarting it";
        break;
    }
    out.Error(advice + "; " + kSeeLog);
}

}  // namespace

int RunDownload(const Options& options, Output& out)
{
    out.Data()["command"] = "download";
    ApplicationFile file = ReadApplicationFile(options.file);
    if (!DescribeFile(options.file, file, out))
        return kExitFileUnreadable;
    FileCheck check = CheckApplicationFile(file);
    if (check.verdict == FileVerdict::kEmpty) {
        out.Error("application file " + options.file + " is empty: nothing to download");
        return kExitFileUnreadable;
    }
    if (!CheckFile(options, check, out))
        return kExitNotAnApplication;

    // The module opens the file itself through the narrow-character API; an absolute path
    // also reads clearly in its log.
    NarrowPath narrow = ForModule(AbsolutePath(options.file));
    if (!narrow.usable) {
        out.Error("the path " + AbsolutePath(options.file) + " cannot be handed to the module: " + narrow.problem
                  + "; nothing was written: copy or rename the file to a path in plain letters");
        return kExitPathUnusable;
    }
    if (narrow.shortName)
        out.Note("the file's path holds characters outside the ANSI code page: the module is given its short name "
                 + AnsiToUtf8(narrow.bytes));

    return WithModule(options, out, [&](ModuleRun& run) {
        Module& module = run.Get();
        BoardContent before = ReadBoardContent(module);
        out.Data()["board_before"] = BoardJson(before);
        if (CarriesFile(before, file) && check.verdict == FileVerdict::kApplication) {
            if (!options.force) {
                out.Data()["outcome"] = "skipped";
                out.Info("board:  " + Describe(before));
                out.Info("skipped: the board already carries this application; nothing was written (add --force "
                         "to download it again)");
                return static_cast<int>(kExitSuccess);
            }
            out.Info("board:  " + Describe(before) + " (the same; downloading it again: --force)");
        } else {
            out.Info("board:  " + Describe(before) + (before.banner ? " (to be replaced)" : ""));
        }

        std::vector<char> path(narrow.bytes.begin(), narrow.bytes.end());
        path.push_back('\0');
        int total = options.retries + 1;
        std::vector<DownloadAttempt> attempts = DownloadWithRetries(
            [&] {
                DownloadAttempt attempt;
                attempt.result = RunWithProgress([&] { return module.download(path.data()); }, out.ProgressStream(),
                                                 "downloading " + FileNameOf(options.file), &attempt.seconds);
                return attempt;
            },
            options.retries,
            [&](int number, int previous) {
                out.Note("download failed (" + std::to_string(previous) + "): attempt " + std::to_string(number)
                         + " of " + std::to_string(total));
            });

        double seconds = 0;
        Json results = Json::array();
        for (const DownloadAttempt& attempt : attempts) {
            seconds += attempt.seconds;
            results.push_back(attempt.result);
        }
        int result = attempts.back().result;
        DownloadOutcome outcome = OutcomeOf(result);
        out.Data()["result"] = result;
        out.Data()["outcome"] = outcome.name;
        out.Data()["attempts"] = results;
        out.Data()["elapsed_seconds"] = static_cast<double>(static_cast<long long>(seconds * 1000)) / 1000;

        char elapsed[32];
        std::snprintf(elapsed, sizeof elapsed, "%.1f s", seconds);
        out.Info(std::string("result: ") + outcome.words
                 + (outcome.exitCode != kExitSuccess && result < -2 ? " (" + std::to_string(result) + ")" : "")
                 + (attempts.size() > 1 ? " after " + std::to_string(attempts.size()) + " attempts" : ""));
        out.Info(std::string("time:   ") + elapsed);
        if (outcome.exitCode != kExitSuccess) {
            ReportAfterFailure(module, before, file, outcome, out);
            return outcome.exitCode;
        }
        if (!options.verify) {
            out.Data()["verification"] = Json{{"status", "skipped"}, {"reason", "--no-verify"}};
            return static_cast<int>(kExitSuccess);
        }
        return Verify(module, file, out);
    });
}

}  // namespace torvexctl
