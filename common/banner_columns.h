// The banner: five zero-terminated text fields, joined into one line for the log. The
// one place of the column rule, shared by the module and the host programs so that a
// banner reads the same in the log and on screen: header-only, without allocation and
// with explicit sizes.
#ifndef TORVEX_SHARED_BANNER_COLUMNS_H
#define TORVEX_SHARED_BANNER_COLUMNS_H

#include <cstddef>

// Enough for any decoded 48-byte banner: 48 field characters and 4 added spaces.
constexpr std::size_t kBannerTextSize = 64;

namespace banner_detail {

struct BannerReader {
    const char* source;
    std::size_t size;
    std::size_t position;
};

struct TextWriter {
    char* text;
    std::size_t size;
    std::size_t length;

    void Append(char c)
    {
        if (length + 1 < size)
            text[length++] = c;
        text[length] = '\0';
    }
};

// Appends the next field, up to its terminator or the end of the source.
inline void AppendField(BannerReader& reader, TextWriter& writer)
{
    while (reader.position < reader.size && reader.source[reader.position] != '\0')
        writer.Append(reader.source[reader.position++]);
    if (reader.position < reader.size)
        ++reader.position;  // the terminator
}

}  // namespace banner_detail

// Joins the fields of `source` (sourceSize bytes) into `text` (textSize bytes, always
// terminated) so that fields 2 to 5 start at columns 15, 25, 32 and 39 when the fields
// have their usual widths: whenever the text has reached a column it is cut there and a
// space follows. Fields missing from the source count as empty; nothing is read past
// `sourceSize` or written past `textSize`.
inline void DecodeFirmwareVersion(const char* source, std::size_t sourceSize, char* text, std::size_t textSize)
{
    constexpr std::size_t kColumns[4] = {14, 24, 31, 38};
    if (text == nullptr || textSize == 0)
        return;
    text[0] = '\0';
    if (source == nullptr)
        return;
    banner_detail::BannerReader reader{source, sourceSize, 0};
    banner_detail::TextWriter writer{text, textSize, 0};
    banner_detail::AppendField(reader, writer);
    for (std::size_t column : kColumns) {
        if (writer.length >= column) {
            writer.length = column;
            writer.Append(' ');
        }
        banner_detail::AppendField(reader, writer);
    }
}

#endif
