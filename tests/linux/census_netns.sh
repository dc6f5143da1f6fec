#!/usr/bin/env bash
# veyra-probe's census of an untagged link against dnsmasq, which serves
# DHCPv4, DHCPv6 and router advertisements on one veth (pinging before each
# offer, as shipped): read as the window reads it (veyra_census_print), it
# finds one server of each family and one router. Run as root, then as nobody
# from a copy with cap_net_raw+ep in a temporary folder, whose status line
# shows no capability left. A random client address per probe (promiscuous)
# is answered too. With the server's end down the census reports no carrier.
# Exit 77 (skipped) without root or the programs.
#
# Usage: census_netns.sh PATH_TO_VEYRA_PROBE PATH_TO_VEYRA_CENSUS_PRINT
set -uo pipefail
probe_built=$1
print=$2

. "$(dirname "$0")/../scripts/netns_lib.sh"
skip_without ip dnsmasq setpriv setcap
skip_unless_root

srv=vyn-srv-$$
cli=vyn-cli-$$
ifc=vyn-c$$

on_exit 'netns_remove "$cli" "$srv"'
make_work "$probe_built" veyra-probe || exit 1

in_cli() { ip netns exec "$cli" "$@"; }
in_srv() { ip netns exec "$srv" "$@"; }

netns_veth "$srv" vyn-s0 "$cli" "$ifc" 02:00:00:6e:00:02 || exit 1
ip -n "$srv" addr add 10.110.0.1/24 dev vyn-s0
ip -n "$srv" addr add 2001:db8:6e::1/64 dev vyn-s0
ip -n "$srv" link set vyn-s0 up
ip -n "$cli" link set "$ifc" up

wait_for "the server's link-local address" link_local_ready "$srv" vyn-s0 || exit 1
wait_for "the client's link-local address" link_local_ready "$cli" "$ifc" || exit 1

in_srv dnsmasq --keep-in-foreground --conf-file=/dev/null --port=0 --no-resolv \
    --interface=vyn-s0 --bind-interfaces --log-facility="$work/dnsmasq.log" \
    --pid-file="$work/dnsmasq.pid" --dhcp-leasefile="$work/dnsmasq.leases" \
    --dhcp-range=10.110.0.100,10.110.0.150,255.255.255.0,10m \
    --enable-ra --dhcp-range=2001:db8:6e::100,2001:db8:6e::1ff,64,10m &
wait_for "dnsmasq to listen" listens_udp "$srv" 67 || exit 1
wait_for "dnsmasq to listen for DHCPv6" listens_udp "$srv" 547 || exit 1

expected="untagged dhcpv4 1 dhcpv6 1 routers 1 other 0 icmp 0
carrier 1 unplanned 0"

echo "== root"
in_cli "$work/veyra-probe" census "$ifc" 5000 7 - - 0 >"$work/root.out" ||
    fail "the census as root ended with $?"
"$print" <"$work/root.out" >"$work/root.txt" || fail "the session refused the census's output"
check "root finds a server of each family and the router" "$expected" \
    "$(grep -v ^status "$work/root.txt")"

echo "== nobody, with cap_net_raw"
if setcap cap_net_raw+ep "$work/veyra-probe" 2>/dev/null; then
    in_cli setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all \
        "$work/veyra-probe" census "$ifc" 5000 7 - - 0 >"$work/nobody.out" ||
        fail "the census as nobody ended with $?"
    "$print" <"$work/nobody.out" >"$work/nobody.txt" || fail "the session refused nobody's census"
    check "nobody finds the same" "$expected" "$(grep -v ^status "$work/nobody.txt")"
    check "no capability is left" "status CapInh:	0000000000000000
status CapPrm:	0000000000000000
status CapEff:	0000000000000000" "$(grep -E '^status Cap(Inh|Prm|Eff)' "$work/nobody.txt")"
else
    echo "skipped: $work takes no file capabilities"
fi

# The kernel holds no link-local address of a random client address: the
# census answers dnsmasq's Neighbor Solicitation, or no Advertise comes.
echo "== a random client address"
in_cli "$work/veyra-probe" census "$ifc" 5000 7 - random 0 >"$work/random.out" ||
    fail "the random census ended with $?"
"$print" <"$work/random.out" >"$work/random.txt" || fail "the session refused the random census"
check "a random address is answered too" "$expected" "$(grep -v ^status "$work/random.txt")"
check "promiscuous mode ends with the census" "promiscuity 0" \
    "$(ip -n "$cli" -d link show "$ifc" | grep -o 'promiscuity [0-9]*')"

# Without a carrier for the whole wait nothing is sent.
echo "== no carrier"
ip -n "$srv" link set vyn-s0 down
wait_for "the carrier to go" bash -c "ip -n $cli link show $ifc | grep -q NO-CARRIER"
in_cli "$work/veyra-probe" census "$ifc" 1000 7 10 - 0 >"$work/down.out" ||
    fail "the census without a carrier ended with $?"
check "no carrier" "vlan 10 dhcpv4 0 dhcpv6 0 routers 0 other 0 icmp 0
carrier 0 unplanned 0" "$("$print" <"$work/down.out" | grep -v ^status)"

[ "$failures" = 0 ] || { cat "$work/dnsmasq.log"; exit 1; }
echo "census of dnsmasq: ok"
