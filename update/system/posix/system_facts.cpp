// Other systems: OpenSSL's libcrypto for the digest, the host name and the system clock.
#include "system/system_facts.h"

#include <openssl/evp.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

namespace torvexupdate {

bool FlushToDisk(std::FILE* file)
{
    return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

std::string EnvironmentVariable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The variables the C library reads for its messages' language, the strongest first.
std::string UserLanguageCode()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        std::string value = EnvironmentVariable(name);
        if (!value.empty())
            return value;
    }
    return "";
}

std::string FileSha256(const std::string& utf8Path)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(utf8Path.c_str(), "rb"), std::fclose);
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!file || !context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1)
        return "";
    std::vector<unsigned char> chunk(std::size_t{64} * 1024);
    std::size_t got;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), file.get())) > 0)
        if (EVP_DigestUpdate(context.get(), chunk.data(), got) != 1)
            return "";
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (std::ferror(file.get()) || EVP_DigestFinal_ex(context.get(), digest, &size) != 1)
        return "";
    std::string hex;
    char pair[3];
    for (unsigned int i = 0; i < size; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        hex += pair;
    }
    return hex;
}

std::string MachineName()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return "";
    return name;
}

std::string UtcTimestamp()
{
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

}  // namespace torvexupdate
