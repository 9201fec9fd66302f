#include "history/manifest_history.h"

#include "history/record_schema.h"

#include "system/text.h"

namespace torvexupdate {

Record ManifestRecord(const ManifestVerdict& verdict)
{
    Record manifest;
    manifest[field::kChecked] = verdict.manifest.has_value();
    manifest[field::kVersion] = verdict.manifest && !verdict.manifest->version.empty()
        ? Record(verdict.manifest->version)
        : Record(nullptr);
    manifest[field::kSigner] = verdict.signer.keyFile.empty()
        ? Record(nullptr)
        : Record{{field::kKeyFile, verdict.signer.keyFile}, {field::kFingerprint, verdict.signer.fingerprint}};
    manifest[field::kRefusal] = verdict.ok ? Record(nullptr) : Record(RefusalName(verdict.refusal));
    manifest[field::kOverrides] = verdict.overrides;
    return manifest;
}

std::string CarriedVersion(const History& history, const std::string& reference, const BoardContent& board)
{
    if (reference.empty() || !board.known || !board.banner)
        return std::string();
    const std::string board8 = Cp1252ToUtf8(reference);
    const std::string banner8 = Cp1252ToUtf8(BannerLine(*board.banner));
    for (auto record = history.records.rbegin(); record != history.records.rend(); ++record) {
        std::string outcome = FieldText(*record, field::kOutcome);
        if (FieldText(*record, field::kBoard) != board8
            || (outcome != outcome_name::kAccepted && outcome != outcome_name::kSkipped))
            continue;
        // The newest file the board took: its version, if the board still carries it.
        if (FieldText(*record, field::kFileBanner) != banner8)
            return std::string();
        const Record* manifest = FieldObject(*record, field::kManifest);
        return manifest != nullptr ? FieldText(*manifest, field::kVersion) : std::string();
    }
    return std::string();
}

}  // namespace torvexupdate
