#include "linux/dhcpcd_control_socket.h"
#include "linux/dhcpcd_lease_source.h"
#include "testing/fake_dhcpcd_control.h"
#include "tests/core/wire/lease_test_helpers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <set>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
using namespace std::chrono_literals;

constexpr std::uint32_t kLeasedAddress = 0x0A630092; // 10.99.0.146
// Long enough for any answer to arrive; the replies that never come end it.
constexpr std::chrono::milliseconds kAnswerTimeout = 5s;
constexpr std::chrono::milliseconds kSilenceTimeout = 100ms;

// What dhcpcd 9 handed over for an interface leased by dnsmasq, as seen on
// its socket (with this suite's names and addresses).
const std::string kBoundState = DhcpcdState({
    "reason=BOUND",
    "interface=vcli",
    "protocol=dhcp",
    "new_ip_address=10.99.0.146",
    "new_subnet_cidr=24",
    "new_network_number=10.99.0.0",
    "new_subnet_mask=255.255.255.0",
    "new_classless_static_routes=10.56.0.0/16 10.99.0.1",
    "new_time_offset=3600",
    "new_routers=10.99.0.1",
    "new_domain_name_servers=10.99.0.1 10.99.0.2",
    "new_host_name=",
    "new_domain_name=lab.test",
    "new_broadcast_address=10.99.0.255",
    "new_ntp_servers=10.99.0.1",
    "new_vendor_encapsulated_options=0104deadbeef0203616263",
    "new_netbios_node_type=8",
    "new_dhcp_lease_time=600",
    "new_dhcp_message_type=5",
    "new_dhcp_server_identifier=10.99.0.1",
    "new_dhcp_renewal_time=300",
    "new_dhcp_rebinding_time=525",
    "new_tftp_server_name=tftp.lab",
    "new_domain_search=lab.test corp.test",
    "skip_hooks=resolv.conf",
});

// The same options as the server sent them, but for the host name dhcpcd
// would not pass on: it came, with no bytes, cut.
const OptionMap kBoundOptions = {
    {1, {255, 255, 255, 0}},
    {2, {0, 0, 0x0e, 0x10}},
    {3, {10, 99, 0, 1}},
    {6, {10, 99, 0, 1, 10, 99, 0, 2}},
    {12, {}},
    {15, TextBytes("lab.test")},
    {28, {10, 99, 0, 255}},
    {42, {10, 99, 0, 1}},
    {43, {0x01, 0x04, 0xde, 0xad, 0xbe, 0xef, 0x02, 0x03, 0x61, 0x62, 0x63}},
    {46, {8}},
    {51, {0, 0, 0x02, 0x58}},
    {53, {5}},
    {54, {10, 99, 0, 1}},
    {58, {0, 0, 0x01, 0x2c}},
    {59, {0, 0, 0x02, 0x0d}},
    {66, TextBytes("tftp.lab")},
    {119, TextBytes(std::string_view("\3lab\4test\0\4corp\4test\0", 21))},
    {121, {16, 10, 56, 10, 99, 0, 1}},
};

// A state of the link only, as dhcpcd sends when no address family is named.
const std::string kCarrierState =
    DhcpcdState({"reason=CARRIER", "interface=vcli", "protocol=link", "ifcarrier=up"});

class DhcpcdControlSocket : public CScratchDir
{
protected:
    void SetUp() override
    {
        CScratchDir::SetUp();
        m_strRun = m_path.string();
        std::filesystem::create_directory(m_path / "dhcpcd");
        m_iface.m_strName = "vcli";
        m_iface.m_IpAddresses = {0x7F000001, kLeasedAddress};
    }

    std::string SocketPath(const char* pszFile = "vcli-4.unpriv.sock") const
    {
        return m_strRun + "/dhcpcd/" + pszFile;
    }

    int Read(Lease& lease, std::chrono::milliseconds timeout = kAnswerTimeout) const
    {
        return ReadDhcpcdLeaseFromSocket(m_strRun, m_iface, timeout, lease);
    }

    std::string m_strRun;
    LeaseInterface m_iface;
};

