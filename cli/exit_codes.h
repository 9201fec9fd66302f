// Exit statuses of torvexctl: one per kind of outcome, so that scripts can tell them apart.
#pragma once

namespace torvexctl {

enum ExitCode : int {
    kExitSuccess = 0,
    kExitInternalError = 1,      // an unexpected failure inside torvexctl itself
    kExitUsage = 2,              // bad command line
    kExitModuleUnusable = 3,     // torvex.dll cannot be loaded, or an export is missing
    kExitInitFailed = 4,         // _Init_Module_COM returned 0
    kExitDownloadRefused = 5,    // the board refused the download (-2)
    kExitDownloadFailed = 6,     // the download failed (-1 or 0)
    kExitVerifyMismatch = 7,     // the board's banner differs from the file's after a download
    kExitQueryFailed = 8,        // version, reference or clean-up call failed
    kExitFileUnreadable = 9,     // the application file is missing, unreadable or empty
    kExitNotAnApplication = 10,  // the file is too short for a banner or its banner does not decode
    kExitPathUnusable = 11,      // the file's path cannot be handed to the module
    kExitManifestRefused = 12,   // the file's manifest, its signature or the board contradicts the file
    kExitManifestNotMade = 13,   // manifest create: the key cannot be used or the manifest cannot be written;
                                 // manifest check --key: the key cannot be used
    kExitBoardBusy = 14,         // another torvexctl or torvexgui holds the board interface
};

struct ExitCodeDescription {
    ExitCode code;
    const char* meaning;
};

// For --help: every status with its meaning, in ascending order.
inline constexpr ExitCodeDescription kExitCodeDescriptions[] = {
    {kExitSuccess, "success"},
    {kExitInternalError, "internal error in torvexctl"},
    {kExitUsage, "usage error (bad command line)"},
    {kExitModuleUnusable, "torvex.dll not loadable or an export missing"},
    {kExitInitFailed, "module initialisation failed (_Init_Module_COM returned 0)"},
    {kExitDownloadRefused, "download refused by the board (-2)"},
    {kExitDownloadFailed, "download failed (-1 or 0)"},
    {kExitVerifyMismatch, "verification mismatch: the board's banner differs from the file's"},
    {kExitQueryFailed, "query failed (version, reference or clean-up returned 0)"},
    {kExitFileUnreadable, "application file missing, unreadable or empty"},
    {kExitNotAnApplication,
     "not an application file (too short for a banner, or a banner that does not decode "
     "into five printable fields): nothing written"},
    {kExitPathUnusable,
     "the file's path cannot be handed to the module (characters outside the ANSI code page "
     "and no short name): nothing written"},
    {kExitManifestRefused,
     "the file differs from its manifest, has none (or an unsigned one) while trusted keys are installed, or is "
     "not meant for this board or older than its release: nothing written (manifest check: the file does not pass)"},
    {kExitManifestNotMade,
     "manifest create: the key cannot be used, or the manifest cannot be written (manifest check --key: the key "
     "cannot be used)"},
    {kExitBoardBusy,
     "the board interface is in use by another torvexctl or torvexgui (the message says which): nothing "
     "done"},
};

}  // namespace torvexctl
