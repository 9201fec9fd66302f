#include "download_presenter.h"

#include "banner_print.h"
#include "board_warning.h"
#include "engine/outcome_texts.h"
#include "exit_codes.h"
#include "history/history.h"
#include "manifest_print.h"
#include "progress.h"
#include "system/paths.h"
#include "system/text.h"
#include "words/for_people.h"

#include <cstdio>

namespace torvexctl {

namespace {

using namespace torvexupdate;
using Json = nlohmann::ordered_json;

// The outcome table's exit statuses are torvexctl's own.
static_assert(RowOf(Outcome::kFileUnreadable).exitCode == kExitFileUnreadable);
static_assert(RowOf(Outcome::kFileEmpty).exitCode == kExitFileUnreadable);
static_assert(RowOf(Outcome::kNotApplication).exitCode == kExitNotAnApplication);
static_assert(RowOf(Outcome::kPathUnusable).exitCode == kExitPathUnusable);
static_assert(RowOf(Outcome::kBoardUnavailable).exitCode == kExitInitFailed);
static_assert(RowOf(Outcome::kSkipped).exitCode == kExitSuccess);
static_assert(RowOf(Outcome::kAccepted).exitCode == kExitSuccess);
static_assert(RowOf(Outcome::kVerifyMismatch).exitCode == kExitVerifyMismatch);
static_assert(RowOf(Outcome::kVerifyFailed).exitCode == kExitQueryFailed);
static_assert(RowOf(Outcome::kRefused).exitCode == kExitDownloadRefused);
static_assert(RowOf(Outcome::kFailed).exitCode == kExitDownloadFailed);
static_assert(RowOf(Outcome::kManifestRefused).exitCode == kExitManifestRefused);

// The download call's own outcome, whatever the verification adds.
Outcome DownloadOutcome(int result)
{
    return DownloadAccepted(result) ? Outcome::kAccepted : result == -2 ? Outcome::kRefused : Outcome::kFailed;
}

std::string Describe(const BoardContent& board)
{
    if (!board.known)
        return Say(Message::kConsoleBoardUnknown);
    if (!board.banner)
        return Say(Message::kConsoleNoApplication);
    return Apart(*board.banner);
}

Json BoardJson(const BoardContent& board)
{
    if (!board.known)
        return Json{{"known", false}};
    return Json{{"known", true}, {"banner", board.banner ? BannerJson(*board.banner) : Json(nullptr)}};
}

// What torvexctl says when the update ends before the module is loaded: the file refused
// (a manifest's refusal was said when it was checked, an unreadable file when described).
int ReportFileRefusal(const Options& options, const UpdateFile& file, const UpdateReport& report, Output& out)
{
    OutcomeTexts texts = TextsOf(report);
    if (texts.console != Message::kNone)
        out.Error(Say(texts.console,
                      {{"path", options.file},
                       {"full_path", AbsolutePath(options.file)},
                       {"reason", OutcomeReason(file, report)}}));
    return texts.exitCode;
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
        out.Info(Say(Message::kConsoleVerifySkipped));
        return kExitSuccess;
    case Verification::kFailed:
        verification = Json{{"status", "failed"}, {"version_result", 0}};
        out.Error(Say(Message::kConsoleVerifyQueryFailed, {{"see_log", Say(Message::kConsoleSeeLog)}}));
        return kExitQueryFailed;
    case Verification::kMismatch:
        if (!report.after.banner) {
            verification = Json{{"status", "mismatch"}, {"flash_banner", nullptr}};
            out.Error(Say(Message::kConsoleVerifyNoApplication));
            return kExitVerifyMismatch;
        }
        verification = Json{{"status", "mismatch"}, {"flash_banner", BannerJson(*report.after.banner)}};
        out.Error(Say(Message::kConsoleVerifyMismatch,
                      {{"board", Quoted(*report.after.banner)}, {"file", Quoted(*file.content.banner)}}));
        return kExitVerifyMismatch;
    case Verification::kMatch:
        break;
    }
    verification = Json{{"status", "match"}, {"flash_banner", BannerJson(*report.after.banner)}};
    out.Info(Say(Message::kConsoleVerifyMatch));
    return kExitSuccess;
}

// After a download that did not succeed: what the board carries now, and what to do.
void ReportAfterFailure(const UpdateReport& report, int exitCode, Output& out)
{
    out.Data()["board_after"] = BoardJson(report.after);
    out.Data()["board_state"] = AfterFailureName(report.afterFailure);

    Message advice = Message::kNone;
    std::string board = Describe(report.after);
    switch (report.afterFailure) {
    case AfterFailure::kWrittenNotStarted:
        out.Info(Say(Message::kConsoleBoardWrittenNotStarted, {{"board", board}}));
        advice = Message::kAdviceConsoleWrittenNotStarted;
        break;
    case AfterFailure::kUnchanged:
        out.Info(Say(Message::kConsoleBoardUnchanged, {{"board", board}}));
        advice = exitCode == kExitDownloadRefused ? Message::kAdviceConsoleBoardRefused
                                                  : Message::kAdviceConsoleNotWritten;
        break;
    case AfterFailure::kEmpty:
        out.Info(Say(Message::kConsoleBoardEmpty));
        advice = Message::kAdviceConsoleBoardEmpty;
        break;
    case AfterFailure::kOther:
        out.Info(Say(Message::kConsoleBoardOther, {{"board", board}}));
        advice = Message::kAdviceConsoleBoardOther;
        break;
    case AfterFailure::kUnknown:
        out.Info(Say(Message::kConsoleBoardNotRead));
        advice = Message::kAdviceConsoleBoardUnknown;
        break;
    }
    out.Error(Say(Message::kConsoleAdviceAndLog, {{"advice", Say(advice)}, {"see_log", Say(Message::kConsoleSeeLog)}}));
}

int ReportDownload(const Options& options, const UpdateFile& file, const UpdateReport& report, Output& out)
{
    if (report.outcome == Outcome::kManifestRefused)
        return ReportManifestRefusal(options.file, report.manifest, out);
    if (report.outcome == Outcome::kSkipped) {
        out.Data()[field::kOutcome] = RowOf(Outcome::kSkipped).name;
        out.Info(Say(TextsOf(report).console));
        return TextsOf(report).exitCode;
    }
    double seconds = 0;
    Json results = Json::array();
    for (const DownloadAttempt& attempt : report.attempts) {
        seconds += attempt.seconds;
        results.push_back(attempt.result);
    }
    const OutcomeRow& exit = RowOf(DownloadOutcome(report.result));
    out.Data()["result"] = report.result;
    out.Data()[field::kOutcome] = exit.name;
    out.Data()["attempts"] = results;
    out.Data()["elapsed_seconds"] = static_cast<double>(static_cast<long long>(seconds * 1000)) / 1000;

    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.1f", seconds);
    std::string result = DownloadResultWords(report.result);
    out.Info(report.attempts.size() > 1 ? Say(Message::kConsoleResultAfterAttempts,
                                              {{"result", result}, {"count", std::to_string(report.attempts.size())}})
                                        : Say(Message::kConsoleResult, {{"result", result}}));
    out.Info(Say(Message::kConsoleTime, {{"seconds", DecimalForPeople(elapsed)}}));
    if (exit.exitCode != kExitSuccess) {
        ReportAfterFailure(report, exit.exitCode, out);
        return exit.exitCode;
    }
    return ReportVerification(file, report, options, out);
}

}  // namespace

