// What the packet socket and the relay's raw sockets share in reading a
// datagram: the wait, recvmsg(2) with its control messages, the kernel's
// stamps.
#pragma once

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <sys/socket.h>

// Waits until the socket has something to read or the deadline passes: 0
// with what poll(2) reported in events (POLLERR alone: the error queue),
// ETIMEDOUT, or poll's errno.
int WaitToRead(int socket, std::chrono::steady_clock::time_point deadline, short& events);

// One datagram read without waiting: its bytes into data (size of them),
// its sender into from, its control messages into control, which message
// then points to. 0; EAGAIN when nothing is left to read (or a signal came);
// else recvmsg's errno.
template <typename Address, typename Control>
int ReceiveMessage(int socket, iovec data, Address& from, Control& control, msghdr& message,
                   std::size_t& size)
{
    message = msghdr{};
    message.msg_name = &from;
    message.msg_namelen = sizeof from;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = &control;
    message.msg_controllen = sizeof control;
    const ssize_t read = recvmsg(socket, &message, MSG_DONTWAIT);
    if (read < 0)
        return errno == EINTR ? EAGAIN : errno;
    size = static_cast<std::size_t>(read);
    return 0;
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
