#include "history/manifest_history.h"

#include "history/record_schema.h"

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

}  // namespace torvexupdate
