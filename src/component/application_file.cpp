#include "component/application_file.h"

#include "common/banner_columns.h"
#include "log/trace_log.h"
#include "platform/platform.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

std::FILE* OpenForReading(const char* path)
{
    return path != nullptr ? std::fopen(path, "rb") : nullptr;
}

}  // namespace

int GetSizeFile(const char* path)
{
    std::FILE* file = OpenForReading(path);
    if (file == nullptr)
        return 0;
    long long size = Platform_FileSize(file);
    std::fclose(file);
    if (size < 0 || size > INT_MAX)
        return 0;
    return static_cast<int>(size);
}

int GetFile(const char* path, char* buffer, std::size_t capacity)
{
    std::FILE* file = OpenForReading(path);
    if (file == nullptr)
        return 0;
    int result = 1;
    long long size = Platform_FileSize(file);
    // The caller sized the buffer from an earlier look at the file. A file that changed
    // since then (grown, shrunk or emptied) is refused rather than sent cut short, or as
    // a buffer of which some or all bytes were never read.
    if (size < 0 || static_cast<unsigned long long>(size) != capacity) {
        result = 0;
    } else if (size > 0) {
        if (buffer == nullptr || std::fseek(file, 0, SEEK_SET) != 0
            || std::fread(buffer, 1, capacity, file) != capacity)
            result = 0;
    }
    std::fclose(file);
    return result;
}

void DecodeBanniere(const char* path)
{
    std::FILE* file = OpenForReading(path);
    if (file == nullptr)
        return;
    long long size = Platform_FileSize(file);
    if (size < kSmallestFileWithBanner || std::fseek(file, static_cast<long>(kBannerOffset), SEEK_SET) != 0) {
        std::fclose(file);
        return;
    }
    auto* banner = static_cast<char*>(std::calloc(50, 1));
    auto* text = static_cast<char*>(std::calloc(kBannerTextSize, 1));
    if (banner != nullptr && text != nullptr) {
        std::size_t got = std::fread(banner, 1, kBannerSize, file);
        WriteStringToLog("Version \xE0 t\xE9l\xE9" "charger : ");
        DecodeFirmwareVersion(banner, got, text, kBannerTextSize);
        WriteStringToLog(text);
        WriteStringToLog("\n");
    }
    std::free(banner);
    std::free(text);
    std::fclose(file);
}
