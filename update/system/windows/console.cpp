// Windows: the console has a code page of its own, set to UTF-8 for what the hosts print.
#include "system/host_platform.h"

#include <windows.h>

#include <io.h>

namespace torvexupdate {

bool IsTerminal(std::FILE* stream)
{
    return _isatty(_fileno(stream)) != 0;
}

void PrintUtf8ToConsole()
{
    // Warnings and errors go to stderr: a console behind either one shows "é" as "é".
    if (IsTerminal(stdout) || IsTerminal(stderr))
        SetConsoleOutputCP(CP_UTF8);
}

}  // namespace torvexupdate
