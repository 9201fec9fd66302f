#include "update_record.h"

#include "manifest_history.h"
#include "paths.h"
#include "system_facts.h"
#include "text.h"

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

}  // namespace

Record RecordOf(const UpdateFile& file, const UpdateReport& report, const UpdateOptions& options,
                const std::string& time)
{
    Record record;
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
    return record;
}

}  // namespace torvexupdate
