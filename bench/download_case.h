// The download as a host runs it: a module copy loaded beside the simulator, which
// accepts downloads without storing them, initialised once; application files of the
// sizes asked for, made once in a scratch folder.
#pragma once

#include "bench_common.h"
#include "torvex.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace bench {

struct BenchPaths {
    std::string module;   // the built torvex.dll
    std::string sim;      // the built simulator
    std::string scratch;  // a folder the benchmark may fill and remove
};

// The build's own paths, compiled in.
BenchPaths DefaultPaths();

// Takes "--name=value" out of argv (so that other option parsers do not see it).
bool TakeOption(int& argc, char** argv, const char* name, std::string& value);
bool TakeFlag(int& argc, char** argv, const char* name);

// The simulator's settings for every benchmark: downloads are accepted, nothing is stored.
extern const char kAcceptWithoutStoring[];

class DownloadCase {
public:
    explicit DownloadCase(const BenchPaths& paths);
    ~DownloadCase();

    // Loads the module copy and initialises it; false with a reason when that fails.
    bool Start(std::string& error);
    void Stop();  // unloads the copy (another copy may then be loaded)
    bool Started() const { return download_ != nullptr; }

    // The application file of `size` bytes, made on first use; "" when it cannot be made.
    const std::string& ApplicationFile(std::uint64_t size);

    // One download through the module's export; its result.
    int Download(const std::string& file) const;

    ModuleCopy& Module() { return *module_; }

private:
    BenchPaths paths_;
    std::unique_ptr<ModuleCopy> module_;
    std::map<std::uint64_t, std::string> files_;
    decltype(&_TelechargeComposant_COM) download_ = nullptr;
};

// Most memory held at once while `call` ran, above the resident size just before it;
// -1 where the platform gives no such measure.
std::int64_t PeakExtraBytes(const std::function<void()>& call);

}  // namespace bench
