#include "manifest_print.h"

#include "exit_codes.h"
#include "manifest/refusal_table.h"
#include "system/paths.h"
#include "words/messages.h"

#include <cstdio>

namespace torvexctl {

namespace {

using namespace torvexupdate;
using Json = nlohmann::ordered_json;

// How the signature stands, for scripts: "none" (unsigned), "trusted", "not_checked" (no
// trusted key to check it against), "untrusted_key", "edited" or "malformed".
Json SignatureJson(const ManifestVerdict& verdict)
{
    if (!verdict.manifest)
        return nullptr;
    switch (verdict.signature) {
    case SignatureState::kUnsigned:
        return "none";
    case SignatureState::kTrusted:
        return "trusted";
    case SignatureState::kEdited:
        return "edited";
    case SignatureState::kMalformed:
        return "malformed";
    case SignatureState::kUntrustedKey:
        break;
    }
    return verdict.signatureChecked ? "untrusted_key" : "not_checked";
}

// Code points U+0080 to U+009F (UTF-8 C2 80 to C2 9F) as \u00NN: some terminals obey them
// as control characters, and the maker's notes are text from outside.
std::string WithoutC1Controls(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (static_cast<unsigned char>(text[i]) == 0xC2 && next >= 0x80 && next <= 0x9F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", next);
            out += escaped;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
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
    if (verdict.ok && verdict.manifest) {
        out.Info(Say(Message::kConsoleManifest, {{"words", verdict.words}}));
        PrintMakerNotes(verdict, Say(Message::kConsoleManifestNotesLabel), out);
    }
}

void PrintMakerNotes(const ManifestVerdict& verdict, const std::string& label, Output& out)
{
    if (!verdict.manifest || verdict.manifest->notes.empty())
        return;
    const std::string& notes = verdict.manifest->notes;
    std::string indent(label.size(), ' ');
    for (std::size_t start = 0, line = 0; start <= notes.size(); ++line) {
        std::size_t end = notes.find('\n', start);
        std::string text = notes.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        out.Info((line == 0 ? label : indent) + WithoutC1Controls(text));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
}

int ReportManifestRefusal(const std::string& file, const ManifestVerdict& verdict, Output& out)
{
    out.Data()["manifest"] = ManifestVerdictJson(verdict);
    out.Error(
        Say(Message::kConsoleManifestRefused,
            {{"file", FileNameOf(file)},
             {"reason", verdict.words},
             {"advice", Say(RefusalRowOf(verdict.refusal).consoleAdvice, {{"keys_folder", verdict.keysFolder}})}}));
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
    json["signature"] = SignatureJson(verdict);
    json["overrides"] = verdict.overrides;
    // The check's own remarks; "notes" holds them too, as it did before "remarks" came.
    json["notes"] = verdict.notes;
    json["remarks"] = verdict.notes;
    json["maker_notes"] = verdict.manifest && !verdict.manifest->notes.empty() ? Json(verdict.manifest->notes)
                                                                               : Json(nullptr);
    return json;
}

}  // namespace torvexctl
