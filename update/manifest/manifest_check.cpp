#include "manifest/manifest_check.h"

#include "manifest/manifest_crypto.h"
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
    return signer.keyFile + " (key " + signer.fingerprint + ")";
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

TrustedKeys ReadTrustedKeys(const std::string& utf8Folder)
{
    TrustedKeys trusted;
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
        trusted.warnings.push_back("the trusted keys folder " + utf8Folder + " cannot be read");
        return trusted;
    }
    std::sort(names.begin(), names.end());
    trusted.required = !names.empty();
    if (names.size() > kMaxTrustedKeyFiles) {
        trusted.warnings.push_back("only the first " + std::to_string(kMaxTrustedKeyFiles) + " of "
                                   + std::to_string(names.size()) + " key files are read");
        names.resize(kMaxTrustedKeyFiles);
    }
    for (const std::string& name : names) {
        std::string pem, problem;
        TrustedKey key;
        key.fileName = name;
        if (!ReadSmallFile(Utf8Of(folder / FsPath(name)), kMaxKeyFileBytes, &pem)) {
            problem = "it cannot be read or is larger than " + std::to_string(kMaxKeyFileBytes / 1024) + " KiB";
        } else if (ParsePublicKeyPem(pem, &key.key, &problem)) {
            key.fingerprint = KeyFingerprint(key.key);
            problem = key.fingerprint.empty() ? "its fingerprint cannot be computed" : "";
        }
        if (problem.empty())
            trusted.keys.push_back(key);
        else
            trusted.warnings.push_back("trusted key " + name + " skipped: " + problem);
    }
    return trusted;
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
    *problem = utf8Path + " cannot be read or is larger than " + std::to_string(kMaxKeyFileBytes / 1024) + " KiB";
    return false;
}

bool SignManifest(Manifest* manifest, const std::string& privateKeyPem, std::string* problem)
{
    EcPrivateKey key;
    std::string why;
    if (!ParsePrivateKeyPem(privateKeyPem, &key, &why)) {
        *problem = "the key cannot be used: " + why;
        return false;
    }
    std::string fingerprint = KeyFingerprint(key.publicKey);
    std::string message = SignedBytes(*manifest, fingerprint);
    ManifestSignature signature;
    signature.key = fingerprint;
    bool signedOk = !fingerprint.empty() && SignP256(key, message, &signature.rawSignature, &why);
    key.d.fill(0);
    if (!signedOk) {
        *problem = "the manifest cannot be signed: " + why;
        return false;
    }
    // A key file whose public half belongs to another key would sign in a name it cannot prove.
    if (VerifyP256(key.publicKey, message, signature.rawSignature) != SignatureCheck::kValid) {
        *problem = "the key cannot be used: its public key does not belong to its private key";
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
        *problem = "the file cannot be read";
        return false;
    }
    Manifest made;
    made.file = file.name;
    made.size = file.size;
    made.sha256 = file.sha256;
    for (std::size_t i = 0; i < kBannerFieldCount; ++i)
        made.banner[i] = file.banner ? Cp1252ToUtf8(FieldOf(*file.banner, i)) : "";
    if (!request.version.empty() && !ParseVersion(request.version)) {
        *problem = "the version " + Quoted(request.version) + " is not a semantic version (such as 1.4.0)";
        return false;
    }
    made.version = request.version;
    if (request.boards.size() > kManifestMaxBoards) {
        *problem = "a manifest names at most " + std::to_string(kManifestMaxBoards) + " board patterns";
        return false;
    }
    for (const std::string& pattern : request.boards) {
        if (!ValidBoardPattern(pattern, problem))
            return false;
    }
    made.boards = request.boards;
    if (request.notes.size() > kManifestMaxNotes || !IsUtf8(request.notes)) {
        *problem = "the notes are longer than " + std::to_string(kManifestMaxNotes) + " bytes or not UTF-8 text";
        return false;
    }
    made.notes = request.notes;
    // What is written must read back as it is: the reader's rules are the writer's.
    ManifestRead check = ParseManifest(ManifestJson(made));
    if (!check.manifest) {
        *problem = "the manifest would be malformed: " + check.problem;
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
        verdict.words = "its signature is malformed: " + manifest.signatureProblem;
        return verdict;
    }
    if (!manifest.signature) {
        verdict.state = SignatureState::kUnsigned;
        verdict.words = "its manifest is not signed";
        return verdict;
    }
    const ManifestSignature& signature = *manifest.signature;
    verdict.signer.fingerprint = signature.key;
    auto key = std::find_if(trusted.keys.begin(), trusted.keys.end(),
                            [&](const TrustedKey& candidate) { return candidate.fingerprint == signature.key; });
    if (key == trusted.keys.end()) {
        verdict.state = SignatureState::kUntrustedKey;
        verdict.words = "its manifest is signed by a key that is not trusted here (key " + signature.key + ")";
        return verdict;
    }
    verdict.signer.keyFile = key->fileName;
    switch (VerifyP256(key->key, SignedBytes(manifest, signature.key), signature.rawSignature)) {
    case SignatureCheck::kValid:
        verdict.state = SignatureState::kTrusted;
        verdict.words = "its manifest is signed by " + SignerWords(verdict.signer);
        break;
    case SignatureCheck::kInvalid:
        verdict.state = SignatureState::kEdited;
        verdict.words = "its manifest was edited after " + SignerWords(verdict.signer)
            + " signed it: the signature does not match its content";
        break;
    case SignatureCheck::kKeyRefused:
        verdict.state = SignatureState::kUntrustedKey;
        verdict.words = "the trusted key " + key->fileName + " is refused by the system's cryptography";
        break;
    }
    return verdict;
}

