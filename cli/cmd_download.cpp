#include "banner_print.h"
#include "commands.h"
#include "exit_codes.h"
#include "history/history.h"
#include "history/history_view.h"
#include "manifest_print.h"
#include "interrupted_notice.h"
#include "module_run.h"
#include "system/paths.h"
#include "progress.h"
#include "system/text.h"
#include "engine/update_engine.h"

#include <CLI/CLI.hpp>

#include <cstdio>

namespace torvexctl {

namespace {

using namespace torvexupdate;
using Json = nlohmann::ordered_json;

struct DownloadExit {
    const char* name;  // for JSON
    int exitCode;
};

DownloadExit ExitOf(int result)
{
    if (result > 0)
        return {"accepted", kExitSuccess};
    if (result == -2)
        return {"refused", kExitDownloadRefused};
    return {"failed", kExitDownloadFailed};
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

// What torvexctl says before the module is loaded: the file refused, or a warning.
int ReportFileRefusal(const Options& options, const UpdateFile& file, Outcome outcome, Output& out)
{
    switch (outcome) {
    case Outcome::kFileEmpty:
        out.Error("application file " + options.file + " is empty: nothing to download");
        return kExitFileUnreadable;
    case Outcome::kNotApplication:
        out.Error(options.file + " is not an application file: " + file.check.reason
                  + "; nothing was written: check that this is the file you meant, or add --force to download it "
                    "anyway");
        return kExitNotAnApplication;
    case Outcome::kPathUnusable:
        out.Error("the path " + AbsolutePath(options.file) + " cannot be handed to the module: " + file.narrow.problem
                  + "; nothing was written: copy or rename the file to a path in plain letters");
        return kExitPathUnusable;
    case Outcome::kManifestRefused:
        return kExitManifestRefused;  // ReportManifestRefusal has said why
    default:
        return kExitFileUnreadable;  // DescribeFile has said why
    }
}

int ReportVerification(const UpdateFile& file, const UpdateReport& report, const Options& options, Output& out)
{
    Json& verification = out.Data()["verification"];
    switch (report.verification) {
    case Verification::kNotMade:
        verification = Json{{"status", "skipped"}, {"reason", "--no-verify"}};
        (void)options;
        return kExitSuccess;
    case Verification::kSkippedNoBanner:
        verification = Json{{"status", "skipped"}, {"reason", "the file carries no banner"}};
        out.Info("verify: skipped, the file carries no banner");
        return kExitSuccess;
    case Verification::kFailed:
        verification = Json{{"status", "failed"}, {"version_result", 0}};
        out.Error(std::string("the download was accepted but the version query failed (0), so the new "
                              "application could not be verified: run 'torvexctl version'; ")
                  + kSeeLog);
        return kExitQueryFailed;
    case Verification::kMismatch:
        if (!report.after.banner) {
            verification = Json{{"status", "mismatch"}, {"flash_banner", nullptr}};
            out.Error("verification failed: the board reports no application in flash after the download; "
                      "download again, and check Torvex.log");
            return kExitVerifyMismatch;
        }
        verification = Json{{"status", "mismatch"}, {"flash_banner", BannerJson(*report.after.banner)}};
        out.Error("verification failed: the board reports " + Quoted(*report.after.banner) + " but the file carries "
                  + Quoted(*file.content.banner) + "; download again, and check Torvex.log");
        return kExitVerifyMismatch;
    case Verification::kMatch:
        break;
    }
    verification = Json{{"status", "match"}, {"flash_banner", BannerJson(*report.after.banner)}};
    out.Info("verify: the board reports the file's banner");
    return kExitSuccess;
}

// After a download that did not succeed: what the board carries now, and what to do.
void ReportAfterFailure(const UpdateReport& report, int exitCode, Output& out)
{
    out.Data()["board_after"] = BoardJson(report.after);
    out.Data()["board_state"] = AfterFailureName(report.afterFailure);

    std::string advice;
    switch (report.afterFailure) {
    case AfterFailure::kWrittenNotStarted:
        out.Info("board:  written but not started: " + Describe(report.after));
        advice = "the application was written but could not be started (or the board not reset): restart the "
                 "board, then check with 'torvexctl version'; if it does not run, download again";
        break;
    case AfterFailure::kUnchanged:
        out.Info("board:  unchanged: " + Describe(report.after));
        advice = exitCode == kExitDownloadRefused
            ? "the board refused the application: check that the file is meant for this board"
            : "the application was not written: check the connection and download again (--retries N "
              "tries again after a failed transfer)";
        break;
    case AfterFailure::kEmpty:
        out.Info("board:  no application in flash");
        advice = "the board now has no application: download a good application before restarting it";
        break;
    case AfterFailure::kOther:
        out.Info("board:  another application: " + Describe(report.after));
        advice = "the board carries neither its former application nor this file's: download again";
        break;
    case AfterFailure::kUnknown:
        out.Info("board:  unknown (the version query failed)");
        advice = "what the board carries could not be read: run 'torvexctl version' before restarting it";
        break;
    }
    out.Error(advice + "; " + kSeeLog);
}

int ReportDownload(const Options& options, const UpdateFile& file, const UpdateReport& report, Output& out)
{
    if (report.outcome == Outcome::kManifestRefused)
        return ReportManifestRefusal(options.file, report.manifest, out);
    if (report.outcome == Outcome::kSkipped) {
        out.Data()["outcome"] = "skipped";
        out.Info("skipped: the board already carries this application; nothing was written (add --force to "
                 "download it again)");
        return kExitSuccess;
    }
    double seconds = 0;
    Json results = Json::array();
    for (const DownloadAttempt& attempt : report.attempts) {
        seconds += attempt.seconds;
        results.push_back(attempt.result);
    }
    DownloadExit exit = ExitOf(report.result);
    out.Data()["result"] = report.result;
    out.Data()["outcome"] = exit.name;
    out.Data()["attempts"] = results;
    out.Data()["elapsed_seconds"] = static_cast<double>(static_cast<long long>(seconds * 1000)) / 1000;

    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.1f s", seconds);
    out.Info(std::string("result: ") + DownloadResultWords(report.result)
             + (exit.exitCode != kExitSuccess && report.result < -2 ? " (" + std::to_string(report.result) + ")" : "")
             + (report.attempts.size() > 1 ? " after " + std::to_string(report.attempts.size()) + " attempts" : ""));
    out.Info(std::string("time:   ") + elapsed);
    if (exit.exitCode != kExitSuccess) {
        ReportAfterFailure(report, exit.exitCode, out);
        return exit.exitCode;
    }
    return ReportVerification(file, report, options, out);
}

}  // namespace

int RunDownload(const Options& options, Output& out)
{
    out.Data()["command"] = "download";
    UpdateFile file = InspectFile(options.file);
    bool described = DescribeFile(options.file, file.content, out);
    bool application = file.check.verdict == FileVerdict::kApplication;
    if (described && file.check.verdict != FileVerdict::kEmpty) {
        out.Data()["application"] = application;
        if (!application && options.force)
            out.Note("warning: " + options.file + " is not an application file: " + file.check.reason
                     + "; downloading it anyway (--force)");
        if ((application || options.force) && file.narrow.usable && file.narrow.shortName)
            out.Note("the file's path holds characters outside the ANSI code page: the module is given its short "
                     "name "
                     + AnsiToUtf8(file.narrow.bytes));
    }

    ModuleRun run(options, out);
    // Another program on the board turns this one away before anything else is done.
    bool reachesBoard = file.content.readable && file.check.verdict != FileVerdict::kEmpty
        && (application || options.force) && file.narrow.usable;
    if (reachesBoard && !run.Lock())
        return kExitBoardBusy;
    bool started = false;
    int startCode = kExitSuccess;
    UpdateEvents events;
    events.openBoard = [&](BoardCalls* calls) {
        started = true;
        startCode = run.Start();
        *calls = run.Get();
        return startCode == kExitSuccess;
    };
    // The engine's verdict, which the board's side completes during the same RunUpdate call.
    const ManifestVerdict* manifest = nullptr;
    std::size_t manifestNotes = 0;  // its notes said so far
    std::string writeAgainBecause;
    events.historyRead = [&](const BoardHistory& standing) {
        if (standing.interrupted)
            TellInterrupted(*standing.interrupted, "this download writes the file in full", out);
        writeAgainBecause = standing.writeAgainBecause;
    };
    events.boardRead = [&](const BoardContent& before, bool same) {
        if (manifest != nullptr)  // the board's side may add a note: an older version written anyway
            PrintManifestNotes(options.file, *manifest, manifestNotes, out);
        out.Data()["board_before"] = BoardJson(before);
        if (same && !options.force && !writeAgainBecause.empty()) {
            out.Data()["written_again_because"] = writeAgainBecause;
            out.Info("board:  " + Describe(before) + " (the file's banner)");
            out.Info("writing it again: " + writeAgainBecause);
        } else if (same && !options.force)
            out.Info("board:  " + Describe(before));
        else if (same)
            out.Info("board:  " + Describe(before) + " (the same; downloading it again: --force)");
        else
            out.Info("board:  " + Describe(before) + (before.banner ? " (to be replaced)" : ""));
    };
    events.runDownload = [&](const std::function<int()>& download, double* seconds) {
        return RunWithProgress(download, out.ProgressStream(), "downloading " + FileNameOf(options.file), seconds);
    };
    events.manifestChecked = [&](const ManifestVerdict& verdict) {
        manifest = &verdict;
        if (!verdict.ok) {
            ReportManifestRefusal(options.file, verdict, out);
            return;
        }
        PrintManifestVerdict(options.file, verdict, out);
        manifestNotes = verdict.notes.size();
    };
    events.retrying = [&](int number, int total, int previous) {
        out.Note("download failed (" + std::to_string(previous) + "): attempt " + std::to_string(number) + " of "
                 + std::to_string(total));
    };

    UpdateOptions update;
    update.force = options.force;
    update.retries = options.retries;
    update.verify = options.verify;
    update.program = "torvexctl";
    update.operatorName = ChosenOperator(options.operatorName);
    update.historyPath = HistoryPath(options.historyPath, run.ModuleFolder());
    update.trustedKeysFolder = JoinPath(run.ModuleFolder(), kTrustedKeysFolderName);
    update.manifest = {options.allowUnsigned, options.allowOlder};
    UpdateReport report = RunUpdate(file, update, events);

    int code;
    if (!started)
        code = ReportFileRefusal(options, file, report.outcome, out);
    else if (startCode != kExitSuccess)
        code = startCode;
    else
        code = ReportDownload(options, file, report, out);
    if (!report.historyError.empty())
        out.Note("warning: this update could not be added to the update history: " + report.historyError);
    if (started)
        run.Finish();
    return code;
}

void AddDownloadOptions(CLI::App& command, Options& options)
{
    command.add_flag_callback(
        "--no-verify", [&options] { options.verify = false; }, "do not read the version back after the download");
    command.add_flag("--force", options.force,
                     "download a file that does not look like an application, or the application the board "
                     "already carries");
    command
        .add_option("--retries", options.retries,
                    "try a download that failed on the link (-1) again up to N times (default 0)")
        ->type_name("N")
        ->check(CLI::Range(0, 100));
    command
        .add_option("--operator", options.operatorName,
                    "who runs the update, for the history (default: $TORVEX_OPERATOR)")
        ->type_name("NAME");
    command.add_flag("--allow-unsigned", options.allowUnsigned,
                     "write a file without a manifest signed by a trusted key (trusted-keys beside the module); "
                     "a file that differs from its manifest, or a manifest edited after signing, is still refused");
    command.add_flag("--allow-older", options.allowOlder,
                     "write an older release version than the one the update history knows the board carries");
}

}  // namespace torvexctl
