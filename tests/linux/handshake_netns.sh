#!/usr/bin/env bash
# `veyra --handshake` and `--relay` against Kea 2.2's DHCPv4 and DHCPv6
# servers with memfile lease files: the whole exchange on the link, then
# relayed from an address of the client's namespace that the server's
# namespace routes to (a subnet of Kea's own for it), and a relayed offer
# alone. dumpcap on the link (writing into a temporary folder) shows every
# step to tshark: giaddr and hops, the Relay-forward's link- and
# peer-address, the RELEASE unicast from the leased address. Afterwards Kea
# holds no lease for any client veyra was (a released lease is written again
# with valid_lifetime 0). Exit 77 (skipped) without root or the programs.
#
# Usage: handshake_netns.sh PATH_TO_VEYRA
set -uo pipefail
veyra=$1

. "$(dirname "$0")/../scripts/netns_lib.sh"
skip_without ip kea-dhcp4 kea-dhcp6 dumpcap tshark python3 setpriv setcap
skip_unless_root

srv=vyj-srv-$$
cli=vyj-cli-$$
ifc=vyj-c$$

on_exit 'netns_remove "$cli" "$srv"'
make_work "$veyra" veyra || exit 1

in_cli() { ip netns exec "$cli" "$@"; }

netns_veth "$srv" vyj-s0 "$cli" "$ifc" || exit 1
ip -n "$srv" addr add 10.71.0.1/24 dev vyj-s0
ip -n "$srv" addr add 2001:db8:71::1/64 dev vyj-s0 nodad
ip -n "$cli" addr add 10.71.0.2/24 dev "$ifc"
ip -n "$cli" addr add 2001:db8:71::2/64 dev "$ifc" nodad
# The relay agent's own subnet, behind the client's namespace.
ip -n "$cli" link add vyj-r0 type veth peer name vyj-r1
ip -n "$cli" addr add 10.72.0.1/24 dev vyj-r0
ip -n "$cli" addr add 2001:db8:72::1/64 dev vyj-r0 nodad
for link in "$srv vyj-s0" "$cli $ifc" "$cli vyj-r0" "$cli vyj-r1"; do
    set -- $link
    ip -n "$1" link set "$2" up
done
ip -n "$srv" route add 10.72.0.0/24 via 10.71.0.2
ip -n "$srv" route add 2001:db8:72::/64 via 2001:db8:71::2

wait_for "the server's link-local address" link_local_ready "$srv" vyj-s0 || exit 1
wait_for "the client's link-local address" link_local_ready "$cli" "$ifc" || exit 1

# kea FAMILY INTERFACE LINK_SUBNET LINK_POOL RELAY_SUBNET RELAY_POOL
kea() {
    local family=$1 name=kea$1
    mkdir -p "$work/$name"
    cat >"$work/$name.json" <<KEA
{"Dhcp$family": {
  "interfaces-config": {"interfaces": ["$2"]},
  "lease-database": {"type": "memfile", "persist": true, "lfc-interval": 0,
                     "name": "$work/$name.leases"},
  $([ "$family" = 6 ] && echo '"server-id": {"type": "LL", "persist": false},')
  "subnet$family": [{"id": 1, "subnet": "$3", "interface": "vyj-s0", "pools": [{"pool": "$4"}]},
                    {"id": 2, "subnet": "$5", "pools": [{"pool": "$6"}],
                     $([ "$family" = 4 ] && echo '"option-data": [{"name": "routers", "data": "10.72.0.1"}],')
                     "valid-lifetime": 7200}],
  "loggers": [{"name": "kea-dhcp$family", "severity": "INFO",
               "output_options": [{"output": "$work/$name.log"}]}]
}}
KEA
    KEA_LOCKFILE_DIR=$work/$name KEA_PIDFILE_DIR=$work/$name \
        ip netns exec "$srv" "kea-dhcp$family" -c "$work/$name.json" >"$work/$name.out" 2>&1 &
}
kea 4 vyj-s0 10.71.0.0/24 "10.71.0.100 - 10.71.0.150" 10.72.0.0/24 "10.72.0.100 - 10.72.0.150"
# The relay sends to the server's global address: Kea listens there too.
kea 6 vyj-s0/2001:db8:71::1 2001:db8:71::/64 "2001:db8:71::100 - 2001:db8:71::1ff" \
    2001:db8:72::/64 "2001:db8:72::100 - 2001:db8:72::1ff"
wait_for "Kea's DHCPv4 server" grep -qs DHCP4_STARTED "$work/kea4.log" || exit 1
wait_for "Kea's DHCPv6 server" grep -qs DHCP6_STARTED "$work/kea6.log" || exit 1
grep -q OPEN_SOCKET_FAIL "$work/kea4.log" "$work/kea6.log" && fail "Kea could not listen"

ip netns exec "$cli" dumpcap -q -P -i "$ifc" -f "udp portrange 67-68 or udp portrange 546-547" \
    -w "$work/handshake.pcap" >"$work/dumpcap.log" 2>&1 &