ManifestVerdict CheckFileAgainstManifest(const std::string& utf8FilePath, const FileFacts& file,
                                         const std::string& trustedKeysFolder, const ManifestOverrides& overrides)
{
    ManifestVerdict verdict;
    verdict.manifestPath = ManifestPathFor(utf8FilePath);
    TrustedKeys trusted = ReadTrustedKeys(trustedKeysFolder);
    verdict.notes = trusted.warnings;
    verdict.keysInstalled = trusted.required;
    const std::string manifestName = file.name + kManifestSuffix;

    // No trusted signature: refused when keys are installed, unless the user allows it.
    auto withoutTrustedSignature = [&](ManifestRefusal refusal, const std::string& words) {
        if (!overrides.allowUnsigned) {
            Refuse(&verdict, refusal, words + ", and trusted keys are installed in " + trustedKeysFolder);
            return false;
        }
        verdict.notes.push_back(words + ": written anyway, as asked");
        verdict.overrides.push_back(kAllowUnsignedName);
        return true;
    };

    ManifestRead read = ReadManifestFile(verdict.manifestPath);
    if (!read.found) {
        std::string words = "it has no manifest (" + manifestName + ")";
        if (trusted.required)
            withoutTrustedSignature(ManifestRefusal::kNoManifest, words);
        else
            verdict.notes.push_back(words + ": its completeness could not be checked");
        verdict.words = verdict.ok ? "no manifest" : verdict.words;
        return verdict;
    }
    if (!read.manifest) {
        Refuse(&verdict, ManifestRefusal::kManifestMalformed,
               "its manifest " + manifestName + " is malformed: " + read.problem);
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
        if (!withoutTrustedSignature(signature.state == SignatureState::kUnsigned ? ManifestRefusal::kUnsigned
                                                                                  : ManifestRefusal::kUntrustedKey,
                                     signature.words))
            return verdict;
    } else if (signature.state != SignatureState::kUnsigned) {
        verdict.notes.push_back(signature.words + "; no trusted keys are installed, so it was not checked");
    }

    FileComparison comparison = CompareWithManifest(file, manifest);
    verdict.notes.insert(verdict.notes.end(), comparison.notes.begin(), comparison.notes.end());
    static const ManifestRefusal kRefusals[] = {ManifestRefusal::kNone, ManifestRefusal::kSize,
                                                ManifestRefusal::kSha256, ManifestRefusal::kBanner};
    if (comparison.mismatch != FileMismatch::kNone) {
        Refuse(&verdict, kRefusals[static_cast<int>(comparison.mismatch)], comparison.words);
        return verdict;
    }
    verdict.words = "size, SHA-256 and banner match its manifest";
    if (!manifest.version.empty())
        verdict.words += " (version " + manifest.version + ")";
    if (signature.state == SignatureState::kTrusted)
        verdict.words += "; " + signature.words;
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
            Refuse(verdict, ManifestRefusal::kWrongBoard,
                   (reference.empty() ? std::string("the board's reference is unknown")
                                      : "the board's reference is " + Quoted(ForTerminal(boardReference)))
                       + ", and the file is meant for " + JoinedPatterns(manifest.boards) + " only");
            return;
        }
    }
    if (manifest.version.empty() || floor.version.empty())
        return;
    std::optional<SemanticVersion> carried = ParseVersion(floor.version);
    if (!carried) {
        verdict->notes.push_back("the board's release version " + Quoted(floor.version)
                                 + " is not a semantic version: not compared");
        return;
    }
    if (CompareVersions(*ParseVersion(manifest.version), *carried) >= 0)
        return;
    // Where the floor came from, so that the person deciding knows what they would go below.
    Message sentence = floor.path.empty() && floor.when.empty() ? Message::kOlderThanCarried
        : floor.found                                           ? Message::kOlderThanFound
                                                                : Message::kOlderThanWritten;
    std::string words = Say(sentence,
                            {{"version", manifest.version},
                             {"floor", floor.version},
                             {"path", floor.path.empty() ? "?" : floor.path},
                             {"when", floor.when.empty() ? "?" : floor.when},
                             {"who", floor.who.empty() ? "?" : floor.who}});
    if (!overrides.allowOlder) {
        Refuse(verdict, ManifestRefusal::kOlderVersion, words);
        return;
    }
    verdict->notes.push_back(words + ": written anyway, as asked");
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
    switch (refusal) {
    case ManifestRefusal::kNone:
        return "none";
    case ManifestRefusal::kManifestMalformed:
        return "manifest_malformed";
    case ManifestRefusal::kNoManifest:
        return "no_manifest";
    case ManifestRefusal::kUnsigned:
        return "unsigned";
    case ManifestRefusal::kUntrustedKey:
        return "untrusted_key";
    case ManifestRefusal::kEdited:
        return "edited_after_signing";
    case ManifestRefusal::kSignatureMalformed:
        return "signature_malformed";
    case ManifestRefusal::kSize:
        return "size";
    case ManifestRefusal::kSha256:
        return "sha256";
    case ManifestRefusal::kBanner:
        return "banner";
    case ManifestRefusal::kWrongBoard:
        return "wrong_board";
    case ManifestRefusal::kOlderVersion:
        return "older_version";
    }
    return "unknown";
}

}  // namespace torvexupdate
