#include "replay/log_lines.h"

namespace torvexreplay {
namespace {

constexpr std::string_view kDatePrefix = "Today's date and time:";
constexpr std::string_view kReportMiddle = " CompteRendu com = ";
constexpr std::string_view kReportGeneral = " CompteRendu g\xE9n\xE9ral = ";
constexpr std::string_view kFileBannerPrefix = "Version \xE0 t\xE9l\xE9"
                                               "charger : ";

struct Fixed {
    std::string_view text;
    LineKind kind;
};

constexpr Fixed kFixedLines[] = {
    {"Pas d'application ecrite en Flash - Banniere VIDE", LineKind::kNoApplication},
    {"Fichier Appli.COM vide", LineKind::kFileUnread},
    {"_CreateRouter OK", LineKind::kRouterCreated},
    {"_CreateRouter KO", LineKind::kRouterFailed},
    {"WARNING VCI OCCUPED !!!! ", LineKind::kOccupied},
    {"WARNING VCI NOT CHECKED: no memory for the session table", LineKind::kSessionsUnread},
    {"WARNING no memory for the library holder: library not loaded", LineKind::kHolderMissing},
};

struct Prefixed {
    std::string_view prefix;
    LineKind kind;
};

constexpr Prefixed kPrefixedLines[] = {
    {"Path torvex.ini : ", LineKind::kIniPath},          {"Path Quelvane : ", LineKind::kLibraryPath},
    {"Path Telechargement : ", LineKind::kDownloadPath}, {kFileBannerPrefix, LineKind::kFileBanner},
    {"Version Composant  : ", LineKind::kBoardBanner},   {"Reference Carte ", LineKind::kReference},
};

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// A decimal number, optionally negative, filling `text` entirely.
bool ParseWhole(std::string_view text, long long* out)
{
    bool negative = !text.empty() && text[0] == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty() || text.size() > 12)
        return false;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    *out = negative ? -value : value;
    return true;
}

// "<label> CompteRendu com = <n> CompteRendu général = <n>"
bool ParseReport(std::string_view text, LogLine* line)
{
    std::size_t middle = text.find(kReportMiddle);
    if (middle == std::string_view::npos || middle == 0)
        return false;
    std::string_view rest = text.substr(middle + kReportMiddle.size());
    std::size_t general = rest.find(kReportGeneral);
    if (general == std::string_view::npos)
        return false;
    if (!ParseWhole(rest.substr(0, general), &line->com)
        || !ParseWhole(rest.substr(general + kReportGeneral.size()), &line->general))
        return false;
    line->value = text.substr(0, middle);
    return true;
}

bool IsName(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text) {
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (!letter)
            return false;
    }
    return true;
}

}  // namespace

LogLine ClassifyLine(std::string_view text)
{
    LogLine line;
    line.text = text;
    if (text.empty()) {
        line.kind = LineKind::kBlank;
        return line;
    }
    if (StartsWith(text, kDatePrefix)) {
        line.kind = LineKind::kDate;
        return line;
    }
    if (text == std::string_view("-----------------------------------------------------")) {
        line.kind = LineKind::kSeparator;
        return line;
    }
    for (const Fixed& fixed : kFixedLines) {
        if (text == fixed.text) {
            line.kind = fixed.kind;
            return line;
        }
    }
    // Values may hold anything (a path, a banner), so prefixes are tried before the
    // report pattern, which a path could imitate.
    for (const Prefixed& prefixed : kPrefixedLines) {
        if (StartsWith(text, prefixed.prefix)) {
            line.kind = prefixed.kind;
            line.value = text.substr(prefixed.prefix.size());
            return line;
        }
    }
    if (StartsWith(text, "Status = ") && ParseWhole(text.substr(9), &line.number)) {
        line.kind = LineKind::kStatus;
        return line;
    }
    if (StartsWith(text, "Entre ") && IsName(text.substr(6))) {
        line.kind = LineKind::kEntry;
        line.value = text.substr(6);
        return line;
    }
    if (StartsWith(text, "Sort ") && IsName(text.substr(5))) {
        line.kind = LineKind::kExit;
        line.value = text.substr(5);
        return line;
    }
    if (ParseReport(text, &line)) {
        line.kind = LineKind::kReport;
        return line;
    }
    return line;
}

std::string ComparableLine(const LogLine& line)
{
    switch (line.kind) {
    case LineKind::kDate:
        return std::string(kDatePrefix) + " (date)";
    case LineKind::kIniPath:
    case LineKind::kLibraryPath:
    case LineKind::kDownloadPath:
        return std::string(line.text.substr(0, line.text.size() - line.value.size())) + "(path)";
    default:
        return std::string(line.text);
    }
}

}  // namespace torvexreplay
