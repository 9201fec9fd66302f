#include "manifest/manifest_check.h"

#include "manifest/manifest_crypto.h"
#include "manifest/refusal_table.h"
#include "system/paths.h"
#include "system/system_facts.h"
#include "system/text.h"
#include "words/messages.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace torvexupdate {

namespace {

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string SignerWords(const Signer& signer)
{
    return Say(Message::kManifestSigner,
               {{"key_file", signer.keyFile}, {"fingerprint", FingerprintForPeople(signer.fingerprint)}});
}

// At most `limit` bytes of a file; false when it cannot be read or is larger.
bool ReadSmallFile(const std::string& utf8Path, std::size_t limit, std::string* text)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFile(utf8Path, "rb"), std::fclose);
    if (!file)
        return false;
    text->assign(limit + 1, '\0');
    text->resize(std::fread(&(*text)[0], 1, text->size(), file.get()));
    return !std::ferror(file.get()) && text->size() <= limit;
}

std::string LowerCase(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string JoinedPatterns(const std::vector<std::string>& patterns)
{
    std::string joined;
    for (const std::string& pattern : patterns)
        joined += (joined.empty() ? "" : ", ") + Quoted(pattern);
    return joined;
}

void Refuse(ManifestVerdict* verdict, ManifestRefusal refusal, const std::string& words)
{
    verdict->ok = false;
    verdict->refusal = refusal;
    verdict->words = words;
}

}  // namespace

std::string KeyFingerprint(const EcPublicKey& key)
{
    std::string digest = Sha256Of(PublicKeyDer(key));
    return digest.empty() ? "" : HexOf(digest);
}

std::string FingerprintForPeople(const std::string& fingerprint)
{
    std::string grouped;
    for (std::size_t at = 0; at < fingerprint.size(); at += 4)
        grouped += (at == 0 ? "" : " ") + fingerprint.substr(at, 4);
    return grouped;
}

TrustedKeys ReadTrustedKeys(const std::string& utf8Folder)
{
    TrustedKeys trusted;
    trusted.folder = utf8Folder;
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path folder = FsPath(utf8Folder);
    if (!fs::exists(folder, error) && !error)
        return trusted;
    std::vector<std::string> names;
    fs::directory_iterator entry(folder, error), end;
    for (; !error && entry != end; entry.increment(error)) {
        std::string name = Utf8Of(entry->path().filename());
        if (LowerCase(name).size() > 4 && LowerCase(name).compare(name.size() - 4, 4, ".pem") == 0)
            names.push_back(name);
    }
    if (error) {
        // Keys that may be there but cannot be read must not switch the check off.
        trusted.required = true;
        trusted.warnings.push_back(Say(Message::kRemarkKeysFolderUnreadable, {{"keys_folder", utf8Folder}}));
        return trusted;
    }
    std::sort(names.begin(), names.end());
    trusted.required = !names.empty();
    if (names.size() > kMaxTrustedKeyFiles) {
        trusted.warnings.push_back(
            Say(Message::kRemarkTooManyKeys,
                {{"limit", std::to_string(kMaxTrustedKeyFiles)}, {"count", std::to_string(names.size())}}));
        names.resize(kMaxTrustedKeyFiles);
    }
    for (const std::string& name : names) {
        std::string pem, problem;
        TrustedKey key;
        key.fileName = name;
        if (!ReadSmallFile(Utf8Of(folder / FsPath(name)), kMaxKeyFileBytes, &pem)) {
            problem = Say(Message::kProblemKeyFileUnreadable, {{"kib", std::to_string(kMaxKeyFileBytes / 1024)}});
        } else if (ParsePublicKeyPem(pem, &key.key, &problem)) {
            key.fingerprint = KeyFingerprint(key.key);
            problem = key.fingerprint.empty() ? Say(Message::kProblemNoFingerprint) : "";
        }
        if (problem.empty())
            trusted.keys.push_back(key);
        else
            trusted.warnings.push_back(Say(Message::kRemarkKeySkipped, {{"key_file", name}, {"problem", problem}}));
    }
    return trusted;
}

bool ReadNamedKey(const std::string& utf8Path, TrustedKeys* trusted, std::string* problem)
{
    std::string pem, why;
    TrustedKey key;
    key.fileName = utf8Path;
    bool usable = false;
    if (!ReadSmallFile(utf8Path, kMaxKeyFileBytes, &pem))
        why = Say(Message::kProblemKeyFileUnreadable, {{"kib", std::to_string(kMaxKeyFileBytes / 1024)}});
    else if (ParsePublicKeyPem(pem, &key.key, &why)) {
        key.fingerprint = KeyFingerprint(key.key);
        usable = !key.fingerprint.empty();
        why = usable ? "" : Say(Message::kProblemNoFingerprint);
    }
    if (!usable) {
        *problem = Say(Message::kProblemNamedKeyUnusable, {{"key_file", utf8Path}, {"problem", why}});
        return false;
    }
    *trusted = TrustedKeys();
    trusted->required = true;
    trusted->namedKey = utf8Path;
    trusted->keys.push_back(key);
    return true;
}

