#include "support/trace_text.h"

#include <algorithm>
#include <cstdio>

namespace testing_support {

std::string Entry(const std::string& name)
{
    return "\nEntre " + name + "\n";
}

std::string Exit(const std::string& name)
{
    return "Sort " + name + "\n";
}

std::string ReportLine(const std::string& label, long long com, long long general)
{
    return label + " CompteRendu com = " + std::to_string(com)
        + " CompteRendu g\xE9n\xE9ral = " + std::to_string(general) + "\n";
}

std::string CommandReport(const std::string& name, long long com, long long general)
{
    return ReportLine("_ExecuteCommand " + name, com, general);
}

std::string CommandTrace(const std::string& name, long long com, long long general)
{
    return Entry(name) + CommandReport(name, com, general) + Exit(name);
}

std::string Banner(const BannerFields& fields)
{
    std::string banner;
    for (const std::string& field : fields)
        banner += field + '\0';
    banner.resize(48, '\0');
    return banner;
}

std::string ApplicationImage(const BannerFields& fields, const std::string& body, const std::string& header)
{
    return header.substr(0, 8) + Banner(fields) + body;
}

std::string Joined(const BannerFields& fields)
{
    std::string text;
    for (const std::string& field : fields)
        text += field;
    return text;
}

::testing::AssertionResult Contains(const std::string& text, const std::string& part)
{
    if (text.find(part) != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << part << "\" not found in:\n" << text;
}

::testing::AssertionResult Lacks(const std::string& text, const std::string& part)
{
    if (text.find(part) == std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << part << "\" unexpectedly found in:\n" << text;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool AnyLineHolds(const std::vector<std::string>& lines, const std::string& part)
{
    for (const std::string& line : lines)
        if (line.find(part) != std::string::npos)
            return true;
    return false;
}

std::string Hex(const std::string& bytes)
{
    std::string text;
    char digits[4];
    for (unsigned char byte : bytes) {
        std::snprintf(digits, sizeof digits, "%s%02X", text.empty() ? "" : " ", byte);
        text += digits;
    }
    return text;
}

std::string CloseLine(int com, int general)
{
    return "CloseCommSession com=" + std::to_string(com) + " general=" + std::to_string(general);
}

namespace {

std::string Le32(std::uint32_t value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

// The request and the status preset (general 0, com 3, no reply) as the journal shows them.
std::string SendPrefix(std::uint8_t code, std::uint32_t timeout, std::uint32_t length)
{
    return "SendCommand arg=0 request=00 " + Hex(std::string(1, static_cast<char>(code))) + " AA .. "
        + Hex(Le32(timeout) + Le32(length)) + " status=00 00 03 00 00 00 00 00 payload=";
}

}  // namespace

std::string CommandLine(std::uint8_t code, std::uint32_t timeout)
{
    return SendPrefix(code, timeout, 0) + "null";
}

std::string DownloadLine(const std::string& payload)
{
    std::string shown = Hex(payload.substr(0, 64));
    if (payload.size() > 64)
        shown += "...";
    return SendPrefix(0x30, 10000, static_cast<std::uint32_t>(payload.size())) + shown;
}

}  // namespace testing_support
