// The tests' vocabulary for what the module writes and reads: its log lines (written here
// once, so that a changed line is changed in one place), banners and application images,
// and bytes shown as hex. Log text is given as the module formats it; LogText adds the
// Windows line ends.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// The 53 hyphens and line end that close each export's trace (inline: initialised before
// any constant of a test file built from it).
inline const std::string kSeparator = std::string(53, '-') + "\n";

std::string Entry(const std::string& name);  // "\nEntre <name>\n"
std::string Exit(const std::string& name);   // "Sort <name>\n"

// "<label> CompteRendu com = <com> CompteRendu général = <general>\n"
std::string ReportLine(const std::string& label, long long com, long long general);
// The report of a board command: ReportLine("_ExecuteCommand <name>", ...).
std::string CommandReport(const std::string& name, long long com = 3, long long general = 0);
// The whole trace of a payload-free command (Reset_Board, Saut_Appli): entry, report, exit.
std::string CommandTrace(const std::string& name, long long com = 3, long long general = 0);

// A 48-byte banner: the fields one after the other, each ended by a zero byte, then zeros
// (cut to 48 bytes when the fields are longer).
using BannerFields = std::vector<std::string>;
std::string Banner(const BannerFields& fields);
// An application image: the 8 header bytes, the banner of `fields`, then `body`.
std::string ApplicationImage(const BannerFields& fields, const std::string& body = std::string(100, 'b'),
                             const std::string& header = "HDR-0001");
// The banner line of fields that reach no column: the fields one after the other.
std::string Joined(const BannerFields& fields);

// Lines of the simulator's journal: a session opened and closed, a command without payload
// and the download (0x30) with its payload. The request's padding byte is shown as "..",
// as the board-operation tests' normalised journal shows it.
inline const char kOpen[] = "OpenCommSession";
std::string CloseLine(int com = 3, int general = 0);
std::string CommandLine(std::uint8_t code, std::uint32_t timeout);
std::string DownloadLine(const std::string& payload);

// Upper-case hex, two digits a byte, separated by single spaces (as the journal writes it).
std::string Hex(const std::string& bytes);

// Text checks that show the text on failure: `part` found in `text`, or not; a line of
// `lines` equal to `line`, or holding `part`.
::testing::AssertionResult Contains(const std::string& text, const std::string& part);
::testing::AssertionResult Lacks(const std::string& text, const std::string& part);
bool HasLine(const std::vector<std::string>& lines, const std::string& line);
bool AnyLineHolds(const std::vector<std::string>& lines, const std::string& part);

}  // namespace testing_support
