// The manifest: a small JSON file beside an application file (FILE.manifest.json for FILE)
// in which the file's maker says what the file must be: its name, size, SHA-256 and
// banner, optionally its release version, the boards it is meant for, notes, and a
// signature over all of it. docs/manifest.md describes the format. This file reads,
// writes and compares; manifest_check.h signs and judges.
#pragma once

#include "application/banner.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace torvexupdate {

constexpr const char* kManifestFormat = "torvex-manifest";
constexpr int kManifestFormatVersion = 1;
constexpr const char* kManifestSuffix = ".manifest.json";
constexpr const char* kSignatureAlgorithm = "ecdsa-p256-sha256";
// Bounds of what a manifest may hold; anything beyond is refused as malformed.
constexpr std::size_t kManifestMaxBytes = 64 * 1024;
constexpr std::size_t kManifestMaxBoards = 32;
constexpr std::size_t kManifestMaxPattern = 64;
constexpr std::size_t kManifestMaxNotes = 4096;
constexpr std::size_t kManifestMaxVersion = 64;
constexpr std::size_t kManifestMaxFileName = 255;

struct ManifestSignature {
    std::string key;           // the signer's key fingerprint (64 hex digits)
    std::string value;         // base64 of the DER signature, as written
    std::string rawSignature;  // r||s, 64 bytes, decoded from `value`
};

struct Manifest {
    std::string file;  // the file's name, without folder
    long long size = 0;
    std::string sha256;                                 // 64 lower-case hex digits
    std::array<std::string, kBannerFieldCount> banner;  // UTF-8 (Windows-1252 bytes converted)
    std::string version;                                // semantic version; "" when none is declared
    std::vector<std::string> boards;                    // board reference patterns; empty: any board
    std::string notes;
    std::optional<ManifestSignature> signature;
    std::string signatureProblem;  // a signature is present but malformed: why
};

struct ManifestRead {
    bool found = false;  // the manifest file exists
    std::optional<Manifest> manifest;
    std::string problem;  // why it cannot be read or is malformed, for the user
};

// FILE.manifest.json for FILE.
std::string ManifestPathFor(const std::string& utf8FilePath);

// Reads a manifest from text. Never trusts the text: every field is checked for type,
// form and size, unknown fields are refused. A malformed signature leaves the rest
// readable and sets signatureProblem.
ManifestRead ParseManifest(const std::string& text);

// Reads at most kManifestMaxBytes + 1 bytes of the file; found is false when it does not exist.
ManifestRead ReadManifestFile(const std::string& utf8Path);

// The manifest as JSON text, fields in the documented order, two-space indent, ending
// with a line end.
std::string ManifestJson(const Manifest& manifest);

// Writes ManifestJson to the path. False with `error` set when it cannot.
bool WriteManifestFile(const std::string& utf8Path, const Manifest& manifest, std::string* error);

// The bytes a signature covers: every field one per line in a fixed order, ending with
// the signer's key fingerprint (docs/manifest.md).
std::string SignedBytes(const Manifest& manifest, const std::string& keyFingerprint);

// A file as the manifest sees it.
struct FileFacts {
    std::string name;    // file name without folder (UTF-8)
    long long size = 0;  // bytes
    std::string sha256;  // lower-case hex; "" when the file could not be read
    std::optional<Banner> banner;
};

enum class FileMismatch { kNone, kSize, kSha256, kBanner };

struct FileComparison {
    FileMismatch mismatch = FileMismatch::kNone;
    std::string words;               // what differs, for the user
    std::vector<std::string> notes;  // what differs but does not matter (the file's name)
};

// Size first (the copy is incomplete, or has bytes too many), then SHA-256, then banner.
FileComparison CompareWithManifest(const FileFacts& file, const Manifest& manifest);

// Board patterns: '*' stands for any run of characters, '?' for one; case matters.
bool ValidBoardPattern(const std::string& pattern, std::string* problem);
bool BoardMatches(const std::string& pattern, const std::string& reference);

// Semantic versioning 2.0.0: MAJOR.MINOR.PATCH[-PRERELEASE][+BUILD].
struct SemanticVersion {
    std::array<std::string, 3> core;  // digits without leading zeros
    std::vector<std::string> prerelease;
};
std::optional<SemanticVersion> ParseVersion(const std::string& text);
// Negative, zero or positive as a has lower, equal or higher precedence than b (build
// metadata does not count).
int CompareVersions(const SemanticVersion& a, const SemanticVersion& b);

// True when the bytes are well-formed UTF-8.
bool IsUtf8(const std::string& text);

}  // namespace torvexupdate
