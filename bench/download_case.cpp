#include "download_case.h"

#include <cstring>
#include <filesystem>

namespace bench {

BenchPaths DefaultPaths()
{
    return BenchPaths{host::BuiltModuleFile(), host::SimulatorFile(), TORVEX_BENCH_SCRATCH_DIR};
}

bool TakeOption(int& argc, char** argv, const char* name, std::string& value)
{
    std::string prefix = std::string("--") + name + "=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0) {
            value = argv[i] + prefix.size();
            for (int j = i; j + 1 < argc; ++j)
                argv[j] = argv[j + 1];
            --argc;
            return true;
        }
    }
    return false;
}

bool TakeFlag(int& argc, char** argv, const char* name)
{
    std::string flag = std::string("--") + name;
    for (int i = 1; i < argc; ++i) {
        if (flag == argv[i]) {
            for (int j = i; j + 1 < argc; ++j)
                argv[j] = argv[j + 1];
            --argc;
            return true;
        }
    }
    return false;
}

const char kAcceptWithoutStoring[] = "[command.30]\nstore=0\n";

DownloadCase::DownloadCase(const BenchPaths& paths) : paths_(paths)
{
    std::filesystem::create_directories(paths_.scratch);
    module_ = std::make_unique<ModuleCopy>(JoinPath(paths_.scratch, "module"), paths_.module, paths_.sim);
    module_->WriteSimConfig(kAcceptWithoutStoring);
}

DownloadCase::~DownloadCase()
{
    Stop();
    module_.reset();
    for (const auto& file : files_)
        std::filesystem::remove(file.second);
    RemoveTree(JoinPath(paths_.scratch, "files"));
}

bool DownloadCase::Start(std::string& error)
{
    if (download_ != nullptr)
        return true;
    if (!module_->Load()) {
        error = "cannot load " + module_->ModuleFile();
        return false;
    }
    auto init = module_->Calls().init;
    auto download = module_->Calls().download;
    if (init == nullptr || download == nullptr) {
        error = "the module does not export _Init_Module_COM and _TelechargeComposant_COM";
        module_->Unload();
        return false;
    }
    int result = init();
    if (result != 1) {
        error = "_Init_Module_COM returned " + std::to_string(result) + " (see " + module_->LogFile() + ")";
        module_->Unload();
        return false;
    }
    download_ = download;
    return true;
}

void DownloadCase::Stop()
{
    download_ = nullptr;
    module_->Unload();
}

const std::string& DownloadCase::ApplicationFile(std::uint64_t size)
{
    auto found = files_.find(size);
    if (found != files_.end())
        return found->second;
    std::string folder = JoinPath(paths_.scratch, "files");
    std::filesystem::create_directories(folder);
    std::string path = JoinPath(folder, "application-" + SizeLabel(size) + ".bin");
    if (!MakeApplicationFile(path, size))
        path.clear();
    return files_[size] = path;
}

int DownloadCase::Download(const std::string& file) const
{
    // The export takes a non-const path that it only reads.
    return download_(const_cast<char*>(file.c_str()));
}

std::int64_t PeakExtraBytes(const std::function<void()>& call)
{
    if (!peak_memory::Supported())
        return -1;
    peak_memory::Reset();
    std::int64_t before = peak_memory::ResidentBytes();
    call();
    return peak_memory::PeakBytes() - before;
}

}  // namespace bench
