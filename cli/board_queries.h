// The version and reference queries as the commands show them.
#pragma once

#include "module_loader.h"
#include "output.h"

namespace torvexctl {

// Each prints its result and returns the exit status.
int QueryVersion(Module& module, Output& out);
int QueryReference(Module& module, Output& out);

}  // namespace torvexctl
