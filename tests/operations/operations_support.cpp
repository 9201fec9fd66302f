#include "operations_support.h"

using testing_support::JoinPath;
using testing_support::ModuleUnderTest;

namespace operations_support {

const BannerFields kBannerFields = {"TVX-COM-APPL01", "V01.06.05", "240517", "CRC1A2", "REL"};
const char kDecodedBanner[] = "TVX-COM-APPL01 V01.06.05 240517 CRC1A2 REL";

std::string MakeApplicationFile(const BannerFields& fields, const std::string& body)
{
    return testing_support::ApplicationImage(fields, body, std::string("\x7F\x01TVX\x00\x10\xFE", 8));
}

std::string PatternBytes(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 37 + 11) % 251);
    return bytes;
}

void BoardOperationsTest::SetUp()
{
    ASSERT_NO_FATAL_FAILURE(Restart(Start{}));
}

void BoardOperationsTest::Restart(const Start& start)
{
    module_.reset();
    module_ = std::make_unique<ModuleUnderTest>(start.variant);
    if (start.libraryAbsent)
        module_->WriteIni("[TorvexPath]\nQuelvanePath=" + JoinPath(module_->Folder(), "nowhere") + "\n");
    ASSERT_NO_FATAL_FAILURE(module_->Load());
    if (start.initialise) {
        module_->WriteSimConfig(start.initSimConfig);
        ASSERT_EQ(module_->InitModule(), start.expectedInit) << module_->Log();
        module_->WriteSimConfig("");
    }
    ClearTraces();
}

void BoardOperationsTest::ClearTraces()
{
    module_->ClearTraces();
}

namespace {

// The typed export, or a test failure and null when the module lacks it.
template <typename Export> Export Typed(Export exported, const char* name)
{
    if (exported == nullptr)
        ADD_FAILURE() << name << " is not exported";
    return exported;
}

}  // namespace

int BoardOperationsTest::Download(const std::string& path)
{
    auto download = Typed(module_->Calls().download, "_TelechargeComposant_COM");
    std::string argument = path;  // the module takes a char*; hand it a private copy
    return download != nullptr ? download(&argument[0]) : -1000;
}

int BoardOperationsTest::Version(int first, char* buffer)
{
    auto version = Typed(module_->Calls().version, "_GetVersionComposant_COM");
    return version != nullptr ? version(first, buffer) : -1000;
}

int BoardOperationsTest::Reference(char* buffer, int length)
{
    auto reference = Typed(module_->Calls().reference, "_GetReferenceBoard_COM");
    return reference != nullptr ? reference(buffer, length) : -1000;
}

int BoardOperationsTest::Clean()
{
    auto clean = Typed(module_->Calls().clean, "_Clean_ZR_COM");
    return clean != nullptr ? clean() : -1000;
}

std::vector<std::string> BoardOperationsTest::Journal() const
{
    // The request's fourth byte is padding that carries no meaning: blank it out.
    static const std::string kRequest = "request=";
    std::vector<std::string> lines = module_->Journal();
    for (std::string& line : lines) {
        std::size_t at = line.find(kRequest);
        if (at != std::string::npos && line.compare(at + kRequest.size(), 4, "null") != 0
            && line.size() >= at + kRequest.size() + 11)
            line.replace(at + kRequest.size() + 9, 2, "..");
    }
    return lines;
}

std::string BoardOperationsTest::AppPath(const std::string& name) const
{
    return JoinPath(module_->Folder(), name);
}

std::string BoardOperationsTest::WriteApp(const std::string& bytes, const std::string& name) const
{
    std::string path = AppPath(name);
    testing_support::WriteFile(path, bytes);
    return path;
}

std::string BoardOperationsTest::FlashPath() const
{
    return JoinPath(module_->SimFolder(), "quelvane-sim.flash");
}

std::string BoardOperationsTest::DownloadHead(const std::string& path, const char* decodedBanner)
{
    std::string head = Entry("TelechargeComposant_COM") + "Path Telechargement : " + path + "\n";
    if (decodedBanner != nullptr)
        head += std::string("Version \xE0 t\xE9l\xE9"
                            "charger : ")
            + decodedBanner + "\n";
    return head;
}

std::string BoardOperationsTest::DownloadTail()
{
    return "\n" + Exit("TelechargeComposant_COM") + kSeparator;
}

}  // namespace operations_support
