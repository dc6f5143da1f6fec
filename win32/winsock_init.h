// CWinsockInit: keeps Windows Sockets 2.2 started for the lifetime of the
// object. Where the platform has no Winsock there is nothing to start.
#pragma once

class CWinsockInit
{
public:
    CWinsockInit();
    virtual ~CWinsockInit();
    CWinsockInit(const CWinsockInit&) = delete;
    CWinsockInit& operator=(const CWinsockInit&) = delete;
};
