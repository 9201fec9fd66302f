// How torvexctl tells what the update library found in a file's manifest: the lines for
// people, the refusal with what to do, and the object for --json.
#pragma once

#include "manifest/manifest_check.h"
#include "output.h"

#include <cstddef>
#include <string>

namespace torvexctl {

// The verdict's notes from `firstNote` on, each a line on stderr naming the file.
void PrintManifestNotes(const std::string& file, const torvexupdate::ManifestVerdict& verdict, std::size_t firstNote,
                        Output& out);
// Its notes, then, when a manifest was checked and holds, "manifest: WORDS".
void PrintManifestVerdict(const std::string& file, const torvexupdate::ManifestVerdict& verdict, Output& out);

// "FILE is refused: WORDS; nothing was written: ADVICE"; the exit status kExitManifestRefused.
int ReportManifestRefusal(const std::string& file, const torvexupdate::ManifestVerdict& verdict, Output& out);

// {"file", "checked", "verdict", "words", "version", "boards", "signer", "overrides", "notes"}.
nlohmann::ordered_json ManifestVerdictJson(const torvexupdate::ManifestVerdict& verdict);

}  // namespace torvexctl
