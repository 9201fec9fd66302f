#include "module/board_state.h"

namespace torvexupdate {

namespace {

constexpr int kReferenceBufferSize = 256;

bool SameBanner(const std::optional<Banner>& a, const std::optional<Banner>& b)
{
    if (!a || !b)
        return !a && !b;
    return SameFields(*a, *b);
}

}  // namespace

BoardContent ReadBoardContent(const BoardCalls& board)
{
    // The buffer starts cleared: one that stays all zeros means that the module wrote
    // nothing, which it does for an empty flash.
    char buffer[TORVEX_VERSION_BUFFER_SIZE] = {};
    BoardContent content;
    content.result = board.version(0, buffer);
    content.known = content.result != 0;
    if (content.known && !AllZero(buffer, sizeof buffer))
        content.banner = ParseBanner(buffer, sizeof buffer);
    return content;
}

std::string ReadReference(const BoardCalls& board)
{
    // One spare byte keeps the text terminated even when the library fills the whole buffer.
    char buffer[kReferenceBufferSize + 1] = {};
    return board.reference(buffer, kReferenceBufferSize) != 0 ? std::string(buffer) : std::string();
}

bool CarriesFile(const BoardContent& board, const ApplicationFile& file)
{
    return board.known && board.banner && file.banner && SameFields(*board.banner, *file.banner);
}

AfterFailure ClassifyAfterFailure(const BoardContent& before, const BoardContent& after, const ApplicationFile& file)
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

}  // namespace torvexupdate
