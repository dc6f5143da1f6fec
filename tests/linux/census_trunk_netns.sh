#!/usr/bin/env bash
# The census on a trunk against real servers, each VLAN's in namespaces of
# this run's own behind veyra-test-vlan-switch (the kernel here has no VLAN
# devices; where it has, the same census runs again through them):
#   VLAN 10  dnsmasq: DHCPv4, DHCPv6 and router advertisements
#   VLAN 20  Kea (DHCPv4 and DHCPv6) and radvd; the switch tags it with
#            priority 5, which the census must not take for part of the VLAN
#   VLAN 30  dnsmasq, and a rogue: a second dnsmasq and radvd with a prefix
#            of its own, on a port of their own
#   VLAN 40  a link with nobody answering
#   untagged dnsmasq again, whose leases a dhcpcd on the census's interface
#            holds throughout
# `veyra --discover --json` must find each responder on its VLAN and nothing
# on VLAN 40, with the right findings and exit status, also with -4 and -6
# and with approved lists; dhcpcd keeps its leases and default routes, and
# dumpcap on the census's interface sees no DHCPREQUEST and no DHCPv6
# Request leave it. The capture stays in OUT_FOLDER (census-trunk.pcap).
# Exit 77 (skipped) without root or the programs it needs.
#
# Usage: census_trunk_netns.sh PATH_TO_VEYRA PATH_TO_VLAN_SWITCH OUT_FOLDER
set -uo pipefail
veyra=$1
switch=$2
out=$3

here=$(dirname "$0")
. "$here/../scripts/netns_lib.sh"
. "$here/../scripts/vlan_trunk_lib.sh"
skip_without ip dnsmasq radvd dhcpcd dumpcap tshark python3
for kea in kea-dhcp4 kea-dhcp6; do
    command -v "$kea" >/dev/null || [ -x /usr/sbin/$kea ] ||
        { echo "skipped: $kea is not installed"; exit 77; }
done
skip_unless_root
export PATH=$PATH:/usr/sbin

trunk_census=vyt-c-$$
trunk_switch=vyt-s-$$
ifc=vyt-t$$
servers=(vyt-n-$$ vyt-10-$$ vyt-20-$$ vyt-30-$$ vyt-31-$$ vyt-40-$$)

cleanup() {
    netns_remove "$trunk_census" "$trunk_switch" "${servers[@]}"
    dhcpcd_forget "$ifc"
}
on_exit cleanup
work=$(mktemp -d)
trunk_ports=$work/ports
mkdir -p "$out" || exit 1

# server NAMESPACE VLAN PORT MAC IPV4/24 [IPV6/64]: a server's link "srv" on an
# access port, without duplicate address detection, forwarding as a router.
server() {
    ip netns add "$1" &&
        ip netns exec "$1" sysctl -qw net.ipv6.conf.default.accept_dad=0 \
            net.ipv6.conf.all.forwarding=1 &&
        trunk_port "$2" "$3" "$1" srv "$4" &&
        ip -n "$1" addr add "$5" dev srv || return 1
    [ -z "${6:-}" ] || ip -n "$1" addr add "$6" dev srv nodad
}

# dnsmasq_in NAMESPACE NAME OPTIONS...: dnsmasq as shipped (it pings before
# it offers), on the namespace's link.
dnsmasq_in() {
    local ns=$1 name=$2
    shift 2
    ip netns exec "$ns" dnsmasq --keep-in-foreground --conf-file=/dev/null --port=0 \
        --interface=srv --bind-interfaces --pid-file="$work/$name.pid" \
        --log-facility="$work/$name.log" --dhcp-leasefile="$work/$name.leases" "$@" &
}

# radvd_in NAMESPACE NAME PREFIX: radvd defers its answer to a Router
# Solicitation soon after an advertisement of its own by its whole interval,
# so it advertises every 3 to 4 s: each census's wait hears it either way.
radvd_in() {
    cat >"$work/$2.conf" <<CONF
interface srv {
    AdvSendAdvert on;
    AdvManagedFlag on;
    AdvOtherConfigFlag on;
    MinRtrAdvInterval 3;
    MaxRtrAdvInterval 4;
    prefix $3 { };
};
CONF
    ip netns exec "$1" radvd -C "$work/$2.conf" -n -m logfile -l "$work/$2.log" \
        -p "$work/$2.pid" -u root &
}

