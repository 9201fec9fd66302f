#include "program_run.h"

#include "support/files.h"

#include <cstdio>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace cli_testing {

namespace {

#if defined(_WIN32)
std::string Quote(const std::string& text)
{
    return "\"" + text + "\"";
}
#else
std::string Quote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
#endif

bool HasBareCarriageReturn(const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            return true;
    return false;
}

std::string WithoutCrLf(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    return out;
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& stderrFile)
{
    std::string command = Quote(program);
    for (const std::string& argument : arguments)
        command += " " + Quote(argument);
    command += " 2>" + Quote(stderrFile);

    ProgramRun run;
    std::string raw;
#if defined(_WIN32)
    // cmd.exe /c drops the outer quotes of the whole line: give it a pair to drop. The
    // line is UTF-8 here and goes over as wide characters, so any path reaches the program.
    std::string line = "\"" + command + "\"";
    std::wstring wide(line.size() + 1, L'\0');
    int length = MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
    std::FILE* pipe = _wpopen(wide.c_str(), L"rb");
#else
    std::FILE* pipe = popen(command.c_str(), "r");
#endif
    if (pipe == nullptr)
        return run;
    char chunk[4096];
    std::size_t count;
    while ((count = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
        raw.append(chunk, count);
#if defined(_WIN32)
    run.status = _pclose(pipe);
#else
    int status = pclose(pipe);
    run.status = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    std::string rawErr = testing_support::ReadFile(stderrFile);
    run.bareCarriageReturn = HasBareCarriageReturn(raw) || HasBareCarriageReturn(rawErr);
    run.out = WithoutCrLf(raw);
    run.err = WithoutCrLf(rawErr);
    return run;
}

}  // namespace cli_testing
