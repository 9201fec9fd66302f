#include "replay/banner_text.h"

#include <array>
#include <vector>

namespace torvexreplay {
namespace {

// The columns of the joined text where the second to fifth fields start, less one: a
// text that reaches one is cut there and a space follows.
constexpr std::array<std::size_t, 4> kColumns = {14, 24, 31, 38};

// The fields are cut from the text itself. At each column a field may stop short of it
// (no space), or reach it exactly when the text holds a space there (the space is then
// the decoder's own). Every space the decoder adds is a byte the banner need not hold,
// so the split that lets it add the most is the shortest banner.
struct Split {
    int spaces = -1;  // -1: no split from here
    std::size_t length = 0;
};

}  // namespace

bool BannerForText(std::string_view text, std::size_t capacity, std::string* banner)
{
    if (text.find('\0') != std::string_view::npos)
        return false;
    const std::size_t n = text.size();
    // best[k][pos]: the most decoder spaces from field k+1 on, with `pos` characters decoded.
    std::vector<std::array<Split, 5>> best(n + 1);
    for (std::size_t pos = 0; pos <= n; ++pos)
        best[pos][4].spaces = 0;  // the fifth field takes the rest
    for (int k = 3; k >= 0; --k) {
        std::size_t column = kColumns[static_cast<std::size_t>(k)];
        for (std::size_t pos = 0; pos <= n && pos <= column; ++pos) {
            Split& choice = best[pos][static_cast<std::size_t>(k)];
            // Reaching the column: the text must hold a space there.
            if (column < n && text[column] == ' ' && best[column + 1][static_cast<std::size_t>(k) + 1].spaces >= 0) {
                choice.spaces = best[column + 1][static_cast<std::size_t>(k) + 1].spaces + 1;
                choice.length = column - pos;
            }
            // Stopping short of it; of splits alike, the one that fills this field most.
            for (std::size_t end = pos; end < column && end <= n; ++end) {
                int spaces = best[end][static_cast<std::size_t>(k) + 1].spaces;
                if (spaces >= 0 && spaces >= choice.spaces) {
                    choice.spaces = spaces;
                    choice.length = end - pos;
                }
            }
        }
    }
    if (best[0][0].spaces < 0)
        return false;

    std::string bytes;
    std::size_t pos = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        const Split& choice = best[pos][k];
        bytes.append(text.substr(pos, choice.length));
        bytes += '\0';
        pos += choice.length;
        if (pos == kColumns[k])
            ++pos;  // the decoder's space
    }
    bytes.append(text.substr(pos));
    bytes += '\0';
    if (bytes.size() > capacity)
        return false;
    *banner = bytes;
    return true;
}

}  // namespace torvexreplay
