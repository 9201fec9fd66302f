// The host services that differ between Windows and other systems. Each is implemented
// in a file of the same name in update/platform/windows and update/platform/posix; the
// build picks the folder, so callers carry no #ifdef. Paths are UTF-8.
#pragma once

#include <cstdio>
#include <string>

namespace torvexupdate {

// paths.cpp: the characters that separate folders (the first is the one written), and
// whether the system finds files by name without regard to case.
extern const char kPathSeparators[];
extern const bool kFileNamesIgnoreCase;

// paths.cpp: a path that the module built (folders joined by '\') as this system's
// loader takes it.
std::string SystemPathOfModulePath(const std::string& modulePath);

// paths.cpp: the position in an open file, 64 bits wide; -1 when it cannot be taken.
long long FileTell(std::FILE* file);

// library.cpp: folder of the running program (without a final separator).
std::string ProgramFolder();

enum class LoadFailure { kNone, kNotFound, kWrongArchitecture, kAccessDenied, kOther };

// Why a library did not load, as the system says it: its text, in the system's language
// with "%1" where it names the file, and its error code (0 when it gives none).
struct LoaderError {
    std::string text;
    unsigned long code = 0;
};

// library.cpp: loads a library into this process (a relative path by the system's search
// rules): null, with the system's words in `error` and its kind in `kind` (when given),
// when it cannot be loaded. An export by name (null when missing), and unloading.
void* OpenLibrary(const std::string& path, LoaderError* error, LoadFailure* kind = nullptr);
// loader_text.cpp: the same, with the system's words put in one English line for tools
// ("... (error 126)"); people read them through module/module_loader.h's LoaderErrorWords.
void* OpenLibrary(const std::string& path, std::string* error);
void* FindSymbol(void* library, const char* name);
void CloseLibrary(void* library);

// library.cpp: takes the current folder out of the library search of this process, the
// module's own loads included, so that a quelvane.dll dropped into the user's working
// folder is never loaded for a relative QuelvanePath. Call it before loading the module.
// Other systems: nothing (their loader never searches the current folder by name).
void KeepCurrentFolderOutOfLibrarySearch();

// profile.cpp: QuelvanePath of [TorvexPath] in an INI file that exists, read by the rules
// the module reads it by ("" when the section or the key is missing).
std::string ReadLibraryFolderSetting(const std::string& iniPath);

// console.cpp: whether a stream is a terminal, and making the console show UTF-8 (where
// the console has a code page of its own).
bool IsTerminal(std::FILE* stream);
void PrintUtf8ToConsole();

}  // namespace torvexupdate
