// Why a path cannot be given to the module, in the words of the current language.
#pragma once

#include "system/paths.h"

#include <string>

namespace torvexupdate {

// "" when the path is usable.
std::string NarrowProblemWords(const NarrowPath& path);

}  // namespace torvexupdate
