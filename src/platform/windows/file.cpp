#include "platform/platform.h"

#include <cstdio>

long long Platform_FileSize(std::FILE* file)
{
    if (_fseeki64(file, 0, SEEK_END) != 0)
        return -1;
    return _ftelli64(file);
}
