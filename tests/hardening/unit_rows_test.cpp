// The bad-input rows that reach internal operations, run in-process on the module's
// objects with the fake library: an application file that changes between being
// measured and being read, EEPROM replies of every announced length, and the heap the
// module asks for whatever length the board announces.
#include "allocation_count.h"
#include "matrix.h"
#include "support/fake_library.h"
#include "support/trace_text.h"

#include "board/eeprom_flags.h"
#include "link/library_contract.h"
#include "link/module_init.h"
#include "component/application_file.h"
#include "log/trace_log.h"
#include "torvex.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using fake_library::FetchLengths;
using fake_library::script;
using hardening::MatrixCase;
using testing_support::CommandReport;
using testing_support::Contains;
using testing_support::Exit;
using testing_support::LogText;

namespace {

std::string Log()
{
    return testing_support::ReadFile(g_TorvexLogPath);
}

// "heap under 4 KiB" when every request of the operation together stays under 4 KiB
// (whatever the runtime's own small buffers), else its largest single request.
std::string Heap(const allocation_count::Counts& counts)
{
    if (counts.bytes < 4096)
        return "heap under 4 KiB";
    return "largest request " + std::to_string(counts.largest) + " bytes";
}

// ---------------------------------------------------------------------------------------
// An application file measured at 100 bytes that changes before it is read

enum class Change { Grown, Shrunk, Emptied, Vanished };

MatrixCase ChangedFile(const std::string& id, const std::string& input, Change change)
{
    return {{id, "both", input, "0",
             "GetFile refuses the read (the download would then log \"Fichier Appli.COM vide\" and give 0); "
             "nothing is read past the 100 bytes measured"},
            [change]() -> std::string {
                testing_support::ScratchFolder folder("changed");
                std::string path = folder.File("appli.com");
                testing_support::WriteFile(path, std::string(100, 'A'));
                EXPECT_EQ(GetSizeFile(path.c_str()), 100);
                if (change == Change::Grown)
                    testing_support::WriteFile(path, std::string(150, 'B'));
                else if (change == Change::Shrunk)
                    testing_support::WriteFile(path, std::string(60, 'B'));
                else if (change == Change::Emptied)
                    testing_support::WriteFile(path, "");
                else
                    fs::remove(path);
                // The buffer the download allocates: the measured size plus one.
                std::unique_ptr<char[]> buffer(new char[101]);
                std::memset(buffer.get(), 'Z', 101);
                int result = GetFile(path.c_str(), buffer.get(), 100);
                EXPECT_EQ(buffer[100], 'Z');
                return std::to_string(result);
            }};
}

// ---------------------------------------------------------------------------------------
// EEPROM flag reads answered with every reply length

MatrixCase EepromReply(const std::string& id, std::uint32_t length, const std::string& result,
                       const std::string& logText)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, length >= 0x7FFFFFFF ? "0x%X" : "%u", static_cast<unsigned>(length));
    return {{id, "both", std::string("EEPROM flag reply length ") + hex, result, logText},
            [length, result]() -> std::string {
                script.defaultSend.replyLength = length;
                char request[] = {'\xFF', '\xFF', '\x01', '\x00', '\x01'};
                char* reply = nullptr;
                unsigned long replyLength = 12345;
                int read = Read_FlagEEPROM(request, sizeof request, &reply, replyLength);
                bool fetched = result == "7";
                EXPECT_EQ(FetchLengths(), fetched ? std::vector<std::uint32_t>{length} : std::vector<std::uint32_t>{});
                if (fetched) {
                    EXPECT_EQ(replyLength, length);
                    EXPECT_NE(reply, nullptr);
                    if (reply != nullptr) {
                        EXPECT_EQ(std::string(reply, length), std::string(length, 'R'));
                        EXPECT_EQ(reply[length], '\0');  // the extra byte the module adds
                    }
                } else {
                    EXPECT_EQ(reply, nullptr);
                    EXPECT_EQ(replyLength, length == 0 ? 0ul : 12345ul);  // refused: left as it was
                }
                std::free(reply);
                EXPECT_TRUE(Contains(Log(), LogText(CommandReport("Read_FlagEEPROM") + Exit("Read_FlagEEPROM"))));
                return std::to_string(read);
            }};
}

