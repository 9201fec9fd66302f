#include "commands.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace torvexctl {

namespace {

// Edits (insert, delete, replace, swap two neighbours) from one text to the other.
std::size_t Distance(const std::string& a, const std::string& b)
{
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

}  // namespace

std::string ClosestCommand(const std::string& typed)
{
    std::string lower = typed;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string best;
    std::size_t bestDistance = 0;
    for (const Command& command : kCommands) {
        std::string name = command.name;
        // A prefix of three letters or more ("ver", "ref") names its command too.
        std::size_t distance = lower.size() >= 3 && name.compare(0, lower.size(), lower) == 0 ? 0
                                                                                              : Distance(lower, name);
        if (best.empty() || distance < bestDistance) {
            best = name;
            bestDistance = distance;
        }
    }
    // At most a third of the name wrong: "dowload", "verison", "inf".
    return bestDistance * 3 <= best.size() ? best : std::string();
}

}  // namespace torvexctl
