// What the board carries, read through the version query, and what a download that did
// not succeed left in it.
#pragma once

#include "application/banner.h"
#include "module/module_exports.h"

#include <optional>
#include <string>

namespace torvexupdate {

struct BoardContent {
    bool known = false;            // false: the version query failed (or was not made)
    int result = 0;                // what the version query returned
    std::optional<Banner> banner;  // absent: no application in flash
};

BoardContent ReadBoardContent(const BoardCalls& board);

// The board's reference ("" when the query fails).
std::string ReadReference(const BoardCalls& board);

// The board carries exactly the file's banner.
bool CarriesFile(const BoardContent& board, const ApplicationFile& file);

enum class AfterFailure {
    kUnknown,            // the board could not be read
    kUnchanged,          // it carries what it carried before
    kWrittenNotStarted,  // it carries the file's application, which was not started
    kEmpty,              // no application in flash
    kOther,              // another application than before and than the file's
};

AfterFailure ClassifyAfterFailure(const BoardContent& before, const BoardContent& after, const ApplicationFile& file);

}  // namespace torvexupdate
