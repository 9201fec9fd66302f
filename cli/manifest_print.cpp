#include "manifest_print.h"

#include "exit_codes.h"
#include "system/paths.h"

namespace torvexctl {

namespace {

using namespace torvexupdate;
using Json = nlohmann::ordered_json;

// What to do about each refusal.
const char* Advice(ManifestRefusal refusal)
{
    switch (refusal) {
    case ManifestRefusal::kNoManifest:
    case ManifestRefusal::kUnsigned:
    case ManifestRefusal::kUntrustedKey:
        return "ask its maker for a signed manifest, or add --allow-unsigned to write it anyway";
    case ManifestRefusal::kOlderVersion:
        return "add --allow-older to write the older version anyway";
    case ManifestRefusal::kSize:
    case ManifestRefusal::kSha256:
        return "copy the file again from its source, beside its manifest";
    case ManifestRefusal::kBanner:
        return "check that the manifest beside the file is its own";
    case ManifestRefusal::kWrongBoard:
        return "check that the file is meant for this board";
    case ManifestRefusal::kManifestMalformed:
    case ManifestRefusal::kEdited:
    case ManifestRefusal::kSignatureMalformed:
    case ManifestRefusal::kNone:
        break;
    }
    return "get the file and its manifest again from their maker";
}

}  // namespace

void PrintManifestNotes(const std::string& file, const ManifestVerdict& verdict, std::size_t firstNote, Output& out)
{
    for (std::size_t i = firstNote; i < verdict.notes.size(); ++i)
        out.Note(FileNameOf(file) + ": " + verdict.notes[i]);
}

void PrintManifestVerdict(const std::string& file, const ManifestVerdict& verdict, Output& out)
{
    PrintManifestNotes(file, verdict, 0, out);
    if (verdict.ok && verdict.manifest)
        out.Info("manifest: " + verdict.words);
}

int ReportManifestRefusal(const std::string& file, const ManifestVerdict& verdict, Output& out)
{
    out.Data()["manifest"] = ManifestVerdictJson(verdict);
    out.Error(FileNameOf(file) + " is refused: " + verdict.words + "; nothing was written: " + Advice(verdict.refusal));
    return kExitManifestRefused;
}

Json ManifestVerdictJson(const ManifestVerdict& verdict)
{
    Json json;
    json["file"] = verdict.manifestPath;
    json["checked"] = verdict.manifest.has_value();
    json["verdict"] = RefusalName(verdict.refusal);
    json["words"] = verdict.words;
    json["version"] = verdict.manifest && !verdict.manifest->version.empty() ? Json(verdict.manifest->version)
                                                                             : Json(nullptr);
    json["boards"] = verdict.manifest ? Json(verdict.manifest->boards) : Json::array();
    json["signer"] = verdict.signer.keyFile.empty()
        ? Json(nullptr)
        : Json{{"key_file", verdict.signer.keyFile}, {"fingerprint", verdict.signer.fingerprint}};
    json["overrides"] = verdict.overrides;
    json["notes"] = verdict.notes;
    return json;
}

}  // namespace torvexctl
