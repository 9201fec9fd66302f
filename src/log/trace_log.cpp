#include "log/trace_log.h"

#include "platform/platform.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

char g_TorvexLogPath[kLogPathSize];
char g_Msg[kMessageSize];

const char kSeparatorLine[] = "-----------------------------------------------------\n";
static_assert(sizeof kSeparatorLine == 53 + 2, "separator: 53 hyphens and a line end");

int WriteStringToLog(const char* text)
{
    if (g_TorvexLogPath[0] == '\0')
        return 0;  // no log path yet: the message is dropped
    // Several processes may hold the module and log at once: the platform appends the
    // message whole under a lock they share, and empties a log past its limit before
    // another process can append to it.
    return Platform_AppendLocked(g_TorvexLogPath, text, kLogSizeLimit) ? 1 : 0;
}

void RazLogFile(void)
{
    if (g_TorvexLogPath[0] == '\0')
        return;
    std::FILE* file = std::fopen(g_TorvexLogPath, "w+");
    if (file != nullptr)
        std::fclose(file);
}

// printf-style on purpose: the trace's lines are printf formats, checked by the compiler.
void LogFormat(const char* format, ...)  // NOLINT(cert-dcl50-cpp)
{
    std::va_list arguments;
    va_start(arguments, format);
    int length = std::vsnprintf(g_Msg, sizeof g_Msg, format, arguments);
    va_end(arguments);
    g_Msg[sizeof g_Msg - 1] = '\0';
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof g_Msg) {
        std::size_t kept = std::strlen(g_Msg);
        if (kept > 0 && g_Msg[kept - 1] != '\n')
            g_Msg[kept - 1] = '\n';
    }
    WriteStringToLog(g_Msg);
}

void LogReport(const char* label, int com, int general)
{
    LogFormat("%s CompteRendu com = %d CompteRendu g\xE9n\xE9ral = %d\n", label, com, general);
}
