// The result column as people read it. A record keeps its result in English, so that every
// program reads the same file; a reader of another language gets the outcome's sentence
// said again from what the record holds, or, where the record lacks what that sentence
// needs, the best words it allows in that language.
#pragma once

#include "history/record_schema.h"

#include <string>

namespace torvexupdate {

// The record's result words in the current language: in English, exactly as stored.
std::string ResultForPeople(const Record& attempt);

}  // namespace torvexupdate
