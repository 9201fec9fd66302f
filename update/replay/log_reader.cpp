#include "replay/log_reader.h"

#include "words/messages.h"

#include <cstdint>
#include <cstring>

namespace torvexreplay {
namespace {

using torvexupdate::Message;
using torvexupdate::Say;

// Windows-1252 bytes 0x80 to 0x9F as Unicode (0 where the code page assigns nothing).
constexpr std::uint16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                           0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The Windows-1252 byte of a character, '?' when the code page has none.
char Cp1252Of(std::uint32_t code)
{
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return static_cast<char>(code);
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == code && code != 0)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

bool StartsWith(const std::string& bytes, const char* prefix, std::size_t length)
{
    return bytes.size() >= length && std::memcmp(bytes.data(), prefix, length) == 0;
}

std::string FromUtf16(const std::string& bytes, std::size_t from, bool bigEndian)
{
    std::string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = from; i + 1 < bytes.size(); i += 2) {
        auto low = static_cast<unsigned char>(bytes[i + (bigEndian ? 1 : 0)]);
        auto high = static_cast<unsigned char>(bytes[i + (bigEndian ? 0 : 1)]);
        std::uint32_t unit = low | (high << 8);
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            if (unit <= 0xDBFF && i + 3 < bytes.size())
                i += 2;  // a surrogate pair: one character the code page lacks
            text += '?';
        } else {
            text += Cp1252Of(unit);
        }
    }
    return text;
}

// UTF-8 to Windows-1252; false when the bytes are not UTF-8.
bool FromUtf8(const std::string& bytes, std::size_t from, std::string* text)
{
    text->clear();
    text->reserve(bytes.size());
    for (std::size_t i = from; i < bytes.size();) {
        auto lead = static_cast<unsigned char>(bytes[i]);
        int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
        if (extra < 0 || bytes.size() - i <= static_cast<std::size_t>(extra))
            return false;
        std::uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            auto next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        *text += Cp1252Of(code);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

// A log saved again by an editor: back to the module's own code page when it was UTF-16 or
// UTF-8. The module's own accented words tell UTF-8 without a byte order mark.
std::string ModuleText(const std::string& bytes, std::string* encoding)
{
    if (StartsWith(bytes, "\xFF\xFE", 2)) {
        *encoding = "UTF-16";
        return FromUtf16(bytes, 2, false);
    }
    if (StartsWith(bytes, "\xFE\xFF", 2)) {
        *encoding = kEncodingUtf16BigEndian;
        return FromUtf16(bytes, 2, true);
    }
    if (bytes.size() >= 4 && bytes[0] != '\0' && bytes[1] == '\0' && bytes[2] != '\0' && bytes[3] == '\0') {
        *encoding = kEncodingUtf16NoMark;
        return FromUtf16(bytes, 0, false);
    }
    std::string text;
    bool bom = StartsWith(bytes, "\xEF\xBB\xBF", 3);
    bool accents = bytes.find("g\xC3\xA9n\xC3\xA9ral") != std::string::npos
        || bytes.find("\xC3\xA0 t\xC3\xA9l\xC3\xA9") != std::string::npos;
    if ((bom || accents) && FromUtf8(bytes, bom ? 3 : 0, &text)) {
        *encoding = "UTF-8";
        return text;
    }
    return bytes;
}

}  // namespace

bool ReadFieldLog(const std::string& bytes, FieldLog* log, std::string* refusal)
{
    log->encoding.clear();
    log->lines.clear();
    log->runs.clear();
    log->leadingLines = 0;
    log->complete = true;
    log->stopLine = 0;
    log->stopReason.clear();
    if (bytes.empty()) {
        *refusal = Say(Message::kReplayLogEmpty);
        return false;
    }
    if (bytes.size() > kLargestLog) {
        *refusal = Say(Message::kReplayBytesTooLarge, {{"size", std::to_string(bytes.size())}});
        return false;
    }
    log->text = ModuleText(bytes, &log->encoding);
    const std::string& text = log->text;

    for (std::size_t at = 0; at < text.size();) {
        std::size_t number = log->lines.size() + 1;
        std::size_t end = text.find('\n', at);
        std::size_t length = (end == std::string::npos ? text.size() : end) - at;
        if (length > 0 && text[at + length - 1] == '\r')
            --length;  // Windows line end
        std::string_view content(text.data() + at, length);
        Message stop = Message::kNone;
        if (end == std::string::npos)
            stop = Message::kReplayStopCut;
        else if (length > kLongestModuleLine)
            stop = Message::kReplayStopTooLong;
        else if (content.find('\0') != std::string_view::npos)
            stop = Message::kReplayStopZeroByte;
        LogLine line = ClassifyLine(content);
        if (stop == Message::kNone && line.kind == LineKind::kUnknown)
            stop = Message::kReplayStopUnknownLine;
        if (stop != Message::kNone) {
            log->complete = false;
            log->stopLine = number;
            log->stopReason = Say(stop);
            break;
        }
        if (line.kind == LineKind::kDate) {
            if (!log->runs.empty())
                log->runs.back().end = log->lines.size();
            log->runs.push_back(Run{log->lines.size(), log->lines.size()});
        }
        log->lines.push_back(line);
        at = end + 1;
    }
    if (!log->runs.empty())
        log->runs.back().end = log->lines.size();

    if (log->runs.empty()) {
        if (!log->complete && log->stopLine == 1)
            *refusal = Say(Message::kReplayNotTorvexLog);
        else if (!log->complete)
            *refusal = Say(Message::kReplayNoRunReadTo,
                           {{"line", std::to_string(log->stopLine)}, {"reason", log->stopReason}});
        else
            *refusal = Say(Message::kReplayNoRun);
        return false;
    }
    log->leadingLines = log->runs.front().first;
    return true;
}

}  // namespace torvexreplay
