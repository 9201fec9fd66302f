#include "call_run.h"

#include "module/module_exports.h"
#include "system/paths.h"
#include "system/host_platform.h"

#include <cstdio>
#include <fstream>
#include <vector>

namespace torvexcalls {
namespace {

using torvexreplay::ScriptedCall;

// torvex.ini naming the simulator, or a folder without the library.
bool WriteIni(const std::string& folder, bool libraryPresent)
{
    std::ofstream ini(torvexupdate::FsPath(torvexupdate::JoinPath(folder, "torvex.ini")),
                      std::ios::binary | std::ios::trunc);
    ini << torvexreplay::IniText(libraryPresent);
    return static_cast<bool>(ini);
}

int Call(const torvexupdate::ModuleExports& module, const ScriptedCall& call, const std::string& folder)
{
    switch (call.kind) {
    case ScriptedCall::Kind::kInit:
        return module.init();
    case ScriptedCall::Kind::kDownload: {
        // The path as given (relative to the folder, the current one), in the module's code page.
        std::string path = call.path.empty() ? std::string() : torvexupdate::ForModule(call.path).bytes;
        if (!call.path.empty() && path.empty())
            path = call.path;
        return module.download(&path[0]);
    }
    case ScriptedCall::Kind::kVersion: {
        std::vector<char> buffer(TORVEX_VERSION_BUFFER_SIZE, '\0');
        return module.version(0, buffer.data());
    }
    case ScriptedCall::Kind::kReference: {
        std::vector<char> buffer(TORVEX_REFERENCE_BUFFER_SIZE, '\0');
        return module.reference(buffer.data(), TORVEX_REFERENCE_BUFFER_SIZE - 1);
    }
    case ScriptedCall::Kind::kClean:
        return module.clean();
    case ScriptedCall::Kind::kLibraryAbsent:
    case ScriptedCall::Kind::kLibraryPresent:
        return WriteIni(folder, call.kind == ScriptedCall::Kind::kLibraryPresent) ? 1 : 0;
    }
    return 0;
}

}  // namespace

bool RunCalls(const std::string& folder, const torvexreplay::ScriptedProcess& calls, std::string* problem)
{
    std::string modulePath = torvexupdate::JoinPath(folder, "torvex.dll");
    std::string error;
    void* library = torvexupdate::OpenLibrary(modulePath, &error);
    if (library == nullptr) {
        *problem = "cannot load " + modulePath + ": " + error;
        return false;
    }
    torvexupdate::ModuleExports module;
#define TORVEXCALLS_FIND(member, name) \
    module.member = reinterpret_cast<decltype(module.member)>(torvexupdate::FindSymbol(library, #name));
    TORVEX_EXPORTS(TORVEXCALLS_FIND)
#undef TORVEXCALLS_FIND
    if (!module.Complete()) {
        *problem = modulePath + " lacks one of the five exports";
        torvexupdate::CloseLibrary(library);
        return false;
    }
    for (const ScriptedCall& call : calls) {
        int result = Call(module, call, folder);
        bool toggle = call.kind == ScriptedCall::Kind::kLibraryAbsent
            || call.kind == ScriptedCall::Kind::kLibraryPresent;
        if (toggle)
            std::printf("  %s\n", torvexreplay::CallText(call).c_str());
        else
            std::printf("  %s: %d\n", torvexreplay::CallText(call).c_str(), result);
        std::fflush(stdout);
    }
    torvexupdate::CloseLibrary(library);
    return true;
}

}  // namespace torvexcalls
