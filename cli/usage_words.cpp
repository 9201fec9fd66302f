#include "usage_words.h"

#include "words/messages.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <sstream>
#include <string>

namespace torvexctl {

namespace {

using torvexupdate::Message;
using torvexupdate::Say;

// CLI11 looks these words up in its formatter's labels before it prints them; the English
// entries are CLI11's own, so that the English usage reads as CLI11 writes it.
struct Label {
    const char* english;
    Message message;
};

constexpr Label kLabels[] = {
    {"Usage", Message::kHelpLabelUsage},
    {"SUBCOMMAND", Message::kHelpLabelCommand},
    {"SUBCOMMANDS", Message::kHelpLabelCommands},
    {"Positionals", Message::kHelpLabelPositionals},
    {"REQUIRED", Message::kHelpLabelRequired},
    {"Excludes", Message::kHelpLabelExcludes},
    {"Needs", Message::kHelpLabelNeeds},
    // Value names: CLI11 says an option's type name through the labels too.
    {"PATH", Message::kHelpValuePath},
    {"TEXT", Message::kHelpValueText},
    {"NAME", Message::kHelpValueName},
    {"REF", Message::kHelpValueReference},
    {"LANG", Message::kHelpValueLanguage},
    {"FOLDER", Message::kHelpValueFolder},
    {"PRIVATE.pem", Message::kHelpValuePrivateKey},
    {"PUBLIC.pem", Message::kHelpValuePublicKey},
    {"PATTERN", Message::kHelpValuePattern},
};

// CLI11 pads an option's name to its column by bytes; a name with letters of two or three
// bytes ("RÉF") is padded as wide as it looks.
class UsageFormatter : public CLI::Formatter {
public:
    std::string make_option(const CLI::Option* option, bool isPositional) const override
    {
        std::string name = make_option_name(option, isPositional) + make_option_opts(option);
        std::size_t continuations = 0;
        for (unsigned char byte : name)
            continuations += (byte & 0xC0) == 0x80 ? 1 : 0;
        // A name as wide as the column goes on its own line, the description under it.
        std::size_t width = 2 + name.size() - continuations >= column_width_ ? column_width_
                                                                             : column_width_ + continuations;
        std::stringstream out;
        CLI::detail::format_help(out, name, make_option_desc(option), width);
        return out.str();
    }
};

// Group names are not labels: each option and command carries its own, and a command
// copies its help flag before it copies its parent's defaults. Each command copied its
// parent's formatter when it was added, before this one was made.
void NameGroups(CLI::App& app, const std::string& options, const std::string& commands, const std::string& help)
{
    if (app.get_parent() != nullptr)
        app.formatter(app.get_parent()->get_formatter());
    if (CLI::Option* flag = app.get_help_ptr())
        flag->description(help);
    for (CLI::Option* option : app.get_options())
        if (option->get_group() == "Options")
            option->group(options);
    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
        if (command->get_group() == "Subcommands")
            command->group(commands);
        NameGroups(*command, options, commands, help);
    }
}

}  // namespace

void SayUsageInLanguage(CLI::App& app)
{
    auto formatter = std::make_shared<UsageFormatter>();
    for (const Label& label : kLabels)
        formatter->label(label.english, Say(label.message));
    app.formatter(formatter);
    NameGroups(app, Say(Message::kHelpGroupOptions), Say(Message::kHelpGroupCommands), Say(Message::kHelpFlag));
}

}  // namespace torvexctl
