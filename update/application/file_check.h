// Whether a file can be an application, judged from its size and banner alone, before
// anything is written into a board.
#pragma once

#include "application/banner.h"

#include <string>

namespace torvexupdate {

enum class FileVerdict { kApplication, kEmpty, kTooShort, kBadBanner };

struct FileCheck {
    FileVerdict verdict = FileVerdict::kApplication;
    std::string reason;  // why the file cannot be an application, for the user
};

// A readable file is an application when it holds a banner of five terminated fields of
// printable text, not all empty.
FileCheck CheckApplicationFile(const ApplicationFile& file);

}  // namespace torvexupdate