DownloadPresenter::DownloadPresenter(const Options& options, Output& out, ModuleRun& run)
        : options_(options), out_(out), run_(run)
{
}

UpdateEvents DownloadPresenter::Events()
{
    UpdateEvents events;
    events.openBoard = [this](BoardCalls* calls) { return OpenBoard(calls); };
    events.manifestChecked = [this](const ManifestVerdict& verdict) { ManifestChecked(verdict); };
    events.accountRead = [this](const BoardAccount& account) { AccountRead(account); };
    events.boardRead = [this](const BoardContent& before, bool same, const std::string& writeAgainBecause) {
        BoardRead(before, same, writeAgainBecause);
    };
    events.writing = [this] { Writing(); };
    events.runDownload = [this](const std::function<int()>& download, double* seconds) {
        return RunDownload(download, seconds);
    };
    events.retrying = [this](int number, int total, int previous) { Retrying(number, total, previous); };
    return events;
}

bool DownloadPresenter::OpenBoard(BoardCalls* calls)
{
    started_ = true;
    startCode_ = run_.Start();
    *calls = run_.Get();
    return startCode_ == kExitSuccess;
}

void DownloadPresenter::ManifestChecked(const ManifestVerdict& verdict)
{
    manifest_ = &verdict;
    if (!verdict.ok) {
        ReportManifestRefusal(options_.file, verdict, out_);
        return;
    }
    out_.Data()["manifest"] = ManifestVerdictJson(verdict);
    PrintManifestVerdict(options_.file, verdict, out_);
    manifestNotes_ = verdict.notes.size();
}

