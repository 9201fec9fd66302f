// Paths in torvexctl, torvexgui and the update engine are UTF-8 text, whatever the system. These helpers convert at
// the edges: the command line and the file system take wide characters on Windows, and
// the module's own path API takes the ANSI code page there.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace torvexupdate {

// The program's arguments as UTF-8 (on Windows read again as wide characters, since
// argv holds them already converted, with '?' for what the code page lacks).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

std::filesystem::path FsPath(const std::string& utf8);
std::string Utf8Of(const std::filesystem::path& path);

// The absolute form of a path, or the path as given when it cannot be made absolute.
std::string AbsolutePath(const std::string& utf8);

// std::fopen for a UTF-8 path.
std::FILE* OpenFile(const std::string& utf8, const char* mode);

// Why a path has no narrow form the module can take.
enum class NarrowProblem {
    kNone,
    kNoShortName,   // characters outside the ANSI code page, and no short (8.3) name
    kShortNameToo,  // its short name holds such characters too
};

// A path as the module's narrow-character API can take it.
struct NarrowPath {
    bool usable = false;
    std::string bytes;                             // what to hand the module
    bool shortName = false;                        // the file's short (8.3) name stands in for the path
    NarrowProblem problem = NarrowProblem::kNone;  // why there is none (module/path_words.h says it)
    unsigned codePage = 0;                         // the ANSI code page it was tried in
};

// Windows: the path in the ANSI code page when every character fits; otherwise the
// file's short name when the volume has one and it fits; otherwise nothing, with the
// reason. Other systems: the UTF-8 bytes unchanged.
NarrowPath ForModule(const std::string& utf8);

// Text from the module (its log, the paths it built) in the ANSI code page, as UTF-8.
std::string AnsiToUtf8(const std::string& bytes);

// Folder part of a path ("" when it has none), its last component, and the two joined.
std::string FolderOf(const std::string& path);
std::string FileNameOf(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);

// The module looks itself up by the file name "torvex.dll": a module file named otherwise
// takes its torvex.ini and Torvex.log from the program's folder instead of its own.
bool HasModuleFileName(const std::string& path);

}  // namespace torvexupdate
