#include "progress.h"

#include "system/host_platform.h"
#include "words/messages.h"

#include <chrono>
#include <cmath>
#include <future>
#include <thread>

namespace torvexctl {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kTerminalRefresh = std::chrono::milliseconds(100);
constexpr double kPlainLineInterval = 5.0;  // seconds between "still running" lines
constexpr char kSpinner[] = {'|', '/', '-', '\\'};

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int RunWithProgress(const std::function<int()>& work, std::FILE* stream, const std::string& label, double* seconds)
{
    if (stream == nullptr) {
        Clock::time_point start = Clock::now();
        int result = work();
        *seconds = SecondsSince(start);
        return result;
    }
    const bool terminal = torvexupdate::IsTerminal(stream);
    std::packaged_task<int()> task(work);
    std::future<int> result = task.get_future();
    Clock::time_point start = Clock::now();
    std::thread worker(std::move(task));

    if (!terminal) {
        std::fprintf(stream, "%s\n",
                     torvexupdate::Say(torvexupdate::Message::kConsoleStarted, {{"label", label}}).c_str());
        std::fflush(stream);
    }
    std::size_t tick = 0;
    double nextPlainLine = kPlainLineInterval;
    int lastWidth = 0;
    while (result.wait_for(kTerminalRefresh) != std::future_status::ready) {
        double elapsed = SecondsSince(start);
        if (terminal) {
            int width = std::fprintf(stream, "\r%c %s  %.1f s", kSpinner[tick++ % sizeof kSpinner], label.c_str(),
                                     elapsed);
            lastWidth = width > lastWidth ? width : lastWidth;
            std::fflush(stream);
        } else if (elapsed >= nextPlainLine) {
            std::string said = torvexupdate::Say(torvexupdate::Message::kConsoleElapsed,
                                                 {{"label", label}, {"seconds", std::to_string(std::lround(elapsed))}});
            std::fprintf(stream, "%s\n", said.c_str());
            std::fflush(stream);
            nextPlainLine += kPlainLineInterval;
        }
    }
    worker.join();
    *seconds = SecondsSince(start);

    if (terminal && lastWidth > 0) {
        // Clear the spinner line so that the next output starts on a clean line.
        std::fprintf(stream, "\r%*s\r", lastWidth, "");
        std::fflush(stream);
    }
    return result.get();
}

}  // namespace torvexctl
