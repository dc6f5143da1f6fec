#include "linux/socket_receive.h"

#include <poll.h>

int WaitToRead(int socket, std::chrono::steady_clock::time_point deadline, short& events)
{
    for (auto now = std::chrono::steady_clock::now(); now < deadline;
         now = std::chrono::steady_clock::now())
    {
        pollfd ready{socket, POLLIN, 0};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
        const int count = poll(&ready, 1, static_cast<int>(left));
        if (count < 0 && errno != EINTR)
            return errno;
        if (count > 0)
        {
            events = ready.revents;
            return 0;
        }
    }
    return ETIMEDOUT;
}

std::chrono::system_clock::time_point SystemTime(const timespec& stamp)
{
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds(stamp.tv_sec) + std::chrono::nanoseconds(stamp.tv_nsec)));
}
