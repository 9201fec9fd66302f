#include "replay/board_script.h"

#include <algorithm>
#include <map>

namespace torvexreplay {
namespace {

// The sections in the order the file lists them: initialisation first, then the commands.
int SectionRank(const std::string& section)
{
    static const char* const kOrder[] = {"sessions", "router", "open", "init", "command.", "boardinfo"};
    for (int i = 0; i < 6; ++i) {
        if (section.compare(0, std::char_traits<char>::length(kOrder[i]), kOrder[i]) == 0)
            return i;
    }
    return 6;
}

std::string Keys(const BoardAnswer& answer)
{
    std::string text;
    for (const auto& key : answer.keys)
        text += key.first + (key.second.empty() ? " =\n" : " = " + key.second + "\n");
    return text;
}

struct Section {
    std::string name;
    std::vector<const BoardAnswer*> calls;  // in call order
    std::string usual;                      // the keys of its most common answer
};

std::vector<Section> Sections(const std::vector<BoardAnswer>& answers)
{
    std::vector<Section> sections;
    std::map<std::string, std::size_t> index;
    for (const BoardAnswer& answer : answers) {
        auto found = index.find(answer.section);
        if (found == index.end()) {
            found = index.emplace(answer.section, sections.size()).first;
            sections.push_back(Section{answer.section, {}, {}});
        }
        sections[found->second].calls.push_back(&answer);
    }
    for (Section& section : sections) {
        std::map<std::string, std::size_t> counts;
        std::size_t best = 0;
        // A tie goes to the later answer: what the board did last goes on after the script.
        for (const BoardAnswer* call : section.calls) {
            std::size_t count = ++counts[Keys(*call)];
            if (count >= best) {
                best = count;
                section.usual = Keys(*call);
            }
        }
    }
    // Commands by their code, the rest in the order of an initialisation.
    std::stable_sort(sections.begin(), sections.end(), [](const Section& a, const Section& b) {
        int rankA = SectionRank(a.name);
        int rankB = SectionRank(b.name);
        return rankA != rankB ? rankA < rankB : (rankA == 4 && a.name < b.name);
    });
    return sections;
}

}  // namespace

std::string BoardScript(const std::vector<BoardAnswer>& answers, const std::vector<std::string>& heading)
{
    std::string text;
    for (const std::string& line : heading)
        text += "; " + line + "\n";
    text += ";\n"
            "; Each static section ([open], [command.30], ...) holds the answer the log shows most often for its\n"
            "; entry point or command; a numbered section ([open.3]: the 3rd call) each call the log shows\n"
            "; answered otherwise, with the field line that shows it. See README.md beside the simulator.\n";
    for (const Section& section : Sections(answers)) {
        text += "\n[" + section.name + "]\n" + section.usual;
        for (std::size_t i = 0; i < section.calls.size(); ++i) {
            const BoardAnswer& call = *section.calls[i];
            std::string keys = Keys(call);
            if (keys == section.usual)
                continue;
            text += "\n[" + section.name + "." + std::to_string(i + 1) + "]\n";
            if (call.line != 0)
                text += "; field line " + std::to_string(call.line) + "\n";
            text += keys;
        }
    }
    return text;
}

std::size_t NumberedSections(const std::vector<BoardAnswer>& answers)
{
    std::size_t count = 0;
    for (const Section& section : Sections(answers)) {
        for (const BoardAnswer* call : section.calls)
            count += Keys(*call) != section.usual ? 1 : 0;
    }
    return count;
}

}  // namespace torvexreplay
