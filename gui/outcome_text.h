// What the window says about a file and about an update: plain words and what to do next.
#pragma once

#include "engine/update_engine.h"
#include "history/outcome_table.h"

#include <string>

namespace torvexgui {

// The file's standing: whether it passes the check, and why not.
std::wstring FileVerdictText(const torvexupdate::UpdateFile& file, bool force);

// What the file's manifest says: who signed it and what its maker wrote, or why it is
// refused (RefusalText says what to do).
std::wstring ManifestText(const torvexupdate::ManifestVerdict& verdict);

// A refusal by the manifest before Update is pressed: the headline, then why, that the
// board is unchanged, and what to do next.
std::wstring RefusalHeadline(const torvexupdate::ManifestVerdict& verdict);
std::wstring RefusalText(const torvexupdate::ManifestVerdict& verdict);

// The update's outcome, then what to do next.
std::wstring OutcomeText(const torvexupdate::UpdateFile& file, const torvexupdate::UpdateReport& report);

// How the outcome reads at a glance (the outcome table's), a warning when the history
// could not be written.
torvexupdate::Severity OutcomeSeverity(const torvexupdate::UpdateReport& report);

// The outcome in one short line, shown above OutcomeText's details.
std::wstring OutcomeHeadline(const torvexupdate::UpdateReport& report);

// The board's banner before or after, in words.
std::wstring BoardText(const torvexupdate::BoardContent& board);

// A banner's five fields apart ("TORVEX-SAMPLE1 | APP 1.0.0 | ..."); what the board's flash
// holds in those words, for its field.
std::wstring BannerText(const torvexupdate::Banner& banner);
std::wstring ApplicationText(const torvexupdate::BoardContent& board);

}  // namespace torvexgui
