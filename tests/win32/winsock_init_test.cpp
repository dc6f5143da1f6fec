// Windows Sockets stays started exactly as long as a CWinsockInit lives.
#include "win32/winsock_init.h"

#include "platform/platform_types.h"

#include <gtest/gtest.h>

namespace
{
// 0 when a socket can be made now, else the error (WSANOTINITIALISED while
// Windows Sockets is not started).
int SocketError()
{
    const SOCKET hSocket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (hSocket == INVALID_SOCKET)
        return WSAGetLastError();
    closesocket(hSocket);
    return 0;
}

TEST(WinsockInit, SocketsWorkWhileTheObjectLives)
{
    const int nBefore = SocketError();
    {
        CWinsockInit outer;
        EXPECT_EQ(SocketError(), 0);
        {
            CWinsockInit inner;
        }
        EXPECT_EQ(SocketError(), 0); // start-ups and clean-ups pair up
    }
    EXPECT_EQ(SocketError(), nBefore);
}
} // namespace
