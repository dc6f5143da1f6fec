#!/usr/bin/env bash
# veyra-probe's DHCPv6 Information-request against real servers in network
# namespaces of this run's own: Kea, configured with every option it can
# send, and dnsmasq, stateless beside its router advertisements. Each time a
# dhcpcd on the client's side holds port 546 before, during and after the
# helper's exchange, and keeps its lease. dumpcap captures each exchange; the
# captures stay in OUT_FOLDER (inform6-kea.pcap, inform6-dnsmasq.pcap), where
# the decoding's comparison with Wireshark reads them, and the helper's
# options must be the Reply's bytes as captured. Exit 77 (skipped) without
# root or the programs it needs.
#
# Usage: inform6_netns.sh PATH_TO_VEYRA_PROBE OUT_FOLDER
set -uo pipefail
probe=$1
out=$2

. "$(dirname "$0")/../scripts/netns_lib.sh"
skip_without ip dhcpcd dnsmasq dumpcap tshark python3
kea=$(command -v kea-dhcp6 || echo /usr/sbin/kea-dhcp6)
[ -x "$kea" ] || { echo "skipped: kea-dhcp6 is not installed"; exit 77; }
skip_unless_root

srv=vyq-srv-$$
cli=vyq-cli-$$
ifc=vyq-c$$
mac=02:00:00:71:00:02

cleanup() {
    netns_remove "$cli" "$srv"
    dhcpcd_forget "$ifc"
}
on_exit cleanup
work=$(mktemp -d)
mkdir -p "$out" || exit 1

in_cli() { ip netns exec "$cli" "$@"; }
in_srv() { ip netns exec "$srv" "$@"; }

netns_veth "$srv" vyq-s0 "$cli" "$ifc" "$mac" || exit 1
ip -n "$srv" addr add 2001:db8:71::1/64 dev vyq-s0
ip -n "$srv" link set vyq-s0 up
ip -n "$cli" link set "$ifc" up

# Both link-local addresses usable: duplicate address detection over.
wait_for "the server's link-local address" link_local_ready "$srv" vyq-s0 || exit 1
wait_for "the client's link-local address" link_local_ready "$cli" "$ifc" || exit 1
holds_546() { in_cli ss -Hlunp 'sport = :546' | grep -q dhcpcd; }

# capture NAME COMMAND...: runs the command with dumpcap capturing the
# interface's DHCPv6 into $out/inform6-NAME.pcap until it has the request and
# the Reply, the command's output in $work/NAME.out. dumpcap keeps only its
# capture capabilities, so it writes into our own folder, never into a
# checkout that may sit under a home folder of mode 0700.
capture() {
    local name=$1 pcap="$work/inform6-$1.pcap" dumpcap_pid
    shift
    rm -f "$pcap" "$out/inform6-$name.pcap"
    # Started straight, so that $! is dumpcap itself (ip netns exec execs it).
    ip netns exec "$cli" dumpcap -q -P -c 2 -i "$ifc" -f "udp port 546 or udp port 547" -w "$pcap" \
        >"$work/dumpcap.log" 2>&1 &
    dumpcap_pid=$!
    wait_for "dumpcap to capture" grep -qs "^File:" "$work/dumpcap.log" || cat "$work/dumpcap.log"
    "$@" >"$work/$name.out" 2>"$work/$name.err"
    wait "$dumpcap_pid"
    cp "$pcap" "$out/"
}

# The helper's lines: the end's errno, then each option of its options6
# line as "code hex", in the Reply's order.
read_answer() {
    python3 - "$1" <<'PY'
import json, sys
lines = [json.loads(l) for l in open(sys.argv[1])]
print("end", next(l["error"] for l in lines if l["event"] == "end"))
data = bytes.fromhex(next((l["data"] for l in lines if l["event"] == "options6"), ""))
while data:
    code, size = int.from_bytes(data[:2], "big"), int.from_bytes(data[2:4], "big")
    print(code, data[4:4 + size].hex())
    data = data[4 + size:]
PY
}

