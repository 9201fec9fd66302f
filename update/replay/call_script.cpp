#include "replay/call_script.h"

#include "words/messages.h"

namespace torvexreplay {
namespace {

std::string Trim(const std::string& text)
{
    std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return std::string();
    std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

struct Word {
    const char* text;
    ScriptedCall::Kind kind;
};

constexpr Word kWords[] = {
    {"library absent", ScriptedCall::Kind::kLibraryAbsent},
    {"library present", ScriptedCall::Kind::kLibraryPresent},
    {"init", ScriptedCall::Kind::kInit},
    {"download", ScriptedCall::Kind::kDownload},
    {"version", ScriptedCall::Kind::kVersion},
    {"reference", ScriptedCall::Kind::kReference},
    {"clean", ScriptedCall::Kind::kClean},
};

}  // namespace

const char kLibraryFolder[] = "simulator";
const char kNoLibraryFolder[] = "no-library";

std::string IniText(bool libraryPresent)
{
    return std::string("[TorvexPath]\nQuelvanePath=") + (libraryPresent ? kLibraryFolder : kNoLibraryFolder) + "\n";
}

std::string CallText(const ScriptedCall& call)
{
    for (const Word& word : kWords) {
        if (word.kind == call.kind)
            return call.kind == ScriptedCall::Kind::kDownload && !call.path.empty()
                ? std::string(word.text) + " " + call.path
                : word.text;
    }
    return std::string();
}

bool ReadCallScript(const std::string& text, std::vector<ScriptedProcess>* processes, std::string* problem)
{
    processes->clear();
    std::size_t number = 0;
    for (std::size_t at = 0; at <= text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = Trim(text.substr(at, end - at));
        at = end + 1;
        ++number;
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line == "process") {
            processes->emplace_back();
            continue;
        }
        ScriptedCall call;
        call.line = number;
        bool known = false;
        for (const Word& word : kWords) {
            std::string name = word.text;
            bool download = word.kind == ScriptedCall::Kind::kDownload;
            if (line == name || (download && line.compare(0, name.size() + 1, name + " ") == 0)) {
                call.kind = word.kind;
                call.path = download ? Trim(line.substr(name.size())) : std::string();
                known = true;
                break;
            }
        }
        if (!known) {
            *problem = torvexupdate::Say(torvexupdate::Message::kReplayNoCallLine,
                                         {{"line", std::to_string(number)}, {"text", line}});
            return false;
        }
        if (processes->empty())
            processes->emplace_back();
        processes->back().push_back(call);
    }
    return true;
}

}  // namespace torvexreplay