dumpcap_pid=$!
wait_for "dumpcap to capture" grep -qs "^File:" "$work/dumpcap.log" || exit 1

# run NAME EXPECTED_STATUS ARGUMENTS...: veyra's output in $work/NAME.
run() {
    local name=$1 expected=$2
    shift 2
    in_cli "$work/veyra" "$@" >"$work/$name.out" 2>"$work/$name.err"
    check "$name: exit status" "$expected" $?
    grep -q "as a .* would" "$work/$name.err" || fail "$name: no notice on standard error"
    sed -n 's/^Client //p' "$work/$name.out" >"$work/$name.mac"
}
# steps NAME PATTERN...: the output's step lines, in order.
steps() {
    local name=$1
    shift
    check "$name: steps" "$(printf '%s\n' "$@")" \
        "$(grep -v '^Client' "$work/$name.out" | sed -E 's/[0-9.]+ ms/T ms/; s/ [0-9a-f]{20,}/ DUID/
            s/(10\.7[12]\.0\.|2001:db8:7[12]::)1[0-9a-f]{2}/\1N/g')"
}

run link 0 --handshake "$ifc" --wait 10
steps link \
    "DHCPv4 DISCOVER: OFFER 10.71.0.N from 10.71.0.1, lease 7200 s, mask 255.255.255.0, T ms" \
    "DHCPv4 REQUEST: ACK 10.71.0.N from 10.71.0.1, lease 7200 s, mask 255.255.255.0, T ms" \
    "DHCPv4 RELEASE: sent to 10.71.0.1 for 10.71.0.N" \
    "DHCPv6 Solicit: Advertise 2001:db8:71::N from DUID, lease 7200 s, T ms" \
    "DHCPv6 Request: Reply 2001:db8:71::N from DUID, lease 7200 s, T ms" \
    "DHCPv6 Release: Reply from DUID, T ms: \"Summary status for all processed IA_NAs\""
# A relay or server of this host holds port 67: veyra's relay does not need it.
in_cli python3 -c 'import socket, sys, time
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("0.0.0.0", 67))
print("bound", flush=True)
time.sleep(600)' >"$work/port67.out" 2>&1 &
port67=$!
wait_for "a local listener on port 67" grep -qs bound "$work/port67.out" || exit 1
run relay4 0 --relay 10.72.0.1 --server 10.71.0.1 --handshake --wait 10
kill "$port67"
wait "$port67" 2>/dev/null
steps relay4 \
    "DHCPv4 DISCOVER: OFFER 10.72.0.N from 10.71.0.1, lease 7200 s, mask 255.255.255.0, routers 10.72.0.1, T ms" \
    "DHCPv4 REQUEST: ACK 10.72.0.N from 10.71.0.1, lease 7200 s, mask 255.255.255.0, routers 10.72.0.1, T ms" \
    "DHCPv4 RELEASE: sent to 10.71.0.1 for 10.72.0.N"
run relay6 0 --relay 2001:db8:72::1 --server 2001:db8:71::1 --handshake --wait 10
steps relay6 \
    "DHCPv6 Solicit: Advertise 2001:db8:72::N from DUID, lease 7200 s, T ms" \
    "DHCPv6 Request: Reply 2001:db8:72::N from DUID, lease 7200 s, T ms" \
    "DHCPv6 Release: Reply from DUID, T ms: \"Summary status for all processed IA_NAs\""
run offer4 0 --relay 10.72.0.1 --server 10.71.0.1 --wait 10
steps offer4 "DHCPv4 DISCOVER: OFFER 10.72.0.N from 10.71.0.1, lease 7200 s, mask 255.255.255.0, routers 10.72.0.1, T ms"
run check 0 --handshake "$ifc" -4 --check -c 60000 --wait 10 --client-mac 02:00:00:6a:00:01
echo 02:00:00:6a:00:01 >"$work/check.mac"
grep -Eq '^DHCP HANDSHAKE OK - DHCPv4 ACK 10\.71\.0\.1[0-9]{2} from 10\.71\.0\.1 \| dhcpv4_discover=[0-9.]+ms;;60000;0 dhcpv4_request=[0-9.]+ms;;60000;0$' \
    "$work/check.out" || fail "check: $(cat "$work/check.out")"
# Nobody answers for the relay's other subnet: CRITICAL at the first step.
run silent 2 --relay 10.73.0.1 --server 10.71.0.1 --check --wait 0.5
grep -q '^DHCP HANDSHAKE CRITICAL - DHCPv4 DISCOVER: no answer$' "$work/silent.out" ||
    fail "silent: $(cat "$work/silent.out")"

