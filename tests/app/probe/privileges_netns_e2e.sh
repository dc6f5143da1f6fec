#!/usr/bin/env bash
# What veyra-probe and veyra keep of their privileges, run as nobody from
# copies in a temporary folder: the helper with cap_net_raw+ep, veyra with
# cap_net_raw+ep and set-user-ID root. Against dnsmasq in a network namespace
# of its own (and Kea beside a dhcpcd that holds port 68): the helper's
# DHCPv4 census, inform and DHCPv6 inform6 work, its status line (the
# kernel's, read once its socket is open) shows no capability left and
# no_new_privs set; veyra's /proc status shows the same once its socket is
# open. Exit 77 (skipped) without root, the programs, or file capabilities.
#
# Usage: privileges_netns_e2e.sh PATH_TO_VEYRA_PROBE PATH_TO_VEYRA
set -uo pipefail
probe_built=$1
veyra_built=$2

. "$(dirname "$0")/../../scripts/netns_lib.sh"
skip_without ip dnsmasq setpriv setcap python3
skip_unless_root

srv=vyp-srv-$$
cli=vyp-cli-$$
ifc=vyp-c$$

cleanup() {
    netns_remove "$cli" "$srv"
    dhcpcd_forget "$ifc"
}
on_exit cleanup
# Copies nobody can reach, whatever the checkout's folders allow.
make_work "$probe_built" veyra-probe "$probe_built" veyra-probe-plain "$veyra_built" veyra-caps ||
    exit 1
install -m 4755 "$veyra_built" "$work/veyra-suid"
if ! setcap cap_net_raw+ep "$work/veyra-probe" 2>/dev/null ||
    ! setcap cap_net_raw+ep "$work/veyra-caps" 2>/dev/null; then
    echo "skipped: $work takes no file capabilities"
    exit 77
fi

in_cli() { ip netns exec "$cli" "$@"; }
as_nobody() { in_cli setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all "$@"; }

netns_veth "$srv" vyp-s0 "$cli" "$ifc" 02:00:00:70:00:02 || exit 1
ip -n "$srv" addr add 10.70.0.1/24 dev vyp-s0
ip -n "$srv" addr add 2001:db8:70::1/64 dev vyp-s0
ip -n "$srv" link set vyp-s0 up
ip -n "$cli" addr add 10.70.0.2/24 dev "$ifc"
ip -n "$cli" link set "$ifc" up
ip netns exec "$srv" dnsmasq --keep-in-foreground --conf-file=/dev/null --port=0 --no-resolv \
    --interface=vyp-s0 --bind-interfaces --no-ping --log-facility="$work/dnsmasq.log" \
    --dhcp-range=10.70.0.100,10.70.0.150,255.255.255.0,10m --dhcp-leasefile="$work/dnsmasq.leases" \
    --dhcp-option=option:router,10.70.0.1 \
    --enable-ra --dhcp-range=::,constructor:vyp-s0,ra-stateless \
    --dhcp-option=option6:dns-server,[2001:db8:70::53] &
wait_for "dnsmasq to listen" listens_udp "$srv" 67 || exit 1
# A census finds no carrier (and sends nothing) until the kernel's link
# watch has seen the fresh veth's.
client_running() { ip -n "$cli" -o link show "$ifc" | grep -q 'state UP'; }
wait_for "the client's carrier" client_running || exit 1

# field EVENT EXPRESSION: from the JSON line of that event in $work/out, the
# expression over its object e (status: its lines as a dict s).
field() {
    python3 - "$work/out" "$1" "$2" <<'PY'
import json, sys
lines = [json.loads(l) for l in open(sys.argv[1])]
e = next(l for l in lines if l["event"] == sys.argv[2])
s = dict(x.split(":\t") for x in e.get("status", "").splitlines())
print(eval(sys.argv[3]))
PY
}
zero=0000000000000000

