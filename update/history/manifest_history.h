// Manifests in the update history: the part of a record that says whether a manifest was
// checked, the release version it declares, who signed it and which override let the file
// through; and the release version a board carries, as far as the history knows it.
#pragma once

#include "module/board_state.h"
#include "history/history.h"
#include "manifest/manifest_check.h"

#include <string>

namespace torvexupdate {

// The record's field::kManifest object: checked, version, signer (key file, fingerprint),
// refusal, overrides.
Record ManifestRecord(const ManifestVerdict& verdict);

// The version declared by the manifest of the newest file that was written into board
// `reference` (or found there), when the board still carries that file (its banner is
// `board`'s); "" when the history does not know. `reference` as the board reports it.
std::string CarriedVersion(const History& history, const std::string& reference, const BoardContent& board);

}  // namespace torvexupdate
