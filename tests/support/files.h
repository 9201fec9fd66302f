// The host harness's file and library helpers, under the tests' namespace.
#pragma once

#include "host/files.h"
#include "host/library_file.h"

namespace testing_support {
using namespace host;
}  // namespace testing_support
