// Exit statuses of torvexctl: one per kind of outcome, so that scripts can tell them apart.
#pragma once

#include "words/messages.h"

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
    kExitReplayRefused = 15,     // replay: the log or the folder cannot be used; nothing replayed
    kExitNotReproduced = 16,     // replay: the replay's log differs from the field's
    kExitReproducedInPart = 17,  // replay: alike as far as the field log is readable
};

struct ExitCodeDescription {
    ExitCode code;
    torvexupdate::Message meaning;  // in the catalogue
};

// For --help: every status with its meaning, in ascending order.
inline constexpr ExitCodeDescription kExitCodeDescriptions[] = {
    {kExitSuccess, torvexupdate::Message::kExitMeaning0},
    {kExitInternalError, torvexupdate::Message::kExitMeaning1},
    {kExitUsage, torvexupdate::Message::kExitMeaning2},
    {kExitModuleUnusable, torvexupdate::Message::kExitMeaning3},
    {kExitInitFailed, torvexupdate::Message::kExitMeaning4},
    {kExitDownloadRefused, torvexupdate::Message::kExitMeaning5},
    {kExitDownloadFailed, torvexupdate::Message::kExitMeaning6},
    {kExitVerifyMismatch, torvexupdate::Message::kExitMeaning7},
    {kExitQueryFailed, torvexupdate::Message::kExitMeaning8},
    {kExitFileUnreadable, torvexupdate::Message::kExitMeaning9},
    {kExitNotAnApplication, torvexupdate::Message::kExitMeaning10},
    {kExitPathUnusable, torvexupdate::Message::kExitMeaning11},
    {kExitManifestRefused, torvexupdate::Message::kExitMeaning12},
    {kExitManifestNotMade, torvexupdate::Message::kExitMeaning13},
    {kExitBoardBusy, torvexupdate::Message::kExitMeaning14},
    {kExitReplayRefused, torvexupdate::Message::kExitMeaning15},
    {kExitNotReproduced, torvexupdate::Message::kExitMeaning16},
    {kExitReproducedInPart, torvexupdate::Message::kExitMeaning17},
};

}  // namespace torvexctl
