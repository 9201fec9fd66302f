#include "banner_print.h"

#include "system/text.h"
#include "words/for_people.h"
#include "words/messages.h"

namespace torvexctl {

using namespace torvexupdate;

using Json = nlohmann::ordered_json;

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
        out.Info(
            Say(Message::kConsoleBannerField,
                {{"number", std::to_string(i + 1)},
                 {"text",
                  i < banner.fields.size() ? ForTerminal(banner.fields[i]) : Say(Message::kConsoleBannerMissing)}}));
    }
    out.Info(Say(Message::kConsoleBannerLine, {{"text", ForTerminal(BannerLine(banner))}}));
    if (!banner.complete)
        out.Info(Say(Message::kConsoleBannerIncomplete));
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
        out.Error(Say(Message::kConsoleFileProblem, {{"path", path}, {"problem", file.problem}}));
        return false;
    }
    out.Data()["size"] = file.size;
    out.Data()["banner"] = file.banner ? BannerJson(*file.banner) : Json(nullptr);
    out.Info(Say(Message::kConsoleFile, {{"path", path}}));
    out.Info(Say(Message::kConsoleSize, {{"size", NumberForPeople(static_cast<long long>(file.size))}}));
    if (file.banner) {
        out.Info(Say(Message::kConsoleBanner));
        PrintBanner(out, *file.banner);
    } else {
        out.Info(Say(Message::kConsoleBannerNone, {{"bytes", std::to_string(kSmallestFileWithBanner)}}));
    }
    return true;
}

}  // namespace torvexctl
