#include "application/banner.h"

#include "common/banner_columns.h"

#include "system/paths.h"
#include "system/host_platform.h"
#include "words/messages.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <filesystem>

namespace torvexupdate {

Banner ParseBanner(const char* bytes, std::size_t size)
{
    Banner banner;
    std::size_t position = 0;
    while (banner.fields.size() < kBannerFieldCount && position < size) {
        const char* start = bytes + position;
        const void* zero = std::memchr(start, 0, size - position);
        if (zero == nullptr) {
            banner.fields.emplace_back(start, size - position);
            return banner;  // unterminated: the block ends inside this field
        }
        std::size_t length = static_cast<std::size_t>(static_cast<const char*>(zero) - start);
        banner.fields.emplace_back(start, length);
        position += length + 1;
    }
    banner.complete = banner.fields.size() == kBannerFieldCount;
    return banner;
}

bool AllZero(const char* bytes, std::size_t size)
{
    return std::all_of(bytes, bytes + size, [](char c) { return c == 0; });
}

std::string FieldOf(const Banner& banner, std::size_t index)
{
    return index < banner.fields.size() ? banner.fields[index] : std::string();
}

std::string BannerLine(const Banner& banner)
{
    // The fields back in their terminated form, laid out by the module's own decoder: the
    // line holds every field byte and at most one space per column.
    std::string source;
    for (std::size_t i = 0; i < kBannerFieldCount; ++i)
        source += FieldOf(banner, i) + '\0';
    std::vector<char> text(source.size() + kBannerFieldCount);
    DecodeFirmwareVersion(source.data(), source.size(), text.data(), text.size());
    return std::string(text.data());
}

std::string BannerFields(const Banner& banner)
{
    std::string text;
    for (std::size_t i = 0; i < kBannerFieldCount; ++i)
        text += (i == 0 ? "" : " | ") + FieldOf(banner, i);
    return text;
}

bool SameFields(const Banner& a, const Banner& b)
{
    for (std::size_t i = 0; i < kBannerFieldCount; ++i)
        if (FieldOf(a, i) != FieldOf(b, i))
            return false;
    return true;
}

ApplicationFile ReadApplicationFile(const std::string& path)
{
    ApplicationFile file;
    std::error_code error;
    if (std::filesystem::is_directory(FsPath(path), error)) {
        file.problem = Say(Message::kFileIsFolder);
        return file;
    }
    std::FILE* in = OpenFile(path, "rb");
    if (in == nullptr) {
        file.problem = Say(Message::kFileNotOpened, {{"error", std::strerror(errno)}});
        return file;
    }
    long long end = std::fseek(in, 0, SEEK_END) == 0 ? FileTell(in) : -1;
    if (end < 0) {
        std::fclose(in);
        file.problem = Say(Message::kFileSizeUnknown);
        return file;
    }
    file.readable = true;
    file.size = end;
    char block[kBannerSize];
    if (file.size >= kSmallestFileWithBanner && std::fseek(in, static_cast<long>(kBannerOffset), SEEK_SET) == 0
        && std::fread(block, 1, sizeof block, in) == sizeof block)
        file.banner = ParseBanner(block, sizeof block);
    std::fclose(in);
    return file;
}

}  // namespace torvexupdate
