// torvexctl: drives a communication board through torvex.dll from the command line.
#include "commands.h"
#include "exit_codes.h"
#include "output.h"
#include "torvex_version.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#include "progress.h"
#endif

namespace {

using namespace torvexctl;

std::string Footer()
{
    std::string text =
        "torvexctl loads torvex.dll from its own folder (or --dll PATH), initialises it with\n"
        "_Init_Module_COM and runs one command. The module reads torvex.ini and writes Torvex.log\n"
        "beside itself. The options --dll, --log and --json may come before or after the command.\n"
        "\nExit status:\n";
    for (const ExitCodeDescription& entry : kExitCodeDescriptions)
        text += "  " + std::to_string(entry.code) + "  " + entry.meaning + "\n";
    return text;
}

bool WantsJson(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--json") == 0)
            return true;
    return false;
}

int Run(int argc, char** argv, Output& out)
{
    CLI::App app{"Updates and queries a communication board through torvex.dll.", "torvexctl"};
    app.footer(Footer());
    app.fallthrough();  // common options may follow the command too (inherited by the commands)

    Options options;
    bool json = false;
    bool printVersion = false;
    bool noVerify = false;
    app.add_option("--dll", options.dllPath, "the module to load (default: torvex.dll beside torvexctl)")
        ->type_name("PATH");
    app.add_flag("--log", options.showLog, "print the lines this run added to Torvex.log");
    app.add_flag("--json", json, "print one JSON object on stdout instead of text");
    app.add_flag("--version", printVersion, "print the module version and exit");

    CLI::App* download = app.add_subcommand("download", "download an application file into the board, then verify it");
    download->add_option("FILE", options.file, "application file")->required()->type_name("");
    download->add_flag("--no-verify", noVerify, "do not read the version back after the download");
    app.add_subcommand("version", "show the banner of the application in the board's flash");
    app.add_subcommand("reference", "show the board's reference");
    app.add_subcommand("info", "show the board's reference and the banner in its flash");
    app.add_subcommand("clean", "ask the communication library to clean up");
    CLI::App* banner = app.add_subcommand("banner", "show the banner of an application file (no board, no module)");
    banner->add_option("FILE", options.file, "application file")->required()->type_name("");
    app.require_subcommand(0, 1);

    try {
        app.parse(argc, argv);
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
    options.verify = !noVerify;

    if (printVersion) {
        out.Data()["version"] = TORVEX_VERSION_TEXT;
        out.Data()["product_version"] = TORVEX_PRODUCT_VERSION_TEXT;
        out.Info(std::string("torvexctl for torvex module ") + TORVEX_VERSION_TEXT + " (" + TORVEX_PRODUCT_VERSION_TEXT
                 + ")");
        return kExitSuccess;
    }
    if (app.get_subcommands().empty()) {
        out.Error("a command is required (download, version, reference, info, clean or banner); "
                  "run 'torvexctl --help' for the usage");
        return kExitUsage;
    }

    const std::string command = app.get_subcommands().front()->get_name();
    if (command == "download")
        return RunDownload(options, out);
    if (command == "version")
        return RunVersion(options, out);
    if (command == "reference")
        return RunReference(options, out);
    if (command == "info")
        return RunInfo(options, out);
    if (command == "clean")
        return RunClean(options, out);
    return RunBanner(options, out);
}

}  // namespace

int main(int argc, char** argv)
{
#if defined(_WIN32)
    // Banners and log lines are printed as UTF-8.
    if (torvexctl::IsTerminal(stdout))
        SetConsoleOutputCP(CP_UTF8);
#endif
    // Nothing may escape main(): even printing the result can fail (out of memory).
    try {
        Output out(WantsJson(argc, argv));
        int code;
        try {
            code = Run(argc, argv, out);
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
