// The subcommands of torvexctl, one file each, and the table main() dispatches from. Each
// returns the run's exit status (exit_codes.h).
#pragma once

#include "output.h"

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
    bool force = false;       // download: write a file that is no application, or the same one again
    int retries = 0;          // download: new attempts after a transfer that failed (-1)
    std::string historyPath;  // the update history; empty: TORVEX_HISTORY, else beside the module
    std::string board;        // history: only this board's records
    std::string since;        // history: only the records from this date on
    bool wide = false;        // history: every column
    bool csv = false;         // history: CSV for a spreadsheet
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

// The options of one command only, added to its subcommand and stored in `options`.
void AddDownloadOptions(CLI::App& command, Options& options);
void AddHistoryOptions(CLI::App& command, Options& options);
void AddManifestOptions(CLI::App& command, Options& options);

struct Command {
    const char* name;
    const char* description;
    bool takesFile;
    int (*run)(const Options&, Output&);
    void (*addOptions)(CLI::App&, Options&);  // null when the command has no options of its own
};

inline constexpr Command kCommands[] = {
    {"download", "download an application file into the board, then verify it", true, RunDownload, AddDownloadOptions},
    {"check", "check that a file is an application, as download does before writing (no board)", true, RunCheck,
     nullptr},
    {"version", "show the banner of the application in the board's flash", false, RunVersion, nullptr},
    {"reference", "show the board's reference", false, RunReference, nullptr},
    {"info", "show the board's reference and the banner in its flash", false, RunInfo, nullptr},
    {"clean", "ask the communication library to clean up", false, RunClean, nullptr},
    {"banner", "show the banner of an application file (no board, no module)", true, RunBanner, nullptr},
    {"history", "show the update history, newest first (no board, no module)", false, RunHistory, AddHistoryOptions},
    {"manifest", "create FILE: write a release file's manifest; check FILE: check a file against it (no board)", false,
     RunManifest, AddManifestOptions},
};

// The command closest to a mistyped name, or "" when none is close.
std::string ClosestCommand(const std::string& typed);

}  // namespace torvexctl
