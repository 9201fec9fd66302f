// Reading one value of an INI file by the rules of the Windows profile call, for the
// systems that have no such call: the module's torvex.ini and the host programs' reading of
// it must agree, so both build this one reader.
#ifndef TORVEX_SHARED_INI_PROFILE_H
#define TORVEX_SHARED_INI_PROFILE_H

#include <cstddef>

// The value of `key` in `section` of the file `iniPath` into `value` (`size` bytes, always
// terminated when size > 0), else `defaultValue`. Names compare without case; names and
// values are trimmed, a quoted value unquoted; the first matching section and key win.
void ReadIniString(const char* section, const char* key, const char* defaultValue, char* value, std::size_t size,
                   const char* iniPath);

#endif
