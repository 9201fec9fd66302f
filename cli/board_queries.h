// The version and reference queries as the commands show them.
#pragma once

#include "module/module_exports.h"
#include "output.h"

#include <functional>
#include <string>

namespace torvexctl {

// Each prints its result and returns the exit status.
int QueryVersion(const torvexupdate::ModuleExports& module, Output& out);
// `beforeShown`: hears the reference ("" when the query failed) before anything is printed.
int QueryReference(const torvexupdate::ModuleExports& module, Output& out,
                   const std::function<void(const std::string&)>& beforeShown = nullptr);

}  // namespace torvexctl
