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
// Its notes, then, when a manifest was checked and holds, "manifest: WORDS" and its maker's
// notes.
void PrintManifestVerdict(const std::string& file, const torvexupdate::ManifestVerdict& verdict, Output& out);
// What the maker wrote in the manifest (--notes), each line of it a line: the first after
// `label`, the others under it. Nothing when it holds none.
void PrintMakerNotes(const torvexupdate::ManifestVerdict& verdict, const std::string& label, Output& out);

// "FILE is refused: WORDS; nothing was written: ADVICE"; the exit status kExitManifestRefused.
int ReportManifestRefusal(const std::string& file, const torvexupdate::ManifestVerdict& verdict, Output& out);

// {"file", "checked", "verdict", "words", "version", "boards", "signer", "signature", "overrides",
// "notes", "remarks", "maker_notes"}: "remarks" are the check's own ("notes" the same, kept for
// scripts written before), "maker_notes" what the manifest's maker wrote (null: none).
nlohmann::ordered_json ManifestVerdictJson(const torvexupdate::ManifestVerdict& verdict);

}  // namespace torvexctl
