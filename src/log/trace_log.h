// The trace log: one text file beside the module, opened and closed for every message.
#ifndef TORVEX_TRACE_LOG_H
#define TORVEX_TRACE_LOG_H

#include <cstddef>

constexpr std::size_t kLogPathSize = 255;   // terminating zero included
constexpr std::size_t kMessageSize = 255;   // terminating zero included
constexpr long long kLogSizeLimit = 5000000; // bytes; the log is emptied past this

extern char g_TorvexLogPath[kLogPathSize];
extern char g_Msg[kMessageSize];

// Appends `text` as it stands. 1 when the log file opened, 0 otherwise.
int WriteStringToLog(const char* text);

// Empties the log file.
void RazLogFile(void);

// Formats a line into g_Msg and logs it. A line longer than g_Msg is cut, keeping its
// final line end so that the next message still starts on a line of its own.
void LogFormat(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// "<label> CompteRendu com = <com> CompteRendu général = <general>\n"
void LogReport(const char* label, int com, int general);

// The closing line of every exported operation but the clean-up.
extern const char kSeparatorLine[];

#endif
