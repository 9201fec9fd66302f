// The subcommands of torvexctl. Each returns the run's exit status (exit_codes.h).
#pragma once

#include "output.h"

#include <string>

namespace torvexctl {

struct Options {
    std::string dllPath;  // empty: torvex.dll in the program's folder
    std::string file;     // application file of download and banner
    bool showLog = false;
    bool verify = true;
};

int RunDownload(const Options& options, Output& out);
int RunVersion(const Options& options, Output& out);
int RunReference(const Options& options, Output& out);
int RunInfo(const Options& options, Output& out);
int RunClean(const Options& options, Output& out);
int RunBanner(const Options& options, Output& out);

}  // namespace torvexctl
