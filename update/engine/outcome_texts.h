// An update's outcome in the catalogue's entries: the outcome table's row, refined by what
// the report adds (a download accepted but not compared, what the board carries after a
// failed one). Each front end fills the entries' placeholders its own way.
#pragma once

#include "engine/update_engine.h"
#include "history/outcome_table.h"

#include <string>

namespace torvexupdate {

struct OutcomeTexts {
    Severity severity;
    Message headline;  // {after_failure}: BoardStateHeadline()
    Message record;    // {reason}, {download_result}, {after_failure}
    Message window;    // {banner}, {board_now}, {reason}, {advice}, {download_result}
    Message console;   // {path} (as given), {full_path}, {reason}
    int exitCode;
};
OutcomeTexts TextsOf(const UpdateReport& report);

// Why nothing was written, where the outcome has a reason: the check's, the path's or the
// manifest's ("" otherwise).
std::string OutcomeReason(const UpdateFile& file, const UpdateReport& report);

// What the board carries after a failed download: a clause for the window's headline.
std::string BoardStateHeadline(AfterFailure state);

}  // namespace torvexupdate