FileFacts FactsOfFile(const std::string& utf8Path)
{
    FileFacts facts;
    facts.name = Utf8Of(FsPath(utf8Path).filename());
    ApplicationFile content = ReadApplicationFile(utf8Path);
    facts.size = content.size;
    facts.banner = content.banner;
    if (content.readable)
        facts.sha256 = FileSha256(utf8Path);
    return facts;
}

bool ReadKeyFile(const std::string& utf8Path, std::string* pem, std::string* problem)
{
    if (ReadSmallFile(utf8Path, kMaxKeyFileBytes, pem))
        return true;
    *problem = Say(Message::kProblemSigningKeyUnreadable,
                   {{"key_file", utf8Path}, {"kib", std::to_string(kMaxKeyFileBytes / 1024)}});
    return false;
}

bool SignManifest(Manifest* manifest, const std::string& privateKeyPem, std::string* problem)
{
    EcPrivateKey key;
    std::string why;
    if (!ParsePrivateKeyPem(privateKeyPem, &key, &why)) {
        *problem = Say(Message::kProblemSigningKeyUnusable, {{"problem", why}});
        return false;
    }
    std::string fingerprint = KeyFingerprint(key.publicKey);
    std::string message = SignedBytes(*manifest, fingerprint);
    ManifestSignature signature;
    signature.key = fingerprint;
    bool signedOk = !fingerprint.empty() && SignP256(key, message, &signature.rawSignature, &why);
    key.d.fill(0);
    if (!signedOk) {
        *problem = Say(Message::kProblemCannotSign, {{"problem", why}});
        return false;
    }
    // A key file whose public half belongs to another key would sign in a name it cannot prove.
    if (VerifyP256(key.publicKey, message, signature.rawSignature) != SignatureCheck::kValid) {
        *problem = Say(Message::kProblemKeyHalvesDiffer);
        return false;
    }
    signature.value = Base64Encode(SignatureRawToDer(signature.rawSignature));
    manifest->signature = signature;
    manifest->signatureProblem.clear();
    return true;
}

bool MakeManifest(const FileFacts& file, const ManifestRequest& request, Manifest* manifest, std::string* problem)
{
    if (file.sha256.empty()) {
        *problem = Say(Message::kProblemFileUnreadable);
        return false;
    }
    Manifest made;
    made.file = file.name;
    made.size = file.size;
    made.sha256 = file.sha256;
    for (std::size_t i = 0; i < kBannerFieldCount; ++i)
        made.banner[i] = file.banner ? Cp1252ToUtf8(FieldOf(*file.banner, i)) : "";
    if (!request.version.empty() && !ParseVersion(request.version)) {
        *problem = Say(Message::kProblemVersionGiven, {{"version", request.version}});
        return false;
    }
    made.version = request.version;
    if (request.boards.size() > kManifestMaxBoards) {
        *problem = Say(Message::kProblemTooManyPatterns, {{"max", std::to_string(kManifestMaxBoards)}});
        return false;
    }
    for (const std::string& pattern : request.boards) {
        if (!ValidBoardPattern(pattern, problem))
            return false;
    }
    made.boards = request.boards;
    if (request.notes.size() > kManifestMaxNotes || !IsUtf8(request.notes)) {
        *problem = Say(Message::kProblemNotesUnfit, {{"max", std::to_string(kManifestMaxNotes)}});
        return false;
    }
    made.notes = request.notes;
    // What is written must read back as it is: the reader's rules are the writer's.
    ManifestRead check = ParseManifest(ManifestJson(made));
    if (!check.manifest) {
        *problem = Say(Message::kProblemWouldBeMalformed, {{"problem", check.problem}});
        return false;
    }
    if (!request.privateKeyPem.empty() && !SignManifest(&made, request.privateKeyPem, problem))
        return false;
    *manifest = made;
    return true;
}

