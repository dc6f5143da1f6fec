// What the packet socket and the relay's raw sockets share in reading a
// datagram: the wait, recvmsg(2) with its control messages, the kernel's
// stamps.
#pragma once

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <functional>
#include <poll.h>
#include <sys/socket.h>

// Waits until the socket has something to read or the deadline passes: 0
// with what poll(2) reported in events (POLLERR alone: the error queue),
// ETIMEDOUT, or poll's errno.
int WaitToRead(int socket, std::chrono::steady_clock::time_point deadline, short& events);

// The next datagram, waited for until the deadline (ETIMEDOUT): its bytes
// into data (size of them), its sender into from, its control messages into
// control, which message then points to. Where poll(2) reports the error
// queue, errorQueue reads it first. 0, or poll's or recvmsg's errno.
template <typename Address, typename Control>
int ReceiveMessage(int socket, std::chrono::steady_clock::time_point deadline, iovec data,
                   Address& from, Control& control, msghdr& message, std::size_t& size,
                   const std::function<void()>& errorQueue = nullptr)
{
    for (;;)
    {
        short events = 0;
        if (const int error = WaitToRead(socket, deadline, events))
            return error;
        if ((events & POLLERR) != 0 && errorQueue)
            errorQueue();
        message = msghdr{};
        message.msg_name = &from;
        message.msg_namelen = sizeof from;
        message.msg_iov = &data;
        message.msg_iovlen = 1;
        message.msg_control = &control;
        message.msg_controllen = sizeof control;
        const ssize_t read = recvmsg(socket, &message, MSG_DONTWAIT);
        if (read >= 0)
        {
            size = static_cast<std::size_t>(read);
            return 0;
        }
        if (errno != EAGAIN && errno != EINTR)
            return errno;
    }
}

std::chrono::system_clock::time_point SystemTime(const timespec& stamp);

// A control message's value, when it is of that level and type and holds one.
template <typename Value> bool ControlValue(cmsghdr* header, int level, int type, Value& value)
{
    if (header->cmsg_level != level || header->cmsg_type != type ||
        header->cmsg_len < CMSG_LEN(sizeof(Value)))
        return false;
    std::memcpy(&value, CMSG_DATA(header), sizeof value);
    return true;
}
