// The DHCPv6 lease sources that read files and dhcpcd's variables, and
// their chain.
#include "core/wire/dhcpv6_message.h"
#include "linux/dhclient_lease6_source.h"
#include "linux/dhcpcd_lease6_source.h"
#include "linux/dhcpcd_state6.h"
#include "linux/lease6_chain.h"
#include "linux/lease6_sources.h"
#include "tests/core/wire/lease_test_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
using Bytes = std::vector<std::uint8_t>;

// dhcpcd 9.4's vyl-xc0.lease6 of a dnsmasq lease (2026-12-10), and what
// `dhcpcd -U -6 vyl-xc0` printed of the same lease.
Bytes CapturedReply()
{
    const std::string hex =
        "070105640001000e0001000132adbce69aa7e6a7135e0002000e0001000132adbce462b5ef3cbceb0003"
        "0028000000010000012c0000020d0005001820010db80077000000000000000001810000025800000258"
        "000d00090000737563636573730018000a036c61620474657374000017001020010db800770000000000"
        "0000000053";
    Bytes bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string CapturedVariables(const std::string& extra = {})
{
    const char* const kVariables[] = {
        "reason=BOUND6",
        "interface=vyl-xc0",
        "protocol=dhcp6",
        "new_dhcp6_client_id=0001000132adbce69aa7e6a7135e",
        "new_dhcp6_server_id=0001000132adbce462b5ef3cbceb",
        "new_dhcp6_ia_na1_iaid=00000001",
        "new_dhcp6_ia_na1_t1=300",
        "new_dhcp6_ia_na1_t2=525",
        "new_dhcp6_ia_na1_ia_addr1=2001:db8:77::181",
        "new_dhcp6_ia_na1_ia_addr1_pltime=600",
        "new_dhcp6_ia_na1_ia_addr1_vltime=600",
        "new_dhcp6_status_code=0",
        "new_dhcp6_status_code_message=success",
        "new_dhcp6_domain_search=lab.test",
        "new_dhcp6_name_servers=2001:db8:77::53",
        "skip_hooks=resolv.conf",
    };
    std::string state;
    for (const char* variable : kVariables)
        state.append(variable).push_back('\0');
    return state + extra;
}

TEST(DhcpcdState6, TheSocketsVariablesGiveTheFilesBytes)
{
    const Bytes reply = CapturedReply();
    const auto message = ParseDhcpv6Message(reply.data(), reply.size());
    ASSERT_TRUE(message);
    Lease6 lease;
    ASSERT_EQ(Lease6FromDhcpcdState(CapturedVariables(), "vyl-xc0", lease), 0);
    ASSERT_EQ(lease.options.size(), message->options.size());
    for (std::size_t i = 0; i < lease.options.size(); ++i)
    {
        EXPECT_EQ(lease.options[i].code, message->options[i].code) << i;
        EXPECT_EQ(lease.options[i].data, message->options[i].data) << i;
    }
    EXPECT_EQ(lease.cutOptions, std::set<std::uint16_t>{13});
    EXPECT_TRUE(lease.unmapped.empty());
}

struct StateCase
{
    const char* name;
    std::string state;
    int result;
    std::vector<std::uint16_t> codes;
    std::vector<std::string> unmapped;
};

void PrintTo(const StateCase& c, std::ostream* out)
{
    *out << c.name;
}

class DhcpcdStates6 : public testing::TestWithParam<StateCase>
{
};

TEST_P(DhcpcdStates6, Read)
{
    const StateCase& c = GetParam();
    Lease6 lease;
    ASSERT_EQ(Lease6FromDhcpcdState(c.state, "eth0", lease), c.result);
    std::vector<std::uint16_t> codes;
    for (const Dhcpv6Option& option : lease.options)
        codes.push_back(option.code);
    EXPECT_EQ(codes, c.codes);
    std::vector<std::string> unmapped;
    for (const UnmappedOption6& line : lease.unmapped)
        unmapped.push_back(line.name);
    EXPECT_EQ(unmapped, c.unmapped);
}

std::string State(std::initializer_list<const char*> variables)
{
    std::string state;
    for (const char* variable : variables)
        state.append(variable).push_back('\0');
    return state;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DhcpcdStates6,
    testing::Values(
        StateCase{"RouterAdvertisementState",
                  State({"interface=eth0", "protocol=ra", "nd1_flags=MO"}),
                  ENOENT,
                  {},
                  {}},
        StateCase{"AnotherInterface",
                  State({"interface=eth1", "protocol=dhcp6", "new_dhcp6_preference=1"}),
                  ENOENT,
                  {},
                  {}},
        StateCase{"NotVariables", std::string("interface=eth0\0protocol", 24), EBADMSG, {}, {}},
        StateCase{"NotEndedByNul", "interface=eth0", EBADMSG, {}, {}},
        StateCase{
            "DelegatedPrefixes",
            State({"interface=eth0", "protocol=dhcp6", "new_dhcp6_ia_pd1_iaid=00000002",
                   "new_dhcp6_ia_pd1_prefix1=2001:db8:100::", "new_dhcp6_ia_pd1_prefix1_length=56",
                   "new_dhcp6_ia_pd1_prefix2=2001:db8:200::/60", "new_dhcp6_ia_pd2_iaid=x"}),
            0,
            {25},
            {"dhcp6_ia_pd2_iaid", "dhcp6_ia_pd2"}},
        StateCase{"UnknownAndMalformedVariablesAreKept",
                  State({"interface=eth0", "protocol=dhcp6", "new_dhcp6_fqdn=x",
                         "new_dhcp6_name_servers=10.0.0.1", "new_dhcp6_ia_na1_ia_addr1=::1",
                         "new_dhcp6_ia_na99999_iaid=00000001"}),
                  0,
                  {},
                  {"dhcp6_fqdn", "dhcp6_name_servers", "dhcp6_ia_na99999_iaid", "dhcp6_ia_na1"}}),
    [](const testing::TestParamInfo<StateCase>& param) { return std::string(param.param.name); });

// The IA_NA address of CapturedReply, 2001:db8:77::181.
constexpr Ipv6Address kLeased = {0x20, 0x01, 0x0d, 0xb8, 0, 0x77, 0,    0,
                                 0,    0,    0,    0,    0, 0,    0x01, 0x81};

class DhcpcdLease6Source : public CScratchDir
{
protected:
    void SetUp() override
    {
        CScratchDir::SetUp();
        m_paths.m_strDhcpcd = m_path.string();
        m_paths.m_strRun = m_path.string(); // no dhcpcd socket
        m_iface.m_strName = "vcli";
        m_iface.ipv6Addresses = {kLeased};
    }

    void WriteLease(const Bytes& bytes, std::int64_t modified = 1796931697) const
    {
        const std::string path = m_path.string() + "/vcli.lease6";
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        const timespec times[2] = {{modified, 0}, {modified, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }

    int Read(Lease6& lease) const { return MakeDhcpcdLease6Source(m_paths)->Read(m_iface, lease); }

    LinuxPaths m_paths;
    LeaseInterface m_iface;
};

TEST_F(DhcpcdLease6Source, TheReplyAsItCameAndWhen)
{
    WriteLease(CapturedReply());
    Lease6 lease;
    ASSERT_EQ(Read(lease), 0);
    EXPECT_EQ(lease.options.size(), 6u);
    EXPECT_EQ(lease.obtained, 1796931697);
}

TEST_F(DhcpcdLease6Source, WhatIsNotALeaseFile)
{
    Lease6 lease;
    EXPECT_EQ(Read(lease), ENOENT) << "no file";
    Bytes advertise = CapturedReply();
    advertise[0] = 2;
    WriteLease(advertise);
    EXPECT_EQ(Read(lease), EBADMSG) << "an Advertise";
    Bytes cut = CapturedReply();
    cut.pop_back();
    WriteLease(cut);
    EXPECT_EQ(Read(lease), EBADMSG) << "cut short";
    ASSERT_EQ(unlink((m_path.string() + "/vcli.lease6").c_str()), 0);
    ASSERT_EQ(symlink("/etc/passwd", (m_path.string() + "/vcli.lease6").c_str()), 0);
    EXPECT_EQ(Read(lease), ENOENT) << "a link";
    m_iface.m_strName = "../vcli";
    EXPECT_EQ(Read(lease), EINVAL);
}

// dhcpcd leaves its file behind when it stops: a lease is held while the
// interface has one of its addresses, or when it leases none.
TEST_F(DhcpcdLease6Source, ALeaseWhoseAddressesAreGoneIsNotHeld)
{
    Ipv6Address other = kLeased;
    other[15] = 0x82;
    const Bytes reply = CapturedReply();
    auto withoutAddresses = ParseDhcpv6Message(reply.data(), reply.size());
    ASSERT_TRUE(withoutAddresses);
    Dhcpv6Options& options = withoutAddresses->options;
    options.erase(std::remove_if(options.begin(), options.end(),
                                 [](const Dhcpv6Option& option) { return option.code == 3; }),
                  options.end());
    const struct
    {
        const char* name;
        Bytes reply;
        std::vector<Ipv6Address> held;
        int expected;
    } cases[] = {
        {"the address among others", reply, {other, kLeased}, 0},
        {"the address gone", reply, {other}, ENOENT},
        {"no address at all", reply, {}, ENOENT},
        {"options alone", WriteDhcpv6Message(*withoutAddresses), {}, 0},
    };
    for (const auto& test : cases)
    {
        WriteLease(test.reply);
        m_iface.ipv6Addresses = test.held;
        Lease6 lease;
        EXPECT_EQ(Read(lease), test.expected) << test.name;
    }
}

class DhclientLease6Source : public CScratchDir
{
protected:
    void WriteLease(const std::string& file, const char* preference, std::int64_t modified)
    {
        const std::string path =
            Write(file, std::string("lease6 { interface \"vcli\"; option dhcp6.preference ") +
                            preference + "; }")
                .string();
        const timespec times[2] = {{modified, 0}, {modified, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }

    int Read(Lease6& lease) const
    {
        LinuxPaths paths;
        paths.m_DhclientDirs = {m_path.string()};
        LeaseInterface iface;
        iface.m_strName = "vcli";
        return MakeDhclientLease6Source(paths)->Read(iface, lease);
    }
};

TEST_F(DhclientLease6Source, TheNewestFileOfTheInterfaceWins)
{
    WriteLease("dhclient6.leases", "1", 1000);
    WriteLease("dhclient6-0a1b-vcli.lease", "2", 2000);
    WriteLease("dhclient.leases", "3", 3000);        // IPv4's
    WriteLease("dhclient6-vcli2.leases", "4", 4000); // another interface's
    Lease6 lease;
    ASSERT_EQ(Read(lease), 0);
    ASSERT_EQ(lease.options.size(), 1u);
    EXPECT_EQ(lease.options[0].data, OptionBytes{2});
}

TEST_F(DhclientLease6Source, ALinkIsRefusedAndSaidSo)
{
    Lease6 lease;
    EXPECT_EQ(Read(lease), ENOENT);
    ASSERT_EQ(symlink("/etc/passwd", (m_path / "dhclient6.leases").c_str()), 0);
    EXPECT_EQ(Read(lease), ELOOP);
}

// A source that answers as it is told.
class Told final : public Lease6Source
{
public:
    Told(const char* name, int result, std::uint16_t code = 0) : m_name(name), m_result(result)
    {
        m_lease.options.push_back({code, {}});
    }
    const char* Name() const override { return m_name; }
    int Read(const LeaseInterface&, Lease6& lease) override
    {
        if (m_result == 0)
            lease = m_lease;
        return m_result;
    }

private:
    const char* m_name;
    int m_result;
    Lease6 m_lease;
};

struct ChainCase
{
    const char* name;
    std::vector<std::pair<const char*, int>> answers;
    int result;
    std::string source;
};

void PrintTo(const ChainCase& c, std::ostream* out)
{
    *out << c.name;
}

class Lease6Chains : public testing::TestWithParam<ChainCase>
{
};

TEST_P(Lease6Chains, FirstLeaseWinsAndEveryAnswerIsKept)
{
    const ChainCase& c = GetParam();
    std::vector<std::unique_ptr<Lease6Source>> sources;
    std::map<std::string, int> expected;
    for (const auto& [name, result] : c.answers)
    {
        sources.push_back(
            std::make_unique<Told>(name, result, static_cast<std::uint16_t>(expected.size() + 1)));
        expected[name] = result;
    }
    Lease6Chain chain(std::move(sources));
    Lease6 lease;
    EXPECT_EQ(ReadAdapterLease6(LeaseInterface{"eth0", 0, {}, std::nullopt}, chain, lease),
              c.result);
    EXPECT_EQ(lease.source, c.source);
    EXPECT_EQ(lease.answers, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Lease6Chains,
    testing::Values(
        ChainCase{"FirstFinderWins",
                  {{"dhcpcd", ENOENT}, {"dhclient", 0}, {"NetworkManager", 0}},
                  0,
                  "dhclient"},
        ChainCase{"AFailureBeatsNoLease", {{"dhcpcd", EACCES}, {"dhclient", ENOENT}}, EACCES, ""},
        ChainCase{"NoLeaseIsNoData", {{"dhcpcd", ENOENT}}, ENODATA, ""}),
    [](const testing::TestParamInfo<ChainCase>& param) { return std::string(param.param.name); });

TEST(ReadAdapterLease6, NoInterfaceIsNoDevice)
{
    Told source("dhcpcd", 0);
    Lease6 lease;
    EXPECT_EQ(ReadAdapterLease6(std::nullopt, source, lease), ENODEV);
    EXPECT_EQ(ReadAdapterLease6(LeaseInterface{"eth0", 0, {}, std::nullopt}, source, lease), 0);
    EXPECT_EQ(lease.source, "dhcpcd");
}
} // namespace
