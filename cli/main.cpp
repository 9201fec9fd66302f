// torvexctl: drives a communication board through torvex.dll from the command line.
#include "commands.h"
#include "exit_codes.h"
#include "output.h"
#include "usage_errors.h"
#include "usage_words.h"
#include "system/paths.h"
#include "system/host_platform.h"
#include "words/language.h"
#include "torvex_version.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

namespace {

using namespace torvexctl;
using torvexupdate::Message;
using torvexupdate::Say;

std::string Footer()
{
    std::string text = Say(Message::kHelpFooter);
    for (const ExitCodeDescription& entry : kExitCodeDescriptions)
        text += (entry.code < 10 ? "   " : "  ") + std::to_string(entry.code) + "  " + Say(entry.meaning) + "\n";
    return text;
}

bool HasFlag(const std::vector<std::string>& arguments, const char* flag)
{
    for (std::size_t i = 1; i < arguments.size(); ++i)
        if (arguments[i] == flag)
            return true;
    return false;
}

// The value of --lang, read before the options are parsed: the usage is said in it.
std::string LanguageAsked(const std::vector<std::string>& arguments)
{
    for (std::size_t i = 1; i + 1 < arguments.size(); ++i)
        if (arguments[i] == "--lang")
            return arguments[i + 1];
    return std::string();
}

// The first argument that is neither an option nor an option's value, when it names no
// command: "" otherwise.
std::string UnknownCommand(const std::vector<std::string>& arguments)
{
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // --version takes a value after "manifest create" (alone it is a flag, and ends the run).
        if (argument == "--dll" || argument == "--retries" || argument == "--history" || argument == "--board"
            || argument == "--since" || argument == "--operator" || argument == "--notes" || argument == "--key"
            || argument == "--version" || argument == "--run" || argument == "--into" || argument == "--lang"
            || argument == "--separator") {
            ++i;
            continue;
        }
        if (argument.empty() || argument[0] == '-')
            continue;
        for (const Command& command : kCommands)
            if (argument == command.name)
                return std::string();
        return argument;
    }
    return std::string();
}

std::string UnknownCommandMessage(const std::string& typed)
{
    std::string closest = ClosestCommand(typed);
    if (!closest.empty())
        return Say(Message::kConsoleUnknownCommandClosest, {{"typed", typed}, {"closest", closest}});
    std::string names;
    for (const Command& command : kCommands)
        names += (names.empty() ? "" : ", ") + std::string(command.name);
    return Say(Message::kConsoleUnknownCommand, {{"typed", typed}, {"names", names}});
}

int Run(const std::vector<std::string>& arguments, Output& out)
{
    CLI::App app{Say(Message::kHelpProgram), "torvexctl"};
    app.footer(Footer());
    app.fallthrough();                       // common options may follow the command too (inherited by the commands)
    app.allow_windows_style_options(false);  // "/tmp/app.bin" is a path, not an option

    Options options;
    bool json = false;
    bool quiet = false;
    bool printVersion = false;
    app.add_option("--dll", options.dllPath, Say(Message::kHelpDll))->type_name("PATH");
    app.add_option("--history", options.historyPath, Say(Message::kHelpHistory))->type_name("PATH");
    app.add_flag("--log", options.showLog, Say(Message::kHelpLog));
    app.add_flag("--json", json, Say(Message::kHelpJson));
    app.add_flag("--quiet", quiet, Say(Message::kHelpQuiet));
    app.add_flag("--version", printVersion, Say(Message::kHelpVersion));
    std::string language;  // chosen before parsing (LanguageAsked): the usage is said in it
    app.add_option("--lang", language, Say(Message::kHelpLang))->type_name("LANG");

    for (const Command& command : kCommands) {
        CLI::App* sub = app.add_subcommand(command.name, Say(command.description));
        if (command.takesFile)
            sub->add_option(Say(Message::kHelpValueFile), options.file, Say(Message::kHelpFile))
                ->required()
                ->type_name("");
        if (command.addOptions != nullptr)
            command.addOptions(*sub, options);
    }
    app.require_subcommand(0, 1);
    SayUsageInLanguage(app);

    std::string unknown = UnknownCommand(arguments);
    if (!unknown.empty()) {
        out.Error(UnknownCommandMessage(unknown));
        return kExitUsage;
    }
    try {
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend() - 1);  // CLI11 takes them reversed
        app.parse(reversed);
    } catch (const CLI::Success&) {  // --help
        std::string help = app.help();
        if (out.Json())
            out.Data()["help"] = help;
        else
            std::fputs(help.c_str(), stdout);
        return kExitSuccess;
    } catch (const CLI::ParseError& error) {
        out.Error(Say(Message::kConsoleUsageHint, {{"problem", UsageProblem(error)}}));
        return kExitUsage;
    }

    if (printVersion) {
        out.Data()["version"] = TORVEX_VERSION_TEXT;
        out.Data()["product_version"] = TORVEX_PRODUCT_VERSION_TEXT;
        out.Info(Say(Message::kConsoleVersionLine,
                     {{"version", TORVEX_VERSION_TEXT}, {"product_version", TORVEX_PRODUCT_VERSION_TEXT}}));
        return kExitSuccess;
    }
    if (app.get_subcommands().empty()) {
        out.Error(Say(Message::kConsoleCommandRequired));
        return kExitUsage;
    }

    const std::string name = app.get_subcommands().front()->get_name();
    for (const Command& command : kCommands)
        if (name == command.name)
            return command.run(options, out);
    return kExitInternalError;
}

}  // namespace

int main(int argc, char** argv)
{
    // Results, paths, banners and log lines are printed as UTF-8.
    torvexupdate::PrintUtf8ToConsole();
    // A library dropped into the working folder must not be loaded for a relative QuelvanePath.
    torvexupdate::KeepCurrentFolderOutOfLibrarySearch();
    // Nothing may escape main(): even printing the result can fail (out of memory).
    try {
        std::vector<std::string> arguments = torvexupdate::Utf8Arguments(argc, argv);
        Output out(HasFlag(arguments, "--json"), HasFlag(arguments, "--quiet"));
        // JSON reads the same in every language: other programs parse its errors too.
        torvexupdate::UseLanguage(out.Json() ? torvexupdate::Language::kEnglish
                                             : torvexupdate::ChooseLanguage(LanguageAsked(arguments)));
        int code;
        try {
            code = Run(arguments, out);
        } catch (const std::exception& error) {
            out.Error(Say(Message::kConsoleInternalError, {{"what", error.what()}}));
            code = kExitInternalError;
        }
        out.Finish(code);
        return code;
    } catch (...) {
        std::fputs("torvexctl: internal error\n", stderr);
        return kExitInternalError;
    }
}