SignatureVerdict CheckSignature(const Manifest& manifest, const TrustedKeys& trusted)
{
    SignatureVerdict verdict;
    if (!manifest.signatureProblem.empty()) {
        verdict.state = SignatureState::kMalformed;
        verdict.words = Say(Message::kManifestSignatureMalformed, {{"problem", manifest.signatureProblem}});
        return verdict;
    }
    if (!manifest.signature) {
        verdict.state = SignatureState::kUnsigned;
        verdict.words = Say(Message::kManifestNotSigned);
        return verdict;
    }
    const ManifestSignature& signature = *manifest.signature;
    verdict.signer.fingerprint = signature.key;
    auto key = std::find_if(trusted.keys.begin(), trusted.keys.end(),
                            [&](const TrustedKey& candidate) { return candidate.fingerprint == signature.key; });
    if (key == trusted.keys.end()) {
        verdict.state = SignatureState::kUntrustedKey;
        std::string fingerprint = FingerprintForPeople(signature.key);
        verdict.words = trusted.namedKey.empty() || trusted.keys.empty()
            ? Say(Message::kManifestUntrustedSigner, {{"fingerprint", fingerprint}})
            : Say(Message::kManifestOtherThanNamedKey,
                  {{"fingerprint", fingerprint},
                   {"key_file", trusted.namedKey},
                   {"key_fingerprint", FingerprintForPeople(trusted.keys.front().fingerprint)}});
        return verdict;
    }
    verdict.signer.keyFile = key->fileName;
    switch (VerifyP256(key->key, SignedBytes(manifest, signature.key), signature.rawSignature)) {
    case SignatureCheck::kValid:
        verdict.state = SignatureState::kTrusted;
        verdict.words = Say(Message::kManifestSignedBy, {{"signer", SignerWords(verdict.signer)}});
        break;
    case SignatureCheck::kInvalid:
        verdict.state = SignatureState::kEdited;
        verdict.words = Say(Message::kManifestEdited, {{"signer", SignerWords(verdict.signer)}});
        break;
    case SignatureCheck::kKeyRefused:
        verdict.state = SignatureState::kUntrustedKey;
        verdict.words = Say(Message::kManifestKeyRefused, {{"key_file", key->fileName}});
        break;
    }
    return verdict;
}

ManifestVerdict CheckFileAgainstManifest(const std::string& utf8FilePath, const FileFacts& file,
                                         const std::string& trustedKeysFolder, const ManifestOverrides& overrides)
{
    return CheckFileAgainstManifest(utf8FilePath, file, ReadTrustedKeys(trustedKeysFolder), overrides);
}

ManifestVerdict CheckFileAgainstManifest(const std::string& utf8FilePath, const FileFacts& file,
                                         const TrustedKeys& trusted, const ManifestOverrides& overrides)
{
    ManifestVerdict verdict;
    verdict.manifestPath = ManifestPathFor(utf8FilePath);
    verdict.notes = trusted.warnings;
    verdict.signatureChecked = trusted.required;
    verdict.keysFolder = trusted.namedKey.empty() ? trusted.folder : "";
    const bool named = !trusted.namedKey.empty();
    const std::string manifestName = file.name + kManifestSuffix;

    // No trusted signature: refused when keys are installed, unless the user allows it.
    auto withoutTrustedSignature = [&](ManifestRefusal refusal, const std::string& words) {
        if (!overrides.allowUnsigned) {
            Refuse(&verdict, refusal, words);
            return false;
        }
        verdict.notes.push_back(Say(Message::kRemarkWrittenAnyway, {{"reason", words}}));
        verdict.overrides.push_back(kAllowUnsignedName);
        return true;
    };

    ManifestRead read = ReadManifestFile(verdict.manifestPath);
    if (!read.found) {
        if (trusted.required)
            withoutTrustedSignature(ManifestRefusal::kNoManifest,
                                    named ? Say(Message::kManifestMissingNamedKey,
                                                {{"manifest_name", manifestName}, {"key_file", trusted.namedKey}})
                                          : Say(Message::kManifestMissingRequired, {{"manifest_name", manifestName}}));
        else
            verdict.notes.push_back(Say(Message::kRemarkNoManifest, {{"manifest_name", manifestName}}));
        verdict.words = verdict.ok ? Say(Message::kManifestNone) : verdict.words;
        return verdict;
    }
    if (!read.manifest) {
        Refuse(&verdict, ManifestRefusal::kManifestMalformed,
               Say(Message::kManifestMalformed, {{"manifest_name", manifestName}, {"problem", read.problem}}));
        return verdict;
    }
    verdict.manifest = read.manifest;
    const Manifest& manifest = *read.manifest;

    SignatureVerdict signature = CheckSignature(manifest, trusted);
    verdict.signature = signature.state;
    if (signature.state == SignatureState::kTrusted) {
        verdict.signer = signature.signer;
    } else if (signature.state == SignatureState::kEdited) {
        Refuse(&verdict, ManifestRefusal::kEdited, signature.words);
        return verdict;
    } else if (trusted.required) {
        if (signature.state == SignatureState::kMalformed) {
            Refuse(&verdict, ManifestRefusal::kSignatureMalformed, signature.words);
            return verdict;
        }
        bool unsignedManifest = signature.state == SignatureState::kUnsigned;
        std::string words = !unsignedManifest ? signature.words
            : named ? Say(Message::kManifestUnsignedNamedKey, {{"key_file", trusted.namedKey}})
                    : Say(Message::kManifestUnsignedRequired);
        if (!withoutTrustedSignature(unsignedManifest ? ManifestRefusal::kUnsigned : ManifestRefusal::kUntrustedKey,
                                     words))
            return verdict;
    } else if (signature.state == SignatureState::kUntrustedKey) {
        verdict.notes.push_back(Say(
            Message::kRemarkSignatureNotChecked,
            {{"fingerprint", FingerprintForPeople(signature.signer.fingerprint)}, {"keys_folder", trusted.folder}}));
    } else if (signature.state == SignatureState::kMalformed) {
        verdict.notes.push_back(
            Say(Message::kRemarkMalformedNotChecked, {{"reason", signature.words}, {"keys_folder", trusted.folder}}));
    }

    FileComparison comparison = CompareWithManifest(file, manifest);
    verdict.notes.insert(verdict.notes.end(), comparison.notes.begin(), comparison.notes.end());
    static const ManifestRefusal kRefusals[] = {ManifestRefusal::kNone, ManifestRefusal::kSize,
                                                ManifestRefusal::kSha256, ManifestRefusal::kBanner};
    if (comparison.mismatch != FileMismatch::kNone) {
        Refuse(&verdict, kRefusals[static_cast<int>(comparison.mismatch)], comparison.words);
        return verdict;
    }
    bool trustedSigner = signature.state == SignatureState::kTrusted;
    Message words = manifest.version.empty()
        ? (trustedSigner ? Message::kManifestMatchesSigned : Message::kManifestMatches)
        : (trustedSigner ? Message::kManifestMatchesVersionSigned : Message::kManifestMatchesVersion);
    verdict.words = Say(words, {{"version", manifest.version}, {"signer", SignerWords(verdict.signer)}});
    return verdict;
}