# kea_in NAMESPACE dhcp4|dhcp6 SUBNET POOL: Kea with a lock and pid folder
# of its own.
kea_in() {
    local ns=$1 family=$2 name=kea-$2
    mkdir -p "$work/$name"
    cat >"$work/$name.json" <<KEA
{"D${family:1}": {
  "interfaces-config": {"interfaces": ["srv"]},
  "lease-database": {"type": "memfile", "persist": false},
  $([ "$family" = dhcp6 ] && echo '"server-id": {"type": "LL", "persist": false},')
  "subnet${family: -1}": [{"id": 1, "subnet": "$3", "interface": "srv",
                           "pools": [{"pool": "$4"}]}],
  "loggers": [{"name": "kea-$family", "severity": "INFO",
               "output_options": [{"output": "$work/$name.log"}]}]
}}
KEA
    KEA_LOCKFILE_DIR=$work/$name KEA_PIDFILE_DIR=$work/$name \
        ip netns exec "$ns" "kea-$family" -c "$work/$name.json" >"$work/$name.out" 2>&1 &
}

trunk_make "$ifc" || exit 1
# dhcpcd takes the untagged link's advertisements in, as it wants to.
in_census sysctl -qw net.ipv6.conf."$ifc".accept_ra=0
server vyt-n-$$ 0 an 02:00:00:74:00:01 10.99.0.1/24 2001:db8:99::1/64 &&
    server vyt-10-$$ 10 a10 02:00:00:74:10:01 10.10.0.1/24 2001:db8:10::1/64 &&
    server vyt-20-$$ 20 a20 02:00:00:74:20:01 10.20.0.1/24 2001:db8:20::1/64 &&
    server vyt-30-$$ 30 a30 02:00:00:74:30:01 10.30.0.1/24 &&
    server vyt-31-$$ 30 a31 02:00:00:74:30:66 10.30.0.66/24 &&
    server vyt-40-$$ 40 a40 02:00:00:74:40:01 10.40.0.1/24 || exit 1

# dnsmasq's DHCPv6 servers have fixed DUIDs (DUID-EN), which a list approves.
dnsmasq_in vyt-n-$$ native --dhcp-duid=32473,0a00 --enable-ra --dhcp-range=10.99.0.100,10.99.0.150,1h \
    --dhcp-range=2001:db8:99::100,2001:db8:99::1ff,64,1h
dnsmasq_in vyt-10-$$ v10 --dhcp-duid=32473,0a10 --enable-ra --dhcp-range=10.10.0.100,10.10.0.150,1h \
    --dhcp-range=2001:db8:10::100,2001:db8:10::1ff,64,1h
kea_in vyt-20-$$ dhcp4 10.20.0.0/24 "10.20.0.100 - 10.20.0.150"
kea_in vyt-20-$$ dhcp6 2001:db8:20::/64 "2001:db8:20::100 - 2001:db8:20::1ff"
radvd_in vyt-20-$$ radvd20 2001:db8:20::/64
dnsmasq_in vyt-30-$$ v30 --dhcp-range=10.30.0.100,10.30.0.150,1h
dnsmasq_in vyt-31-$$ rogue --dhcp-range=10.30.0.200,10.30.0.250,1h
radvd_in vyt-31-$$ radvd31 2001:db8:66::/64

wait_for "dnsmasq untagged" listens_udp vyt-n-$$ 67 && wait_for "dnsmasq on 10" listens_udp vyt-10-$$ 547 &&
    wait_for "Kea's DHCPv4 on 20" grep -qs DHCP4_STARTED "$work/kea-dhcp4.log" &&
    wait_for "Kea's DHCPv6 on 20" listens_udp vyt-20-$$ 547 &&
    wait_for "dnsmasq on 30" listens_udp vyt-30-$$ 67 && wait_for "the rogue" listens_udp vyt-31-$$ 67 &&
    wait_for "radvd on 20" test -s "$work/radvd20.pid" &&
    wait_for "radvd on 30" test -s "$work/radvd31.pid" || exit 1
trunk_switch_start "$switch" "$work/switch.log" --priority 20=5 || exit 1

# dhcpcd leases an address of each family from the untagged dnsmasq and
# keeps its default routes; what it holds is compared after every census.
printf 'nodelay\nnoarp\nnohook resolv.conf\nia_na 1\noption dhcp6_name_servers\n' >"$work/dhcpcd.conf"
in_census dhcpcd -f "$work/dhcpcd.conf" -c /bin/true -t 60 --waitip=4 --waitip=6 "$ifc" \
    >"$work/dhcpcd.log" 2>&1 || { cat "$work/dhcpcd.log"; fail "dhcpcd got no leases"; }
has_default() { [ -n "$(ip -n "$trunk_census" "$1" route show default dev "$ifc")" ]; }
wait_for "dhcpcd's IPv4 default route" has_default -4 &&
    wait_for "dhcpcd's IPv6 default route" has_default -6 || exit 1
