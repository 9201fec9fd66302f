#include "engine/update_record.h"

#include "history/manifest_history.h"
#include "system/paths.h"
#include "system/system_facts.h"
#include "system/text.h"

#include <cmath>

namespace torvexupdate {

namespace {

// A banner as the module logs it, in UTF-8; null when there is none (or it is unknown).
Record BannerText(const std::optional<Banner>& banner)
{
    return banner ? Record(RecordedBanner(banner)) : Record(nullptr);
}

Record BoardBanner(const BoardContent& board)
{
    return board.known ? BannerText(board.banner) : Record(nullptr);
}

// What both records of an attempt say, in this order: when, by what and whom, which
// file, and the board before (the operator is on the started record too, should the
// update never end).
void AddAttemptFields(Record& record, const UpdateFile& file, const UpdateReport& report, const UpdateOptions& options,
                      const std::string& time)
{
    record[field::kTime] = time;
    record[field::kProgram] = options.program;
    record[field::kMachine] = MachineName();
    record[field::kOperator] = options.operatorName.empty() ? Record(nullptr) : Record(options.operatorName);
    record[field::kFile] = AbsolutePath(file.path);
    record[field::kSize] = file.content.size;
    record[field::kSha256] = file.sha256.empty() ? Record(nullptr) : Record(file.sha256);
    record[field::kFileBanner] = BannerText(file.content.banner);
    record[field::kBoard] = report.reference.empty() ? Record(nullptr) : Record(Cp1252ToUtf8(report.reference));
    record[field::kBannerBefore] = BoardBanner(report.before);
}

}  // namespace

Record RecordOf(const UpdateFile& file, const UpdateReport& report, const UpdateOptions& options,
                const std::string& time)
{
    Record record;
    AddAttemptFields(record, file, report, options, time);
    record[field::kBannerAfter] = BoardBanner(report.after);
    record[field::kOutcome] = OutcomeName(report.outcome);
    Record result;
    result[field::kCode] = report.attempts.empty() ? Record(nullptr) : Record(report.result);
    result[field::kWords] = OutcomeWords(report);
    record[field::kResult] = result;
    record[field::kAttempts] = report.attempts.size();
    if (options.force)
        record[field::kForced] = true;
    record[field::kManifest] = ManifestRecord(report.manifest);
    record[field::kDurationSeconds] = std::round(report.seconds * 1000) / 1000;
    record[field::kId] = report.id;
    if (!report.writtenAgainBecause.empty())
        record[field::kWrittenAgainBecause] = report.writtenAgainBecause;
    return record;
}

Record StartedRecordOf(const UpdateFile& file, const UpdateReport& report, const UpdateOptions& options,
                       const std::string& time)
{
    Record record;
    record[field::kRecordKind] = kStartedKind;
    record[field::kId] = report.id;
    AddAttemptFields(record, file, report, options, time);
    if (options.force)
        record[field::kForced] = true;
    return record;
}

std::string RecordedBanner(const std::optional<Banner>& banner)
{
    return banner ? Cp1252ToUtf8(BannerLine(*banner)) : std::string();
}

}  // namespace torvexupdate
