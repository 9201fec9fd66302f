// The lines the module writes into Torvex.log, recognised one by one: which line it is,
// and the values it carries (a name, a path, a banner, report codes). Text is the
// module's Windows-1252.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace torvexreplay {

enum class LineKind {
    kBlank,
    kDate,            // "Today's date and time: ..."
    kEntry,           // "Entre <name>"
    kExit,            // "Sort <name>"
    kSeparator,       // 53 hyphens
    kReport,          // "<label> CompteRendu com = <com> CompteRendu général = <general>"
    kIniPath,         // "Path torvex.ini : <path>"
    kLibraryPath,     // "Path Quelvane : <path>"
    kStatus,          // "Status = <n>"
    kDownloadPath,    // "Path Telechargement : <path>"
    kFileBanner,      // "Version à télécharger : <text>"
    kBoardBanner,     // "Version Composant  : <text>"
    kReference,       // "Reference Carte <text>"
    kNoApplication,   // "Pas d'application ecrite en Flash - Banniere VIDE"
    kFileUnread,      // "Fichier Appli.COM vide"
    kRouterCreated,   // "_CreateRouter OK"
    kRouterFailed,    // "_CreateRouter KO"
    kOccupied,        // "WARNING VCI OCCUPED !!!! "
    kSessionsUnread,  // "WARNING VCI NOT CHECKED: ..." (no memory for the session table)
    kHolderMissing,   // "WARNING no memory for the library holder: ..."
    kUnknown,         // no line the module writes
};

struct LogLine {
    LineKind kind = LineKind::kUnknown;
    std::string_view text;   // the whole line, without its line end
    std::string_view value;  // the name, path, text or label the line carries
    long long com = 0;       // kReport
    long long general = 0;   // kReport
    long long number = 0;    // kStatus
};

LogLine ClassifyLine(std::string_view text);

// The line as the comparison of two logs sees it: a date line without its date, a path
// line without its path (where the module and its files lie differs from one machine to
// the next); every other line unchanged.
std::string ComparableLine(const LogLine& line);

// The longest line the module writes: a formatted line is cut to 254 bytes; a banner line
// is shorter. Lines beyond this limit are no lines of the module.
constexpr std::size_t kLongestModuleLine = 300;

}  // namespace torvexreplay