TEST_F(DhcpcdControlSocket, ReadsTheLeaseDhcpcdHolds)
{
    const CFakeDhcpcdControl dhcpcd(SocketPath(), {DhcpcdReply({kBoundState})});
    ASSERT_TRUE(dhcpcd.Listening());
    Lease lease;
    ASSERT_EQ(Read(lease), 0);
    EXPECT_EQ(lease.m_mapOptions, kBoundOptions);
    EXPECT_EQ(lease.m_CutOptions, std::set<std::uint8_t>{12});
    EXPECT_EQ(lease.m_nYourAddress, kLeasedAddress);
    EXPECT_FALSE(lease.m_tObtained);
    EXPECT_EQ(dhcpcd.Requests(),
              std::vector<std::string>{std::string("dhcpcd\0-U\0-4\0vcli\0", 18)});
}

TEST_F(DhcpcdControlSocket, TheManagerAnswersForItsInterfaces)
{
    std::string strOther = kBoundState;
    strOther.replace(strOther.find("interface=vcli"), 14, "interface=vcl2");
    const CFakeDhcpcdControl manager(SocketPath("unpriv.sock"),
                                     {DhcpcdReply({kCarrierState, strOther, kBoundState})});
    ASSERT_TRUE(manager.Listening());
    Lease lease;
    ASSERT_EQ(Read(lease), 0);
    EXPECT_EQ(lease.m_mapOptions, kBoundOptions);

    m_iface.m_strName = "vcl3";
    EXPECT_EQ(Read(lease), ENOENT);
}

TEST_F(DhcpcdControlSocket, TheInterfacesOwnDhcpcdComesFirst)
{
    const CFakeDhcpcdControl own(SocketPath(), {DhcpcdReply({kBoundState})});
    const CFakeDhcpcdControl manager(SocketPath("unpriv.sock"), {"", false});
    ASSERT_TRUE(own.Listening() && manager.Listening());
    Lease lease;
    ASSERT_EQ(Read(lease), 0);
    EXPECT_TRUE(manager.Requests().empty());
}

struct HostileReply
{
    const char* pszName;
    FakeDhcpcdAnswer answer;
    int nExpected;
    std::chrono::milliseconds timeout = kAnswerTimeout;
};

TEST_F(DhcpcdControlSocket, RepliesAreCheckedAndBounded)
{
    std::string strElsewhere = kBoundState;
    strElsewhere.replace(strElsewhere.find("10.99.0.146"), 11, "10.99.0.147");
    const std::string strWhole = DhcpcdReply({kBoundState});
    const HostileReply replies[] = {
        {"whole", {strWhole}, 0},
        {"silence", {"", false}, ETIMEDOUT, kSilenceTimeout},
        {"count cut short, then silence", {strWhole.substr(0, 3)}, ETIMEDOUT, kSilenceTimeout},
        {"block cut short, then silence", {strWhole.substr(0, 40)}, ETIMEDOUT, kSilenceTimeout},
        {"hung up without a word", {"", true, true}, EBADMSG},
        {"count cut short, hung up", {strWhole.substr(0, 3), true, true}, EBADMSG},
        {"block cut short, hung up", {strWhole.substr(0, 40), true, true}, EBADMSG},
        {"more states than an interface has", {DhcpcdSize(kMaxDhcpcdStates + 1)}, EBADMSG},
        {"a block over the bound", {DhcpcdSize(1) + DhcpcdSize(kMaxDhcpcdStateBytes + 1)}, EBADMSG},
        {"the largest length there is", {DhcpcdSize(1) + DhcpcdSize(SIZE_MAX)}, EBADMSG},
        {"a block not ended by NUL", {DhcpcdReply({"reason=BOUND"})}, EBADMSG},
        {"a variable without a value",
         {DhcpcdReply({DhcpcdState({"interface=vcli", "x"})})},
         EBADMSG},
        {"binary garbage", {DhcpcdReply({std::string("\xff\x01=\0\x80=\0", 7)})}, ENOENT},
        {"no state at all", {DhcpcdReply({})}, ENOENT},
        {"a state of the link only", {DhcpcdReply({kCarrierState})}, ENOENT},
        {"an address the interface does not have", {DhcpcdReply({strElsewhere})}, ENOENT},
    };
    for (const HostileReply& reply : replies)
    {
        SCOPED_TRACE(reply.pszName);
        const CFakeDhcpcdControl dhcpcd(SocketPath(), reply.answer);
        ASSERT_TRUE(dhcpcd.Listening());
        Lease lease;
        EXPECT_EQ(Read(lease, reply.timeout), reply.nExpected);
        EXPECT_EQ(lease.m_mapOptions.empty(), reply.nExpected != 0);
    }
}

