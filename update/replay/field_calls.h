// The calls a host made into the module, read from the lines of its log: which export,
// and what each line of its trace showed (report codes, banners, where the trace
// stopped). Only what the lines say, no judgement yet of what the library or the host
// must have done (replay_plan.h does that).
#pragma once

#include "replay/log_reader.h"

#include <cstddef>
#include <string>
#include <vector>

namespace torvexreplay {

enum class HostCall { kInit, kDownload, kVersion, kReference, kClean };

struct Report {
    bool present = false;
    long long com = 0;
    long long general = 0;
    std::size_t line = 0;  // index in FieldLog::lines
};

// How far an operation's trace goes.
enum class Reach {
    kStopped,     // its first lines only: it found an entry point missing
    kOpenFailed,  // "OpenCommSession NOK": no session
    kInSession,   // a session was opened
};

enum class RouterLine { kNone, kCreated, kFailed, kOccupied, kUnchecked };

struct FieldCall {
    HostCall call = HostCall::kInit;
    std::size_t first = 0;  // index in FieldLog::lines of its first line
    std::size_t end = 0;    // one past its last line (the next call's first line)
    std::size_t run = 0;    // index in FieldLog::runs

    // Initialisation.
    bool dated = false;          // Init_Library ran (a date line)
    bool holderMissing = false;  // "WARNING no memory for the library holder"
    long long status = -1;       // Init_Library's status, -1 when not dated
    bool comRan = false;         // "Entre Init_Com"
    RouterLine router = RouterLine::kNone;
    std::size_t routerAt = 0;  // index of that line
    Report boardInit;          // "_InitialiseCommBoard_Exp ..."
    Report initOpenFailed;     // "_OpenCommSession NOK ..."
    bool comEnded = false;     // "Sort Init_Com"

    // Operations.
    Reach reach = Reach::kStopped;
    Report openFailed;
    std::string path;                            // download: the path as logged
    bool hasBanner = false;                      // download: "Version à télécharger", version: "Version Composant"
    std::string banner;                          // the decoded banner as logged
    Report firstReset, sent, start, finalReset;  // download's commands
    bool fileUnread = false;                     // "Fichier Appli.COM vide"
    Report command;              // version: the 0xFA report; reference: "_BoardGetInfo"; clean: its line
    bool noApplication = false;  // version: "Pas d'application ..."
    bool hasReference = false;   // reference: "Reference Carte ..."
    std::string reference;
    bool ended = false;  // its exit line (or, for an initialisation, "Sort Init_Module_COM")
    bool cut = false;    // the readable lines end within its trace
};

struct FieldCalls {
    std::vector<FieldCall> calls;
    // The readable lines end before this index: the log's own end or stop, or a line that
    // the module would not write where it stands.
    std::size_t end = 0;
    std::size_t stopLine = 0;  // 1-based; 0 when every line was read
    std::string stopReason;
};

// The calls from the log's first run on.
FieldCalls ReadFieldCalls(const FieldLog& log);

}  // namespace torvexreplay
