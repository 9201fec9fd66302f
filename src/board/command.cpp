#include "board/command.h"

#include "log/trace_log.h"

#include <cstdio>

int SendBoardCommand(std::uint8_t code, std::uint32_t timeout, const char* payload, std::uint32_t length,
                     CommandStatus& status)
{
    CommandRequest request = {};
    request.prefix = kRequestPrefix;
    request.code = code;
    request.tag = kRequestTag;
    request.timeout = timeout;
    request.length = length;
    status = kStatusPreset;
    // The library takes a non-const payload pointer but only reads it.
    return _SendCommand(0, &request, &status, const_cast<char*>(payload));
}

void LogCommandReport(const char* prefix, const char* label, const CommandStatus& status)
{
    char fullLabel[64];
    std::snprintf(fullLabel, sizeof fullLabel, "%s_ExecuteCommand %s", prefix, label);
    LogReport(fullLabel, status.com, status.general);
}

bool CommandAccepted(int sendResult, const CommandStatus& status)
{
    if (sendResult == 0)
        return false;
    return (status.general == 0 && status.com == kComAccepted) || status.com == kComAcceptedAnyGeneral;
}

namespace {

// A payload-free command with its entry, report and exit lines.
int RunSimpleCommand(const char* name, std::uint8_t code)
{
    char line[64];
    std::snprintf(line, sizeof line, "\nEntre %s\n", name);
    WriteStringToLog(line);
    if (_SendCommand == nullptr)
        return 0;
    CommandStatus status;
    int result = SendBoardCommand(code, kCommandTimeout, nullptr, 0, status);
    LogCommandReport("", name, status);
    std::snprintf(line, sizeof line, "Sort %s\n", name);
    WriteStringToLog(line);
    return result;
}

}  // namespace

int Saut_Appli(void)
{
    return RunSimpleCommand("Saut_Appli", kCmdStartApplication);
}

int Reset_Board(void)
{
    return RunSimpleCommand("Reset_Board", kCmdResetBoard);
}