dhcpcd_holds() {
    sha256sum /var/lib/dhcpcd/"$ifc".lease /var/lib/dhcpcd/"$ifc".lease6 | cut -d' ' -f1
    ip -n "$trunk_census" -4 route show default
    ip -n "$trunk_census" -6 route show default | sed 's/ expires [0-9]*sec//'
    ip -n "$trunk_census" addr show dev "$ifc" scope global | grep -o 'inet6\? [^ ]*'
}
dhcpcd_holds >"$work/dhcpcd.before"
grep -q 'inet 10\.99\.0\.' "$work/dhcpcd.before" && grep -q 'inet6 2001:db8:99::' "$work/dhcpcd.before" ||
    fail "dhcpcd holds no lease of each family: $(cat "$work/dhcpcd.before")"

# dumpcap on the census's interface for every census below; it keeps only
# its capture capabilities, so it writes into our own folder.
ip netns exec "$trunk_census" dumpcap -q -P -i "$ifc" -w "$work/census-trunk.pcap" \
    >"$work/dumpcap.log" 2>&1 &
dumpcap_pid=$!
wait_for "dumpcap to capture" grep -qs "^File:" "$work/dumpcap.log" || exit 1

# census NAME ARGUMENTS...: veyra --discover --json on the trunk; NAME.json,
# NAME.err and its status in NAME.status.
census() {
    local name=$1
    shift
    in_census "$veyra" --discover "$ifc" --json "$@" >"$work/$name.json" 2>"$work/$name.err"
    echo $? >"$work/$name.status"
}

# responders NAME: one line per responder, sorted: the VLAN (- untagged),
# the family, who it is, where from and its flags; and "VLAN silent" where the
# census says nothing answered.
responders() {
    python3 - "$work/$1.json" <<'PY'
import json, sys
doc = json.load(open(sys.argv[1]))
lines = []
for v in doc["vlans"]:
    vlan = "-" if v["vlan"] is None else str(v["vlan"])
    found = []
    for s in (v["dhcpv4"] or {}).get("servers", []):
        found.append(f'{vlan} v4 {s["server_id"]} {s["paths"][0]["mac"]} {",".join(s["flags"])}')
    for s in (v["dhcpv6"] or {}).get("servers", []):
        found.append(f'{vlan} v6 {s["duid"]} {s["address"]} {",".join(s["flags"])}')
    for r in (v["routers"] or {}).get("routers", []):
        prefixes = " ".join(p["prefix"] for p in r["prefixes"])
        found.append(f'{vlan} ra {r["address"]} {prefixes} {",".join(r["flags"])}')
    if v["silent"] is not None:
        found.append(f"{vlan} silent")
    lines += found
print("\n".join(sorted(lines)))
PY
}

# check_census NAME STATUS EXPECTED: the census's status and responders.
check_census() {
    check "$1: exit status ($(tail -n 3 "$work/$1.err"))" "$2" "$(cat "$work/$1.status")"
    check "$1: responders" "$3" "$(responders "$1")"
}

trunk_censuses() {
    local via=$1
    echo "== every VLAN, every family ($via)"
    census all-$via --vlan 10,20,30,40
    check_census all-$via 6 "$expected_all"
    check "all-$via: answers tagged with another VLAN than their probe's" 0 "$(python3 -c '
import json, sys
print(sum(v["other_vlan_answers"] for v in json.load(open(sys.argv[1]))["vlans"]))' \
        "$work/all-$via.json")"
    echo "== approved lists per VLAN ($via)"
    census listed-$via --vlan 10,20,30,40 --expect-file "$work/approved"
    check_census listed-$via 6 "$expected_listed"
    findings=$(python3 -c 'import json, sys; print("\n".join(json.load(open(sys.argv[1]))["findings"]))' \
        "$work/listed-$via.json")
    check "listed-$via: findings only on VLAN 30" "" "$(grep -v ' VLAN 30' <<<"$findings")"
    grep -q 10.30.0.66 <<<"$findings" || fail "listed-$via: no finding names the rogue: $findings"
    census approved-$via --vlan 10,20,30 --expect-file "$work/approved" \
        --expect 10.30.0.66%30 --expect 02:00:00:74:30:66%30
    check_census approved-$via 0 "$(grep -v '^40' <<<"$expected_all")"
    # An entry for another VLAN approves nothing here.
    census elsewhere-$via --vlan 30 -4 --expect 10.30.0.1 --expect 10.30.0.66%10
    check_census elsewhere-$via 6 "$(grep '^30 v4' <<<"$expected_listed")"
    echo "== one family at a time ($via)"
    census v4-$via --vlan 10,20,40 -4
    check_census v4-$via 5 "$(grep -E '^(10|20) v4' <<<"$expected_all")
40 silent"
    census v6-$via --vlan 20 -6 --expect-file "$work/approved"
    check_census v6-$via 0 "$(grep -E '^20 (v6|ra)' <<<"$expected_all")"
}

