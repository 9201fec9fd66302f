// The calls file of a replay setup: the host's calls, one a line, in processes, which
// torvexcalls repeats against torvex.dll. Written by hand too:
//
//   ; a comment (a whole line)
//   process                 a new process: the module loaded afresh
//   library absent          torvex.ini now names a folder without the library
//   library present         torvex.ini names the simulator again
//   init                    _Init_Module_COM
//   download PATH           _TelechargeComposant_COM (PATH relative to the file's folder; none: "")
//   version                 _GetVersionComposant_COM into a 48-byte buffer
//   reference               _GetReferenceBoard_COM into a 256-byte buffer, length 255
//   clean                   _Clean_ZR_COM
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace torvexreplay {

struct ScriptedCall {
    enum class Kind { kLibraryAbsent, kLibraryPresent, kInit, kDownload, kVersion, kReference, kClean };
    Kind kind = Kind::kInit;
    std::string path;  // download
    std::size_t line = 0;
};

using ScriptedProcess = std::vector<ScriptedCall>;

// The words of a call on its line ("init", "download PATH", "library absent").
std::string CallText(const ScriptedCall& call);

// Processes from the file's text; false, with "line N: ..." in `problem`, at the first
// line that is none of the above. Calls before the first "process" line form a process.
bool ReadCallScript(const std::string& text, std::vector<ScriptedProcess>* processes, std::string* problem);

// The folder torvex.ini names while the library is present, and while it is absent.
extern const char kLibraryFolder[];
extern const char kNoLibraryFolder[];

// torvex.ini naming the one or the other.
std::string IniText(bool libraryPresent);

}  // namespace torvexreplay
