#include "platform/platform.h"

#include <windows.h>
#include <cstdlib>
#include <cstring>

std::size_t Platform_ModuleFilePath(const char* moduleName, char* path, std::size_t size)
{
    if (path == nullptr || size == 0)
        return 0;
    path[0] = '\0';
    HMODULE module = GetModuleHandleA(moduleName);
    DWORD length = GetModuleFileNameA(module, path, static_cast<DWORD>(size));
    path[size - 1] = '\0';  // older systems leave a truncated path unterminated
    return length;
}

bool Platform_SplitFolder(const char* path, char* drive, std::size_t driveSize,
                          char* folder, std::size_t folderSize)
{
    // Every part of a path is at most as long as the path itself: checking the whole
    // length first keeps _splitpath and _makepath inside their buffers.
    char driveBuf[256], dirBuf[256], nameBuf[256], extBuf[256];
    std::size_t length = std::strlen(path);
    if (length >= sizeof dirBuf)
        return false;
    _splitpath(path, driveBuf, dirBuf, nameBuf, extBuf);
    std::size_t driveLength = std::strlen(driveBuf);
    if (driveLength >= driveSize || driveLength + std::strlen(dirBuf) + 1 >= folderSize)
        return false;
    std::memcpy(drive, driveBuf, driveLength + 1);
    _makepath(folder, driveBuf, dirBuf, nullptr, nullptr);
    return true;
}
