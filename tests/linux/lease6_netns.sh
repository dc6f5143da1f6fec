#!/usr/bin/env bash
# The DHCPv6 lease of each Linux client, as the lease sources read it: dnsmasq
# (router advertisements and DHCPv6) leases an address to dhcpcd and to
# dhclient -6; the same Reply must come from dhcpcd's file as root and from
# its unprivileged socket as nobody, and dhclient's lease must decode to the
# same values. Kea delegates a prefix to dhclient -6 -P and to dhcpcd, and dnsmasq's
# stateless mode answers dhcpcd's Information-request.
# Exit 77 (skipped) without root or the programs it needs.
#
# Usage: lease6_netns.sh PATH_TO_VEYRA_LEASE6_DUMP
set -uo pipefail
dump=$1

. "$(dirname "$0")/../scripts/netns_lib.sh"
skip_without ip dnsmasq dhcpcd dhclient kea-dhcp6 setpriv
skip_unless_root

srv=vyl-srv-$$
cli=vyl-cli-$$
ifc=vyl-c$$
pidfile=/run/dhcpcd/$ifc-6.pid

stop_dhcpcd() {
    [ -e "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null
    wait_for "dhcpcd to end" test ! -e /run/dhcpcd/"$ifc"-6.unpriv.sock
    rm -f /var/lib/dhcpcd/"$ifc".lease6
}
# The server runs as this shell's job: ended, it is waited for.
stop_server() {
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
}
cleanup() {
    netns_remove "$cli" "$srv"
    dhcpcd_forget "$ifc"
}
on_exit cleanup
make_work || exit 1
cp "$dump" "$work/dump" || exit 1

in_cli() { ip netns exec "$cli" "$@"; }
as_nobody() { in_cli setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
# The lease as the sources read it, dhclient's leases looked for in $work.
lease_of() { in_cli "$work/dump" "$ifc" "$work"; }
# Every option a source rebuilds must decode.
decodes() { grep -q '^malformed' <<<"$1" && fail "options that do not decode: $1"; }

netns_veth "$srv" vyl-s0 "$cli" "$ifc" || exit 1
ip -n "$srv" addr add 2001:db8:77::1/64 dev vyl-s0 nodad
ip -n "$srv" link set vyl-s0 up
ip -n "$cli" link set "$ifc" up
# The client's link-local address must be usable before it asks.
wait_for "the client's link-local address" link_local_ready "$cli" "$ifc" || exit 1

dnsmasq6() {
    ip netns exec "$srv" dnsmasq --keep-in-foreground --conf-file=/dev/null --port=0 \
        --no-resolv --interface=vyl-s0 --bind-interfaces --enable-ra \
        --log-facility="$work/dnsmasq.log" --dhcp-leasefile="$work/dnsmasq.leases" \
        --dhcp-option=option6:dns-server,[2001:db8:77::53],[2001:db8:77::54] \
        --dhcp-option=option6:domain-search,lab.test,corp.test "$@" &
    server=$!
    wait_for "dnsmasq to listen" listens_udp "$srv" 547
}

# What the server was told to give, as its option bytes.
dns="23 20010db800770000000000000000005320010db8007700000000000000000054"
search="24 036c616204746573740004636f7270047465737400"

echo "== dnsmasq leases addresses: dhcpcd"
dnsmasq6 --dhcp-range=2001:db8:77::100,2001:db8:77::1ff,64,10m || exit 1
printf 'ipv6rs\nnohook resolv.conf\nia_na 1\noption dhcp6_name_servers, dhcp6_domain_search\n' \
    >"$work/dhcpcd.conf"
if ! in_cli dhcpcd -f "$work/dhcpcd.conf" -c /bin/true -6 -w -t 30 "$ifc" >"$work/dhcpcd.log" 2>&1; then
    cat "$work/dhcpcd.log" "$work/dnsmasq.log"
    fail "dhcpcd got no lease"
    exit 1
fi
wait_for "dhcpcd's unprivileged socket" test -S /run/dhcpcd/"$ifc"-6.unpriv.sock || exit 1
from_file=$(lease_of)
decodes "$from_file"
check "the file's source" "source dhcpcd" "$(head -n 1 <<<"$from_file")"
grep -qx "$dns" <<<"$from_file" || fail "name servers: $from_file"
grep -qx "$search" <<<"$from_file" || fail "search list: $from_file"
# IA_NA: IAID 1, T1, T2, then IAADDR (5, 24 bytes) with an address of the range.
grep -qE '^3 00000001[0-9a-f]{16}0005001820010db80077000000000000000001[0-9a-f]{2}00000258' \
    <<<"$from_file" || fail "IA_NA: $from_file"
grep -qE '^2 [0-9a-f]+$' <<<"$from_file" || fail "server DUID: $from_file"

echo "== the same Reply through dhcpcd's socket, as nobody"
as_nobody cat /var/lib/dhcpcd/"$ifc".lease6 >/dev/null 2>&1 && fail "nobody could read the lease file"
from_socket=$(as_nobody "$work/dump" "$ifc" "$work")
check "option bytes from the socket" "$from_file" "$from_socket"
stop_dhcpcd

echo "== dnsmasq leases addresses: dhclient -6"
printf 'also request dhcp6.name-servers, dhcp6.domain-search;\n' >"$work/dhclient.conf"
if ! timeout 50 ip netns exec "$cli" dhclient -6 -1 -cf "$work/dhclient.conf" \
    -lf "$work/dhclient6.leases" -pf "$work/dhclient6.pid" -sf /bin/true "$ifc" \
    >"$work/dhclient.log" 2>&1; then
    cat "$work/dhclient.log"
    fail "dhclient -6 got no lease"
fi
from_dhclient=$(lease_of)
decodes "$from_dhclient"
check "dhclient's source" "source dhclient" "$(head -n 1 <<<"$from_dhclient")"
grep -qx "$dns" <<<"$from_dhclient" || fail "name servers: $from_dhclient"
grep -qx "$search" <<<"$from_dhclient" || fail "search list: $from_dhclient"
grep -qE '^3 [0-9a-f]{24}0005001820010db80077000000000000000001[0-9a-f]{2}00000258' \
    <<<"$from_dhclient" || fail "IA_NA: $from_dhclient"
check "the server's DUID, as dhcpcd had it" "$(grep '^2 ' <<<"$from_file")" \
    "$(grep '^2 ' <<<"$from_dhclient")"
grep -q "^unmapped" <<<"$from_dhclient" && fail "lines that gave no bytes: $from_dhclient"
# Both clients' leases decode to the same name servers and search list.
check "decoded as dhcpcd's" "$(grep -E '^decoded (23|24) ' <<<"$from_file" | sort)" \
    "$(grep -E '^decoded (23|24) ' <<<"$from_dhclient" | sort)"
[ -f "$work/dhclient6.pid" ] && kill "$(cat "$work/dhclient6.pid")" 2>/dev/null
rm -f "$work/dhclient6.leases"
stop_server

echo "== dnsmasq stateless: dhcpcd's Information-request"
dnsmasq6 --dhcp-range=::,constructor:vyl-s0,ra-stateless || exit 1
printf 'ipv6rs\nnohook resolv.conf\noption dhcp6_name_servers, dhcp6_domain_search\n' \
    >"$work/dhcpcd.conf"
in_cli dhcpcd -f "$work/dhcpcd.conf" -c /bin/true -6 -t 30 "$ifc" >"$work/dhcpcd.log" 2>&1
wait_for "dhcpcd's stateless lease" test -s /var/lib/dhcpcd/"$ifc".lease6
stateless=$(lease_of)
decodes "$stateless"
grep -qx "$dns" <<<"$stateless" || fail "stateless name servers: $stateless"
grep -q "^3 " <<<"$stateless" && fail "an address without asking for one: $stateless"
stop_dhcpcd
stop_server

echo "== Kea delegates a prefix: dhclient -6 -P"
mkdir -p "$work/kea"
cat >"$work/kea.json" <<KEA
{ "Dhcp6": {
    "interfaces-config": { "interfaces": [ "vyl-s0" ] },
    "data-directory": "$work/kea",
    "lease-database": { "type": "memfile", "persist": false },
    "preferred-lifetime": 3000, "valid-lifetime": 4000, "renew-timer": 1000, "rebind-timer": 2000,
    "option-data": [ { "name": "dns-servers", "data": "2001:db8:77::53, 2001:db8:77::54" } ],
    "subnet6": [ { "id": 1, "subnet": "2001:db8:77::/64", "interface": "vyl-s0",
        "pd-pools": [ { "prefix": "2001:db8:8000::", "prefix-len": 48, "delegated-len": 56 } ] } ],
    "loggers": [ { "name": "kea-dhcp6", "severity": "WARN",
        "output_options": [ { "output": "$work/kea.log" } ] } ] } }
KEA
KEA_LOCKFILE_DIR="$work/kea" KEA_PIDFILE_DIR="$work/kea" \
    ip netns exec "$srv" kea-dhcp6 -c "$work/kea.json" >"$work/kea.out" 2>&1 &
server=$!
wait_for "Kea to listen" listens_udp "$srv" 547 || exit 1
if ! timeout 50 ip netns exec "$cli" dhclient -6 -P -1 -cf "$work/dhclient.conf" \
    -lf "$work/dhclient6.leases" -pf "$work/dhclient6.pid" -sf /bin/true "$ifc" \
    >"$work/dhclient.log" 2>&1; then
    cat "$work/dhclient.log" "$work/kea.out"
    fail "dhclient -6 -P got no prefix"
fi
delegated=$(lease_of)
decodes "$delegated"
# IA_PD: IAID, T1 1000, T2 2000, IAPREFIX (26, 25 bytes): 3000, 4000, /56 of the pool.
grep -qE '^25 [0-9a-f]{8}000003e8000007d0001a0019' <<<"$delegated" || fail "IA_PD: $delegated"
grep -qE '^25 .{32}00000bb800000fa03820010db88000[0-9a-f]{2}0{18}$' <<<"$delegated" ||
    fail "IAPREFIX: $delegated"
grep -qx "$dns" <<<"$delegated" || fail "Kea's name servers: $delegated"
[ -f "$work/dhclient6.pid" ] && kill "$(cat "$work/dhclient6.pid")" 2>/dev/null
rm -f "$work/dhclient6.leases"

echo "== Kea delegates a prefix: dhcpcd, its file and its socket"
# "-" delegates to no interface; -b: a prefix alone is no address to wait for.
printf 'noipv6rs\nnohook resolv.conf\nia_pd 1 -\noption dhcp6_name_servers\n' >"$work/dhcpcd.conf"
in_cli dhcpcd -f "$work/dhcpcd.conf" -c /bin/true -6 -b "$ifc" >"$work/dhcpcd.log" 2>&1
socket_has_prefix() {
    local lease
    lease=$(as_nobody "$work/dump" "$ifc" "$work")
    grep -qx 'source dhcpcd' <<<"$lease" && grep -q '^25 ' <<<"$lease"
}
wait_for "dhcpcd's delegated prefix" socket_has_prefix
from_file=$(lease_of)
decodes "$from_file"
grep -qE '^25 00000001000003e8000007d0001a001900000bb800000fa03820010db88000[0-9a-f]{2}0{18}$' \
    <<<"$from_file" || fail "dhcpcd's IA_PD: $from_file"
check "dhcpcd's prefix through its socket" "$from_file" "$(as_nobody "$work/dump" "$ifc" "$work")"
stop_dhcpcd

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
