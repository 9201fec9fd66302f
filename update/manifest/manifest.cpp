#include "manifest/manifest.h"

#include "manifest/key_formats.h"
#include "system/paths.h"
#include "system/system_facts.h"
#include "system/text.h"
#include "words/messages.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace torvexupdate {

namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kFieldNames[] = {"format", "format_version", "file",   "size",  "sha256",
                                       "banner", "version",        "boards", "notes", "signature"};
// Sizes are whole bytes well within what a double holds exactly.
constexpr long long kLargestSize = 1LL << 50;
// A banner field is at most 47 Windows-1252 bytes, each at most three bytes of UTF-8.
constexpr std::size_t kMaxBannerField = 3 * (kBannerSize - 1);

bool IsHexDigest(const std::string& text)
{
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

// Control bytes other than those `allowed`.
bool HasControl(const std::string& text, const char* allowed = "")
{
    for (unsigned char byte : text)
        if ((byte < 0x20 || byte == 0x7F) && (byte == 0 || std::strchr(allowed, byte) == nullptr))
            return true;
    return false;
}

// A string field: `problem` set when it is not a string, too long or holds control bytes.
bool ReadText(const Json& field, const char* name, std::size_t maxBytes, const char* allowedControls,
              std::string* value, std::string* problem)
{
    if (!field.is_string()) {
        *problem = Say(Message::kProblemFieldNotText, {{"field", name}});
        return false;
    }
    *value = field.get<std::string>();
    if (value->size() > maxBytes) {
        *problem = Say(Message::kProblemFieldTooLong, {{"field", name}, {"bytes", std::to_string(maxBytes)}});
        return false;
    }
    if (HasControl(*value, allowedControls)) {
        *problem = Say(Message::kProblemFieldControl, {{"field", name}});
        return false;
    }
    return true;
}

// The signature object; problems here leave the rest of the manifest readable.
void ReadSignature(const Json& field, Manifest* manifest)
{
    std::string& problem = manifest->signatureProblem;
    if (!field.is_object() || field.size() != 3 || !field.contains("algorithm") || !field.contains("key")
        || !field.contains("value")) {
        problem = Say(Message::kProblemSignatureNotObject);
        return;
    }
    if (field["algorithm"] != kSignatureAlgorithm) {
        problem = Say(Message::kProblemSignatureAlgorithm, {{"algorithm", kSignatureAlgorithm}});
        return;
    }
    ManifestSignature signature;
    if (!field["key"].is_string() || !IsHexDigest(signature.key = field["key"].get<std::string>())) {
        problem = Say(Message::kProblemSignatureKey);
        return;
    }
    std::string der;
    if (!field["value"].is_string() || (signature.value = field["value"].get<std::string>()).size() > 1024
        || !Base64Decode(signature.value, &der)) {
        problem = Say(Message::kProblemSignatureNotBase64);
        return;
    }
    if (!SignatureDerToRaw(der, &signature.rawSignature)) {
        problem = Say(Message::kProblemSignatureNotDer);
        return;
    }
    manifest->signature = signature;
}

bool ReadFields(const Json& root, Manifest* manifest, std::string* problem)
{
    if (!root.is_object()) {
        *problem = Say(Message::kProblemNotJsonObject);
        return false;
    }
    for (const auto& item : root.items()) {
        bool known = false;
        for (const char* name : kFieldNames)
            known = known || item.key() == name;
        if (!known) {
            *problem = Say(Message::kProblemFieldUnknown,
                           {{"format_version", std::to_string(kManifestFormatVersion)},
                            {"field", ForTerminal(item.key().substr(0, 64))}});
            return false;
        }
    }
    for (const char* name : {"format", "format_version", "file", "size", "sha256", "banner"}) {
        if (!root.contains(name)) {
            *problem = Say(Message::kProblemFieldMissing, {{"field", name}});
            return false;
        }
    }
    if (root["format"] != kManifestFormat) {
        *problem = Say(Message::kProblemNotFormat, {{"format", kManifestFormat}});
        return false;
    }
    const Json& formatVersion = root["format_version"];
    if (!formatVersion.is_number_integer() || formatVersion != kManifestFormatVersion) {
        *problem = Say(Message::kProblemFormatVersion, {{"format_version", std::to_string(kManifestFormatVersion)}});
        return false;
    }
    if (!ReadText(root["file"], "file", kManifestMaxFileName, "", &manifest->file, problem))
        return false;
    if (manifest->file.empty() || manifest->file.find_first_of("/\\") != std::string::npos) {
        *problem = Say(Message::kProblemNotFileName);
        return false;
    }
    const Json& size = root["size"];
    if (!size.is_number_integer() || size < 0 || size > kLargestSize) {
        *problem = Say(Message::kProblemSizeNotBytes);
        return false;
    }
    manifest->size = size.get<long long>();
    if (!root["sha256"].is_string() || !IsHexDigest(manifest->sha256 = root["sha256"].get<std::string>())) {
        *problem = Say(Message::kProblemSha256NotDigest);
        return false;
    }
    const Json& banner = root["banner"];
    if (!banner.is_array() || banner.size() != kBannerFieldCount) {
        *problem = Say(Message::kProblemBannerNotFive);
        return false;
    }
    for (std::size_t i = 0; i < kBannerFieldCount; ++i) {
        if (!ReadText(banner[i], "banner", kMaxBannerField, "", &manifest->banner[i], problem))
            return false;
    }
    if (root.contains("version")) {
        if (!ReadText(root["version"], "version", kManifestMaxVersion, "", &manifest->version, problem))
            return false;
        if (!ParseVersion(manifest->version)) {
            *problem = Say(Message::kProblemVersionNotSemantic);
            return false;
        }
    }
    if (root.contains("boards")) {
        const Json& boards = root["boards"];
        if (!boards.is_array() || boards.empty() || boards.size() > kManifestMaxBoards) {
            *problem = Say(Message::kProblemBoardsNotList, {{"max", std::to_string(kManifestMaxBoards)}});
            return false;
        }
        for (const Json& pattern : boards) {
            std::string text;
            if (!ReadText(pattern, "boards", kManifestMaxPattern, "", &text, problem))
                return false;
            std::string why;
            if (!ValidBoardPattern(text, &why)) {
                *problem = Say(Message::kProblemBoardsPattern, {{"problem", why}});
                return false;
            }
            manifest->boards.push_back(text);
        }
    }
    if (root.contains("notes")
        && !ReadText(root["notes"], "notes", kManifestMaxNotes, "\t\n\r", &manifest->notes, problem))
        return false;
    if (root.contains("signature"))
        ReadSignature(root["signature"], manifest);
    return true;
}

// A value on one line of the signed bytes: backslash, line feed and carriage return escaped.
std::string Escaped(const std::string& value)
{
    std::string out;
    for (char c : value) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

bool IsDigits(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// A dot-separated list of identifiers of [0-9A-Za-z-]; numeric ones without leading zeros
// when `numericStrict`.
bool SplitIdentifiers(const std::string& text, bool numericStrict, std::vector<std::string>* out)
{
    std::size_t start = 0;
    while (true) {
        std::size_t dot = text.find('.', start);
        std::string part = text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (part.empty()
            || part.find_first_not_of("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-")
                != std::string::npos)
            return false;
        if (numericStrict && IsDigits(part) && part.size() > 1 && part[0] == '0')
            return false;
        out->push_back(part);
        if (dot == std::string::npos)
            return true;
        start = dot + 1;
    }
}

int CompareNumbers(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

}  // namespace

std::string ManifestPathFor(const std::string& utf8FilePath)
{
    return utf8FilePath + kManifestSuffix;
}

ManifestRead ParseManifest(const std::string& text)
{
    ManifestRead read;
    read.found = true;
    if (text.size() > kManifestMaxBytes) {
        read.problem = Say(Message::kProblemManifestTooLarge, {{"kib", std::to_string(kManifestMaxBytes / 1024)}});
        return read;
    }
    Json root = Json::parse(text, nullptr, false);
    if (root.is_discarded()) {
        read.problem = Say(Message::kProblemNotJson);
        return read;
    }
    Manifest manifest;
    if (ReadFields(root, &manifest, &read.problem))
        read.manifest = manifest;
    return read;
}

ManifestRead ReadManifestFile(const std::string& utf8Path)
{
    ManifestRead read;
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::status(FsPath(utf8Path), error);
    if (!std::filesystem::exists(status))
        return read;
    read.found = true;
    if (!std::filesystem::is_regular_file(status)) {
        read.problem = Say(Message::kProblemNotAFile);
        return read;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFile(utf8Path, "rb"), std::fclose);
    if (!file) {
        read.problem = Say(Message::kProblemCannotRead);
        return read;
    }
    std::string text(kManifestMaxBytes + 1, '\0');
    text.resize(std::fread(&text[0], 1, text.size(), file.get()));
    if (std::ferror(file.get())) {
        read.problem = Say(Message::kProblemCannotRead);
        return read;
    }
    return ParseManifest(text);
}

std::string ManifestJson(const Manifest& manifest)
{
    Json root;
    root["format"] = kManifestFormat;
    root["format_version"] = kManifestFormatVersion;
    root["file"] = manifest.file;
    root["size"] = manifest.size;
    root["sha256"] = manifest.sha256;
    root["banner"] = manifest.banner;
    if (!manifest.version.empty())
        root["version"] = manifest.version;
    if (!manifest.boards.empty())
        root["boards"] = manifest.boards;
    if (!manifest.notes.empty())
        root["notes"] = manifest.notes;
    if (manifest.signature) {
        root["signature"]["algorithm"] = kSignatureAlgorithm;
        root["signature"]["key"] = manifest.signature->key;
        root["signature"]["value"] = manifest.signature->value;
    }
    return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

bool WriteManifestFile(const std::string& utf8Path, const Manifest& manifest, std::string* error)
{
    std::string text = ManifestJson(manifest);
    std::FILE* file = OpenFile(utf8Path, "wb");
    if (file == nullptr) {
        *error = Say(Message::kProblemCannotWrite, {{"path", utf8Path}});
        return false;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size() && FlushToDisk(file);
    ok = std::fclose(file) == 0 && ok;
    if (!ok)
        *error = Say(Message::kProblemWriteIncomplete, {{"path", utf8Path}});
    return ok;
}

std::string SignedBytes(const Manifest& manifest, const std::string& keyFingerprint)
{
    std::string bytes = std::string(kManifestFormat) + "/" + std::to_string(kManifestFormatVersion) + "\n";
    auto line = [&bytes](const char* name, const std::string& value) {
        bytes += name;
        bytes += '=';
        bytes += Escaped(value);
        bytes += '\n';
    };
    line("file", manifest.file);
    line("size", std::to_string(manifest.size));
    line("sha256", manifest.sha256);
    for (const std::string& field : manifest.banner)
        line("banner", field);
    line("version", manifest.version);
    for (const std::string& pattern : manifest.boards)
        line("board", pattern);
    line("notes", manifest.notes);
    line("key", keyFingerprint);
    return bytes;
}

FileComparison CompareWithManifest(const FileFacts& file, const Manifest& manifest)
{
    FileComparison comparison;
    if (file.name != manifest.file)
        comparison.notes.push_back(Say(Message::kRemarkOtherFileName, {{"name", manifest.file}}));
    if (file.size != manifest.size) {
        comparison.mismatch = FileMismatch::kSize;
        comparison.words = Say(file.size < manifest.size ? Message::kManifestSizeShort : Message::kManifestSizeLong,
                               {{"file_size", std::to_string(file.size)},
                                {"manifest_size", std::to_string(manifest.size)},
                                {"extra", std::to_string(file.size - manifest.size)}});
        return comparison;
    }
    if (file.sha256 != manifest.sha256) {
        comparison.mismatch = FileMismatch::kSha256;
        comparison.words = file.sha256.empty()
            ? Say(Message::kManifestDigestUnreadable)
            : Say(Message::kManifestSha256, {{"file_sha256", file.sha256}, {"manifest_sha256", manifest.sha256}});
        return comparison;
    }
    for (std::size_t i = 0; i < kBannerFieldCount; ++i) {
        std::string field = file.banner ? Cp1252ToUtf8(FieldOf(*file.banner, i)) : "";
        if (field != manifest.banner[i]) {
            comparison.mismatch = FileMismatch::kBanner;
            comparison.words = Say(
                Message::kManifestBanner,
                {{"field", std::to_string(i + 1)}, {"file_field", field}, {"manifest_field", manifest.banner[i]}});
            return comparison;
        }
    }
    return comparison;
}

bool ValidBoardPattern(const std::string& pattern, std::string* problem)
{
    if (pattern.empty() || pattern.size() > kManifestMaxPattern) {
        *problem = Say(Message::kProblemPatternLength, {{"max", std::to_string(kManifestMaxPattern)}});
        return false;
    }
    if (HasControl(pattern) || !IsUtf8(pattern)) {
        *problem = Say(Message::kProblemPatternControl);
        return false;
    }
    return true;
}

bool BoardMatches(const std::string& pattern, const std::string& reference)
{
    // Greedy matching that goes back to the last '*' on a mismatch: linear in practice,
    // at most pattern x reference steps.
    std::size_t p = 0, r = 0, starAt = std::string::npos, resumeAt = 0;
    while (r < reference.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == reference[r])) {
            ++p;
            ++r;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = r;
        } else if (starAt != std::string::npos) {
            p = starAt + 1;
            r = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::optional<SemanticVersion> ParseVersion(const std::string& text)
{
    if (text.empty() || text.size() > kManifestMaxVersion)
        return std::nullopt;
    std::string rest = text;
    std::size_t plus = rest.find('+');
    if (plus != std::string::npos) {
        std::vector<std::string> build;
        if (!SplitIdentifiers(rest.substr(plus + 1), false, &build))
            return std::nullopt;
        rest.resize(plus);
    }
    SemanticVersion version;
    std::size_t dash = rest.find('-');
    if (dash != std::string::npos) {
        if (!SplitIdentifiers(rest.substr(dash + 1), true, &version.prerelease))
            return std::nullopt;
        rest.resize(dash);
    }
    std::vector<std::string> core;
    if (!SplitIdentifiers(rest, true, &core) || core.size() != 3)
        return std::nullopt;
    for (std::size_t i = 0; i < 3; ++i) {
        if (!IsDigits(core[i]))
            return std::nullopt;
        version.core[i] = core[i];
    }
    return version;
}

int CompareVersions(const SemanticVersion& a, const SemanticVersion& b)
{
    for (std::size_t i = 0; i < 3; ++i)
        if (int order = CompareNumbers(a.core[i], b.core[i]))
            return order;
    // A pre-release comes before its release.
    if (a.prerelease.empty() || b.prerelease.empty())
        return a.prerelease.empty() == b.prerelease.empty() ? 0 : (a.prerelease.empty() ? 1 : -1);
    for (std::size_t i = 0; i < a.prerelease.size() && i < b.prerelease.size(); ++i) {
        const std::string &x = a.prerelease[i], &y = b.prerelease[i];
        bool xNumeric = IsDigits(x), yNumeric = IsDigits(y);
        int order;
        if (xNumeric && yNumeric)
            order = CompareNumbers(x, y);
        else if (xNumeric != yNumeric)
            order = xNumeric ? -1 : 1;  // numeric identifiers come first
        else
            order = x.compare(y) < 0 ? -1 : (x == y ? 0 : 1);
        if (order != 0)
            return order;
    }
    if (a.prerelease.size() == b.prerelease.size())
        return 0;
    return a.prerelease.size() < b.prerelease.size() ? -1 : 1;
}

bool IsUtf8(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = byte < 0x80 ? 1
            : (byte >> 5) == 0x6         ? 2
            : (byte >> 4) == 0xE         ? 3
            : (byte >> 3) == 0x1E        ? 4
                                         : 0;
        if (length == 0 || i + length > text.size())
            return false;
        unsigned long codePoint = length == 1 ? byte : byte & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            codePoint = codePoint << 6 | (next & 0x3F);
        }
        static const unsigned long kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (codePoint < kSmallest[length] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

}  // namespace torvexupdate
