#include "testing/test_buses.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace
{
const char* const kBusVariable = "DBUS_SYSTEM_BUS_ADDRESS";

// Reads the one line dbus-daemon prints, waiting at most five seconds.
bool ReadLine(int hPipe, std::string& strLine)
{
    for (;;)
    {
        pollfd wait{hPipe, POLLIN, 0};
        if (poll(&wait, 1, 5000) <= 0)
            return false;
        char ch = 0;
        if (read(hPipe, &ch, 1) != 1)
            return false;
        if (ch == '\n')
            return true;
        strLine += ch;
    }
}

// Starts a program with its standard output on hStdout and its errors
// discarded. It ends with this process, even when a test crashes. 0, or the
// errno of the failed start.
int Spawn(char* argv[], int hStdout, pid_t& nPid)
{
    int execPipe[2];
    if (pipe2(execPipe, O_CLOEXEC) != 0)
        return errno;
    const CFileDescriptor execRead(execPipe[0]);
    CFileDescriptor execWrite(execPipe[1]);
    const pid_t nParent = getpid();
    nPid = fork();
    if (nPid < 0)
        return errno;
    if (nPid == 0)
    {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() == nParent)
        {
            const int hNull = open("/dev/null", O_WRONLY);
            dup2(hStdout, STDOUT_FILENO);
            dup2(hNull, STDERR_FILENO);
            execvp(argv[0], argv);
        }
        const int nError = errno;
        // Should this fail too, the parent sees the pipe close and then no address.
        [[maybe_unused]] const ssize_t nWritten = write(execWrite.Get(), &nError, sizeof(nError));
        _exit(127);
    }
    execWrite.Reset();
    int nExecError = 0;
    // The pipe closes unread when the program started.
    if (read(execRead.Get(), &nExecError, sizeof(nExecError)) == sizeof(nExecError))
    {
        waitpid(nPid, nullptr, 0);
        nPid = -1;
    }
    return nExecError;
}
} // namespace

CSystemBusAddress::CSystemBusAddress(const std::string& strAddress)
{
    if (const char* pszPrevious = std::getenv(kBusVariable))
        m_strPrevious = pszPrevious;
    setenv(kBusVariable, strAddress.c_str(), 1);
}

CSystemBusAddress::~CSystemBusAddress()
{
    if (m_strPrevious)
        setenv(kBusVariable, m_strPrevious->c_str(), 1);
    else
        unsetenv(kBusVariable);
}

CPrivateSystemBus::~CPrivateSystemBus()
{
    if (m_nPid > 0)
    {
        kill(m_nPid, SIGTERM);
        waitpid(m_nPid, nullptr, 0);
    }
}

bool CPrivateSystemBus::Start(std::string& strWhyNot, bool& bInstalled)
{
    bInstalled = true;
    if (m_directory.Path().empty())
    {
        strWhyNot = "no scratch directory";
        return false;
    }
    const std::string& strDirectory = m_directory.Path();
    const std::string strConfig = strDirectory + "/bus.conf";
    std::ofstream(strConfig) << "<busconfig>\n"
                                "  <listen>unix:path="
                             << strDirectory << "/system_bus_socket</listen>\n"
                             << "  <servicedir>" << strDirectory << "</servicedir>\n"
                             << "  <auth>EXTERNAL</auth>\n"
                                "  <policy context=\"default\">\n"
                                "    <allow user=\"*\"/>\n"
                                "    <allow own=\"*\"/>\n"
                                "    <allow send_destination=\"*\"/>\n"
                                "    <allow receive_sender=\"*\"/>\n"
                                "  </policy>\n"
                                "</busconfig>\n";
    std::ofstream(strDirectory + "/org.freedesktop.NetworkManager.service")
        << "[D-BUS Service]\n"
           "Name=org.freedesktop.NetworkManager\n"
           "Exec=/bin/touch "
        << strDirectory << "/launched\n";

    int addressPipe[2];
    if (pipe2(addressPipe, O_CLOEXEC) != 0)
    {
        strWhyNot = std::strerror(errno);
        return false;
    }
    std::string strConfigArgument = "--config-file=" + strConfig;
    char szProgram[] = "dbus-daemon";
    char szNoFork[] = "--nofork";
    char szNoPidFile[] = "--nopidfile";
    char szPrintAddress[] = "--print-address";
    char* argv[] = {szProgram,   strConfigArgument.data(), szNoFork,
                    szNoPidFile, szPrintAddress,           nullptr};
    const CFileDescriptor addressRead(addressPipe[0]);
    CFileDescriptor addressWrite(addressPipe[1]);
    const int nExecError = Spawn(argv, addressWrite.Get(), m_nPid);
    addressWrite.Reset();
    if (nExecError != 0)
    {
        bInstalled = nExecError != ENOENT;
        strWhyNot = std::string("dbus-daemon: ") + std::strerror(nExecError);
        return false;
    }
    if (!ReadLine(addressRead.Get(), m_strAddress) || m_strAddress.empty())
    {
        strWhyNot = "dbus-daemon printed no address";
        return false;
    }
    return true;
}

bool CPrivateSystemBus::Launched() const
{
    return access((m_directory.Path() + "/launched").c_str(), F_OK) == 0;
}

CSilentBus::CSilentBus(const std::string& strPath) : m_strPath(strPath)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (strPath.size() >= sizeof(address.sun_path))
        return;
    std::memcpy(address.sun_path, strPath.c_str(), strPath.size() + 1);
    m_socket.Reset(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!m_socket.IsOpen() ||
        bind(m_socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(m_socket.Get(), 4) != 0)
        return;
    m_bListening = true;
    m_thread = std::thread(&CSilentBus::HangUpLater, this);
}

CSilentBus::~CSilentBus()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bDestroyed = true;
    }
    m_condition.notify_one();
    if (m_thread.joinable())
        m_thread.join();
}

void CSilentBus::HangUpLater()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_condition.wait_for(lock, std::chrono::seconds(30), [this] { return m_bDestroyed; });
    m_socket.Reset();
}
