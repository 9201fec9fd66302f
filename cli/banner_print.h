// How banners and application files are shown: field by field for people, as objects in JSON.
#pragma once

#include "application/banner.h"
#include "output.h"

#include <string>

namespace torvexctl {

extern const char* const kSeeLog;

nlohmann::ordered_json BannerJson(const torvexupdate::Banner& banner);
void PrintBanner(Output& out, const torvexupdate::Banner& banner);
// The fields one by one, each in quotes: short fields would run together on one line.
std::string Quoted(const torvexupdate::Banner& banner);

// Reports the file's size and banner; false (after the error) when it cannot be read.
bool DescribeFile(const std::string& path, const torvexupdate::ApplicationFile& file, Output& out);

}  // namespace torvexctl
