// torvexctl: drives a communication board through torvex.dll from the command line.
#include "commands.h"
#include "exit_codes.h"
#include "output.h"
#include "system/paths.h"
#include "system/host_platform.h"
#include "torvex_version.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

namespace {

using namespace torvexctl;

std::string Footer()
{
    std::string text = "torvexctl loads torvex.dll from its own folder (or --dll PATH), initialises it with\n"
                       "_Init_Module_COM and runs one command. The module reads torvex.ini and writes Torvex.log\n"
                       "beside itself, and download adds a record to the update history (history shows it). The\n"
                       "options --dll, --history, --log, --json and --quiet may come before or after the command.\n"
                       "\nExit status:\n";
    for (const ExitCodeDescription& entry : kExitCodeDescriptions)
        text += (entry.code < 10 ? "   " : "  ") + std::to_string(entry.code) + "  " + entry.meaning + "\n";
    return text;
}

bool HasFlag(const std::vector<std::string>& arguments, const char* flag)
{
    for (std::size_t i = 1; i < arguments.size(); ++i)
        if (arguments[i] == flag)
            return true;
    return false;
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
            || argument == "--version" || argument == "--run" || argument == "--into") {
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
        return "unknown command \"" + typed + "\": did you mean \"" + closest
            + "\"? run 'torvexctl --help' for the usage";
    std::string names;
    for (const Command& command : kCommands)
        names += (names.empty() ? "" : ", ") + std::string(command.name);
    return "unknown command \"" + typed + "\": the commands are " + names + "; run 'torvexctl --help' for the usage";
}

int Run(const std::vector<std::string>& arguments, Output& out)
{
    CLI::App app{"Updates and queries a communication board through torvex.dll.", "torvexctl"};
    app.footer(Footer());
    app.fallthrough();                       // common options may follow the command too (inherited by the commands)
    app.allow_windows_style_options(false);  // "/tmp/app.bin" is a path, not an option

    Options options;
    bool json = false;
    bool quiet = false;
    bool printVersion = false;
    app.add_option("--dll", options.dllPath, "the module to load (default: torvex.dll beside torvexctl)")
        ->type_name("PATH");
    app.add_option("--history", options.historyPath,
                   "the update history file (default: $TORVEX_HISTORY, else torvex-history.jsonl beside the module)")
        ->type_name("PATH");
    app.add_flag("--log", options.showLog, "print the lines this run added to Torvex.log");
    app.add_flag("--json", json, "print one JSON object on stdout instead of text");
    app.add_flag("--quiet", quiet, "print no results, only warnings and errors: the exit status tells the outcome");
    app.add_flag("--version", printVersion, "print the module version and exit");

    for (const Command& command : kCommands) {
        CLI::App* sub = app.add_subcommand(command.name, command.description);
        if (command.takesFile)
            sub->add_option("FILE", options.file, "application file")->required()->type_name("");
        if (command.addOptions != nullptr)
            command.addOptions(*sub, options);
    }
    app.require_subcommand(0, 1);

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
        out.Error(std::string(error.what()) + "; run 'torvexctl --help' for the usage");
        return kExitUsage;
    }

    if (printVersion) {
        out.Data()["version"] = TORVEX_VERSION_TEXT;
        out.Data()["product_version"] = TORVEX_PRODUCT_VERSION_TEXT;
        out.Info(std::string("torvexctl for torvex module ") + TORVEX_VERSION_TEXT + " (" + TORVEX_PRODUCT_VERSION_TEXT
                 + ")");
        return kExitSuccess;
    }
    if (app.get_subcommands().empty()) {
        out.Error("a command is required (download, check, version, reference, info, clean, banner, history, "
                  "manifest or replay); run 'torvexctl --help' for the usage");
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
        int code;
        try {
            code = Run(arguments, out);
        } catch (const std::exception& error) {
            out.Error(std::string("internal error: ") + error.what());
            code = kExitInternalError;
        }
        out.Finish(code);
        return code;
    } catch (...) {
        std::fputs("torvexctl: internal error\n", stderr);
        return kExitInternalError;
    }
}
