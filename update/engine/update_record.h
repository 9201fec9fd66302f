// The history record of one update: what was written, where, when, from what to what and
// with what result.
#pragma once

#include "history/history.h"
#include "engine/update_engine.h"

#include <string>

namespace torvexupdate {

// `time`: when the update started (UTC).
Record RecordOf(const UpdateFile& file, const UpdateReport& report, const UpdateOptions& options,
                const std::string& time);

// The record written ahead, before the module is given the file: the update's id, the
// file and the board as read before the download (history_attempts.h pairs it with the
// outcome).
Record StartedRecordOf(const UpdateFile& file, const UpdateReport& report, const UpdateOptions& options,
                       const std::string& time);

// A banner as records keep it: on one line as the module logs it, in UTF-8; "" for none.
std::string RecordedBanner(const std::optional<Banner>& banner);

}  // namespace torvexupdate
