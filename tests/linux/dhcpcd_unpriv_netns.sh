#!/usr/bin/env bash
# dhcpcd's lease for a user who may not read the file: a real dhcpcd leased
# by dnsmasq in network namespaces of this run's own, and `veyra` run once
# as root (the lease file) and once as nobody (dhcpcd's unprivileged control
# socket). Both must give the same bytes for every option they show; texts
# dhcpcd cuts are marked so, and nobody's --inform fails aloud. nobody runs
# a copy of `veyra` in a folder of its own: the checkout may sit under a
# home folder only its owner may enter.
# Exit 77 (skipped) without root or the programs it needs.
#
# Usage: dhcpcd_unpriv_netns.sh PATH_TO_VEYRA
set -uo pipefail
veyra=$1

. "$(dirname "$0")/../scripts/netns_lib.sh"
skip_without ip dnsmasq dhcpcd setpriv
skip_unless_root

srv=vyu-srv-$$
cli=vyu-cli-$$
ifc=vyu-c$$
lease=/var/lib/dhcpcd/$ifc.lease
pidfile=/run/dhcpcd/$ifc-4.pid

cleanup() {
    netns_remove "$cli" "$srv"
    dhcpcd_forget "$ifc"
}
on_exit cleanup
make_work || exit 1
cp "$veyra" "$work/veyra" || exit 1

in_cli() { ip netns exec "$cli" "$@"; }
as_nobody() { in_cli setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }

netns_veth "$srv" vyu-s0 "$cli" "$ifc" || exit 1
ip -n "$srv" addr add 10.88.0.1/24 dev vyu-s0
ip -n "$srv" link set vyu-s0 up
ip -n "$cli" link set "$ifc" up

# Options dhcpcd names; `veyra` shows those of its request list.
ip netns exec "$srv" dnsmasq --keep-in-foreground --conf-file=/dev/null --port=0 --no-resolv \
    --interface=vyu-s0 --bind-interfaces --no-ping --log-facility="$work/dnsmasq.log" \
    --dhcp-range=10.88.0.100,10.88.0.150,255.255.255.0,10m --dhcp-leasefile="$work/dnsmasq.leases" \
    --dhcp-option-force=option:router,10.88.0.1 \
    --dhcp-option-force=option:dns-server,10.88.0.1,10.88.0.2 \
    --dhcp-option-force=option:domain-name,lab.test \
    --dhcp-option-force=option:ntp-server,10.88.0.1 \
    --dhcp-option-force=2,3600 \
    --dhcp-option-force=43,01:04:de:ad:be:ef:02:03:61:62:63 \
    --dhcp-option-force=46,8 \
    --dhcp-option-force=66,tftp.lab \
    --dhcp-option-force=option:domain-search,lab.test \
    --dhcp-option-force=121,10.89.0.0/16,10.88.0.1 \
    --dhcp-option-force=option:T1,300 --dhcp-option-force=option:T2,525 \
    --dhcp-option-force=209,2f:65:78:74:e2:82:ac:2f:70:61:74:68 \
    --dhcp-option-force=210,61:01:62:09:63:5c:64:7f:65 &
wait_for "dnsmasq to listen" listens_udp "$srv" 67 || exit 1

# dhcpcd stays, as a daemon for this interface, with its control sockets.
# config_file (209) and path_prefix (210) are texts to dhcpcd: "/ext\u20ac/path"
# and one with control bytes and a backslash.
printf 'nodelay\nnoarp\nnohook resolv.conf\noption config_file, path_prefix\n' >"$work/dhcpcd.conf"
if ! in_cli dhcpcd -f "$work/dhcpcd.conf" -c /bin/true -4 -w -t 60 "$ifc" >"$work/dhcpcd.log" 2>&1; then
    cat "$work/dhcpcd.log" "$work/dnsmasq.log"
    fail "dhcpcd got no lease"
    exit 1
fi
wait_for "dhcpcd's unprivileged socket" test -S /run/dhcpcd/"$ifc"-4.unpriv.sock || exit 1

echo "== the file is root's"
as_nobody cat "$lease" >/dev/null 2>"$work/err" && fail "nobody could read $lease"
grep -q "Permission denied" "$work/err" || fail "reading the file as nobody: $(cat "$work/err")"

echo "== the same bytes through the socket"
from_file=$(in_cli "$veyra" "$ifc" --json 2>"$work/err")
from_socket=$(as_nobody "$work/veyra" "$ifc" --json 2>"$work/err")
check "exit status as nobody" 0 $?
# The times are counted from now, in each run; the bytes are what counts.
# dhcpcd hands on a text up to its first NUL: dnsmasq ends option 66 with one.
same_bytes() {
    sed -E 's/"data": "[^"]*day, [^"]*", //; /"code": 66,/s/00",/",/'
}
check "every option dhcpcd names, byte for byte" "$(same_bytes <<<"$from_file")" \
    "$(same_bytes <<<"$from_socket")"
grep -qF '"hex": "746674702e6c6162", "source"' <<<"$from_socket" ||
    fail "option 66 without its NUL: $from_socket"
rows=$(grep -c '"source": "dhcpcd"}' <<<"$from_socket")
[ "$rows" -ge 14 ] || fail "rows from the socket: $rows in $from_socket"

echo "== texts dhcpcd cuts are marked"
# dhcpcd sends a text up to its first byte above 0x7F, the rest as it came.
all=$(as_nobody "$work/veyra" "$ifc" --all --json 2>"$work/err")
grep -qF '"hex": "2f657874", "cut": true, "source": "dhcpcd"}' <<<"$all" ||
    fail "option 209 cut at the euro sign: $all"
grep -qF '"hex": "61016209635c647f65", "cut": true, "source": "dhcpcd"}' <<<"$all" ||
    fail "option 210 byte for byte: $all"
grep -qF '/ext [may be cut short]' <(as_nobody "$work/veyra" "$ifc" --all 2>/dev/null) ||
    fail "the rows say option 209 may be cut"
as_nobody "$work/veyra" "$ifc" >/dev/null 2>"$work/err"
grep -qF "veyra: options 209, 210 may be cut short" "$work/err" ||
    fail "the window's rows say on standard error what may be cut: $(cat "$work/err")"

echo "== nobody's DHCPINFORM fails aloud, beside dhcpcd's rows"
as_nobody "$work/veyra" "$ifc" --inform --tsv >"$work/out" 2>"$work/err"
check "exit status of an inform without privilege" 4 $?
grep -q "^veyra: could not ask the DHCP server: .*it needs root or CAP_NET_RAW" "$work/err" ||
    fail "the reason: $(cat "$work/err")"
grep -qP '^DHCP Server\t10\.88\.0\.1$' "$work/out" || fail "dhcpcd's rows: $(cat "$work/out")"

echo "== without dhcpcd the file is root's again"
kill "$(cat "$pidfile")"
wait_for "dhcpcd to end" test ! -e /run/dhcpcd/"$ifc"-4.unpriv.sock
as_nobody "$work/veyra" "$ifc" >"$work/out" 2>"$work/err"
check "exit status without the right to read the lease" 4 $?
grep -q "DHCP Error 13: Permission denied" "$work/err" || fail "permission message: $(cat "$work/err")"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
