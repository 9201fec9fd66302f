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
    return banner ? Record(Cp1252ToUtf8(BannerLine(*banner))) : Record(nullptr);
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
    record["time"] = time;
    record["program"] = options.program;
    record["machine"] = MachineName();
    record["operator"] = options.operatorName.empty() ? Record(nullptr) : Record(options.operatorName);
    record["file"] = AbsolutePath(file.path);
    record["size"] = file.content.size;
    record["sha256"] = file.sha256.empty() ? Record(nullptr) : Record(file.sha256);
    record["file_banner"] = BannerText(file.content.banner);
    record["board"] = report.reference.empty() ? Record(nullptr) : Record(Cp1252ToUtf8(report.reference));
    record["banner_before"] = BoardBanner(report.before);
}

}  // namespace

Record RecordOf(const UpdateFile& file, const UpdateReport& report, const UpdateOptions& options,
                const std::string& time)
{
    Record record;
    AddAttemptFields(record, file, report, options, time);
    record["banner_after"] = BoardBanner(report.after);
    record["outcome"] = OutcomeName(report.outcome);
    Record result;
    result["code"] = report.attempts.empty() ? Record(nullptr) : Record(report.result);
    result["words"] = OutcomeWords(report);
    record["result"] = result;
    record["attempts"] = report.attempts.size();
    if (options.force)
        record["forced"] = true;
    record["manifest"] = ManifestRecord(report.manifest);
    record["duration_seconds"] = std::round(report.seconds * 1000) / 1000;
    record["id"] = report.id;
    if (!report.writtenAgainBecause.empty())
        record["written_again_because"] = report.writtenAgainBecause;
    return record;
}

Record StartedRecordOf(const UpdateFile& file, const UpdateReport& report, const UpdateOptions& options,
                       const std::string& time)
{
    Record record;
    record[kRecordKindKey] = kStartedKind;
    record["id"] = report.id;
    AddAttemptFields(record, file, report, options, time);
    if (options.force)
        record["forced"] = true;
    return record;
}

BoardHistory BoardHistoryOf(const std::string& historyPath, const std::string& reference, const UpdateFile& file)
{
    if (historyPath.empty() || reference.empty())
        return BoardHistory();
    Record banner = BannerText(file.content.banner);
    return StandingOf(Attempts(ReadHistory(historyPath).records), Cp1252ToUtf8(reference),
                      banner.is_string() ? banner.get<std::string>() : std::string(), file.sha256);
}

}  // namespace torvexupdate
