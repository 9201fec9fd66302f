#include "banner_print.h"
#include "commands.h"
#include "exit_codes.h"
#include "manifest_print.h"
#include "module/module_session.h"
#include "system/system_facts.h"
#include "engine/update_engine.h"

#include <CLI/CLI.hpp>

#include <algorithm>

namespace torvexctl {

namespace {

using namespace torvexupdate;

// manifest create: FILE.manifest.json from the file, signed with --key when given.
int CreateManifest(const Options& options, Output& out)
{
    ApplicationFile content = ReadApplicationFile(options.file);
    if (!DescribeFile(options.file, content, out))
        return kExitFileUnreadable;
    if (content.size == 0) {
        out.Error(Say(Message::kConsoleNothingToDescribe, {{"path", options.file}}));
        return kExitFileUnreadable;
    }
    FileCheck check = CheckApplicationFile(content);
    if (check.verdict != FileVerdict::kApplication)
        out.Note(Say(
            Message::kConsoleWarning,
            {{"message", Say(Message::kConsoleDescribedAnyway, {{"path", options.file}, {"reason", check.reason}})}}));

    std::string problem;
    if (!options.releaseVersion.empty() && !ParseVersion(options.releaseVersion)) {
        out.Error(Say(Message::kConsoleVersionOption, {{"version", options.releaseVersion}}));
        return kExitUsage;
    }
    for (const std::string& pattern : options.boardPatterns)
        if (!ValidBoardPattern(pattern, &problem)) {
            out.Error(Say(Message::kConsoleBoardOption, {{"pattern", pattern}, {"problem", problem}}));
            return kExitUsage;
        }

    ManifestRequest request{options.releaseVersion, options.boardPatterns, options.notes, ""};
    if (!options.keyPath.empty() && !ReadKeyFile(options.keyPath, &request.privateKeyPem, &problem)) {
        out.Error(problem);
        return kExitManifestNotMade;
    }
    FileFacts facts;
    facts.name = FileNameOf(options.file);
    facts.size = content.size;
    facts.sha256 = FileSha256(options.file);
    facts.banner = content.banner;
    Manifest manifest;
    bool made = MakeManifest(facts, request, &manifest, &problem);
    std::fill(request.privateKeyPem.begin(), request.privateKeyPem.end(), '\0');
    const std::string path = ManifestPathFor(options.file);
    if (!made || !WriteManifestFile(path, manifest, &problem)) {
        out.Error(Say(Message::kConsoleManifestNotWritten, {{"path", options.file}, {"problem", problem}}));
        return kExitManifestNotMade;
    }
    out.Data()["manifest"] = path;
    out.Data()["sha256"] = manifest.sha256;
    out.Data()["signed_by"] = manifest.signature ? nlohmann::ordered_json(manifest.signature->key) : nullptr;
    out.Info(Say(Message::kConsoleCreatedSha256, {{"sha256", manifest.sha256}}));
    out.Info(manifest.signature
                 ? Say(Message::kConsoleCreatedSigned,
                       {{"fingerprint", FingerprintForPeople(manifest.signature->key)}, {"key_file", options.keyPath}})
                 : Say(Message::kConsoleCreatedUnsigned));
    out.Info(Say(Message::kConsoleCreatedWrote, {{"path", path}}));
    return kExitSuccess;
}

// The signer as `manifest check` states it: the trusted or named key that signed, or why
// no key vouches for it.
std::string SignerLine(const ManifestVerdict& verdict, bool named)
{
    if (!verdict.signer.keyFile.empty()) {
        std::string signer = Say(
            Message::kManifestSigner,
            {{"key_file", verdict.signer.keyFile}, {"fingerprint", FingerprintForPeople(verdict.signer.fingerprint)}});
        return named ? Say(Message::kConsoleSignerNamedKey, {{"signer", signer}}) : signer;
    }
    const Manifest& manifest = *verdict.manifest;
    if (verdict.signature == SignatureState::kUnsigned)
        return Say(Message::kConsoleSignerNone);
    if (verdict.signature == SignatureState::kMalformed || !manifest.signature)
        return Say(Message::kConsoleSignerMalformed);
    return Say(Message::kConsoleSignerNotChecked, {{"fingerprint", FingerprintForPeople(manifest.signature->key)}});
}

// manifest check: the file against its manifest and the trusted keys beside the module
// (or the one key named with --key), as download checks it before writing (without a board).
int CheckManifest(const Options& options, Output& out)
{
    UpdateFile file = InspectFile(options.file);
    if (!DescribeFile(options.file, file.content, out))
        return kExitFileUnreadable;
    TrustedKeys trusted;
    const bool named = !options.publicKeyPath.empty();
    if (named) {
        std::string problem;
        if (!ReadNamedKey(options.publicKeyPath, &trusted, &problem)) {
            out.Error(problem);
            return kExitManifestNotMade;
        }
        out.Data()["key"] = {{"file", options.publicKeyPath}, {"fingerprint", trusted.keys.front().fingerprint}};
    } else {
        trusted = ReadTrustedKeys(JoinPath(ModuleSession(options.dllPath).Setting().folder, kTrustedKeysFolderName));
        out.Data()["trusted_keys"] = trusted.folder;
    }
    ManifestVerdict verdict = CheckFileAgainstManifest(file.path, FactsOf(file), trusted, ManifestOverrides());
    out.Data()["manifest"] = ManifestVerdictJson(verdict);
    for (const std::string& note : verdict.notes)
        out.Note(FileNameOf(options.file) + ": " + note);
    if (!verdict.ok) {
        out.Error(Say(Message::kConsoleCheckFails, {{"file", FileNameOf(options.file)}, {"reason", verdict.words}}));
        return kExitManifestRefused;
    }
    if (!verdict.manifest) {
        out.Error(Say(Message::kConsoleNoManifestToCheck,
                      {{"file", FileNameOf(options.file)}, {"manifest_path", verdict.manifestPath}}));
        return kExitManifestRefused;
    }
    const Manifest& manifest = *verdict.manifest;
    std::string boards;
    for (const std::string& pattern : manifest.boards)
        boards += (boards.empty() ? "" : ", ") + pattern;
    out.Info(Say(Message::kConsoleCheckManifest, {{"manifest_path", verdict.manifestPath}}));
    out.Info(manifest.version.empty() ? Say(Message::kConsoleCheckNoVersion)
                                      : Say(Message::kConsoleCheckVersion, {{"version", manifest.version}}));
    out.Info(boards.empty() ? Say(Message::kConsoleCheckAnyBoard)
                            : Say(Message::kConsoleCheckBoards, {{"boards", boards}}));
    out.Info(Say(Message::kConsoleCheckSigner, {{"signer", SignerLine(verdict, named)}}));
    out.Info(Say(Message::kConsoleCheckWords, {{"words", verdict.words}}));
    PrintMakerNotes(verdict, Say(Message::kConsoleCheckNotesLabel), out);
    return kExitSuccess;
}

}  // namespace

int RunManifest(const Options& options, Output& out)
{
    out.Data()["command"] = "manifest " + options.manifestAction;
    if (options.showLog)
        out.Note(Say(Message::kConsoleManifestNoLog));
    return options.manifestAction == "create" ? CreateManifest(options, out) : CheckManifest(options, out);
}

void AddManifestOptions(CLI::App& command, Options& options)
{
    command.require_subcommand(1, 1);
    CLI::App* create = command.add_subcommand("create", Say(Message::kHelpManifestCreate));
    create->add_option(Say(Message::kHelpValueFile), options.file, Say(Message::kHelpFile))->required()->type_name("");
    create->add_option("--version", options.releaseVersion, Say(Message::kHelpReleaseVersion))->type_name("V");
    create->add_option("--board", options.boardPatterns, Say(Message::kHelpBoardPattern))
        ->type_name("PATTERN")
        ->allow_extra_args(false);
    create->add_option("--notes", options.notes, Say(Message::kHelpNotes))->type_name("TEXT");
    create->add_option("--key", options.keyPath, Say(Message::kHelpSigningKey))->type_name("PRIVATE.pem");
    create->callback([&options] { options.manifestAction = "create"; });

    CLI::App* check = command.add_subcommand("check", Say(Message::kHelpManifestCheck));
    check->add_option(Say(Message::kHelpValueFile), options.file, Say(Message::kHelpFile))->required()->type_name("");
    check->add_option("--key", options.publicKeyPath, Say(Message::kHelpCheckingKey))->type_name("PUBLIC.pem");
    check->callback([&options] { options.manifestAction = "check"; });
}

}  // namespace torvexctl
