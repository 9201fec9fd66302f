// The native INI reader that stands in for the Windows profile call.
#include "platform/platform.h"
#include "support/files.h"

#include <gtest/gtest.h>

#include <string>

using testing_support::ScratchFolder;

namespace {

struct Lookup {
    const char* name;
    std::string ini;  // file content
    std::string expected;
};

class ProfileFile : public ::testing::Test {
protected:
    // Looks TorvexPath / QuelvanePath up with the default "dflt".
    std::string Read(const std::string& content, std::size_t size = 260)
    {
        testing_support::WriteFile(ini_, content);
        return ReadFrom(ini_, size);
    }
    std::string ReadFrom(const std::string& path, std::size_t size = 260)
    {
        std::string buffer(size + 8, '#');  // '#' beyond `size` shows any overrun
        Platform_ReadProfileString("TorvexPath", "QuelvanePath", "dflt", &buffer[0], size, path.c_str());
        EXPECT_EQ(buffer.substr(size), std::string(8, '#')) << "written past the buffer";
        return std::string(buffer.c_str());
    }

    ScratchFolder folder_{"profile"};
    std::string ini_ = folder_.File("torvex.ini");
};

class ProfileReader : public ProfileFile, public ::testing::WithParamInterface<Lookup> { };

TEST_P(ProfileReader, FindsTheValue)
{
    EXPECT_EQ(Read(GetParam().ini), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, ProfileReader,
    ::testing::Values(
        Lookup{"Plain", "[TorvexPath]\nQuelvanePath=C:\\Tools\n", "C:\\Tools"},
        Lookup{"SectionAndKeyIgnoreCase", "[TORVEXPATH]\nquelvanepath=x\n", "x"},
        Lookup{"NamesAndValueTrimmed", "  [ TorvexPath ]  \n\t QuelvanePath \t=  a b  \t\n", "a b"},
        Lookup{"WindowsLineEnds", "[TorvexPath]\r\nQuelvanePath=x\r\n", "x"},
        Lookup{"LastLineWithoutLineEnd", "[TorvexPath]\nQuelvanePath=x", "x"},
        Lookup{"DoubleQuotesRemoved", "[TorvexPath]\nQuelvanePath=\"  a b  \"\n", "  a b  "},
        Lookup{"SingleQuotesRemoved", "[TorvexPath]\nQuelvanePath='x'\n", "x"},
        Lookup{"UnmatchedQuoteKept", "[TorvexPath]\nQuelvanePath=\"x\n", "\"x"},
        Lookup{"MixedQuotesKept", "[TorvexPath]\nQuelvanePath=\"x'\n", "\"x'"},
        Lookup{"EqualsInValueKept", "[TorvexPath]\nQuelvanePath=a=b\n", "a=b"},
        Lookup{"EmptyValueIsNotTheDefault", "[TorvexPath]\nQuelvanePath=\n", ""},
        Lookup{"CommentsAndOtherLinesSkipped",
               "; QuelvanePath=no\n[TorvexPath]\n; QuelvanePath=no\nnot a key\nQuelvanePath=yes\n", "yes"},
        Lookup{"OtherSectionsIgnored",
               "[Other]\nQuelvanePath=no\n[TorvexPath]\nQuelvanePath=yes\n[Next]\nQuelvanePath=no\n", "yes"},
        Lookup{"FirstKeyWins", "[TorvexPath]\nQuelvanePath=first\nQuelvanePath=second\n", "first"},
        Lookup{"FirstSectionWins", "[TorvexPath]\nQuelvanePath=first\n[torvexpath]\nQuelvanePath=second\n", "first"},
        Lookup{"KeyOnlyInARepeatedSectionNotSeen", "[TorvexPath]\nOther=1\n[Next]\n[TorvexPath]\nQuelvanePath=second\n",
               "dflt"},
        Lookup{"EmptyFile", "", "dflt"}, Lookup{"SectionMissing", "[Other]\nQuelvanePath=x\n", "dflt"},
        Lookup{"KeyMissing", "[TorvexPath]\nQuelvane=x\nQuelvanePathX=y\n", "dflt"},
        Lookup{"KeyBeforeAnySection", "QuelvanePath=x\n[TorvexPath]\n", "dflt"},
        Lookup{"SectionNamePrefixNotEnough", "[TorvexPathX]\nQuelvanePath=x\n", "dflt"}),
    [](const ::testing::TestParamInfo<Lookup>& row) { return std::string(row.param.name); });

TEST_F(ProfileFile, MissingFileGivesTheDefault)
{
    EXPECT_EQ(ReadFrom(folder_.File("absent.ini")), "dflt");
    EXPECT_EQ(ReadFrom(""), "dflt");
}

struct Truncation {
    const char* name;
    std::string value;
    std::size_t size;
    std::string expected;
};

class ProfileTruncation : public ProfileFile, public ::testing::WithParamInterface<Truncation> { };

TEST_P(ProfileTruncation, ResultIsCutToTheBufferAndTerminated)
{
    const Truncation& row = GetParam();
    EXPECT_EQ(Read("[TorvexPath]\nQuelvanePath=" + row.value + "\n", row.size), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ProfileTruncation,
                         ::testing::Values(Truncation{"SizeOne", "abcdefgh", 1, ""},
                                           Truncation{"SizeFive", "abcdefgh", 5, "abcd"},
                                           Truncation{"ExactFit", "abcd", 5, "abcd"},
                                           Truncation{"OneShort", "abcde", 5, "abcd"},
                                           Truncation{"TrimmedBeforeCut", "   abcdef", 4, "abc"}),
                         [](const ::testing::TestParamInfo<Truncation>& row) { return std::string(row.param.name); });

TEST_F(ProfileFile, DefaultIsCutToTheBufferToo)
{
    EXPECT_EQ(ReadFrom(folder_.File("absent.ini"), 3), "df");
}

}  // namespace