MatrixCase EepromTest(const std::string& id, std::uint32_t length, const std::string& result,
                      const std::string& logText)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, length >= 0x7FFFFFFF ? "0x%X" : "%u", static_cast<unsigned>(length));
    return {{id, "both", std::string("EEPROM flag test, reply length ") + hex, result, logText},
            [length, result]() -> std::string {
                script.defaultSend.replyLength = length;
                script.replyFill = 0x5A;
                unsigned char value = 0xEE;
                int test = Test_FlagEEPROM(value);
                bool read = result == "7";
                EXPECT_EQ(value, read ? 0x5A : 0xEE);
                EXPECT_EQ(Contains(Log(), LogText("Valeur lue dans EEPROM : 5A \n")), read);
                EXPECT_TRUE(Contains(Log(), LogText("Sort Test_FlagEEPROM\n")));
                return std::to_string(test);
            }};
}

// ---------------------------------------------------------------------------------------
// Heap asked for, whatever the board announces

MatrixCase VersionHeap(const std::string& id, std::uint32_t length)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%X", static_cast<unsigned>(length));
    return {{id, "both", std::string("version reply length ") + hex + ", heap counted", "7; heap under 4 KiB",
             "the fetch asks for 48 bytes into the host's buffer; the module allocates nothing for it"},
            [length]() -> std::string {
                script.defaultSend.replyLength = length;
                std::unique_ptr<char[]> buffer(new char[TORVEX_VERSION_BUFFER_SIZE]);
                allocation_count::Start();
                int version = _GetVersionComposant_COM(0, buffer.get());
                allocation_count::Counts counts = allocation_count::Stop();
                EXPECT_EQ(FetchLengths(), std::vector<std::uint32_t>{TORVEX_VERSION_BUFFER_SIZE});
                return std::to_string(version) + "; " + Heap(counts);
            }};
}

MatrixCase EepromHeap(const std::string& id, std::uint32_t length, const std::string& result)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, length >= 0x7FFFFFFF ? "0x%X" : "%u", static_cast<unsigned>(length));
    return {{id, "both", std::string("EEPROM flag reply length ") + hex + ", heap counted", result,
             length > kMaxFlagReplyLength ? "refused before the reply buffer is allocated"
                                          : "the reply buffer: the length announced plus one"},
            [length]() -> std::string {
                script.defaultSend.replyLength = length;
                char request[] = {'\x01'};
                char* reply = nullptr;
                unsigned long replyLength = 0;
                allocation_count::Start();
                int read = Read_FlagEEPROM(request, sizeof request, &reply, replyLength);
                allocation_count::Counts counts = allocation_count::Stop();
                std::free(reply);
                return std::to_string(read) + "; " + Heap(counts);
            }};
}

MatrixCase DownloadHeap(const std::string& id, const std::string& input, unsigned long long size)
{
    return {{id, "both", input, "0; heap under 4 KiB",
             "only the two small banner buffers; the file is neither read nor sent"},
            [size]() -> std::string {
                testing_support::ScratchFolder folder("sparse");
                std::string path = folder.File("appli.com");
                testing_support::WriteFile(path, "");
                std::error_code error;
                fs::resize_file(path, size, error);
                if (error)
                    return hardening::SkipRow("the file system cannot hold a sparse file of " + std::to_string(size)
                                              + " bytes");
                allocation_count::Start();
                int download = _TelechargeComposant_COM(&path[0]);
                allocation_count::Counts counts = allocation_count::Stop();
                EXPECT_EQ(fake_library::SentCodes(), std::vector<std::uint8_t>{0x07});
                return std::to_string(download) + "; " + Heap(counts);
            }};
}

// ---------------------------------------------------------------------------------------
// Initialisation without memory for its holder or its session table

MatrixCase WithoutMemory(const std::string& id, const std::string& input, std::size_t bytes, const std::string& line,
                         const std::string& outcome)
{
    return {{id, "both", input, "0", "\"" + line + "\"; " + outcome}, [bytes, line]() -> std::string {
                g_bROUTER = 0;
                int result;
                if (bytes == kSessionTableSize) {
                    allocation_count::FailCallocOf(bytes);
                    result = Init_Com();
                    allocation_count::FailCallocOf(0);
                    EXPECT_EQ(Log(), LogText("\nEntre Init_Com\n" + line + "\nSort Init_Com\n"));
                } else {
                    // Init_Library logs beside the test program, which stands in for the module.
                    allocation_count::FailCallocOf(bytes);
                    result = Init_Library();
                    allocation_count::FailCallocOf(0);
                    std::string log = Log();
                    fs::remove(g_TorvexLogPath);
                    std::string tail = LogText("\nEntre Init_Library\n" + line + "\nStatus = 0\nSort Init_Library\n");
                    EXPECT_EQ(log.compare(0, 23, "Today's date and time: "), 0) << log;
                    EXPECT_TRUE(log.size() > tail.size() && log.substr(log.size() - tail.size()) == tail) << log;
                }
                return std::to_string(result);
            }};
}

