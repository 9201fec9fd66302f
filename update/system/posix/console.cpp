// Other systems: terminals take UTF-8 as it stands.
#include "system/host_platform.h"

#include <unistd.h>

namespace torvexupdate {

bool IsTerminal(std::FILE* stream)
{
    return isatty(fileno(stream)) != 0;
}

void PrintUtf8ToConsole() { }

}  // namespace torvexupdate
