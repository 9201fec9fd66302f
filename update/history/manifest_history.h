// Manifests in the update history: the part of a record that says whether a manifest was
// checked, the release version it declares, who signed it and which override let the file
// through (board_account.h reads the board's version floor from it).
#pragma once

#include "history/history.h"
#include "manifest/manifest_check.h"

#include <string>

namespace torvexupdate {

// The record's field::kManifest object: checked, version, signer (key file, fingerprint),
// refusal, overrides.
Record ManifestRecord(const ManifestVerdict& verdict);

}  // namespace torvexupdate
