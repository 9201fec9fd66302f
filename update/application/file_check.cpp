#include "application/file_check.h"

#include "words/messages.h"

#include <cstdio>

namespace torvexupdate {

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

}  // namespace

FileCheck CheckApplicationFile(const ApplicationFile& file)
{
    FileCheck check;
    if (file.size == 0) {
        check.verdict = FileVerdict::kEmpty;
        check.reason = Say(Message::kCheckEmpty);
        return check;
    }
    if (!file.banner) {
        check.verdict = FileVerdict::kTooShort;
        // The banner lies in bytes 8 to 55, but the module reads it only from longer files.
        check.reason = Say(
            Message::kCheckTooShort,
            {{"size", std::to_string(file.size)}, {"smallest", std::to_string(kSmallestFileWithBanner)}});
        return check;
    }
    const Banner& banner = *file.banner;
    check.verdict = FileVerdict::kBadBanner;
    if (!banner.complete) {
        check.reason = Say(Message::kCheckIncomplete);
        return check;
    }
    bool allEmpty = true;
    for (std::size_t i = 0; i < banner.fields.size(); ++i) {
        std::size_t bad = FirstControlByte(banner.fields[i]);
        if (bad != std::string::npos) {
            char byte[8];
            std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(banner.fields[i][bad]));
            check.reason = Say(Message::kCheckUnprintable, {{"field", std::to_string(i + 1)}, {"byte", byte}});
            return check;
        }
        allEmpty = allEmpty && banner.fields[i].empty();
    }
    if (allEmpty) {
        check.reason = Say(Message::kCheckAllEmpty);
        return check;
    }
    check.verdict = FileVerdict::kApplication;
    return check;
}

}  // namespace torvexupdate
