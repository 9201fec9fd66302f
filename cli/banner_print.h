// How banners and application files are shown: field by field for people, as objects in JSON.
#pragma once

#include "application/banner.h"
#include "output.h"

#include <string>

namespace torvexctl {

extern const char* const kSeeLog;

nlohmann::ordered_json BannerJson(const torvexupdate::Banner& banner);
void PrintBanner(Output& out, const torvexupdate::Banner& banner);
// The five fields on one line, apart ("TORVEX-SAMPLE1 | APP 1.0.0 | ..."): fields that fill
// their width would run together in the module's line. Quoted: the same in quotes.
std::string Apart(const torvexupdate::Banner& banner);
std::string Quoted(const torvexupdate::Banner& banner);

// Reports the file's size and banner; false (after the error) when it cannot be read.
bool DescribeFile(const std::string& path, const torvexupdate::ApplicationFile& file, Output& out);

}  // namespace torvexctl
