#!/usr/bin/env bash
# End to end on Linux, IPv6: real DHCPv6 servers and router advertisers
# (dnsmasq with --enable-ra; Kea's kea-dhcp6 beside radvd) and real clients
# (dhcpcd; dhclient -6) in network namespaces joined by veth pairs, and
# `veyra` run in the client's namespace: its IPv6 part must show the lease,
# the identity association's address and the router the kernel took, and no
# IPv4 rows where the network has no IPv4. With --show it prints each
# client's `veyra -6` output as well (the README's examples). Everything it
# makes it removes again. Exit 77 (skipped) without root or the programs.
#
# Usage: veyra_ipv6_netns_e2e.sh PATH_TO_VEYRA [--show]
set -uo pipefail
[ -n "${VYW_TRACE:-}" ] && set -x
veyra=$1
show=${2:-}

. "$(dirname "$0")/../../scripts/netns_lib.sh"
skip_without ip dnsmasq dhcpcd dhclient radvd kea-dhcp6
skip_unless_root

srv=vyw-srv-$$
cli=vyw-cli-$$
ifc=vyw-c$$
mac=02:00:00:88:00:02
# Where veyra looks for dhclient's leases.
lease6=/var/lib/dhcp/dhclient6.$ifc.leases

cleanup() {
    netns_remove "$cli" "$srv"
    dhcpcd_forget "$ifc"
    rm -f "$lease6"
}
on_exit cleanup
work=$(mktemp -d)

in_cli() { ip netns exec "$cli" "$@"; }
in_srv() { ip netns exec "$srv" "$@"; }

# A fresh link: the client's side with its link-local address past DAD.
# The namespaces' programs end with them.
new_link() {
    netns_remove "$cli" "$srv"
    # A client's lease of the last link is not this one's.
    dhcpcd_forget "$ifc"
    rm -f "$lease6"
    netns_veth "$srv" vyw-s0 "$cli" "$ifc" "$mac" || exit 1
    in_srv sysctl -qw net.ipv6.conf.vyw-s0.accept_dad=0
    in_cli sysctl -qw net.ipv6.conf."$ifc".accept_dad=0
    ip -n "$srv" addr add 2001:db8:88::1/64 dev vyw-s0 nodad
    ip -n "$srv" link set vyw-s0 up
    ip -n "$cli" link set "$ifc" up
    ip -n "$srv" link set lo up
    wait_for "the server's link-local address" link_local_ready "$srv" vyw-s0
    wait_for "the client's link-local address" link_local_ready "$cli" "$ifc"
}

# run_veyra LABEL CLIENT [routers]: `veyra -6 IF` and `veyra IF --json` of
# the client; the rows must show CLIENT's lease and the address leased, and
# with "routers" the router the kernel took from the advertisements.
run_veyra() {
    local label=$1 rows json status
    rows=$(in_cli "$veyra" -6 "$ifc" 2>"$work/err")
    status=$?
    [ -n "$show" ] && printf '### %s\n$ veyra -6 %s\n%s\n\n' "$label" "$ifc" "$rows"
    check "$label: exit status" 0 "$status"
    grep -q "^DHCPv6 Lease  *$2" <<<"$rows" || fail "$label: no lease from $2: $rows"
    grep -qE "^  .* +2001:db8:88::[0-9a-f]+, preferred" <<<"$rows" ||
        fail "$label: no address leased: $rows"
    json=$(in_cli "$veyra" "$ifc" --json 2>"$work/err")
    grep -q '"family": "ipv4"' <<<"$json" && fail "$label: IPv4 rows without IPv4: $json"
    grep -q "\"family\": \"ipv6\", \"code\": 3, .*\"source\": \"$2\"" <<<"$json" ||
        fail "$label: no IA_NA in JSON: $json"
    if [ "${3:-}" = routers ]; then
        grep -qE "^Router  +fe80::" <<<"$rows" || fail "$label: no router: $rows"
        grep -q '"family": "ipv6", "kind": "router"' <<<"$json" || fail "$label: no router in JSON"
    fi
}

