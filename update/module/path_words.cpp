#include "module/path_words.h"

#include "words/messages.h"

namespace torvexupdate {

std::string NarrowProblemWords(const NarrowPath& path)
{
    switch (path.problem) {
    case NarrowProblem::kNone:
        break;
    case NarrowProblem::kNoShortName:
        return Say(Message::kPathNoShortName, {{"code_page", std::to_string(path.codePage)}});
    case NarrowProblem::kShortNameToo:
        return Say(Message::kPathShortNameToo, {{"code_page", std::to_string(path.codePage)}});
    }
    return std::string();
}

}  // namespace torvexupdate
