#include "replay/log_compare.h"

namespace torvexreplay {

Comparison CompareLogs(const FieldLog& field, std::size_t first, std::size_t end, bool fieldCut, const FieldLog& replay)
{
    Comparison result;
    std::size_t r = 0;
    for (std::size_t f = first; f < end; ++f, ++r) {
        if (r >= replay.lines.size() || ComparableLine(field.lines[f]) != ComparableLine(replay.lines[r])) {
            result.fieldLine = f + 1;
            result.fieldText = std::string(field.lines[f].text);
            if (r < replay.lines.size()) {
                result.replayLine = r + 1;
                result.replayText = std::string(replay.lines[r].text);
            }
            return result;
        }
        ++result.compared;
    }
    if (r < replay.lines.size() && !fieldCut) {
        result.fieldLine = end + 1;
        result.replayLine = r + 1;
        result.replayText = std::string(replay.lines[r].text);
        result.replayLonger = true;
        return result;
    }
    result.same = true;
    return result;
}

}  // namespace torvexreplay