# captured_reply PCAP NAME OPTIONS: the Reply in the capture, its options
# (the UDP payload after the message type and transaction id) the options
# read_answer wrote. The request and the Reply must share the transaction
# id and the Reply go to the client's MAC.
captured_reply() {
    local pcap=$1
    tshark -r "$pcap" -Y "dhcpv6.msgtype == 11" 2>/dev/null -T fields -e dhcpv6.xid -e eth.dst >"$work/request"
    tshark -r "$pcap" -Y "dhcpv6.msgtype == 7 && dhcpv6.xid == $(cut -f1 "$work/request")" \
        -T fields -e dhcpv6.xid -e eth.dst -e udp.payload >"$work/reply" 2>/dev/null
    check "the Information-request, once, to the servers' group" \
        "33:33:00:01:00:02" "$(cut -f2 "$work/request")"
    check "the Reply's transaction" "$(cut -f1 "$work/request")" "$(cut -f1 "$work/reply")"
    check "the Reply's destination" "$mac" "$(cut -f2 "$work/reply")"
    check "$2" "$(cut -f3 "$work/reply" | cut -c9-)" "$(options_hex "$3")"
}

# options_hex FILE: the options of read_answer's output again as one hex text.
options_hex() {
    awk '$1 != "end" { printf "%04x%04x%s", $1, length($2) / 2, $2 }' "$1"
}

echo "== Kea, every option it can send"
cat >"$work/kea.json" <<KEA
{"Dhcp6": {
  "interfaces-config": {"interfaces": ["vyq-s0"]},
  "lease-database": {"type": "memfile", "persist": false},
  "server-id": {"type": "LL", "persist": false},
  "option-def": [
    {"name": "ntp-server", "code": 56, "space": "dhcp6", "type": "empty",
     "encapsulate": "ntp-suboptions"},
    {"name": "ntp-server-address", "code": 1, "space": "ntp-suboptions", "type": "ipv6-address"},
    {"name": "ntp-server-multicast", "code": 2, "space": "ntp-suboptions",
     "type": "ipv6-address"},
    {"name": "ntp-server-fqdn", "code": 3, "space": "ntp-suboptions", "type": "fqdn"},
    {"name": "lab-server", "code": 1, "space": "vendor-32473", "type": "ipv6-address"},
    {"name": "lab-text", "code": 2, "space": "vendor-32473", "type": "string"}],
  "subnet6": [{"id": 1, "subnet": "2001:db8:71::/64", "interface": "vyq-s0",
               "pools": [{"pool": "2001:db8:71::100 - 2001:db8:71::1ff"}]}],
  "option-data": [
    {"name": "dns-servers", "data": "2001:db8:71::1, 2001:db8:71::2"},
    {"name": "domain-search", "data": "lab.test, example.test"},
    {"name": "preference", "data": "7", "always-send": true},
    {"name": "sip-server-dns", "data": "sip.lab.test", "always-send": true},
    {"name": "sip-server-addr", "data": "2001:db8:71::5", "always-send": true},
    {"name": "nis-servers", "data": "2001:db8:71::6", "always-send": true},
    {"name": "nisp-servers", "data": "2001:db8:71::7", "always-send": true},
    {"name": "nis-domain-name", "data": "nis.lab.test", "always-send": true},
    {"name": "nisp-domain-name", "data": "nisp.lab.test", "always-send": true},
    {"name": "sntp-servers", "data": "2001:db8:71::8", "always-send": true},
    {"name": "information-refresh-time", "data": "3600", "always-send": true},
    {"name": "bcmcs-server-dns", "data": "bcmcs.lab.test", "always-send": true},
    {"name": "bcmcs-server-addr", "data": "2001:db8:71::9", "always-send": true},
    {"name": "geoconf-civic", "data": "1, DE, 01026162", "always-send": true},
    {"name": "pana-agent", "data": "2001:db8:71::a", "always-send": true},
    {"name": "new-posix-timezone", "data": "EST5EDT4", "always-send": true},
    {"name": "new-tzdb-timezone", "data": "Europe/Zurich", "always-send": true},
    {"name": "v6-lost", "data": "lost.lab.test", "always-send": true},
    {"name": "capwap-ac-v6", "data": "2001:db8:71::b", "always-send": true},
    {"name": "ntp-server", "always-send": true},
    {"name": "ntp-server-address", "space": "ntp-suboptions", "data": "2001:db8:71::c"},
    {"name": "ntp-server-multicast", "space": "ntp-suboptions", "data": "ff05::101"},
    {"name": "ntp-server-fqdn", "space": "ntp-suboptions", "data": "ntp.lab.test"},
    {"name": "v6-access-domain", "data": "access.lab.test", "always-send": true},
    {"name": "sip-ua-cs-list", "data": "ua.lab.test", "always-send": true},
    {"name": "bootfile-url", "data": "tftp://[2001:db8:71::d]/boot.efi", "always-send": true},
    {"name": "bootfile-param", "data": "root=/dev/sda1, quiet", "always-send": true},
    {"name": "nii", "data": "1, 3, 16", "always-send": true},
    {"name": "aftr-name", "data": "aftr.lab.test", "always-send": true},
    {"name": "erp-local-domain-name", "data": "erp.lab.test", "always-send": true},
    {"name": "rdnss-selection", "data": "2001:db8:71::e, 1, rdnss.lab.test",
     "always-send": true},
    {"name": "solmax-rt", "data": "7200", "always-send": true},
    {"name": "inf-max-rt", "data": "7200", "always-send": true},
    {"name": "v6-captive-portal", "data": "https://portal.lab.test/", "always-send": true},
    {"name": "ipv6-address-andsf", "data": "2001:db8:71::10", "always-send": true},
    {"name": "vendor-opts", "data": "32473", "always-send": true},
    {"name": "lab-server", "space": "vendor-32473", "data": "2001:db8:71::11",
     "always-send": true},
    {"name": "lab-text", "space": "vendor-32473", "data": "lab", "always-send": true}],
  "loggers": [{"name": "kea-dhcp6", "severity": "INFO",
               "output_options": [{"output": "$work/kea.log"}]}]
}}
KEA
KEA_LOCKFILE_DIR=$work KEA_PIDFILE_DIR=$work in_srv "$kea" -c "$work/kea.json" >"$work/kea.out" 2>&1 &
wait_for "Kea to listen" listens_udp "$srv" 547 || { cat "$work/kea.out"; exit 1; }