TEST_F(DhcpcdControlSocket, OnlyASocketItselfIsConnectedTo)
{
    const std::string strReal = m_strRun + "/real.sock";
    const CFakeDhcpcdControl dhcpcd(strReal, {DhcpcdReply({kBoundState})});
    ASSERT_TRUE(dhcpcd.Listening());
    ASSERT_EQ(symlink(strReal.c_str(), SocketPath().c_str()), 0);
    std::string reply;
    EXPECT_EQ(QueryDhcpcdState(SocketPath(), "vcli", kAnswerTimeout, reply), ELOOP);
    Lease lease;
    EXPECT_EQ(Read(lease), ELOOP);

    Write("dhcpcd/unpriv.sock", "");
    EXPECT_EQ(QueryDhcpcdState(SocketPath("unpriv.sock"), "vcli", kAnswerTimeout, reply), ENOTSOCK);
    EXPECT_TRUE(dhcpcd.Requests().empty());
}

TEST_F(DhcpcdControlSocket, AFolderThatIsALinkIsNotEntered)
{
    std::filesystem::create_directory(m_path / "elsewhere");
    const CFakeDhcpcdControl dhcpcd(m_strRun + "/elsewhere/vcli-4.unpriv.sock",
                                    {DhcpcdReply({kBoundState})});
    ASSERT_TRUE(dhcpcd.Listening());
    std::filesystem::remove(m_path / "dhcpcd");
    std::filesystem::create_directory_symlink("elsewhere", m_path / "dhcpcd");
    Lease lease;
    EXPECT_EQ(Read(lease), ENOENT);
    EXPECT_TRUE(dhcpcd.Requests().empty());
}

TEST_F(DhcpcdControlSocket, NoDhcpcdIsNoLease)
{
    Lease lease;
    EXPECT_EQ(Read(lease), ENOENT);

    // A socket left by a dhcpcd that has ended: nobody listens on it.
    {
        const CFakeDhcpcdControl ended(SocketPath(), {DhcpcdReply({kBoundState})});
        ASSERT_TRUE(ended.Listening());
        ASSERT_EQ(link(SocketPath().c_str(), SocketPath("unpriv.sock").c_str()), 0);
    }
    EXPECT_EQ(Read(lease), ENOENT);
}

// dhcpcd's lease files are root's: a user gets the lease from the socket,
// dated by the file. The reading runs in a child that has dropped to nobody,
// forked before the fake's thread starts.
TEST_F(DhcpcdControlSocket, TheLeaseSourceAsksTheSocketWhenTheFileIsRoots)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to drop to nobody";
    constexpr std::int64_t kAckTime = 1796738587;
    const std::filesystem::path leases = m_path / "lib";
    std::filesystem::create_directory(leases);
    const std::string strLease = (leases / "vcli.lease").string();
    const std::vector<std::uint8_t> ack = ReadSampleBytes("dhcpcd-vcli.lease");
    Write("lib/vcli.lease", std::string(ack.begin(), ack.end()));
    const timespec times[2] = {{kAckTime, 0}, {kAckTime, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, strLease.c_str(), times, 0), 0);
    ASSERT_EQ(chmod(strLease.c_str(), 0640), 0);
    for (const std::filesystem::path& folder : {m_path, leases, m_path / "dhcpcd"})
        ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
    LinuxPaths paths;
    paths.m_strDhcpcd = leases.string();
    paths.m_strRun = m_strRun;

    for (const bool bDhcpcdRuns : {true, false})
    {
        SCOPED_TRACE(bDhcpcdRuns ? "dhcpcd runs" : "no dhcpcd");
        int go[2];
        ASSERT_EQ(pipe(go), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
        {
            char cGo = 0;
            const uid_t nobody = 65534;
            if (read(go[0], &cGo, 1) != 1 || setgroups(0, nullptr) != 0 ||
                setresgid(nobody, nobody, nobody) != 0 || setresuid(nobody, nobody, nobody) != 0)
                _exit(255);
            Lease lease;
            const int nResult = MakeDhcpcdLeaseSource(paths, kAnswerTimeout)->Read(m_iface, lease);
            if (nResult != 0)
                _exit(nResult);
            const bool bRight = lease.m_mapOptions == kBoundOptions &&
                                lease.m_tObtained == kAckTime && lease.m_tExpires == kAckTime + 600;
            _exit(bRight ? 0 : 254);
        }
        close(go[0]);
        {
            const CFakeDhcpcdControl dhcpcd(bDhcpcdRuns ? SocketPath() : m_strRun + "/other.sock",
                                            {DhcpcdReply({kBoundState})});
            ASSERT_TRUE(dhcpcd.Listening());
            ASSERT_EQ(write(go[1], "g", 1), 1);
            close(go[1]);
            int nStatus = 0;
            ASSERT_EQ(waitpid(child, &nStatus, 0), child);
            ASSERT_TRUE(WIFEXITED(nStatus));
            EXPECT_EQ(WEXITSTATUS(nStatus), bDhcpcdRuns ? 0 : EACCES);
        }
    }
}

