#include "banner_print.h"

#include "system/text.h"

namespace torvexctl {

using namespace torvexupdate;

using Json = nlohmann::ordered_json;

const char* const kSeeLog = "see Torvex.log beside the module (or run again with --log)";

Json BannerJson(const Banner& banner)
{
    Json fields = Json::array();
    for (const std::string& field : banner.fields)
        fields.push_back(Cp1252ToUtf8(field));
    return Json{{"fields", fields}, {"line", Cp1252ToUtf8(BannerLine(banner))}, {"complete", banner.complete}};
}

void PrintBanner(Output& out, const Banner& banner)
{
    for (std::size_t i = 0; i < kBannerFieldCount; ++i) {
        std::string label = "  field " + std::to_string(i + 1) + ": ";
        out.Info(label + (i < banner.fields.size() ? ForTerminal(banner.fields[i]) : "(missing)"));
    }
    out.Info("  line:    " + ForTerminal(BannerLine(banner)));
    if (!banner.complete)
        out.Info("  (incomplete: the fields do not all end within the 48 bytes)");
}

std::string Quoted(const Banner& banner)
{
    return "\"" + Apart(banner) + "\"";
}

std::string Apart(const Banner& banner)
{
    return ForTerminal(BannerFields(banner));
}

bool DescribeFile(const std::string& path, const ApplicationFile& file, Output& out)
{
    out.Data()["file"] = path;
    if (!file.readable) {
        out.Error("application file " + path + " " + file.problem + ": check the path");
        return false;
    }
    out.Data()["size"] = file.size;
    out.Data()["banner"] = file.banner ? BannerJson(*file.banner) : Json(nullptr);
    out.Info("file:   " + path);
    out.Info("size:   " + std::to_string(file.size) + " bytes");
    if (file.banner) {
        out.Info("banner:");
        PrintBanner(out, *file.banner);
    } else {
        out.Info("banner: none (a banner needs a file of " + std::to_string(kSmallestFileWithBanner)
                 + " bytes or more)");
    }
    return true;
}

}  // namespace torvexctl
