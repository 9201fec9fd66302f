#include "module/log_tail.h"

#include "system/paths.h"
#include "system/text.h"

#include <cstdio>
#include <filesystem>

namespace torvexupdate {

namespace {

unsigned long long SizeOf(const std::string& path)
{
    std::error_code error;
    auto size = std::filesystem::file_size(FsPath(path), error);
    return error ? 0 : static_cast<unsigned long long>(size);
}

}  // namespace

LogTail::LogTail(std::string path) : path_(std::move(path)), startSize_(SizeOf(path_)) { }

std::vector<std::string> LogTail::AddedLines(bool* restarted) const
{
    std::string content;
    if (std::FILE* in = OpenFile(path_, "rb")) {
        char chunk[4096];
        std::size_t count;
        while ((count = std::fread(chunk, 1, sizeof chunk, in)) > 0)
            content.append(chunk, count);
        std::fclose(in);
    }
    bool shrank = content.size() < startSize_;
    if (restarted != nullptr)
        *restarted = shrank;
    if (!shrank)
        content.erase(0, static_cast<std::size_t>(startSize_));
    return SplitLogLines(Cp1252ToUtf8(content));
}

std::vector<std::string> SplitLogLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::size_t stop = end == std::string::npos ? text.size() : end;
        std::string line = text.substr(start, stop - start);
        if (end != std::string::npos && !line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

}  // namespace torvexupdate
