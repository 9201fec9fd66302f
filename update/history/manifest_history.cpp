#include "history/manifest_history.h"

#include "system/text.h"

namespace torvexupdate {

namespace {

const Record* Member(const Record& record, const char* key)
{
    auto found = record.find(key);
    return found == record.end() ? nullptr : &*found;
}

std::string TextOf(const Record* value)
{
    return value != nullptr && value->is_string() ? value->get<std::string>() : std::string();
}

}  // namespace

Record ManifestRecord(const ManifestVerdict& verdict)
{
    Record manifest;
    manifest["checked"] = verdict.manifest.has_value();
    manifest["version"] = verdict.manifest && !verdict.manifest->version.empty() ? Record(verdict.manifest->version)
                                                                                 : Record(nullptr);
    manifest["signer"] = verdict.signer.keyFile.empty()
        ? Record(nullptr)
        : Record{{"key_file", verdict.signer.keyFile}, {"fingerprint", verdict.signer.fingerprint}};
    manifest["refusal"] = verdict.ok ? Record(nullptr) : Record(RefusalName(verdict.refusal));
    manifest["overrides"] = verdict.overrides;
    return manifest;
}

std::string CarriedVersion(const History& history, const std::string& reference, const BoardContent& board)
{
    if (reference.empty() || !board.known || !board.banner)
        return std::string();
    const std::string board8 = Cp1252ToUtf8(reference);
    const std::string banner8 = Cp1252ToUtf8(BannerLine(*board.banner));
    for (auto record = history.records.rbegin(); record != history.records.rend(); ++record) {
        std::string outcome = TextOf(Member(*record, "outcome"));
        if (TextOf(Member(*record, "board")) != board8 || (outcome != "accepted" && outcome != "skipped"))
            continue;
        // The newest file the board took: its version, if the board still carries it.
        if (TextOf(Member(*record, "file_banner")) != banner8)
            return std::string();
        const Record* manifest = Member(*record, "manifest");
        return manifest != nullptr && manifest->is_object() ? TextOf(Member(*manifest, "version")) : std::string();
    }
    return std::string();
}

}  // namespace torvexupdate
