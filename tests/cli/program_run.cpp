#include "program_run.h"

#include "support/files.h"

#include <chrono>
#include <cstdio>
#include <thread>

#if defined(_WIN32)
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
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

#if defined(_WIN32)
namespace {

std::wstring WideOf(const std::string& utf8)
{
    std::wstring wide(utf8.size() + 1, L'\0');
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
    return wide;
}

HANDLE InheritedFile(const std::string& path)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return CreateFileW(WideOf(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

StartedProgram::StartedProgram(const std::string& program, const std::vector<std::string>& arguments,
                               const std::string& outFile, const std::string& errFile)
{
    std::string line = Quote(program);
    for (const std::string& argument : arguments)
        line += " " + Quote(argument);
    std::wstring commandLine = WideOf(line);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = InheritedFile(outFile);
    startup.hStdError = InheritedFile(errFile);
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        process_ = process.hProcess;
        processId_ = process.dwProcessId;
    }
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
}

bool StartedProgram::Running()
{
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

int StartedProgram::Wait(int milliseconds)
{
    DWORD code = 0;
    if (process_ == nullptr || WaitForSingleObject(process_, static_cast<DWORD>(milliseconds)) != WAIT_OBJECT_0
        || !GetExitCodeProcess(process_, &code))
        return -1;
    return static_cast<int>(code);
}

void StartedProgram::Kill()
{
    if (Running())
        TerminateProcess(process_, 99);
    if (process_ != nullptr)
        WaitForSingleObject(process_, 30000);
}

StartedProgram::~StartedProgram()
{
    Kill();
    if (process_ != nullptr)
        CloseHandle(process_);
}
#else
StartedProgram::StartedProgram(const std::string& program, const std::vector<std::string>& arguments,
                               const std::string& outFile, const std::string& errFile)
{
    pid_t child = fork();
    if (child == 0) {
        int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    processId_ = child > 0 ? static_cast<unsigned long>(child) : 0;
}

bool StartedProgram::Running()
{
    if (processId_ == 0 || status_ != -2)
        return false;
    int status = 0;
    pid_t ended = waitpid(static_cast<pid_t>(processId_), &status, WNOHANG);
    if (ended == 0)
        return true;
    status_ = ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return false;
}

int StartedProgram::Wait(int milliseconds)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (Running() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return status_ == -2 ? -1 : status_;
}

void StartedProgram::Kill()
{
    if (Running()) {
        kill(static_cast<pid_t>(processId_), SIGKILL);
        int status = 0;
        waitpid(static_cast<pid_t>(processId_), &status, 0);
        status_ = -1;
    }
}

StartedProgram::~StartedProgram()
{
    Kill();
}
#endif

}  // namespace cli_testing