void CheckBoardAgainstManifest(ManifestVerdict* verdict, const std::string& boardReference, const VersionFloor& floor,
                               const ManifestOverrides& overrides)
{
    if (!verdict->ok || !verdict->manifest)
        return;
    const Manifest& manifest = *verdict->manifest;
    if (!manifest.boards.empty()) {
        std::string reference = Cp1252ToUtf8(boardReference);
        bool matches = std::any_of(manifest.boards.begin(), manifest.boards.end(),
                                   [&](const std::string& pattern) { return BoardMatches(pattern, reference); });
        if (!matches) {
            std::string patterns = JoinedPatterns(manifest.boards);
            Refuse(verdict, ManifestRefusal::kWrongBoard,
                   reference.empty() ? Say(Message::kManifestWrongBoardUnknown, {{"patterns", patterns}})
                                     : Say(Message::kManifestWrongBoard,
                                           {{"reference", ForTerminal(boardReference)}, {"patterns", patterns}}));
            return;
        }
    }
    if (manifest.version.empty() || floor.version.empty())
        return;
    std::optional<SemanticVersion> carried = ParseVersion(floor.version);
    if (!carried) {
        verdict->notes.push_back(Say(Message::kRemarkVersionNotCompared, {{"carried", floor.version}}));
        return;
    }
    if (CompareVersions(*ParseVersion(manifest.version), *carried) >= 0)
        return;
    // Where the floor came from, so that the person deciding knows what they would go below.
    Message sentence = floor.path.empty() && floor.when.empty() ? Message::kManifestOlderVersion
        : floor.found                                           ? Message::kOlderThanFound
                                                                : Message::kOlderThanWritten;
    std::string words = Say(sentence,
                            {{"version", manifest.version},
                             {"carried", floor.version},
                             {"path", floor.path.empty() ? "?" : floor.path},
                             {"when", floor.when.empty() ? "?" : floor.when},
                             {"who", floor.who.empty() ? "?" : floor.who}});
    if (!overrides.allowOlder) {
        Refuse(verdict, ManifestRefusal::kOlderVersion, words);
        return;
    }
    verdict->notes.push_back(Say(Message::kRemarkWrittenAnyway, {{"reason", words}}));
    verdict->overrides.push_back(kAllowOlderName);
}

ManifestVerdict CheckAgainstManifest(const std::string& utf8FilePath, const FileFacts& file,
                                     const std::string& boardReference, const VersionFloor& floor,
                                     const std::string& trustedKeysFolder, const ManifestOverrides& overrides)
{
    ManifestVerdict verdict = CheckFileAgainstManifest(utf8FilePath, file, trustedKeysFolder, overrides);
    CheckBoardAgainstManifest(&verdict, boardReference, floor, overrides);
    return verdict;
}

const char* RefusalName(ManifestRefusal refusal)
{
    return RefusalRowOf(refusal).name;
}

}  // namespace torvexupdate
