// The module's exports that an update uses, as plain function pointers: the front end
// fills them from the module it loaded (tests from stand-ins).
#pragma once

#include "torvex.h"

namespace torvexupdate {

struct BoardCalls {
    decltype(&_TelechargeComposant_COM) download = nullptr;
    decltype(&_GetVersionComposant_COM) version = nullptr;
    decltype(&_GetReferenceBoard_COM) reference = nullptr;
};

}  // namespace torvexupdate
