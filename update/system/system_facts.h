// What an update record says about where and when it happened, asked of the system.
#pragma once

#include <cstdio>
#include <string>

namespace torvexupdate {

// SHA-256 of a file's bytes as 64 lower-case hex digits; "" when the file cannot be read.
// The digest comes from the system's cryptographic library, not from code of ours.
std::string FileSha256(const std::string& utf8Path);

// This computer's name (UTF-8); "" when the system does not tell.
std::string MachineName();

// The current time in UTC as "YYYY-MM-DDTHH:MM:SSZ".
std::string UtcTimestamp();

// An environment variable as UTF-8; "" when it is not set.
std::string EnvironmentVariable(const char* name);

// The user's display language as a locale name ("fr-FR", "en_US.UTF-8"); "" when unknown.
std::string UserLanguageCode();

// Pushes what was written to `file` through to the disk: false when that fails.
bool FlushToDisk(std::FILE* file);

}  // namespace torvexupdate
