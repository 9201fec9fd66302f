// The module's five exports in ordinal order, each with the member that holds it: one
// list for the loader, the update engine's board calls and the test host harness.
#pragma once

#include "torvex.h"

// X(member, export) once for every export, in ordinal order.
#define TORVEX_EXPORTS(X)                 \
    X(init, _Init_Module_COM)             \
    X(download, _TelechargeComposant_COM) \
    X(version, _GetVersionComposant_COM)  \
    X(reference, _GetReferenceBoard_COM)  \
    X(clean, _Clean_ZR_COM)

namespace torvexupdate {

// The exports typed by the public header; null where the module lacks one (or, for the
// update engine's stand-ins, where a test does not need it).
struct ModuleExports {
#define TORVEX_EXPORT_MEMBER(member, name) decltype(&name) member = nullptr;
    TORVEX_EXPORTS(TORVEX_EXPORT_MEMBER)
#undef TORVEX_EXPORT_MEMBER

    bool Complete() const
    {
#define TORVEX_EXPORT_PRESENT(member, name) &&member != nullptr
        return true TORVEX_EXPORTS(TORVEX_EXPORT_PRESENT);
#undef TORVEX_EXPORT_PRESENT
    }
};

// What an update calls: the engine uses download, version and reference.
using BoardCalls = ModuleExports;

// The module's download result: 0, -1 and -2 are its failures; any other value, negative
// ones included, is the library's own result for a download it accepted.
constexpr bool DownloadAccepted(int result)
{
    return result != 0 && result != -1 && result != -2;
}

}  // namespace torvexupdate
