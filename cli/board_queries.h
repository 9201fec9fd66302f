// The version and reference queries as the commands show them.
#pragma once

#include "module_exports.h"
#include "output.h"

namespace torvexctl {

// Each prints its result and returns the exit status.
int QueryVersion(const torvexupdate::ModuleExports& module, Output& out);
int QueryReference(const torvexupdate::ModuleExports& module, Output& out);

}  // namespace torvexctl