# As nobody from a copy with cap_net_raw: the exchange runs, and the
# capability is gone once the sockets are open (seen while a silent relay
# subnet keeps it waiting).
if setcap cap_net_raw+ep "$work/veyra" 2>/dev/null; then
    as_nobody() { in_cli setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all "$@"; }
    as_nobody "$work/veyra" --handshake "$ifc" -6 --wait 10 >"$work/nobody.out" 2>"$work/nobody.err"
    check "nobody: exit status" 0 $?
    grep -q "^DHCPv6 Release: Reply" "$work/nobody.out" || fail "nobody: $(cat "$work/nobody.out")"
    as_nobody "$work/veyra" --relay 10.73.0.1 --server 10.71.0.1 --wait 60 >/dev/null 2>&1 &
    waiting=$!
    dropped() {
        local pid
        pid=$(pgrep -u 65534 -f "$work/veyra --relay") &&
            grep -q "^CapEff:[[:space:]]*0*$" "/proc/$pid/status" &&
            grep -q "^CapPrm:[[:space:]]*0*$" "/proc/$pid/status"
    }
    wait_for "nobody's veyra to give up cap_net_raw" dropped
    kill "$waiting" 2>/dev/null
    wait "$waiting"
else
    echo "note: setcap failed here; the run as nobody is left out"
fi

kill -INT "$dumpcap_pid"
wait "$dumpcap_pid"

# seen NAME FILTER: tshark finds at least one frame of the capture.
seen() {
    local count
    count=$(tshark -r "$work/handshake.pcap" -Y "$2" -T fields -e frame.number 2>"$work/tshark.err" |
        wc -l)
    [ "$count" -gt 0 ] || fail "$1: no frame for $2 $(cat "$work/tshark.err")"
}
mac=$(cat "$work/link.mac")
for type in 1 2 3 5; do
    seen link "dhcp.hw.mac_addr == $mac && dhcp.option.dhcp == $type && dhcp.ip.relay == 0.0.0.0"
done
leased=$(sed -n 's/^DHCPv4 RELEASE: sent to .* for //p' "$work/link.out")
seen link "dhcp.hw.mac_addr == $mac && dhcp.option.dhcp == 7 && ip.src == $leased &&
    ip.dst == 10.71.0.1 && dhcp.ip.client == $leased && !(eth.dst == ff:ff:ff:ff:ff:ff)"
for type in 1 2 3 7 8; do
    seen link "dhcpv6.duidll.link_layer_addr == $mac && dhcpv6.msgtype == $type"
done
mac=$(cat "$work/relay4.mac")
for type in 1 2 3 5 7; do
    seen relay4 "dhcp.hw.mac_addr == $mac && dhcp.option.dhcp == $type && dhcp.hops == 1 &&
        dhcp.ip.relay == 10.72.0.1 && udp.srcport == 67 && udp.dstport == 67"
done
mac=$(cat "$work/relay6.mac")
peer=$(python3 -c "import ipaddress,sys; m=bytes.fromhex(sys.argv[1].replace(':',''))
print(ipaddress.ip_address(bytes([0xfe,0x80]+[0]*6+[m[0]^2]+list(m[1:3])+[0xff,0xfe]+list(m[3:]))))" "$mac")
for type in 1 3 8; do
    seen relay6 "dhcpv6.msgtype == 12 && dhcpv6.linkaddr == 2001:db8:72::1 &&
        dhcpv6.peeraddr == $peer && dhcpv6.msgtype == $type && udp.srcport == 547 &&
        dhcpv6.duidll.link_layer_addr == $mac"
done
for type in 2 7; do
    seen relay6 "dhcpv6.msgtype == 13 && dhcpv6.peeraddr == $peer && dhcpv6.msgtype == $type"
done

# Kea's lease files: every address a client of these runs held was last
# written with valid_lifetime 0 (released); the offer alone left nothing.
python3 - "$work" "$(cat "$work/link.mac")" "$(cat "$work/relay4.mac")" \
    "$(cat "$work/relay6.mac")" "$(cat "$work/offer4.mac")" "$(cat "$work/check.mac")" <<'PY' ||
import csv, sys
work, link, relay4, relay6, offer4, check = sys.argv[1:]
def last(path, client_of):
    held = {}
    for row in csv.DictReader(open(path)):
        held.setdefault(client_of(row), {})[row["address"]] = row["valid_lifetime"]
    return held
v4 = last(work + "/kea4.leases", lambda row: row["hwaddr"])
v6 = last(work + "/kea6.leases", lambda row: row["duid"][-17:])
bad = []
for name, table, mac in (("link", v4, link), ("relay4", v4, relay4), ("check", v4, check),
                         ("link", v6, link), ("relay6", v6, relay6)):
    if not table.get(mac):
        bad.append(f"{name}: Kea never leased to {mac}")
    for address, valid in table.get(mac, {}).items():
        if valid != "0":
            bad.append(f"{name}: Kea still holds {address} for {mac}")
if offer4 in v4:
    bad.append(f"offer4: a lease for {offer4}")
print("\n".join(bad))
sys.exit(1 if bad else 0)
PY
    fail "Kea's lease files"

[ "$failures" = 0 ] || {
    for file in "$work"/*.out "$work"/*.err; do echo "== $file"; cat "$file"; done
    exit 1
}
echo "all passed"
