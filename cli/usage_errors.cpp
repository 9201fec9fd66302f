#include "usage_errors.h"

#include "words/language.h"
#include "words/messages.h"

#include <CLI/CLI.hpp>

#include <regex>

namespace torvexctl {

using torvexupdate::Message;
using torvexupdate::Say;

namespace {

// The parser's sentences, in its own English, and the entry that says each.
struct Form {
    const char* pattern;
    Message message;
    const char* names[4];  // the placeholder of each group, in order
};

constexpr Form kForms[] = {
    {R"(^(.+) is required$)", Message::kUsageRequired, {"option"}},
    {R"(^(.+) excludes (.+)$)", Message::kUsageExcludes, {"option", "other"}},
    {R"(^(.+) requires (.+)$)", Message::kUsageRequires, {"option", "other"}},
    {R"(^The following arguments? (?:was|were) not expected: (.+)$)", Message::kUsageNotExpected, {"arguments"}},
    {R"(^(.+): Value (.+) not in range (.+) to (.+)$)", Message::kUsageOutOfRange, {"option", "value", "min", "max"}},
    {R"(^(.+): (.+) not in (\{.*\})$)", Message::kUsageNotAmong, {"option", "value", "choices"}},
    {R"(^(.+): \d+ required .* missing$)", Message::kUsageValueMissing, {"option"}},
    {R"(^The value (.+) is not an allowed value for (.+)$)", Message::kUsageNotAllowed, {"value", "option"}},
};

}  // namespace

std::string UsageProblem(const CLI::ParseError& error)
{
    std::string said = error.what();
    if (torvexupdate::CurrentLanguage() == torvexupdate::Language::kEnglish)
        return said;
    for (const Form& form : kForms) {
        std::smatch match;
        if (!std::regex_match(said, match, std::regex(form.pattern)))
            continue;
        std::string values[4];
        for (std::size_t i = 1; i < match.size() && i <= 4; ++i)
            values[i - 1] = match[i].str();
        auto value = [&](std::size_t i) {
            return torvexupdate::Placeholder{form.names[i] ? form.names[i] : "", values[i]};
        };
        return Say(form.message, {value(0), value(1), value(2), value(3)});
    }
    return said;
}

}  // namespace torvexctl
