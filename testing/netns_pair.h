// CNetnsPair: a DHCP server's and a client's network namespace joined by a
// veth pair, made for one test and removed with it; the client's end has its
// carrier once made (a census asks it first).
#pragma once

#include "platform/file_descriptor.h"

#include <cstdint>
#include <string>
#include <vector>

class CNetnsPair
{
public:
    static constexpr const char* kServerInterface = "vyb-srv";
    static constexpr const char* kClientInterface = "vyb-cli";
    static constexpr std::uint32_t kServerAddress = 0x0A4D0001; // 10.77.0.1
    static constexpr std::uint32_t kClientAddress = 0x0A4D0002; // 10.77.0.2
    static constexpr std::uint8_t kClientMac[6] = {0x02, 0x00, 0x00, 0x77, 0x00, 0x02};

    // Names carry the process id, so tests running side by side do not meet.
    CNetnsPair();
    ~CNetnsPair();
    CNetnsPair(const CNetnsPair&) = delete;
    CNetnsPair& operator=(const CNetnsPair&) = delete;

    // Empty when the pair stands; otherwise why it could not be made.
    const std::string& Failure() const { return m_strFailure; }
    const std::string& ServerNamespace() const { return m_strServer; }
    const std::string& ClientNamespace() const { return m_strClient; }

private:
    bool Run(const std::vector<std::string>& command);

    std::string m_strServer;
    std::string m_strClient;
    std::string m_strFailure;
};

// Moves the calling thread into a named namespace and back on destruction.
class CNetnsScope
{
public:
    explicit CNetnsScope(const std::string& strNamespace);
    ~CNetnsScope();
    CNetnsScope(const CNetnsScope&) = delete;
    CNetnsScope& operator=(const CNetnsScope&) = delete;

    bool Entered() const { return m_bEntered; }

private:
    CFileDescriptor m_home;
    bool m_bEntered = false;
};

// A UDP socket on the DHCP client port of the calling thread's namespace,
// bound as another DHCP client would hold it (without SO_REUSEADDR). Not open
// when the port could not be had.
CFileDescriptor HoldClientPort();

// Why namespace tests cannot run here, or empty when they can.
std::string NamespaceTestObstacle();

// Whether a program of that name is an executable file in a PATH directory.
bool ProgramOnPath(const std::string& strProgram);
