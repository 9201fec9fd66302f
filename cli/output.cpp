#include "output.h"

#include "words/messages.h"

namespace torvexctl {

void Output::Info(const std::string& line)
{
    if (json_ || quiet_)
        return;
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
}

void Output::Note(const std::string& line)
{
    std::fflush(stdout);
    std::fprintf(stderr, "torvexctl: %s\n", line.c_str());
}

void Output::Error(const std::string& message)
{
    std::fflush(stdout);
    std::string said = torvexupdate::Say(torvexupdate::Message::kConsoleError, {{"message", message}});
    std::fprintf(stderr, "torvexctl: %s\n", said.c_str());
    if (json_ && !data_.contains("error"))
        data_["error"] = message;
}

void Output::Finish(int exitCode)
{
    if (json_) {
        data_["status"] = exitCode == 0 ? "ok" : "error";
        data_["exit_code"] = exitCode;
        // Paths from the command line need not be UTF-8: replace what is not.
        std::string text = data_.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
        std::fputs(text.c_str(), stdout);
        std::fputc('\n', stdout);
    }
    std::fflush(stdout);
}

}  // namespace torvexctl
