// The history record of one update: what was written, where, when, from what to what and
// with what result.
#pragma once

#include "history.h"
#include "update_engine.h"

#include <string>

namespace torvexupdate {

// `time`: when the update started (UTC).
Record RecordOf(const UpdateFile& file, const UpdateReport& report, const UpdateOptions& options,
                const std::string& time);

}  // namespace torvexupdate
