#include "system/host_platform.h"

namespace torvexupdate {

void* OpenLibrary(const std::string& path, std::string* error)
{
    LoaderError said;
    void* library = OpenLibrary(path, &said);
    if (library != nullptr)
        return library;
    std::string text = said.text;
    std::size_t insert = text.find("%1");
    if (insert != std::string::npos)
        text.replace(insert, 2, "the file");
    *error = said.code == 0 ? text : text + " (error " + std::to_string(said.code) + ")";
    return nullptr;
}

}  // namespace torvexupdate