echo "== the helper as nobody, cap_net_raw+ep: DHCPv4 census"
as_nobody "$work/veyra-probe" census "$ifc" 2000 1 - - 0 >"$work/out" 2>"$work/err"
check "helper's exit status" 0 $?
check "helper's end" 0 "$(field end 'e["error"]')"
for set in CapInh CapPrm CapEff CapAmb; do
    check "helper's $set once open" "$zero" "$(field opened "s['$set']")"
done
check "helper's NoNewPrivs once open" 1 "$(field opened "s['NoNewPrivs']")"
echo "helper's status once open: $(field opened 's')"
# dnsmasq's offer, relayed as it came: server identifier 10.70.0.1 (option 54).
grep '"event":"frame"' "$work/out" | grep -q '36040a460001' || fail "no offer relayed: $(cat "$work/out")"

echo "== the helper as nobody, cap_net_raw+ep: inform"
as_nobody "$work/veyra-probe" inform "$ifc" >"$work/out" 2>"$work/err"
check "inform's end" 0 "$(field end 'e["error"]')"
check "inform's subnet mask" ffffff00 "$(field options 'e["options"]["1"]')"
check "inform's CapEff once open" "$zero" "$(field opened "s['CapEff']")"

echo "== the helper as nobody, cap_net_raw+ep: inform6"
# The client's link-local address usable: duplicate address detection over.
wait_for "the client's link-local address" link_local_ready "$cli" "$ifc"
as_nobody "$work/veyra-probe" inform6 "$ifc" >"$work/out" 2>"$work/err"
check "inform6's exit status" 0 $?
check "inform6's end" 0 "$(field end 'e["error"]')"
# DNS Recursive Name Server (23): 2001:db8:70::53.
check "inform6's DNS server" True \
    "$(field options6 '"0017001020010db8007000000000000000000053" in e["data"]')"
for set in CapInh CapPrm CapEff CapAmb; do
    check "inform6's $set once open" "$zero" "$(field opened "s['$set']")"
done
check "inform6's NoNewPrivs once open" 1 "$(field opened "s['NoNewPrivs']")"
as_nobody "$work/veyra-probe-plain" inform6 "$ifc" >"$work/out" 2>"$work/err"
check "inform6's end without the capability" 1 "$(field end 'e["error"]')" # EPERM

echo "== the helper as root: the bounding set goes too"
in_cli "$work/veyra-probe-plain" census "$ifc" 100 1 - - 0 >"$work/out" 2>"$work/err"
for set in CapPrm CapEff CapBnd; do
    check "root's helper's $set once open" "$zero" "$(field opened "s['$set']")"
done

echo "== the helper as nobody without the capability"
as_nobody "$work/veyra-probe-plain" census "$ifc" 100 1 - - 0 >"$work/out" 2>"$work/err"
check "end without the capability" 1 "$(field end 'e["error"]')" # EPERM
as_nobody "$work/veyra-probe" census "$ifc" 0 1 - - 0 >"$work/out" 2>"$work/err"
check "exit status for a wait of 0" 2 $?
as_nobody "$work/veyra-probe" census "../$ifc" 100 1 - - 0 >"$work/out" 2>"$work/err"
check "exit status for a name with a slash" 2 $?

