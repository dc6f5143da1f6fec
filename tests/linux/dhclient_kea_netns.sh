#!/usr/bin/env bash
# dhclient's lease loses no option: Kea sends every option in
# tests/linux/kea_many_options.py's list (always-send), a real dhclient
# writes its lease, and `veyra --all --json` must show every option line of
# that lease, by its code or kept as written. Network namespaces and files
# of this run's own; exit 77 (skipped) without root or the programs it needs.
#
# Usage: dhclient_kea_netns.sh PATH_TO_VEYRA
set -uo pipefail
veyra=$1
here=$(dirname "$0")

. "$here/../scripts/netns_lib.sh"
skip_without ip kea-dhcp4 dhclient python3
skip_unless_root

srv=vyk-srv-$$
cli=vyk-cli-$$
ifc=vyk-c$$
lease=/var/lib/dhcp/dhclient.$ifc.leases

# dhclient stays in the background after its lease; its lease file goes
# only once it has ended (netns_remove waits for that).
cleanup() {
    netns_remove "$cli" "$srv"
    rm -f "$lease"
}
on_exit cleanup
work=$(mktemp -d)

netns_veth "$srv" vyk-s0 "$cli" "$ifc" || exit 1
ip -n "$srv" addr add 10.66.0.1/24 dev vyk-s0
ip -n "$srv" link set vyk-s0 up
ip -n "$cli" link set "$ifc" up

python3 "$here/kea_many_options.py" vyk-s0 "$work" >"$work/kea.json" || exit 1
mkdir -p "$work/run"
KEA_LOCKFILE_DIR=$work/run KEA_PIDFILE_DIR=$work/run \
    ip netns exec "$srv" kea-dhcp4 -c "$work/kea.json" >"$work/kea.out" 2>&1 &
kea=$!
# Started, or ended: a configuration Kea refuses ends the wait at once.
kea_listens() { grep -q DHCP4_STARTED "$work/kea.log" 2>/dev/null || ! kill -0 "$kea" 2>/dev/null; }
wait_for "Kea to start" kea_listens && kill -0 "$kea" 2>/dev/null || {
    cat "$work/kea.out"
    fail "Kea did not start"
    exit 1
}

# -sf /bin/true: only the lease is wanted. Where AppArmor confines
# dhclient, its profile allows no other script, and the test cannot run.
if ! ip netns exec "$cli" dhclient -1 -4 -sf /bin/true -cf /dev/null -lf "$lease" \
    -pf "$work/dhclient.pid" "$ifc" >"$work/dhclient.log" 2>&1; then
    cat "$work/dhclient.log"
    if [ "$(cat /sys/module/apparmor/parameters/enabled 2>/dev/null)" = Y ]; then
        echo "skipped: dhclient got no lease, and AppArmor may confine it"
        exit 77
    fi
    fail "dhclient got no lease"
    exit 1
fi

ip netns exec "$cli" "$veyra" "$ifc" --all --json >"$work/all.json" 2>"$work/err"
check "exit status" 0 $?
python3 - "$lease" "$work/all.json" <<'PY' || fail "an option line of dhclient's lease is missing"
import json, re, sys
text = open(sys.argv[1]).read()
block = text[text.rindex("lease {"):]
lines = re.findall(r"^\s*option ([^\s;]+)\s", block, re.M)
document = json.load(open(sys.argv[2]))
shown = len(document["options"]) + len(document["unmapped"])
unmapped = [u["name"] for u in document["unmapped"]]
print(f"{len(lines)} option lines, {len(document['options'])} options, unmapped: {unmapped}")
# Every line is one option or one kept line; only an option dhclient writes
# twice (none here) could make fewer.
assert shown == len(lines), (lines, document)
assert len(lines) >= 80, len(lines)
PY

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