TEST(DhcpcdState, NamesBecomeTheServersOptions)
{
    struct Row
    {
        const char* pszVariable;
        std::uint8_t nCode;
        OptionBytes expected;
    };
    const Row rows[] = {
        {"new_time_offset=-3600", 2, {0xff, 0xff, 0xf1, 0xf0}},
        {"new_interface_mtu=1400", 26, {0x05, 0x78}},
        {"new_ip_forwarding=1", 19, {1}},
        {"new_static_routes=10.57.0.0 10.99.0.1", 33, {10, 57, 0, 0, 10, 99, 0, 1}},
        {"new_classless_static_routes=10.56.0.0/16 10.99.0.1 0.0.0.0/0 10.99.0.254",
         121,
         {16, 10, 56, 10, 99, 0, 1, 0, 10, 99, 0, 254}},
        {"new_netbios_scope=scope", 47, TextBytes("scope")},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.pszVariable);
        Lease lease;
        ASSERT_EQ(LeaseFromDhcpcdState(DhcpcdState({"interface=vcli", "protocol=dhcp",
                                                    "new_ip_address=10.99.0.146", row.pszVariable}),
                                       "vcli", lease),
                  0);
        EXPECT_EQ(lease.m_mapOptions, (OptionMap{{row.nCode, row.expected}}));
    }
}

// dhcpcd 9.4 passes a text on unescaped, control bytes and all, and stops at
// its first NUL or byte above 0x7F (measured against dnsmasq: "/ext\u20ac/path"
// came as "/ext"); a text whose first byte it will not print comes empty.
TEST(DhcpcdState, TextsAreTheirRawBytesAndMayBeCut)
{
    const struct
    {
        std::string strVariable;
        std::uint8_t nCode;
        OptionBytes expected;
        bool bCut;
    } kCases[] = {
        {"new_path_prefix=a\x01"
         "b\tc\nd\\e'f\"g h\x7fi",
         210,
         TextBytes("a\x01"
                   "b\tc\nd\\e'f\"g h\x7fi"),
         true},
        {"new_config_file=/ext", 209, TextBytes("/ext"), true},
        {"new_bootfile_name=\"quoted\" ", 67, TextBytes("\"quoted\" "), true},
        {"new_wpad_url=", 252, {}, true},
        {"new_tftp_server_name=", 66, {}, true}, // a name dhcpcd would not print
        {"new_interface_mtu=1400", 26, {0x05, 0x78}, false},
    };
    for (const auto& test : kCases)
    {
        SCOPED_TRACE(test.strVariable);
        Lease lease;
        ASSERT_EQ(LeaseFromDhcpcdState(
                      DhcpcdState({"interface=vcli", "protocol=dhcp", "new_ip_address=10.99.0.146",
                                   test.strVariable.c_str()}),
                      "vcli", lease),
                  0);
        EXPECT_EQ(lease.m_mapOptions, (OptionMap{{test.nCode, test.expected}}));
        EXPECT_EQ(lease.m_CutOptions.count(test.nCode) != 0, test.bCut);
    }
}

TEST(DhcpcdState, SplitsOnlyWhatTheCountsAnnounce)
{
    const std::string strReply = DhcpcdReply({kBoundState, kCarrierState});
    std::vector<std::string_view> states;
    std::size_t nNeeded = 0;
    for (std::size_t nCut = 0; nCut < strReply.size(); ++nCut)
    {
        ASSERT_EQ(SplitDhcpcdReply(std::string_view(strReply).substr(0, nCut), states, nNeeded),
                  EAGAIN);
        EXPECT_GT(nNeeded, 0u);
        EXPECT_LE(nCut + nNeeded, strReply.size());
    }
    // The states are views into the reply, so it must outlive them.
    const std::string strTrailing = strReply + "trailing";
    ASSERT_EQ(SplitDhcpcdReply(strTrailing, states, nNeeded), 0);
    EXPECT_EQ(states, (std::vector<std::string_view>{kBoundState, kCarrierState}));
}
} // namespace
