#include "board/eeprom_flags.h"

#include "board/command.h"
#include "link/library_contract.h"
#include "log/trace_log.h"

#include <cstdio>
#include <cstdlib>

int Read_FlagEEPROM(char* request, unsigned long count, char** reply, unsigned long& replyLength)
{
    WriteStringToLog("\nEntre Read_FlagEEPROM\n");
    CompteRendu report = kReportPreset;
    if (_SendCommand == nullptr)
        return 0;
    if (request == nullptr)
        count = 0;  // never hand the library a length without bytes behind it

    CommandStatus status;
    int sent = SendBoardCommand(kCmdReadFlagEeprom, kCommandTimeout, request, static_cast<std::uint32_t>(count), status);
    int result = 0;
    if (CommandAccepted(sent, status)) {
        result = 1;
        if (status.replyLength != 0 && _GetResult != nullptr) {
            char* buffer = nullptr;
            if (status.replyLength <= kMaxFlagReplyLength && reply != nullptr)
                buffer = static_cast<char*>(std::calloc(status.replyLength + 1UL, 1));
            if (buffer == nullptr) {
                result = 0;  // a reply too large to hold, or nowhere to put it: refused
            } else {
                replyLength = status.replyLength;
                *reply = buffer;
                result = _GetResult(0, status.replyLength, buffer, &report);
            }
        } else {
            replyLength = status.replyLength;
        }
    }
    LogCommandReport("", "Read_FlagEEPROM", status);
    WriteStringToLog("Sort Read_FlagEEPROM\n");
    return result;
}

int Write_FlagEEPROM(char* data, unsigned long count)
{
    WriteStringToLog("\nEntre Write_FlagEEPROM");
    if (_SendCommand == nullptr)
        return 0;
    if (data == nullptr)
        count = 0;

    WriteStringToLog("\nDonn\xE9" "es envoy\xE9" "es dans EEPROM : \n");
    for (unsigned long i = 0; i < count; ++i) {
        char byteText[100];
        std::snprintf(byteText, sizeof byteText, "%02X ", static_cast<unsigned char>(data[i]));
        LogFormat("%s\n", byteText);
    }

    CommandStatus status;
    int sent = SendBoardCommand(kCmdWriteFlagEeprom, kCommandTimeout, data, static_cast<std::uint32_t>(count), status);
    int result = 0;
    if (CommandAccepted(sent, status)) {
        Saut_Appli();
        Reset_Board();
        result = 1;
    }
    LogCommandReport("", "Write_FlagEEPROM", status);
    WriteStringToLog("Sort Write_FlagEEPROM\n");
    return result;
}

int Test_FlagEEPROM(unsigned char& value)
{
    WriteStringToLog("\nEntre Test_FlagEEPROM");
    char request[] = {'\xFF', '\xFF', '\x01', '\x00', '\x01'};
    char* reply = nullptr;
    unsigned long replyLength = 0;
    int result = Read_FlagEEPROM(request, sizeof request, &reply, replyLength);
    if (result != 0 && reply != nullptr && replyLength != 0) {
        value = static_cast<unsigned char>(reply[0]);
        LogFormat("Valeur lue dans EEPROM : %02X \n", value);
    }
    std::free(reply);
    WriteStringToLog("Sort Test_FlagEEPROM\n");
    return result;
}
