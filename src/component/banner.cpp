#include "component/banner.h"

namespace {

const std::size_t kColumns[4] = {14, 24, 31, 38};

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
void AppendField(BannerReader& reader, TextWriter& writer)
{
    while (reader.position < reader.size && reader.source[reader.position] != '\0')
        writer.Append(reader.source[reader.position++]);
    if (reader.position < reader.size)
        ++reader.position;  // the terminator
}

}  // namespace

void DecodeFirmwareVersion(const char* source, std::size_t sourceSize, char* text, std::size_t textSize)
{
    if (text == nullptr || textSize == 0)
        return;
    text[0] = '\0';
    if (source == nullptr)
        return;
    BannerReader reader{source, sourceSize, 0};
    TextWriter writer{text, textSize, 0};
    AppendField(reader, writer);
    for (std::size_t column : kColumns) {
        if (writer.length >= column) {
            writer.length = column;
            writer.Append(' ');
        }
        AppendField(reader, writer);
    }
}
