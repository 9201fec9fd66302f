// Locates the directory holding the simulator's own module file, so its state
// files sit beside it whatever the host's working directory is.
#pragma once

#include <cstddef>

namespace qsim {

// Writes the directory, with a trailing separator, into out. False when the
// module path cannot be found or does not fit in cap bytes.
bool FindModuleDirectory(char* out, size_t cap);

}  // namespace qsim
