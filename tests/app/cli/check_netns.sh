#!/usr/bin/env bash
# `veyra --check` and `--check-lease` as a monitoring engine runs them,
# against Kea (the approved DHCPv4 server) and dnsmasq as shipped (pinging
# before it offers; here the rogue, then the server of dhcpcd's lease), each
# behind veyra-test-vlan-switch, whose --delay slows every frame: the kernel
# here has no netem. Checks each status line and exit status: OK, WARNING by
# the slowed server, CRITICAL by a rogue and by silence, UNKNOWN for an
# absent interface and wrong arguments; the lease check OK, WARNING with -w
# above the hours left, CRITICAL once the server is gone. Exit 77 (skipped)
# without root or the programs it needs.
#
# Usage: check_netns.sh PATH_TO_VEYRA PATH_TO_VLAN_SWITCH
set -uo pipefail
veyra=$1
switch=$2

here=$(dirname "$0")
. "$here/../../scripts/netns_lib.sh"
. "$here/../../scripts/vlan_trunk_lib.sh"
skip_without ip dnsmasq dhcpcd ss
kea=$(command -v kea-dhcp4 || echo /usr/sbin/kea-dhcp4)
[ -x "$kea" ] || { echo "skipped: kea-dhcp4 is not installed"; exit 77; }
skip_unless_root

trunk_census=vyh-c-$$
trunk_switch=vyh-s-$$
kns=vyh-k-$$
dns=vyh-d-$$
ifc=vyh-t$$

cleanup() {
    netns_remove "$trunk_census" "$trunk_switch" "$kns" "$dns"
    dhcpcd_forget "$ifc"
}
on_exit cleanup
work=$(mktemp -d)
trunk_ports=$work/ports

# run ARGS...: veyra in the census's namespace; $status and $out (stdout,
# which is all a monitoring engine reads).
run() {
    in_census "$veyra" "$@" >"$work/out" 2>"$work/err"
    status=$?
    out=$(cat "$work/out")
}

# expect NAME STATUS REGEX: the last run's exit status and status line.
expect() {
    check "$1: exit status" "$2" "$status"
    grep -qE "^$3\$" <<<"$out" || fail "$1: $out"
}

switch_pid=
# start_switch [--delay MS]
start_switch() {
    [ -n "$switch_pid" ] && kill "$switch_pid" && wait "$switch_pid"
    trunk_switch_start "$switch" "$work/switch.log" "$@" || exit 1
    switch_pid=$!
}

trunk_make "$ifc" || exit 1
ip netns add "$kns" && ip netns add "$dns" || exit 1
trunk_port 0 vyh-pk "$kns" vyh-k0 && trunk_port 0 vyh-pd "$dns" vyh-d0 || exit 1
ip -n "$kns" addr add 10.78.0.254/24 dev vyh-k0 && ip -n "$dns" addr add 10.78.0.1/24 dev vyh-d0 ||
    exit 1
start_switch

echo "== silence, and what is not a census"
run --check "$ifc" -4 --wait 0.5
expect "silence" 2 "DHCP CRITICAL - no DHCP server answered on $ifc within 0.5 s \| dhcpv4_servers=0;;;0 dhcpv4_offer_ms=U;;;0;500"
run --check vyh-none
expect "an absent interface" 3 "DHCP UNKNOWN - no network adapter is named vyh-none or has that hardware address"
run --check "$ifc" -w slow
expect "a wrong -w" 3 "DHCP UNKNOWN - -w takes the first reply's time in milliseconds, 1 to 600000"
run --check-lease "$ifc" --vlan 3
expect "a wrong option" 3 "DHCP LEASE UNKNOWN - --check-lease does not take --vlan"

cat >"$work/kea.json" <<KEA
{"Dhcp4": {
  "interfaces-config": {"interfaces": ["vyh-k0"], "dhcp-socket-type": "raw"},
  "lease-database": {"type": "memfile", "persist": false},
  "valid-lifetime": 900,
  "subnet4": [{"id": 1, "subnet": "10.78.0.0/24", "pools": [{"pool": "10.78.0.200 - 10.78.0.250"}]}],
  "loggers": [{"name": "kea-dhcp4", "severity": "INFO", "output_options": [{"output": "$work/kea.log"}]}]
}}
KEA
KEA_LOCKFILE_DIR=$work KEA_PIDFILE_DIR=$work ip netns exec "$kns" "$kea" -c "$work/kea.json" \
    >"$work/kea.out" 2>&1 &