# veyra --discover waits its whole --wait: its /proc status is read once it
# has set no_new_privs, which it does right after its socket is open.
veyra_once_open() {
    local label=$1 program=$2
    # Started straight, not through a function, so that $! is veyra itself
    # (ip netns exec and setpriv each exec the next).
    ip netns exec "$cli" setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all \
        "$program" --discover "$ifc" --wait 60 >"$work/vout" 2>&1 &
    local pid=$!
    status_set() { grep -q "^NoNewPrivs:.1" "/proc/$pid/status" 2>/dev/null; }
    wait_for "$label to drop its privileges" status_set || cat "$work/vout"
    grep -E '^(Cap|NoNewPrivs|Uid|Gid)' "/proc/$pid/status" >"$work/status"
    ls -l "/proc/$pid/fd" 2>/dev/null | grep -q 'socket:' || fail "$label has no socket open"
    kill "$pid"
    wait "$pid" 2>/dev/null
    echo "$label once open: $(tr '\n' ' ' <"$work/status")"
    for set in CapInh CapPrm CapEff CapAmb; do
        check "$label's $set once open" "$zero" "$(awk -v s="$set:" '$1 == s {print $2}' "$work/status")"
    done
    check "$label's user ids" "65534 65534 65534 65534" "$(awk '$1 == "Uid:" {print $2, $3, $4, $5}' "$work/status")"
}
echo "== veyra as nobody, cap_net_raw+ep"
veyra_once_open "veyra with capabilities" "$work/veyra-caps"
echo "== veyra as nobody, set-user-ID root"
veyra_once_open "set-user-ID veyra" "$work/veyra-suid"
check "set-user-ID veyra's bounding set" "$zero" "$(awk '$1 == "CapBnd:" {print $2}' "$work/status")"

echo "== veyra --inform, set-user-ID root, as nobody"
as_nobody "$work/veyra-suid" "$ifc" --inform >"$work/out" 2>"$work/err"
check "set-user-ID inform's exit status" 0 $?
grep -q "^Subnet Mask" "$work/out" || fail "set-user-ID inform's rows: $(cat "$work/out" "$work/err")"

# Kea answers an inform to port 68 of the client's address. With dhcpcd
# holding that port, the helper's inform still gets the answer, and dhcpcd
# keeps its port.
kea=$(command -v kea-dhcp4 || echo /usr/sbin/kea-dhcp4)
if [ -x "$kea" ] && command -v dhcpcd >/dev/null; then
    echo "== the helper's inform to Kea while dhcpcd holds port 68"
    ip netns pids "$srv" | xargs -r kill
    wait_for "dnsmasq to end" bash -c "! ip netns exec $srv ss -Hlun 'sport = :67' | grep -q ."
    cat >"$work/kea.json" <<KEA
{"Dhcp4": {
  "interfaces-config": {"interfaces": ["vyp-s0"], "dhcp-socket-type": "raw"},
  "lease-database": {"type": "memfile", "persist": true, "name": "$work/kea-leases4.csv"},
  "valid-lifetime": 900,
  "subnet4": [{"id": 1, "subnet": "10.70.0.0/24",
               "pools": [{"pool": "10.70.0.200 - 10.70.0.250"}],
               "option-data": [{"name": "routers", "data": "10.70.0.254"}]}],
  "loggers": [{"name": "kea-dhcp4", "severity": "INFO",
               "output_options": [{"output": "$work/kea.log"}]}]
}}
KEA
    KEA_LOCKFILE_DIR=$work KEA_PIDFILE_DIR=$work ip netns exec "$srv" "$kea" -c "$work/kea.json" \
        >"$work/kea.out" 2>&1 &
    wait_for "Kea to listen" listens_udp "$srv" 67 || { cat "$work/kea.out"; exit 1; }
    printf 'nodelay\nnoarp\nnohook resolv.conf\n' >"$work/dhcpcd.conf"
    in_cli dhcpcd -f "$work/dhcpcd.conf" -c /bin/true -4 -t 60 -w "$ifc" >"$work/dhcpcd.log" 2>&1 ||
        { cat "$work/dhcpcd.log"; fail "dhcpcd got no lease"; }
    holds_68() { in_cli ss -Hlunp 'sport = :68' | grep -q dhcpcd; }
    holds_68 || fail "dhcpcd does not hold port 68"
    as_nobody "$work/veyra-probe" inform "$ifc" >"$work/out" 2>"$work/err"
    check "Kea inform's end" 0 "$(field end 'e["error"]')"
    check "Kea inform's router" 0a4600fe "$(field options 'e["options"]["3"]')"
    holds_68 || fail "dhcpcd lost port 68"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
