// Initialisation as a host sees it: return values and the exact bytes of Torvex.log.
#include "support/module_under_test.h"

#include <gtest/gtest.h>

#include <regex>

using testing_support::LogText;
using testing_support::ModuleUnderTest;

namespace {

const std::string kSeparator = std::string(53, '-') + "\n";

// The log without its first line (the date, which changes) and that line alone.
std::string WithoutDateLine(const std::string& log, std::string* dateLine = nullptr)
{
    std::size_t end = log.find('\n');
    if (dateLine != nullptr)
        *dateLine = log.substr(0, end);
    return end == std::string::npos ? std::string() : log.substr(end + 1);
}

std::string LibraryPathOf(const ModuleUnderTest& module)
{
    return module.SimFolder() + "\\quelvane.dll";
}

}  // namespace

TEST(InitModule, FirstSuccessfulCallWritesTheWholeTrace)
{
    ModuleUnderTest module;
    module.Load();
    EXPECT_EQ(module.InitModule(), 1);

    std::string dateLine;
    std::string rest = WithoutDateLine(module.Log(), &dateLine);
    EXPECT_TRUE(std::regex_match(dateLine, std::regex("Today's date and time: \\w{3} \\w{3} [ 0-9]\\d \\d\\d:\\d\\d:\\d\\d \\d{4}\r?")))
        << dateLine;
    EXPECT_EQ(rest, LogText("\n"
                            "\nEntre Init_Library\n"
                            "Path torvex.ini : " + module.Folder() + testing_support::JoinPath("", "torvex.ini") + "\n"
                            "Path Quelvane : " + LibraryPathOf(module) + "\n"
                            "Status = 1\n"
                            "Sort Init_Library\n"
                            "\nEntre Init_Com\n"
                            "_CreateRouter OK\n"
                            "_InitialiseCommBoard_Exp CompteRendu com = 3 CompteRendu g\xE9n\xE9ral = 0\n"
                            "Sort Init_Com\n"
                            "Sort Init_Module_COM\n" + kSeparator));
}