# dhcpcd leases an address of Kea's pool and stays, holding port 546.
printf 'nodelay\nnoarp\nnohook resolv.conf\nnoipv6rs\nia_na 1\noption dhcp6_name_servers\n' \
    >"$work/dhcpcd.conf"
in_cli dhcpcd -f "$work/dhcpcd.conf" -c /bin/true -6 -t 60 -w "$ifc" >"$work/dhcpcd.log" 2>&1 ||
    { cat "$work/dhcpcd.log"; fail "dhcpcd got no lease from Kea"; }
holds_546 || fail "dhcpcd does not hold port 546"

capture kea in_cli "$probe" inform6 "$ifc"
read_answer "$work/kea.out" >"$work/kea.options"
check "Kea's end" "end 0" "$(head -n1 "$work/kea.options")"
# Every option of the configuration, in the order Kea writes them: the
# client's and the server's ids, the requested 23 and 24, the rest always sent.
check "Kea's option codes" \
    "1 2 7 17 21 22 23 24 27 28 29 30 31 32 33 34 36 40 41 42 51 52 56 57 58 59 60 62 64 65 74 82 83 103 143" \
    "$(awk '$1 != "end" { print $1 }' "$work/kea.options" | paste -sd' ')"
option() { awk -v c="$2" '$1 == c { print $2 }' "$1"; }
check "Kea's client id: DUID-LL of the MAC" 00030001020000710002 "$(option "$work/kea.options" 1)"
check "Kea's DNS servers" 20010db8007100000000000000000001""20010db8007100000000000000000002 \
    "$(option "$work/kea.options" 23)"
