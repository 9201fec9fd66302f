#include "engine/update_engine.h"

#include "history/history.h"
#include "system/system_facts.h"
#include "words/language.h"
#include "engine/update_record.h"

#include <chrono>
#include <filesystem>

namespace torvexupdate {

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

int RunHere(const std::function<int()>& download, double* seconds)
{
    Clock::time_point start = Clock::now();
    int result = download();
    *seconds = SecondsSince(start);
    return result;
}

// One download, then again while it fails with -1 (a transfer that failed on the link),
// up to `retries` more times.
std::vector<DownloadAttempt> Download(const BoardCalls& board, const UpdateFile& file, int retries,
                                      const UpdateEvents& events)
{
    auto attempt = [&] {
        DownloadAttempt one;
        auto call = [&] { return board.download(file.narrow.bytes.c_str()); };
        one.result = events.runDownload ? events.runDownload(call, &one.seconds) : RunHere(call, &one.seconds);
        return one;
    };
    return DownloadWithRetries(attempt, retries, [&](int number, int previous) {
        if (events.retrying)
            events.retrying(number, retries + 1, previous);
    });
}

// The file against its manifest, told to the front end before the board is opened.
bool FileMatchesManifest(const UpdateFile& file, const UpdateOptions& options, const UpdateEvents& events,
                         UpdateReport& report)
{
    report.manifest = CheckFileManifest(file, options);
    if (CurrentLanguage() != Language::kEnglish) {
        ThreadLanguage english(Language::kEnglish);
        report.manifestForRecord = CheckFileManifest(file, options);
    }
    if (events.manifestChecked)
        events.manifestChecked(report.manifest);
    return report.manifest.ok;
}

// The board's reference against the manifest's patterns, and the manifest's release
// version against the board's floor.
bool BoardMatchesManifest(const UpdateOptions& options, const BoardAccount& account, UpdateReport& report)
{
    if (!report.manifest.manifest)
        return true;
    CheckBoardAgainstManifest(&report.manifest, report.reference, FloorOf(account), options.manifest);
    if (report.manifestForRecord) {
        ThreadLanguage english(Language::kEnglish);
        CheckBoardAgainstManifest(&*report.manifestForRecord, report.reference, FloorOf(account), options.manifest);
    }
    return report.manifest.ok;
}

// Everything from the banner before to the read-back, with the board open.
void UpdateBoard(const BoardCalls& board, const UpdateFile& file, const UpdateOptions& options,
                 const UpdateEvents& events, const std::string& time, UpdateReport& report)
{
    report.reference = ReadReference(board);
    // This program holds the board lock: no other update runs.
    BoardAccount account = ReadBoardAccount(options.historyPath, report.reference, std::nullopt,
                                            report.manifest.signatureChecked);
    if (events.accountRead)
        events.accountRead(account);
    report.before = ReadBoardContent(board);
    if (!BoardMatchesManifest(options, account, report)) {
        report.outcome = Outcome::kManifestRefused;
        report.after = report.before;
        return;
    }
    bool same = CarriesFile(report.before, file.content) && file.check.verdict == FileVerdict::kApplication;
    std::string writeAgainBecause = same && !options.force
        ? WriteAgainBecause(account, RecordedBanner(file.content.banner), file.sha256)
        : std::string();
    if (events.boardRead)
        events.boardRead(report.before, same, writeAgainBecause);
    if (same && !options.force && writeAgainBecause.empty()) {
        report.outcome = Outcome::kSkipped;
        report.after = report.before;
        return;
    }
    if (!writeAgainBecause.empty()) {
        ThreadLanguage english(Language::kEnglish);  // the record reads the same whatever people read
        report.writtenAgainBecause = WriteAgainBecause(account, RecordedBanner(file.content.banner), file.sha256);
    }
    if (events.writing)
        events.writing();

    // Written ahead and on the disk before the module is given the file: if this process
    // never gets to the outcome, the history shows the update as interrupted.
    if (!options.historyPath.empty())
        AppendRecord(options.historyPath, StartedRecordOf(file, report, options, time), &report.historyError);
    report.attempts = Download(board, file, options.retries, events);
    report.result = report.attempts.back().result;
    if (!DownloadAccepted(report.result)) {
        report.outcome = report.result == -2 ? Outcome::kRefused : Outcome::kFailed;
        report.after = ReadBoardContent(board);
        report.afterFailure = ClassifyAfterFailure(report.before, report.after, file.content);
        return;
    }
    report.outcome = Outcome::kAccepted;
    if (!options.verify)
        return;
    if (!file.content.banner) {
        report.verification = Verification::kSkippedNoBanner;
        return;
    }
    report.after = ReadBoardContent(board);
    if (!report.after.known) {
        report.verification = Verification::kFailed;
        report.outcome = Outcome::kVerifyFailed;
    } else if (!report.after.banner || !SameFields(*report.after.banner, *file.content.banner)) {
        report.verification = Verification::kMismatch;
        report.outcome = Outcome::kVerifyMismatch;
    } else {
        report.verification = Verification::kMatch;
    }
}

}  // namespace

