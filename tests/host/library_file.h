// Loads and unloads a library in the test process, as a host does.
#pragma once

#include <string>

namespace host {

void* LoadLibraryFile(const std::string& path);  // null on failure
void UnloadLibraryFile(void* library);
void* FindExport(void* library, const char* name);           // by name
void* FindExportByOrdinal(void* library, unsigned ordinal);  // Windows only; null elsewhere
bool LibraryLoaded(const std::string& path);                 // loaded in this process, by its file path

}  // namespace host
