#!/usr/bin/env bash
# Router advertisements as an interface learns them: radvd (RDNSS, DNSSL, a
# prefix with only the A flag, another with only the L flag, high router
# preference, M and O flags, an MTU) and dnsmasq --enable-ra with a DHCPv6
# range, each to a veth whose kernel takes the advertisements in; and radvd
# to a veth where dhcpcd is the advertisements' client (the kernel's
# accept_ra off), which alone holds RDNSS and DNSSL. The print tool reports
# what ReadRouterAdvertisements gives; lifetimes count down, so each is
# checked against the advertised one and then shown as that.
# Exit 77 (skipped) without root or the programs it needs.
#
# Usage: router_advertisements_netns.sh PATH_TO_VEYRA_RA_PRINT
set -uo pipefail
print=$1

. "$(dirname "$0")/../scripts/netns_lib.sh"
skip_without ip radvd dnsmasq dhcpcd
skip_unless_root

srv=vyr-s-$$
cli=vyr-k-$$
dcl=vyr-d-$$
dif=vyr-d$$

cleanup() {
    netns_remove "$dcl" "$cli" "$srv"
    dhcpcd_forget "$dif"
}
on_exit cleanup
# dhcpcd reads its configuration again, unprivileged, for each query.
make_work || exit 1

in_srv() { ip netns exec "$srv" "$@"; }
in_cli() { ip netns exec "$cli" "$@"; }
in_dcl() { ip netns exec "$dcl" "$@"; }

ip netns add "$srv" && ip netns add "$cli" && ip netns add "$dcl" || exit 1
# Fixed hardware addresses give the routers fixed link-local addresses.
ip link add vyr-a0 netns "$srv" address 02:00:00:00:00:0a type veth peer name vyr-a1 netns "$cli" || exit 1
ip link add vyr-m0 netns "$srv" address 02:00:00:00:00:0b type veth peer name vyr-m1 netns "$cli" || exit 1
ip link add vyr-b0 netns "$srv" address 02:00:00:00:00:0c type veth peer name "$dif" netns "$dcl" || exit 1
in_srv sysctl -qw net.ipv6.conf.all.forwarding=1
# dhcpcd takes the advertisements in for its interface, as it wants to.
in_dcl sysctl -qw net.ipv6.conf."$dif".accept_ra=0
ip -n "$srv" addr add 2001:db8:3::1/64 dev vyr-m0
for link in vyr-a0 vyr-m0 vyr-b0; do ip -n "$srv" link set "$link" up; done
ip -n "$cli" link set vyr-a1 up
ip -n "$cli" link set vyr-m1 up
ip -n "$dcl" link set "$dif" up

cat >"$work/radvd.conf" <<CONF
interface vyr-a0 {
    AdvSendAdvert on;
    MinRtrAdvInterval 3;
    MaxRtrAdvInterval 4;
    AdvManagedFlag on;
    AdvOtherConfigFlag on;
    AdvDefaultPreference high;
    AdvDefaultLifetime 1800;
    AdvLinkMTU 1400;
    prefix 2001:db8:1::/64 { AdvOnLink off; AdvAutonomous on; AdvValidLifetime 7200; AdvPreferredLifetime 3600; };
    prefix 2001:db8:2::/64 { AdvOnLink on; AdvAutonomous off; AdvValidLifetime 86400; AdvPreferredLifetime 14400; };
};
interface vyr-b0 {
    AdvSendAdvert on;
    MinRtrAdvInterval 3;
    MaxRtrAdvInterval 4;
    prefix 2001:db8:4::/64 { };
    RDNSS 2001:db8::53 2001:db8::54 { AdvRDNSSLifetime 600; };
    DNSSL lab.example corp.example { AdvDNSSLLifetime 600; };
};
CONF
in_srv radvd -C "$work/radvd.conf" -n -m logfile -l "$work/radvd.log" -p "$work/radvd.pid" -u root &
in_srv dnsmasq --keep-in-foreground --conf-file=/dev/null --port=0 --interface=vyr-m0 \
    --bind-interfaces --enable-ra --dhcp-range=2001:db8:3::100,2001:db8:3::1ff,64,1h \
    --pid-file="$work/dnsmasq.pid" --log-facility="$work/dnsmasq.log" \
    --dhcp-leasefile="$work/dnsmasq.leases" &

