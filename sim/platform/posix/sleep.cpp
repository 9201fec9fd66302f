#include "platform/sim_platform.h"

#include <cerrno>
#include <time.h>

namespace qsim {

void SleepMilliseconds(uint64_t milliseconds)
{
    struct timespec wait = {static_cast<time_t>(milliseconds / 1000),
                            static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
}

}  // namespace qsim
