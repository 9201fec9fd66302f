// Windows: CNG for the digest, the computer name and the system clock.
#include "system/system_facts.h"

#include "system/paths.h"
#include "system/windows/utf16.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstdio>
#include <io.h>
#include <vector>

namespace torvexupdate {

namespace {

// One pass over the file through a CNG hash object.
class Sha256 {
public:
    Sha256()
    {
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm_, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
            algorithm_ = nullptr;
        else if (!BCRYPT_SUCCESS(BCryptCreateHash(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0)))
            hash_ = nullptr;
    }
    ~Sha256()
    {
        if (hash_ != nullptr)
            BCryptDestroyHash(hash_);
        if (algorithm_ != nullptr)
            BCryptCloseAlgorithmProvider(algorithm_, 0);
    }
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    bool Add(unsigned char* bytes, ULONG size)
    {
        return hash_ != nullptr && BCRYPT_SUCCESS(BCryptHashData(hash_, bytes, size, 0));
    }
    bool Finish(unsigned char (&digest)[32])
    {
        return hash_ != nullptr && BCRYPT_SUCCESS(BCryptFinishHash(hash_, digest, sizeof digest, 0));
    }

private:
    BCRYPT_ALG_HANDLE algorithm_ = nullptr;
    BCRYPT_HASH_HANDLE hash_ = nullptr;
};

}  // namespace

bool FlushToDisk(std::FILE* file)
{
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

std::string EnvironmentVariable(const char* name)
{
    std::wstring wideName = Wide(name);
    DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0)
        return "";
    std::wstring value(size, L'\0');
    size = GetEnvironmentVariableW(wideName.c_str(), &value[0], size);
    value.resize(size);
    return Narrow(value);
}

std::string UserLanguageCode()
{
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = L"";
    LCID locale = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
    return LCIDToLocaleName(locale, name, LOCALE_NAME_MAX_LENGTH, 0) > 0 ? Narrow(name) : "";
}

std::string FileSha256(const std::string& utf8Path)
{
    std::FILE* file = OpenFile(utf8Path, "rb");
    if (file == nullptr)
        return "";
    Sha256 sha;
    std::vector<unsigned char> chunk(std::size_t{64} * 1024);
    bool ok = true;
    std::size_t got;
    while (ok && (got = std::fread(chunk.data(), 1, chunk.size(), file)) > 0)
        ok = sha.Add(chunk.data(), static_cast<ULONG>(got));
    ok = ok && !std::ferror(file);
    std::fclose(file);
    unsigned char digest[32];
    if (!ok || !sha.Finish(digest))
        return "";
    std::string hex;
    char pair[3];
    for (unsigned char byte : digest) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        hex += pair;
    }
    return hex;
}

std::string MachineName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &size))
        return "";
    return Narrow(std::wstring(name, size));
}

std::string UtcTimestamp()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02uZ", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    return text;
}

}  // namespace torvexupdate
