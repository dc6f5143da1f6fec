#include "win32/winsock_init.h"

#include "platform/platform_types.h"

// Neither answer is examined: the program formats its address texts itself,
// and a clean-up after a failed start merely answers WSANOTINITIALISED.
CWinsockInit::CWinsockInit()
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
}

CWinsockInit::~CWinsockInit()
{
    WSACleanup();
}
