#include "download_steps.h"

#include "torvex.h"

#include <cstdio>

namespace torvexctl {

namespace {

// Index of the first byte that is not printable text (control bytes), or npos.
std::size_t FirstControlByte(const std::string& field)
{
    for (std::size_t i = 0; i < field.size(); ++i) {
        auto byte = static_cast<unsigned char>(field[i]);
        if (byte < 0x20 || byte == 0x7F)
            return i;
    }
    return std::string::npos;
}

bool SameBanner(const std::optional<Banner>& a, const std::optional<Banner>& b)
{
    if (!a || !b)
        return !a && !b;
    return SameFields(*a, *b);
}

}  // namespace

FileCheck CheckApplicationFile(const ApplicationFile& file)
{
    FileCheck check;
    if (file.size == 0) {
        check.verdict = FileVerdict::kEmpty;
        check.reason = "it is empty";
        return check;
    }
    if (!file.banner) {
        check.verdict = FileVerdict::kTooShort;
        check.reason = "it is " + std::to_string(file.size) + " bytes long, too short to hold a banner (bytes 8 to 55: "
                       "an application file has " + std::to_string(kSmallestFileWithBanner) + " bytes or more)";
        return check;
    }
    const Banner& banner = *file.banner;
    check.verdict = FileVerdict::kBadBanner;
    if (!banner.complete) {
        check.reason = "its banner (bytes 8 to 55) does not decode into five fields: they do not all end "
                       "with a zero byte within the 48 bytes";
        return check;
    }
    bool allEmpty = true;
    for (std::size_t i = 0; i < banner.fields.size(); ++i) {
        std::size_t bad = FirstControlByte(banner.fields[i]);
        if (bad != std::string::npos) {
            char byte[8];
            std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(banner.fields[i][bad]));
            check.reason = "field " + std::to_string(i + 1) + " of its banner (bytes 8 to 55) holds the byte "
                           + byte + ", which is not printable text";
            return check;
        }
        allEmpty = allEmpty && banner.fields[i].empty();
    }
    if (allEmpty) {
        check.reason = "the five fields of its banner (bytes 8 to 55) are all empty";
        return check;
    }
    check.verdict = FileVerdict::kApplication;
    return check;
}

BoardContent ReadBoardContent(Module& module)
{
    // The buffer starts cleared: one that stays all zeros means that the module wrote
    // nothing, which it does for an empty flash.
    char buffer[TORVEX_VERSION_BUFFER_SIZE] = {};
    BoardContent content;
    content.result = module.version(0, buffer);
    content.known = content.result != 0;
    if (content.known && !AllZero(buffer, sizeof buffer))
        content.banner = ParseBanner(buffer, sizeof buffer);
    return content;
}

bool CarriesFile(const BoardContent& board, const ApplicationFile& file)
{
    return board.known && board.banner && file.banner && SameFields(*board.banner, *file.banner);
}

std::vector<DownloadAttempt> DownloadWithRetries(const std::function<DownloadAttempt()>& attempt, int retries,
                                                 const std::function<void(int, int)>& beforeRetry)
{
    std::vector<DownloadAttempt> attempts{attempt()};
    while (attempts.back().result == -1 && static_cast<int>(attempts.size()) <= retries) {
        beforeRetry(static_cast<int>(attempts.size()) + 1, attempts.back().result);
        attempts.push_back(attempt());
    }
    return attempts;
}

AfterFailure ClassifyAfterFailure(const BoardContent& before, const BoardContent& after,
                                  const ApplicationFile& file)
{
    if (!after.known)
        return AfterFailure::kUnknown;
    if (before.known && SameBanner(before.banner, after.banner))
        return AfterFailure::kUnchanged;
    if (!after.banner)
        return AfterFailure::kEmpty;
    if (CarriesFile(after, file))
        return AfterFailure::kWrittenNotStarted;
    return AfterFailure::kOther;
}

}  // namespace torvexctl
