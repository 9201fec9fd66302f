// The subcommands of torvexctl, one file each, and the table main() dispatches from. Each
// returns the run's exit status (exit_codes.h).
#pragma once

#include "output.h"
#include "words/messages.h"

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace torvexctl {

struct Options {
    std::string dllPath;  // empty: torvex.dll in the program's folder (UTF-8, as all paths here)
    std::string file;     // application file of download, check and banner
    bool showLog = false;
    bool verify = true;
    bool force = false;           // download: write a file that is no application, or the same one again
    int retries = 0;              // download: new attempts after a transfer that failed (-1)
    std::string historyPath;      // the update history; empty: TORVEX_HISTORY, else beside the module
    std::string board;            // history: only this board's records
    std::string since;            // history: only the records from this date on
    bool wide = false;            // history: every column
    std::string separator = ",";  // history --csv: between fields, "," or ";"
    bool csv = false;             // history: CSV for a spreadsheet
    // download: who runs it, for the history; empty: TORVEX_OPERATOR
    std::string operatorName;
    bool allowUnsigned = false;              // download: write a file without a trusted signature
    bool allowOlder = false;                 // download: write an older release version than the board's
    std::string manifestAction;              // manifest: "create" or "check"
    std::string releaseVersion;              // manifest create: --version
    std::vector<std::string> boardPatterns;  // manifest create: --board, repeated
    std::string notes;                       // manifest create: --notes
    std::string keyPath;                     // manifest create: --key
    std::string publicKeyPath;               // manifest check: --key
    std::size_t replayRun = 0;               // replay: --run N (0: the last run)
    bool replayAll = false;                  // replay: --all
    std::string replayInto;                  // replay: --into FOLDER
};

int RunDownload(const Options& options, Output& out);
int RunCheck(const Options& options, Output& out);
int RunVersion(const Options& options, Output& out);
int RunReference(const Options& options, Output& out);
int RunInfo(const Options& options, Output& out);
int RunClean(const Options& options, Output& out);
int RunBanner(const Options& options, Output& out);
int RunHistory(const Options& options, Output& out);
int RunManifest(const Options& options, Output& out);
int RunReplay(const Options& options, Output& out);

// The options of one command only, added to its subcommand and stored in `options`.
void AddDownloadOptions(CLI::App& command, Options& options);
void AddHistoryOptions(CLI::App& command, Options& options);
void AddManifestOptions(CLI::App& command, Options& options);
void AddReplayOptions(CLI::App& command, Options& options);

struct Command {
    const char* name;
    torvexupdate::Message description;
    bool takesFile;
    int (*run)(const Options&, Output&);
    void (*addOptions)(CLI::App&, Options&);  // null when the command has no options of its own
};

inline constexpr Command kCommands[] = {
    {"download", torvexupdate::Message::kHelpDownload, true, RunDownload, AddDownloadOptions},
    {"check", torvexupdate::Message::kHelpCheck, true, RunCheck, nullptr},
    {"version", torvexupdate::Message::kHelpVersionCommand, false, RunVersion, nullptr},
    {"reference", torvexupdate::Message::kHelpReference, false, RunReference, nullptr},
    {"info", torvexupdate::Message::kHelpInfo, false, RunInfo, nullptr},
    {"clean", torvexupdate::Message::kHelpClean, false, RunClean, nullptr},
    {"banner", torvexupdate::Message::kHelpBanner, true, RunBanner, nullptr},
    {"history", torvexupdate::Message::kHelpHistoryCommand, false, RunHistory, AddHistoryOptions},
    {"manifest", torvexupdate::Message::kHelpManifest, false, RunManifest, AddManifestOptions},
    {"replay", torvexupdate::Message::kHelpReplay, false, RunReplay, AddReplayOptions},
};

// The command closest to a mistyped name, or "" when none is close.
std::string ClosestCommand(const std::string& typed);

}  // namespace torvexctl