void DownloadPresenter::AccountRead(const BoardAccount& account)
{
    account_ = account;
}

void DownloadPresenter::BoardRead(const BoardContent& before, bool same, const std::string& writeAgainBecause)
{
    if (manifest_ != nullptr) {  // the board's side may add a remark: an older version written anyway
        PrintManifestNotes(options_.file, *manifest_, manifestNotes_, out_);
        out_.Data()["manifest"] = ManifestVerdictJson(*manifest_);
    }
    out_.Data()["board_before"] = BoardJson(before);
    if (!writeAgainBecause.empty()) {
        out_.Data()[field::kWrittenAgainBecause] = writeAgainBecause;
        out_.Info(Say(Message::kConsoleBoardBeforeFileBanner, {{"board", Describe(before)}}));
        out_.Info(Say(Message::kConsoleWritingAgain, {{"reason", writeAgainBecause}}));
    } else if (same && !options_.force)
        out_.Info(Say(Message::kConsoleBoardBefore, {{"board", Describe(before)}}));
    else if (same)
        out_.Info(Say(Message::kConsoleBoardBeforeForced, {{"board", Describe(before)}}));
    else
        out_.Info(Say(before.banner ? Message::kConsoleBoardBeforeReplaced : Message::kConsoleBoardBefore,
                      {{"board", Describe(before)}}));
}

// The warning comes when the file is about to be written, which then writes it in full.
void DownloadPresenter::Writing()
{
    TellIncomplete(account_, Message::kNextDownloadWritesInFull, out_);
}

int DownloadPresenter::RunDownload(const std::function<int()>& download, double* seconds)
{
    return RunWithProgress(download, out_.ProgressStream(),
                           Say(Message::kConsoleDownloading, {{"file", FileNameOf(options_.file)}}), seconds);
}

void DownloadPresenter::Retrying(int number, int total, int previous)
{
    out_.Note(Say(
        Message::kConsoleRetry,
        {{"code", std::to_string(previous)}, {"number", std::to_string(number)}, {"total", std::to_string(total)}}));
}

int DownloadPresenter::Finish(const UpdateFile& file, const UpdateReport& report)
{
    int code;
    if (!started_)
        code = ReportFileRefusal(options_, file, report, out_);
    else if (startCode_ != kExitSuccess)
        code = startCode_;
    else
        code = ReportDownload(options_, file, report, out_);
    // An update that wrote nothing (refused by the manifest or the board) leaves an earlier
    // incomplete write standing: said again, after the refusal.
    if (started_ && !report.reference.empty()) {
        BoardAccount after = ReadBoardAccount(HistoryPath(options_.historyPath, run_.ModuleFolder()), report.reference,
                                              std::nullopt);
        if (after.MayBeIncomplete() && FieldText(*after.lastWrite, field::kId) != report.id)
            TellIncomplete(after, Message::kNextQueryWriteAgain, out_);
    }
    if (!report.historyError.empty())
        out_.Note(Say(Message::kConsoleHistoryNotWritten, {{"error", report.historyError}}));
    if (started_)
        run_.Finish();
    return code;
}

}  // namespace torvexctl