wait_for "Kea to listen" listens_udp "$kns" 67 || { cat "$work/kea.out"; exit 1; }

# The thresholds lie far from Kea's own time; the delay alone, 2 s there and
# back, is over -w, and every answer within the wait is within -c.
echo "== Kea, then Kea slowed"
run --check "$ifc" -4 --wait 4 -w 1500 -c 4000 --expect 10.78.0.254
expect "Kea" 0 "DHCP OK - 1 DHCPv4 server on $ifc \| dhcpv4_servers=1;;;0 dhcpv4_offer_ms=[0-9.]+ms;1500;4000;0;4000"
start_switch --delay 1000
run --check "$ifc" -4 --wait 4 -w 1500 -c 4000 --expect 10.78.0.254
expect "Kea slowed" 1 "DHCP WARNING - first DHCPv4 offer on $ifc after (1[5-9]|[23][0-9])[0-9][0-9](\.[0-9]+)? ms \(-w 1500 ms\) \| dhcpv4_servers=1;;;0 dhcpv4_offer_ms=[0-9.]+ms;1500;4000;0;4000"
start_switch

echo "== dnsmasq as shipped, the rogue"
ip netns exec "$dns" dnsmasq --keep-in-foreground --conf-file=/dev/null --port=0 --no-resolv \
    --pid-file="$work/dnsmasq.pid" --interface=vyh-d0 --bind-interfaces \
    --log-dhcp --log-facility="$work/dnsmasq.log" --dhcp-leasefile="$work/dnsmasq.leases" \
    --dhcp-range=10.78.0.100,10.78.0.150,255.255.255.0,2h &
wait_for "dnsmasq to listen" listens_udp "$dns" 67 || exit 1
run --check "$ifc" -4 --expect 10.78.0.254
expect "a rogue" 2 "DHCP CRITICAL - unexpected DHCP server on $ifc: 10.78.0.1 \(expected only 10.78.0.254\) \| dhcpv4_servers=2;;;0 dhcpv4_offer_ms=[0-9.]+ms;;;0;5000"

echo "== dhcpcd's lease from dnsmasq"
ip netns pids "$kns" | xargs -r kill
wait_for "Kea to end" bash -c "! ip netns exec $kns ss -Hlun 'sport = :67' | grep -q ."
printf 'nodelay\nnoarp\nnohook resolv.conf\n' >"$work/dhcpcd.conf"
in_census dhcpcd -f "$work/dhcpcd.conf" -c /bin/true -4 -t 60 -w "$ifc" >"$work/dhcpcd.log" 2>&1 ||
    { cat "$work/dhcpcd.log"; fail "dhcpcd got no lease"; exit 1; }
hours='(2|1\.9) h'
run --check-lease "$ifc"
expect "the lease" 0 "DHCP LEASE OK - DHCPv4 lease on $ifc: $hours left, server 10.78.0.1 answers \| dhcpv4_lease_hours=[0-9.]+ dhcpv4_servers=1;;;0"
run --check-lease "$ifc" -4 -w 3 -c 1
expect "the lease, -w above its hours" 1 "DHCP LEASE WARNING - the DHCPv4 lease on $ifc ends in $hours \(-w 3 h\) \| dhcpv4_lease_hours=[0-9.]+;3:;1: dhcpv4_servers=1;;;0"
kill "$(cat "$work/dnsmasq.pid")"
wait_for "dnsmasq to end" bash -c "! ip netns exec $dns ss -Hlun 'sport = :67' | grep -q ."
run --check-lease "$ifc" --wait 1
expect "the lease's server gone" 2 "DHCP LEASE CRITICAL - DHCPv4 server 10.78.0.1 of the lease on $ifc did not answer within 1 s \| dhcpv4_lease_hours=[0-9.]+ dhcpv4_servers=0;;;0"
in_census dhcpcd -x "$ifc" >/dev/null 2>&1

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
