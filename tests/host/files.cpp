#include "host/files.h"

#include "host_paths.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace host {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool FileExists(const std::string& path)
{
    std::error_code error;
    return fs::exists(path, error);
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void CopyFile(const std::string& from, const std::string& to)
{
    // Removing first: overwrite_existing is unreliable in the MinGW runtime's filesystem.
    std::error_code ignored;
    fs::remove(to, ignored);
    fs::copy_file(from, to);
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
#if defined(_WIN32)
    return folder + "\\" + name;
#else
    return folder + "/" + name;
#endif
}

void RemoveTree(const std::string& path)
{
    std::error_code error;
    fs::remove_all(path, error);
}

std::string NewScratchPath(const std::string& hint)
{
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return JoinPath(TORVEX_HOST_SCRATCH_DIR, hint + "-" + std::to_string(stamp) + "-" + std::to_string(counter++));
}

ScratchFolder::ScratchFolder(const std::string& hint) : path_(NewScratchPath(hint))
{
    fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(path_);
}

std::string LogText(const std::string& text)
{
#if defined(_WIN32)
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
#else
    return text;
#endif
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string current;
    for (char c : text) {
        if (c == '\n') {
            if (!current.empty() && current.back() == '\r')
                current.pop_back();
            lines.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

}  // namespace host
