#include "replay/replay_platform.h"

#include "words/messages.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace torvexreplay {
namespace {

using torvexupdate::Message;
using torvexupdate::Say;

std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty())
        return std::wstring();
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
    return wide;
}

// One argument as the C runtime's command-line parser takes it back.
std::wstring Quoted(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

std::string SystemMessage(DWORD code)
{
    char text[256] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                  sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == '.'))
        text[--length] = '\0';
    return length > 0 ? std::string(text) : Say(Message::kReplaySystemError, {{"code", std::to_string(code)}});
}

}  // namespace

int RunProgram(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder,
               const std::string& outputFile, std::string* error)
{
    std::wstring commandLine = Quoted(Wide(program));
    for (const std::string& argument : arguments)
        commandLine += L" " + Quoted(Wide(argument));

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    HANDLE output = INVALID_HANDLE_VALUE;
    if (!outputFile.empty()) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        output = CreateFileW(Wide(outputFile).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (output == INVALID_HANDLE_VALUE) {
            *error = Say(Message::kReplayCannotWriteFile,
                         {{"file", outputFile}, {"problem", SystemMessage(GetLastError())}});
            return -1;
        }
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    PROCESS_INFORMATION process = {};
    std::wstring directory = Wide(folder);
    BOOL started = CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, directory.c_str(),
                                  &startup, &process);
    DWORD startError = GetLastError();
    if (output != INVALID_HANDLE_VALUE)
        CloseHandle(output);
    if (!started) {
        *error = Say(Message::kReplayCannotStart, {{"program", program}, {"problem", SystemMessage(startError)}});
        return -1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // An exception that ended the program shows as its code (0xC0000005 and the like).
    if (status >= 0xC0000000u) {
        char code[16];
        wsprintfA(code, "0x%08lX", status);
        *error = Say(Message::kReplayEndedByException, {{"program", program}, {"code", code}});
        return -1;
    }
    return static_cast<int>(status);
}

}  // namespace torvexreplay
