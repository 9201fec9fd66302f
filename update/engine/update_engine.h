// One update of a board's application, the same for every front end: check the file, read
// the board's reference and banner, skip a download that would change nothing, download
// (again after a failed transfer when asked), verify the result or find out what the board
// carries after a failure, and append one record to the update history. The engine prints
// nothing: it reports through the callbacks and the report, and the front end words it.
#pragma once

#include "module/module_exports.h"
#include "engine/download_steps.h"
#include "manifest/manifest_check.h"
#include "history/board_account.h"
#include "history/outcome_table.h"
#include "system/paths.h"

#include <functional>
#include <string>
#include <vector>

namespace torvexupdate {

// The file as the engine sees it before any board is involved.
struct UpdateFile {
    std::string path;   // as the user gave it (UTF-8)
    NarrowPath narrow;  // the absolute path as handed to the module, which opens the file itself
    ApplicationFile content;
    FileCheck check;
    std::string sha256;  // "" when the file cannot be read
};

// Reads the file's size and banner, checks it and takes its digest (unless `digest` is
// false: reading the whole file takes seconds for a large one); touches no board.
UpdateFile InspectFile(const std::string& utf8Path, bool digest = true);

struct UpdateOptions {
    bool force = false;       // write a file that is no application, or the one the board carries
    int retries = 0;          // new attempts after a transfer that failed (-1)
    bool verify = true;       // read the banner back after an accepted download
    std::string program;      // the front end, for the history
    std::string historyPath;  // "" writes no history
    // Who runs the update, for the history ("" when not known).
    std::string operatorName;
    // Release manifests: the folder of the keys this site trusts ("" for none) and the
    // choices that let a refused file through (--force lets none through).
    std::string trustedKeysFolder;
    ManifestOverrides manifest;
    // The update's id in the history, as the front end wrote it into the board lock's
    // words ("" for a new one).
    std::string updateId;
};

// Every callback may be left empty but openBoard.
struct UpdateEvents {
    // Loads and initialises the module and fills the calls; false when it cannot (the
    // front end has said why).
    std::function<bool(BoardCalls*)> openBoard;
    // After the board's reference is read: the board's account (it may hold an incomplete
    // application, the version floor).
    std::function<void(const BoardAccount& account)> accountRead;
    // The board's banner before the download; `same`: it is the file's; with the same
    // banner, why the file is written all the same ("" when it is skipped, or forced).
    std::function<void(const BoardContent& before, bool same, const std::string& writeAgainBecause)> boardRead;
    // The file is about to be written: nothing stops the download now.
    std::function<void()> writing;
    // Runs one blocking download call and sets the seconds it took; the default runs it here.
    std::function<int(const std::function<int()>& download, double* seconds)> runDownload;
    // Before attempt `number` of `total`, after a transfer that failed with `previous`.
    std::function<void(int number, int total, int previous)> retrying;
    // The file against its manifest and the trusted keys, before the board is opened.
    std::function<void(const ManifestVerdict&)> manifestChecked;
};

enum class Verification { kNotMade, kSkippedNoBanner, kMatch, kMismatch, kFailed };

struct UpdateReport {
    Outcome outcome = Outcome::kFileUnreadable;
    std::string reference;  // the board's reference ("" when unread or unreadable)
    BoardContent before;
    std::vector<DownloadAttempt> attempts;  // empty: nothing was downloaded
    int result = 0;                         // the last attempt's result
    Verification verification = Verification::kNotMade;
    BoardContent after;  // read back after the download (verification or failure)
    AfterFailure afterFailure = AfterFailure::kUnknown;
    double seconds = 0;        // the whole update
    std::string historyError;  // set when the record could not be written
    ManifestVerdict manifest;  // the file and the board against the file's manifest
    // The same in English, for the record, when people read another language.
    std::optional<ManifestVerdict> manifestForRecord;
    // The update's id in the history, on its started and its outcome record.
    std::string id;
    // Set when the board reported the file's banner but the history said to write it again;
    // in English, as the record keeps it (the front end was told in its language).
    std::string writtenAgainBecause;
};

// The file as its manifest describes files.
FileFacts FactsOf(const UpdateFile& file);

// The file against FILE.manifest.json and the trusted keys, as the update checks it before
// opening the board (the board's side follows once its reference is read).
ManifestVerdict CheckFileManifest(const UpdateFile& file, const UpdateOptions& options);

UpdateReport RunUpdate(const UpdateFile& file, const UpdateOptions& options, const UpdateEvents& events);

// The outcome's stored name ("accepted", "not_application", ...: the outcome table's).
inline const char* OutcomeName(Outcome outcome)
{
    return RowOf(outcome).name;
}
// What the board carries after a failed download, for JSON ("unchanged", "empty", ...).
const char* AfterFailureName(AfterFailure state);

// The module's download result in words: "accepted, application started" (any value but
// 0, -1 and -2), "refused by the board (-2)", "download failed (-1)" or "failed (0)".
std::string DownloadResultWords(int result);

// The update's outcome in one sentence for the record (outcome_texts.cpp).
std::string OutcomeWords(const UpdateReport& report);

}  // namespace torvexupdate