std::vector<MatrixCase> Rows()
{
    return {
        ChangedFile("CHG-GROWN", "application file grown from 100 to 150 bytes between size and read", Change::Grown),
        ChangedFile("CHG-SHRUNK", "application file shrunk from 100 to 60 bytes between size and read", Change::Shrunk),
        ChangedFile("CHG-EMPTIED", "application file emptied between size and read", Change::Emptied),
        ChangedFile("CHG-VANISHED", "application file removed between size and read", Change::Vanished),

        EepromReply("EEP-0", 0, "1", "no fetch; reply length 0, reply pointer untouched"),
        EepromReply("EEP-1", 1, "7", "fetched into 2 zeroed bytes"),
        EepromReply("EEP-65536", 65536, "7", "fetched: 65,536 bytes is the largest reply accepted"),
        EepromReply("EEP-65537", 65537, "0", "refused: no reply buffer, nothing fetched, out arguments untouched"),
        EepromReply("EEP-7FFFFFFF", 0x7FFFFFFF, "0",
                    "refused: no reply buffer, nothing fetched, out arguments untouched"),
        EepromReply("EEP-FFFFFFFF", 0xFFFFFFFF, "0",
                    "refused: no reply buffer (the length plus one would wrap to 0 in 32 bits), nothing fetched"),
        EepromTest("EEP-TEST-1", 1, "7", "\"Valeur lue dans EEPROM : 5A \""),
        EepromTest("EEP-TEST-FFFFFFFF", 0xFFFFFFFF, "0", "no value line; the out byte untouched"),

        VersionHeap("MEM-VER-7FFFFFFF", 0x7FFFFFFF),
        VersionHeap("MEM-VER-FFFFFFFF", 0xFFFFFFFF),
        EepromHeap("MEM-EEP-65536", 65536, "7; largest request 65537 bytes"),
        EepromHeap("MEM-EEP-7FFFFFFF", 0x7FFFFFFF, "0; heap under 4 KiB"),
        EepromHeap("MEM-EEP-FFFFFFFF", 0xFFFFFFFF, "0; heap under 4 KiB"),
        DownloadHeap("MEM-DL-2GIB", "sparse application file of 2 GiB, heap counted", 1ULL << 31),
        DownloadHeap("MEM-DL-4GIB", "sparse application file of 4 GiB + 58 bytes, heap counted", (1ULL << 32) + 58),
        WithoutMemory("MEM-HOLDER", "no memory for the library holder", sizeof(LibraryHolder),
                      "WARNING no memory for the library holder: library not loaded",
                      "then Status = 0; nothing is loaded"),
        WithoutMemory("MEM-SESSIONS", "no memory for the 5,700-byte session table", kSessionTableSize,
                      "WARNING VCI NOT CHECKED: no memory for the session table", "the router is not created"),
    };
}

const std::vector<MatrixCase>& AllRows()
{
    static const std::vector<MatrixCase> rows = Rows();
    return rows;
}

// The fake library as a healthy board (InstallAll) and the log in a scratch folder.
class BadInputInProcess : public FakeLibraryTest, public ::testing::WithParamInterface<MatrixCase> {
protected:
    void SetUp() override
    {
        FakeLibraryTest::SetUp();
        fake_library::InstallAll();
    }
};

TEST_P(BadInputInProcess, OutcomeAsDocumented)
{
    std::string result = GetParam().run();
    if (IsSkipped())
        return;
    EXPECT_EQ(result, GetParam().row.result);
}

INSTANTIATE_TEST_SUITE_P(Matrix, BadInputInProcess, ::testing::ValuesIn(AllRows()), hardening::CaseName);

TEST(BadInputMatrix, DocumentedRowsAreTheseRows)
{
    hardening::ExpectDocumented(AllRows(), {"CHG-", "EEP-", "MEM-"}, "hardening_unit_tests");
}

}  // namespace
