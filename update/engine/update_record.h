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

// What the history at `historyPath` says about the board `reference` (as the module gives
// it) and this file; nothing when either is empty or the board has no record.
BoardHistory BoardHistoryOf(const std::string& historyPath, const std::string& reference, const UpdateFile& file);

}  // namespace torvexupdate