cat >"$work/approved" <<'LIST'
# Each VLAN's own; the rogue on VLAN 30 is on no list.
10.10.0.1%10
duid:000200007ed90a10%10
fe80::ff:fe74:1001%10
10.20.0.1%20
duid:00030001020000742001%20
fe80::ff:fe74:2001%20
10.30.0.1%30
LIST
expected_all="10 ra fe80::ff:fe74:1001 2001:db8:10::/64 
10 v4 10.10.0.1 02:00:00:74:10:01 
10 v6 000200007ed90a10 fe80::ff:fe74:1001 
20 ra fe80::ff:fe74:2001 2001:db8:20::/64 
20 v4 10.20.0.1 02:00:00:74:20:01 
20 v6 00030001020000742001 fe80::ff:fe74:2001 
30 ra fe80::ff:fe74:3066 2001:db8:66::/64 
30 v4 10.30.0.1 02:00:00:74:30:01 
30 v4 10.30.0.66 02:00:00:74:30:66 
40 silent"
expected_listed=$(sed -e 's/^\(30 .*66.*\) $/\1 unexpected/' <<<"$expected_all")

trunk_censuses switch

echo "== untagged, beside dhcpcd"
census untagged
check_census untagged 0 "- ra fe80::ff:fe74:1 2001:db8:99::/64 
- v4 10.99.0.1 02:00:00:74:00:01 
- v6 000200007ed90a00 fe80::ff:fe74:1 "

# The same census through the kernel's VLAN devices, where it has them: a
# bridge per VLAN joins the trunk's device of that VLAN and the access ports.
if ip -n "$trunk_switch" link add link trunk name trunk.10 type vlan id 10 2>/dev/null; then
    kill "$(ip netns pids "$trunk_switch")"
    ip -n "$trunk_switch" link del trunk.10
    while read -r vlan port; do
        if ! ip -n "$trunk_switch" link show "br$vlan" >/dev/null 2>&1; then
            parent=trunk
            if [ "$vlan" != 0 ]; then
                parent=trunk.$vlan
                # VLAN 20's tags carry priority 5 here too.
                ip -n "$trunk_switch" link add link trunk name "$parent" type vlan id "$vlan" \
                    $([ "$vlan" = 20 ] && echo egress-qos-map 0:5)
            fi
            ip -n "$trunk_switch" link add "br$vlan" type bridge
            ip -n "$trunk_switch" link set "$parent" master "br$vlan" up
            ip -n "$trunk_switch" link set "br$vlan" up
        fi
        ip -n "$trunk_switch" link set "$port" master "br$vlan"
    done <"$trunk_ports"
    trunk_censuses kernel
else
    echo "skipped: no kernel VLAN devices here; the census ran through the switch alone"
fi

kill -INT "$dumpcap_pid"
wait "$dumpcap_pid"
cp "$work/census-trunk.pcap" "$out/"
dhcpcd_holds >"$work/dhcpcd.after"
check "dhcpcd's leases, routes and addresses" "$(cat "$work/dhcpcd.before")" \
    "$(cat "$work/dhcpcd.after")"
kill -0 "$(cat /run/dhcpcd/"$ifc".pid 2>/dev/null)" 2>/dev/null || fail "dhcpcd ended"
# captured [TSHARK OPTIONS] FILTER: the VLANs of the frames matching FILTER
# in the capture ("none" for an untagged one), once each; a filter tshark
# refuses fails the test.
captured() {
    local filter=${*: -1}
    tshark -r "$work/census-trunk.pcap" "${@:1:$#-1}" -Y "$filter" -T fields -e vlan.id \
        >"$work/captured" 2>"$work/tshark.err" || fail "tshark: $(cat "$work/tshark.err")"
    sed 's/^$/none/' "$work/captured" | sort -u | paste -sd' '
}
# The capture holds the census's probes on every VLAN, and no request of
# either family.
mac=$(ip -n "$trunk_census" -br link show "$ifc" | awk '{ print $3 }')
check "DHCPDISCOVERs on" "10 20 30 40 none" "$(captured "dhcp.option.dhcp == 1 && eth.src == $mac")"
check "Solicits on" "10 20 30 40 none" "$(captured 'dhcpv6.msgtype == 1 && ipv6.src != ::')"
check "no DHCPREQUEST, no DHCPv6 Request, Renew or Rebind" "" \
    "$(captured 'dhcp.option.dhcp == 3 || dhcpv6.msgtype in {3, 5, 6}')"
# The switch's own work: the priority on VLAN 20's tags alone, and every
# checksum that dnsmasq and Kea left to the device filled in.
check "VLANs tagged with a priority" "20" "$(captured 'vlan.priority != 0')"
check "tagged UDP with a bad checksum" "" \
    "$(captured -o udp.check_checksum:TRUE 'vlan && udp.checksum.status == 0')"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
