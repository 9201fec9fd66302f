// Making, signing and judging manifests: a file against its manifest, the manifest's
// signature against the keys a site trusts (the folder trusted-keys beside the module),
// and a board against the manifest's board patterns and release version. The verdict
// says, in words, why a file must not be written; it prints nothing.
#pragma once

#include "manifest/key_formats.h"
#include "manifest/manifest.h"

#include <optional>
#include <string>
#include <vector>

namespace torvexupdate {

constexpr const char* kTrustedKeysFolderName = "trusted-keys";
constexpr std::size_t kMaxTrustedKeyFiles = 64;
constexpr std::size_t kMaxKeyFileBytes = 16 * 1024;

// SHA-256 of the key's SubjectPublicKeyInfo DER, in hex: the same as
// `openssl pkey -pubin -in KEY.pem -outform DER | sha256sum`.
std::string KeyFingerprint(const EcPublicKey& key);

// A fingerprint as people read it aloud and compare it: its 64 digits in sixteen groups of
// four ("223e dd85 00f3 ... fe12"). Files and JSON keep the 64 digits without spaces.
std::string FingerprintForPeople(const std::string& fingerprint);

struct TrustedKey {
    std::string fileName;  // as found in the folder
    std::string fingerprint;
    EcPublicKey key;
};

struct TrustedKeys {
    // The folder holds at least one *.pem file (or cannot be listed): every file must then
    // come with a manifest signed by one of `keys`.
    bool required = false;
    std::vector<TrustedKey> keys;
    std::vector<std::string> warnings;  // files skipped, and why
    std::string folder;                 // where they were read from
    std::string namedKey;               // instead of a folder: the one key a check was asked about (its path)
};

// The *.pem files of the folder, in name order; a missing folder holds no keys.
TrustedKeys ReadTrustedKeys(const std::string& utf8Folder);

// The public key at `utf8Path` as the only key a check trusts (a maker checking his own
// signature). False with `problem` set when it cannot be read or is no usable public key.
bool ReadNamedKey(const std::string& utf8Path, TrustedKeys* trusted, std::string* problem);

// The size, SHA-256 and banner of a file; sha256 is "" when it cannot be read.
FileFacts FactsOfFile(const std::string& utf8Path);

// What a maker asks for when creating a manifest.
struct ManifestRequest {
    std::string version;              // "" for none
    std::vector<std::string> boards;  // board reference patterns
    std::string notes;
    std::string privateKeyPem;  // the key's PEM text; "" for an unsigned manifest
};

// The text of a key file (at most kMaxKeyFileBytes). False with `problem` set when it
// cannot be read or is larger.
bool ReadKeyFile(const std::string& utf8Path, std::string* pem, std::string* problem);

// A manifest for the file, signed when the request carries a key. False with `problem`
// set when the file is not readable or the request is not valid.
bool MakeManifest(const FileFacts& file, const ManifestRequest& request, Manifest* manifest, std::string* problem);

// Signs every field of the manifest with the private key (PEM text), replacing any
// signature it had.
bool SignManifest(Manifest* manifest, const std::string& privateKeyPem, std::string* problem);

struct Signer {
    std::string keyFile;  // the trusted key's file name; "" when no trusted key signed
    std::string fingerprint;
};

enum class SignatureState {
    kUnsigned,
    kMalformed,     // a signature is there but cannot be read
    kUntrustedKey,  // signed by a key that is not among the trusted ones
    kEdited,        // signed by a trusted key, but the manifest no longer matches the signature
    kTrusted,       // signed by a trusted key and unchanged since
};

struct SignatureVerdict {
    SignatureState state = SignatureState::kUnsigned;
    std::string words;
    Signer signer;  // kTrusted: the key; kUntrustedKey and kEdited: its fingerprint
};

SignatureVerdict CheckSignature(const Manifest& manifest, const TrustedKeys& trusted);

enum class ManifestRefusal {
    kNone,
    kManifestMalformed,   // the manifest beside the file cannot be read
    kNoManifest,          // trusted keys are installed and the file has no manifest
    kUnsigned,            // trusted keys are installed and the manifest is not signed
    kUntrustedKey,        // signed by a key that is not trusted here
    kEdited,              // edited after signing
    kSignatureMalformed,  // trusted keys are installed and the signature cannot be read
    kSize,
    kSha256,
    kBanner,
    kWrongBoard,
    kOlderVersion,
};

// The overrides' names, as verdicts list them and records keep them.
constexpr const char* kAllowUnsignedName = "allow-unsigned";
constexpr const char* kAllowOlderName = "allow-older";

// The explicit choices that let a refused file through. Nothing lets an edited manifest
// through.
struct ManifestOverrides {
    bool allowUnsigned = false;  // no manifest, unsigned, or signed by an untrusted key
    bool allowOlder = false;     // an older release version than the board carries
};

struct ManifestVerdict {
    bool ok = true;
    ManifestRefusal refusal = ManifestRefusal::kNone;
    std::string words;                   // the refusal, or what was checked
    std::vector<std::string> notes;      // further lines for the user (no manifest, keys skipped, ...)
    std::vector<std::string> overrides;  // overrides that were needed: "allow-unsigned", "allow-older"
    std::string manifestPath;
    std::optional<Manifest> manifest;  // when one was read
    SignatureState signature = SignatureState::kUnsigned;
    Signer signer;  // when a trusted key signed
    // False when no trusted key was there to check a signature against.
    bool signatureChecked = false;
    std::string keysFolder;  // the trusted keys' folder ("" when a key was named instead)
};

// The file against FILE.manifest.json and the trusted keys in `trustedKeysFolder`; needs
// no board, so it can run before the module is loaded.
ManifestVerdict CheckFileAgainstManifest(const std::string& utf8FilePath, const FileFacts& file,
                                         const std::string& trustedKeysFolder, const ManifestOverrides& overrides);
// The same against keys already read (ReadTrustedKeys, ReadNamedKey).
ManifestVerdict CheckFileAgainstManifest(const std::string& utf8FilePath, const FileFacts& file,
                                         const TrustedKeys& trusted, const ManifestOverrides& overrides);

// The release version a file must not be older than (the history's account of the board
// gives it), and the attempt it came from, for the person deciding whether to go below it.
struct VersionFloor {
    std::string version;  // "" when the history knows none
    std::string path;     // the file that brought it ("" when the record does not say)
    std::string when;     // when, as recorded (UTC)
    std::string who;      // "Ann Lee with torvexctl on STATION-4"
    bool found = false;   // the update found it on the board (a skip) rather than wrote it
};

// Adds the board's side to an accepted file verdict: its reference (as the board reports
// it, Windows-1252) against the manifest's patterns, and the manifest's release version
// against the board's floor.
void CheckBoardAgainstManifest(ManifestVerdict* verdict, const std::string& boardReference, const VersionFloor& floor,
                               const ManifestOverrides& overrides);

// Both checks in one call.
ManifestVerdict CheckAgainstManifest(const std::string& utf8FilePath, const FileFacts& file,
                                     const std::string& boardReference, const VersionFloor& floor,
                                     const std::string& trustedKeysFolder, const ManifestOverrides& overrides);

// Stable names for records and JSON: "none", "size", "untrusted_key", ... (refusal_table.h).
const char* RefusalName(ManifestRefusal refusal);

}  // namespace torvexupdate
