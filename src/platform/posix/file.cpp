#include "platform/platform.h"

#include <cstdio>

long long Platform_FileSize(std::FILE* file)
{
    if (fseeko(file, 0, SEEK_END) != 0)
        return -1;
    return static_cast<long long>(ftello(file));
}