# The kernel takes an advertisement in when it makes its routes: wait for them.
has_route() { [ -n "$(ip -n "$1" -6 route show "${@:2}")" ]; }
slaac_done() { [ -n "$(ip -n "$cli" -6 addr show dev vyr-a1 to 2001:db8:1::/64 -tentative)" ]; }
wait_for "radvd's default route" has_route "$cli" default dev vyr-a1 proto ra || exit 1
wait_for "radvd's on-link prefix" has_route "$cli" 2001:db8:2::/64 dev vyr-a1 || exit 1
wait_for "the SLAAC address" slaac_done || exit 1
wait_for "dnsmasq's default route" has_route "$cli" default dev vyr-m1 proto ra || exit 1
wait_for "dnsmasq's on-link prefix" has_route "$cli" 2001:db8:3::/64 dev vyr-m1 || exit 1

# Each lifetime that is at most ADVERTISED seconds and no more than a minute
# short of it is shown as ADVERTISED.
as_advertised() {
    awk -v advertised="$*" '
        BEGIN { n = split(advertised, known, " ") }
        function at(x,   i) {
            if (x == "forever" || x !~ /^[0-9]+$/) return x
            for (i = 1; i <= n; ++i)
                if (x + 0 <= known[i] + 0 && x + 60 > known[i] + 0) return known[i]
            return "unexpected:" x
        }
        $1 == "router" { $4 = at($4) }
        $1 == "prefix" { $(NF - 1) = at($(NF - 1)); $NF = at($NF) }
        { print }'
}

echo "== radvd, the kernel as the client"
check "radvd's advertisement" "flags received managed other
router fe80::ff:fe00:a high 1800 1024
prefix 2001:db8:2::/64 on-link 86400 forever
prefix 2001:db8:1::/64 autonomous 7200 3600
mtu 1400" "$(in_cli "$print" vyr-a1 | as_advertised 1800 86400 7200 3600)"

echo "== dnsmasq, the kernel as the client"
check "dnsmasq's advertisement" "flags received managed other
router fe80::ff:fe00:b medium 1800 1024
prefix 2001:db8:3::/64 on-link 3600 forever
mtu 1500" \
    "$(in_cli "$print" vyr-m1 | as_advertised 1800 3600)"

echo "== radvd, dhcpcd as the client"
printf 'ipv6only\nnodhcp6\nnohook resolv.conf\n' >"$work/dhcpcd.conf"
in_dcl dhcpcd -f "$work/dhcpcd.conf" -c /bin/true -6 -b "$dif" >"$work/dhcpcd.log" 2>&1
# dhcpcd 9.4 answers no IPv6 query, then or later, when it is asked before
# it is done with an advertisement; ReadRouterAdvertisements asks it only
# after (see DhcpcdMayBeAsked), so polling the print tool is safe. The
# kernel's accept_ra is off: the routes and addresses are dhcpcd's.
dhcpcd_holds_dns() { in_dcl "$print" "$dif" | grep -q '^domain '; }
wait_for "dhcpcd's RDNSS and DNSSL" dhcpcd_holds_dns || exit 1
check "dhcpcd's RDNSS and DNSSL" "dns 2001:db8::53 dhcpcd
dns 2001:db8::54 dhcpcd
domain lab.example dhcpcd
domain corp.example dhcpcd" "$(in_dcl "$print" "$dif" | grep -E '^(dns|domain) ')"

if [ "$failures" != 0 ]; then
    cat "$work/radvd.log" "$work/dnsmasq.log" "$work/dhcpcd.log" 2>/dev/null
    exit 1
fi
echo "all router advertisement checks passed"
