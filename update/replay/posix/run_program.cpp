#include "replay/replay_platform.h"

#include "words/messages.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace torvexreplay {

using torvexupdate::Message;
using torvexupdate::Say;

int RunProgram(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder,
               const std::string& outputFile, std::string* error)
{
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(&word[0]);
    argv.push_back(nullptr);

    pid_t child = fork();
    if (child < 0) {
        *error = Say(Message::kReplayCannotStart, {{"program", program}, {"problem", std::strerror(errno)}});
        return -1;
    }
    if (child == 0) {
        if (chdir(folder.c_str()) != 0)
            _exit(126);
        if (!outputFile.empty()) {
            int output = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
            if (output < 0 || dup2(output, 1) < 0 || dup2(output, 2) < 0)
                _exit(126);
        }
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            *error = Say(Message::kReplayCannotWait, {{"program", program}, {"problem", std::strerror(errno)}});
            return -1;
        }
    }
    if (WIFEXITED(status)) {
        if (WEXITSTATUS(status) == 127 || WEXITSTATUS(status) == 126)
            *error = Say(Message::kReplayCannotStartIn, {{"program", program}, {"folder", folder}});
        return WEXITSTATUS(status) >= 126 ? -1 : WEXITSTATUS(status);
    }
    *error = Say(Message::kReplayEndedBySignal, {{"program", program}, {"signal", std::to_string(WTERMSIG(status))}});
    return -1;
}

}  // namespace torvexreplay