UpdateFile InspectFile(const std::string& utf8Path, bool digest)
{
    UpdateFile file;
    file.path = utf8Path;
    file.content = ReadApplicationFile(utf8Path);
    file.check = CheckApplicationFile(file.content);
    if (file.content.readable && digest)
        file.sha256 = FileSha256(utf8Path);
    // The module opens the file itself, through the narrow-character API; an absolute path
    // also reads clearly in its log.
    file.narrow = ForModule(AbsolutePath(utf8Path));
    return file;
}

FileFacts FactsOf(const UpdateFile& file)
{
    FileFacts facts;
    facts.name = FileNameOf(file.path);
    facts.size = file.content.size;
    facts.sha256 = file.sha256;
    facts.banner = file.content.banner;
    return facts;
}

ManifestVerdict CheckFileManifest(const UpdateFile& file, const UpdateOptions& options)
{
    return CheckFileAgainstManifest(file.path, FactsOf(file), options.trustedKeysFolder, options.manifest);
}

UpdateReport RunUpdate(const UpdateFile& file, const UpdateOptions& options, const UpdateEvents& events)
{
    Clock::time_point start = Clock::now();
    std::string time = UtcTimestamp();
    UpdateReport report;
    report.id = options.updateId.empty() ? NewUpdateId() : options.updateId;
    BoardCalls board;
    if (!file.content.readable) {
        report.outcome = Outcome::kFileUnreadable;
    } else if (file.check.verdict == FileVerdict::kEmpty) {
        report.outcome = Outcome::kFileEmpty;
    } else if (file.check.verdict != FileVerdict::kApplication && !options.force) {
        report.outcome = Outcome::kNotApplication;
    } else if (!file.narrow.usable) {
        report.outcome = Outcome::kPathUnusable;
    } else if (!FileMatchesManifest(file, options, events, report)) {
        report.outcome = Outcome::kManifestRefused;
    } else if (!events.openBoard(&board) || !board.download || !board.version || !board.reference) {
        report.outcome = Outcome::kBoardUnavailable;
    } else {
        UpdateBoard(board, file, options, events, time, report);
    }
    report.seconds = SecondsSince(start);
    if (!options.historyPath.empty())
        AppendRecord(options.historyPath, RecordOf(file, report, options, time), &report.historyError);
    return report;
}

std::string DownloadResultWords(int result)
{
    if (DownloadAccepted(result))
        return Say(Message::kRecordAccepted);
    switch (result) {
    case -2:
        return Say(Message::kDownloadResultRefused);
    case -1:
        return Say(Message::kDownloadResultLinkFailed);
    default:
        return Say(Message::kDownloadResultFailed);
    }
}

}  // namespace torvexupdate
