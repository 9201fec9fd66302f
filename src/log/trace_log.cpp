#include "log/trace_log.h"

#include "platform/platform.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>

char g_TorvexLogPath[kLogPathSize];
char g_Msg[kMessageSize];

namespace {

// Another appender holds the log for one line at a time; a wait this long is only reached
// when something else keeps it.
constexpr unsigned kLogWait = 500;          // milliseconds
constexpr unsigned kLogStillHeldWait = 20;  // milliseconds, once a message has found it held

// Set when the last message found the log held past its wait.
std::atomic<bool> g_bLogHeld{false};

}  // namespace

const char kSeparatorLine[] = "-----------------------------------------------------\n";
static_assert(sizeof kSeparatorLine == 53 + 2, "separator: 53 hyphens and a line end");

int WriteStringToLog(const char* text)
{
    if (g_TorvexLogPath[0] == '\0')
        return 0;  // no log path yet: the message is dropped
    // Several processes may hold the module and log at once: the platform appends the
    // message whole while no other appender can write, and empties a log past its limit
    // before another can append to it. A log held past the wait (a program keeping it
    // open without sharing writes, an appender that hangs) loses the message, as a log
    // that cannot be opened does, so that the operation goes on; while it stays held,
    // the next messages wait only briefly.
    bool held = g_bLogHeld.load(std::memory_order_relaxed);
    AppendResult result = Platform_AppendLocked(g_TorvexLogPath, text, kLogSizeLimit,
                                                held ? kLogStillHeldWait : kLogWait);
    g_bLogHeld.store(result == AppendResult::Held, std::memory_order_relaxed);
    return result == AppendResult::Written ? 1 : 0;
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
