#!/usr/bin/env bash
# `veyra --discover IF --metrics FILE` end to end: dnsmasq (as shipped) serves
# a veth, the census writes its file into a textfile folder, and a real
# prometheus-node-exporter with only its textfile collector serves it over
# HTTP in the client's namespace. A failed census writes its failure. Every
# file also passes `promtool check metrics`. Exit 77 (skipped) without root or
# the programs it needs.
#
# Usage: veyra_metrics_netns.sh PATH_TO_VEYRA
set -uo pipefail
veyra=$1

. "$(dirname "$0")/../../scripts/netns_lib.sh"
skip_without ip dnsmasq ss curl promtool prometheus-node-exporter
skip_unless_root

cli=vym-cli-$$
dns=vym-dns-$$
ifc=vym-c$$
address=127.0.0.1:9100

on_exit 'netns_remove "$cli" "$dns"'
work=$(mktemp -d)
textfiles=$work/textfile
mkdir "$textfiles"

in_cli() { ip netns exec "$cli" "$@"; }
listens() { [ -n "$(ip netns exec "$1" ss -Hl"$2"n "sport = :$3")" ]; }
scrape() { in_cli curl -sf "http://$address/metrics"; }

# lint FILE: promtool's exit status and what it says.
lint() {
    local said
    said=$(promtool check metrics <"$1" 2>&1)
    check "promtool check metrics on $(basename "$1")" "0 " "$? $said"
}

netns_veth "$cli" "$ifc" "$dns" vym-s0 || exit 1
ip -n "$cli" link set lo up
ip -n "$cli" link set "$ifc" up
ip -n "$dns" addr add 10.79.0.1/24 dev vym-s0
ip -n "$dns" link set vym-s0 up
ip netns exec "$dns" dnsmasq --keep-in-foreground --conf-file=/dev/null --port=0 --no-resolv \
    --pid-file="$work/dnsmasq.pid" --interface=vym-s0 --bind-interfaces \
    --dhcp-range=10.79.0.100,10.79.0.150,255.255.255.0,10m \
    --dhcp-leasefile="$work/dnsmasq.leases" &
wait_for "dnsmasq to listen" listens "$dns" u 67 || exit 1

in_cli "$veyra" --discover "$ifc" -4 --metrics "$textfiles/veyra-$ifc.prom" >"$work/out" 2>"$work/err"
check "the census's exit status" 0 "$?"
lint "$textfiles/veyra-$ifc.prom"
check "the file's mode" 644 "$(stat -c %a "$textfiles/veyra-$ifc.prom")"
in_cli "$veyra" --discover vym-none$$ --metrics "$textfiles/veyra-vym-none.prom" 2>"$work/err"
check "a census without its interface (no adapter)" 3 "$?"
lint "$textfiles/veyra-vym-none.prom"
check "only the two files in the folder" "veyra-$ifc.prom veyra-vym-none.prom" \
    "$(ls -A "$textfiles" | paste -sd ' ')"

in_cli prometheus-node-exporter --collector.disable-defaults --collector.textfile \
    --collector.textfile.directory="$textfiles" --web.listen-address="$address" \
    >"$work/node_exporter.log" 2>&1 &
wait_for "node_exporter to listen" listens "$cli" t 9100 || exit 1
scrape >"$work/scrape" || fail "the scrape"
mac=$(ip -n "$dns" -br link show vym-s0 | awk '{ print $3 }')
for line in \
    'node_textfile_scrape_error 0' \
    "veyra_census_success{interface=\"$ifc\"} 1" \
    "veyra_census_success{interface=\"vym-none$$\"} 0" \
    "veyra_dhcp_servers{family=\"dhcpv4\",interface=\"$ifc\",vlan=\"untagged\"} 1" \
    "veyra_dhcp_server_info{address=\"10.79.0.1\",approved=\"unknown\",family=\"dhcpv4\",id=\"10.79.0.1\",interface=\"$ifc\",mac=\"$mac\",vlan=\"untagged\"} 1" \
    "veyra_census_findings{family=\"dhcpv4\",interface=\"$ifc\",vlan=\"untagged\"} 0"; do
    grep -qxF "$line" "$work/scrape" || fail "the scrape lacks: $line"
done
grep -qE "^veyra_dhcp_offer_seconds\{family=\"dhcpv4\",interface=\"$ifc\",vlan=\"untagged\"\} [0-9.e+-]+$" \
    "$work/scrape" || fail "the first offer's time"
[ "$failures" = 0 ] || { cat "$work/scrape" "$work/node_exporter.log"; exit 1; }
echo "metrics end to end: all passed"
