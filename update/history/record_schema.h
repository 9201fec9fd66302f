// The update history's stored vocabulary, written here once: the field names of a record,
// the names of its outcomes and the CSV's column names. Stored files, spreadsheets and
// scripts rely on every one of them: a name is added, never renamed. Everything else reads
// a record through the accessors below.
#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

namespace torvexupdate {

using Record = nlohmann::ordered_json;

// The fields of a record, in the order an outcome record writes them.
namespace field {
constexpr const char* kRecordKind = "record";  // kStartedKind on write-ahead records, absent on outcome records
constexpr const char* kId = "id";
constexpr const char* kTime = "time";  // UTC, "2026-12-08T19:46:30Z"
constexpr const char* kProgram = "program";
constexpr const char* kMachine = "machine";
constexpr const char* kOperator = "operator";
constexpr const char* kFile = "file";
constexpr const char* kSize = "size";
constexpr const char* kSha256 = "sha256";
constexpr const char* kFileBanner = "file_banner";
constexpr const char* kBoard = "board";
constexpr const char* kBannerBefore = "banner_before";
constexpr const char* kBannerAfter = "banner_after";
constexpr const char* kOutcome = "outcome";
constexpr const char* kResult = "result";  // an object: kCode, kWords
constexpr const char* kAttempts = "attempts";
constexpr const char* kForced = "forced";
constexpr const char* kManifest = "manifest";  // an object: kChecked ... kOverrides
constexpr const char* kDurationSeconds = "duration_seconds";
constexpr const char* kWrittenAgainBecause = "written_again_because";
// Inside kResult: the module's last download result (null when none was made), and words.
constexpr const char* kCode = "code";
constexpr const char* kWords = "words";
// Inside kManifest; kSigner is an object of kKeyFile and kFingerprint.
constexpr const char* kChecked = "checked";
constexpr const char* kVersion = "version";
constexpr const char* kSigner = "signer";
constexpr const char* kKeyFile = "key_file";
constexpr const char* kFingerprint = "fingerprint";
constexpr const char* kRefusal = "refusal";
constexpr const char* kOverrides = "overrides";  // an array of override names
}  // namespace field

// The value of field::kRecordKind on the record written ahead of an update.
constexpr const char* kStartedKind = "started";

// The outcomes as records, JSON and CSV name them (outcome_table.h: one row each).
namespace outcome_name {
constexpr const char* kFileUnreadable = "file_unreadable";
constexpr const char* kFileEmpty = "file_empty";
constexpr const char* kNotApplication = "not_application";
constexpr const char* kPathUnusable = "path_unusable";
constexpr const char* kBoardUnavailable = "board_unavailable";
constexpr const char* kSkipped = "skipped";
constexpr const char* kAccepted = "accepted";
constexpr const char* kVerifyMismatch = "verify_mismatch";
constexpr const char* kVerifyFailed = "verify_failed";
constexpr const char* kRefused = "refused";
constexpr const char* kFailed = "failed";
constexpr const char* kManifestRefused = "manifest_refused";
// Never written: given to an attempt whose started record has no outcome record.
constexpr const char* kInterrupted = "interrupted";
constexpr const char* kRunning = "running";
}  // namespace outcome_name

// The CSV's header, one name a column (history_view.h gives each its text).
namespace column {
constexpr const char* kTime = "time";
constexpr const char* kBoard = "board";
constexpr const char* kOutcome = "outcome";
constexpr const char* kFile = "file";
constexpr const char* kSize = "size";
constexpr const char* kSha256 = "sha256";
constexpr const char* kBannerBefore = "banner before";
constexpr const char* kBannerAfter = "banner after";
constexpr const char* kOperator = "operator";
constexpr const char* kStation = "station";
constexpr const char* kProgram = "program";
constexpr const char* kResult = "result";
}  // namespace column

// Reading a record (or an object inside one). One rule for every field: a field that is
// absent, null or not of the kind asked for reads as absent; nothing throws, whatever the
// file holds.
// The text of a string field; "" when absent.
std::string FieldText(const Record& record, const char* name);
// A whole number; nothing when absent.
std::optional<long long> FieldNumber(const Record& record, const char* name);
// An object field; null when absent.
const Record* FieldObject(const Record& record, const char* name);
// True only when the field is the boolean true.
bool FieldFlag(const Record& record, const char* name);
// The texts of an array field, its other members left out; none when absent.
std::vector<std::string> FieldTexts(const Record& record, const char* name);

}  // namespace torvexupdate