# dnsmasq: router advertisements with M and O, and stateful DHCPv6.
new_link
in_srv dnsmasq --keep-in-foreground --conf-file=/dev/null --port=0 --no-resolv \
    --interface=vyw-s0 --bind-interfaces --log-dhcp --log-facility="$work/dnsmasq.log" \
    --pid-file="$work/dnsmasq.pid" --enable-ra --ra-param=vyw-s0,mtu:1400,30 \
    --dhcp-range=2001:db8:88::100,2001:db8:88::1ff,64,10m \
    --dhcp-option=option6:dns-server,[2001:db8:88::53] \
    --dhcp-option=option6:domain-search,lab.example --dhcp-leasefile="$work/dnsmasq.leases" &
printf 'nodelay\nnohook resolv.conf\nipv6only\noption dhcp6_name_servers, dhcp6_domain_search\n' \
    >"$work/dhcpcd.conf"
if in_cli dhcpcd -f "$work/dhcpcd.conf" -c /bin/true -1 -6 -t 60 "$ifc" >"$work/dhcpcd.log" 2>&1
then
    run_veyra "dhcpcd, dnsmasq" dhcpcd
    # --inform asks dnsmasq itself, from the link-local address.
    json=$(in_cli "$veyra" -6 "$ifc" --inform --json 2>"$work/err")
    check "--inform: exit status" 0 "$?"
    grep -q '"family": "ipv6", "code": 23, .*"data": "2001:db8:88::53", .*"source": "inform"' \
        <<<"$json" || fail "--inform: no DNS server from the Information-request: $json"
else
    cat "$work/dhcpcd.log"
    fail "dhcpcd got no DHCPv6 lease"
fi
in_cli dhcpcd -f "$work/dhcpcd.conf" -x -6 "$ifc" >/dev/null 2>&1

# Kea and radvd: RDNSS and DNSSL in the advertisements, the lease from Kea.
new_link
mkdir -p "$work/kea"
cat >"$work/kea.json" <<JSON
{"Dhcp6": {"interfaces-config": {"interfaces": ["vyw-s0"]},
  "lease-database": {"type": "memfile", "persist": false},
  "server-id": {"type": "LLT", "persist": false},
  "subnet6": [{"id": 1, "subnet": "2001:db8:88::/64", "interface": "vyw-s0",
    "pools": [{"pool": "2001:db8:88::200-2001:db8:88::2ff"}],
    "option-data": [{"name": "dns-servers", "data": "2001:db8:88::53"}]}],
  "preferred-lifetime": 3000, "valid-lifetime": 4000, "renew-timer": 1000,
  "rebind-timer": 2000}}
JSON
in_srv env KEA_LOCKFILE_DIR="$work/kea" KEA_PIDFILE_DIR="$work/kea" \
    kea-dhcp6 -c "$work/kea.json" >"$work/kea.log" 2>&1 &
cat >"$work/radvd.conf" <<CONF
interface vyw-s0 {
    AdvSendAdvert on; AdvManagedFlag on; AdvOtherConfigFlag on;
    MinRtrAdvInterval 3; MaxRtrAdvInterval 10; AdvDefaultPreference high;
    prefix 2001:db8:88::/64 { AdvOnLink on; AdvAutonomous off; };
    RDNSS 2001:db8:88::53 { }; DNSSL lab.example { };
};
CONF
in_srv radvd -n -C "$work/radvd.conf" -p "$work/radvd.pid" -m logfile -l "$work/radvd.log" &
in_cli sysctl -qw net.ipv6.conf."$ifc".accept_ra=2
if in_cli dhclient -6 -1 -sf /bin/true -lf "$lease6" -pf "$work/dhclient6.pid" "$ifc" \
    >"$work/dhclient.log" 2>&1; then
    wait_for "a router advertisement" in_cli sh -c "ip -6 route show dev $ifc | grep -q '^default'"
    run_veyra "dhclient -6, Kea, radvd" dhclient routers
else
    cat "$work/dhclient.log" "$work/kea.log"
    fail "dhclient -6 got no lease"
fi

[ "$failures" -eq 0 ] && echo "ok" || exit 1