check "Kea's domain search" 036c6162047465737400076578616d706c65047465737400 \
    "$(option "$work/kea.options" 24)"
check "Kea's information refresh time" 00000e10 "$(option "$work/kea.options" 32)"
# NTP server (RFC 5908): an address, a multicast address and a name.
check "Kea's NTP server suboptions" \
    "0001001020010db800710000000000000000000c""00020010ff050000000000000000000000000101""0003000e036e7470036c6162047465737400" \
    "$(option "$work/kea.options" 56)"
check "Kea's vendor options" "00007ed9""0001001020010db8007100000000000000000011""00020003""6c6162" \
    "$(option "$work/kea.options" 17)"
captured_reply "$out/inform6-kea.pcap" "the helper's options are the captured Reply's" \
    "$work/kea.options"
holds_546 || fail "dhcpcd lost port 546 to the helper"
kill -0 "$(cat /run/dhcpcd/"$ifc"-6.pid)" || fail "dhcpcd ended"

echo "== dnsmasq, stateless with router advertisements"
in_cli dhcpcd -f "$work/dhcpcd.conf" -6 -x "$ifc" >/dev/null 2>&1
wait_for "dhcpcd to end" bash -c "! ip netns exec $cli ss -Hlun 'sport = :546' | grep -q ."
ip netns pids "$srv" | xargs -r kill
wait_for "Kea to end" bash -c "! ip netns exec $srv ss -Hlun 'sport = :547' | grep -q ."
in_srv dnsmasq --keep-in-foreground --conf-file=/dev/null --port=0 --no-resolv \
    --interface=vyq-s0 --bind-interfaces --log-facility="$work/dnsmasq.log" \
    --pid-file="$work/dnsmasq.pid" --dhcp-leasefile="$work/dnsmasq.leases" --enable-ra \
    --dhcp-range=::,constructor:vyq-s0,ra-stateless \
    --dhcp-option=option6:dns-server,[2001:db8:71::53] \
    --dhcp-option=option6:domain-search,lab.test &
wait_for "dnsmasq to listen" listens_udp "$srv" 547 || exit 1
# dhcpcd follows the router advertisement's "other configuration" flag with
# an Information-request of its own, and stays.
printf 'nodelay\nnoarp\nnohook resolv.conf\noption dhcp6_name_servers, dhcp6_domain_search\n' \
    >"$work/dhcpcd-ra.conf"
in_cli dhcpcd -f "$work/dhcpcd-ra.conf" -c /bin/true -6 -t 60 "$ifc" >"$work/dhcpcd.log" 2>&1
wait_for "dhcpcd's own Information-request" grep -q "DHCPINFORMATION-REQUEST" "$work/dnsmasq.log" ||
    cat "$work/dhcpcd.log"
wait_for "dhcpcd to hold port 546" holds_546

capture dnsmasq in_cli "$probe" inform6 "$ifc"
read_answer "$work/dnsmasq.out" >"$work/dnsmasq.options"
check "dnsmasq's end" "end 0" "$(head -n1 "$work/dnsmasq.options")"
check "dnsmasq's DNS server" 20010db8007100000000000000000053 \
    "$(option "$work/dnsmasq.options" 23)"
check "dnsmasq's domain search" 036c6162047465737400 "$(option "$work/dnsmasq.options" 24)"
captured_reply "$out/inform6-dnsmasq.pcap" "the helper's options are dnsmasq's captured Reply's" \
    "$work/dnsmasq.options"
holds_546 || fail "dhcpcd lost port 546 to the helper"

echo "== no link-local address"
ip -n "$cli" -6 addr flush dev "$ifc" scope link
in_cli "$probe" inform6 "$ifc" >"$work/none.out" 2>&1
check "end without a link-local address" "end 2" "$(read_answer "$work/none.out" | head -n1)"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
