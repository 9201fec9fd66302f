#include "board_queries.h"

#include "banner_print.h"
#include "module/board_state.h"
#include "exit_codes.h"
#include "system/text.h"
#include "words/messages.h"

namespace torvexctl {

using namespace torvexupdate;

namespace {

constexpr int kReferenceBufferSize = 256;

}  // namespace

int QueryVersion(const ModuleExports& module, Output& out)
{
    BoardContent flash = ReadBoardContent(module);
    out.Data()["version_result"] = flash.result;
    if (!flash.known) {
        out.Error(Say(Message::kConsoleVersionFailed, {{"see_log", Say(Message::kConsoleSeeLog)}}));
        return kExitQueryFailed;
    }
    if (!flash.banner) {
        out.Data()["flash"] = "empty";
        out.Data()["flash_banner"] = nullptr;
        out.Info(Say(Message::kConsoleNoApplication));
        return kExitSuccess;
    }
    out.Data()["flash"] = "application";
    out.Data()["flash_banner"] = BannerJson(*flash.banner);
    out.Info(Say(Message::kConsoleApplicationInFlash));
    PrintBanner(out, *flash.banner);
    return kExitSuccess;
}

int QueryReference(const ModuleExports& module, Output& out, const std::function<void(const std::string&)>& beforeShown)
{
    // One spare byte keeps the text terminated even when the library fills the whole buffer.
    char buffer[kReferenceBufferSize + 1] = {};
    int result = module.reference(buffer, kReferenceBufferSize);
    if (beforeShown)
        beforeShown(result == 0 ? std::string() : std::string(buffer));
    out.Data()["reference_result"] = result;
    if (result == 0) {
        out.Error(Say(Message::kConsoleReferenceFailed, {{"see_log", Say(Message::kConsoleSeeLog)}}));
        return kExitQueryFailed;
    }
    std::string reference(buffer);
    out.Data()["reference"] = Cp1252ToUtf8(reference);
    out.Info(Say(Message::kConsoleBoardReference, {{"reference", ForTerminal(reference)}}));
    return kExitSuccess;
}

}  // namespace torvexctl
