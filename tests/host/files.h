// Small file helpers for hosts: whole-file reads and writes, scratch folders, log text.
#pragma once

#include <string>
#include <vector>

namespace host {

std::string ReadFile(const std::string& path);  // "" when missing
bool FileExists(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
void CopyFile(const std::string& from, const std::string& to);
std::string JoinPath(const std::string& folder, const std::string& name);
void RemoveTree(const std::string& path);  // quietly, whatever is there

// A new path under the build tree's scratch folder, not yet created.
std::string NewScratchPath(const std::string& hint);

// A fresh, empty folder under the build tree, removed again with its content.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& hint = "case");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return JoinPath(path_, name); }

private:
    std::string path_;
};

// Log text as the module writes it on this build: "\n" becomes CR LF on Windows.
std::string LogText(const std::string& text);

// Splits text on "\n" (dropping a "\r" before it); the last, unterminated piece is kept
// only when not empty.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace host
