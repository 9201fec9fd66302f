#include "banner.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace torvexctl {

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
    static constexpr std::size_t kColumns[] = {14, 24, 31, 38};
    std::string text = FieldOf(banner, 0);
    for (std::size_t k = 0; k < 4; ++k) {
        if (text.size() >= kColumns[k]) {
            text.resize(kColumns[k]);
            text += ' ';
        }
        text += FieldOf(banner, k + 1);
    }
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
    if (std::filesystem::is_directory(path, error)) {
        file.problem = "is a folder, not an application file";
        return file;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        file.problem = std::string("cannot be opened (") + std::strerror(errno) + ")";
        return file;
    }
    in.seekg(0, std::ios::end);
    std::streamoff end = in.tellg();
    if (end < 0) {
        file.problem = "its size cannot be taken";
        return file;
    }
    file.readable = true;
    file.size = static_cast<long long>(end);
    if (file.size < kSmallestFileWithBanner)
        return file;

    char block[kBannerSize];
    in.seekg(static_cast<std::streamoff>(kBannerOffset), std::ios::beg);
    in.read(block, sizeof block);
    if (in.gcount() == static_cast<std::streamsize>(sizeof block))
        file.banner = ParseBanner(block, sizeof block);
    return file;
}

}  // namespace torvexctl
