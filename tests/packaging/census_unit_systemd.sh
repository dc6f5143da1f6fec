#!/usr/bin/env bash
# veyra-census@.service and its timer under a real systemd as PID 1: a
# container booted from this machine's /usr (systemd-nspawn --volatile=yes:
# an empty /etc and /var on tmpfs, as on a first boot) whose network
# namespace has a veth to dnsmasq. The group and the metrics folder come
# from the package's sysusers.d and tmpfiles.d files, and the units are the
# package's but for the program's path. Checks the metrics file, its owner
# and mode (another user reads it), the unit's result for each kind of exit
# status, a run started by the timer, and that the census process got CAP_NET_RAW alone and dropped it
# once its socket was open.
# Exit 77 (skipped) without root or the programs it needs.
#
# Usage: census_unit_systemd.sh PATH_TO_VEYRA PACKAGING_SYSTEMD_DIR
set -uo pipefail
veyra_built=$1
units=$2

. "$(dirname "$0")/../scripts/netns_lib.sh"
skip_without ip dnsmasq systemd-nspawn nsenter
skip_unless_root
[ -x /lib/systemd/systemd ] || { echo "skipped: no systemd to boot"; exit 77; }

srv=vys-srv-$$
box=vys-box-$$
ifc=vys-c0
unit=veyra-census@$ifc
prom=/var/lib/veyra/metrics/veyra-$ifc.prom
zero=0000000000000000
net_raw=0000000000002000

cleanup() {
    if [ -n "${nspawn_pid:-}" ]; then
        kill "$nspawn_pid" 2>/dev/null
        wait "$nspawn_pid" 2>/dev/null
    fi
    netns_remove "$srv" "$box"
    rmdir "/run/systemd/nspawn/propagate/$box" 2>/dev/null
}
on_exit cleanup
make_work "$veyra_built" veyra || exit 1
mkdir "$work/units"
# The program path is the one change, and for a sanitized build no leak
# check: LeakSanitizer stops the world with ptrace, which the unit's system
# call filter refuses (the rest of the sanitized suite checks for leaks).
sed -e 's|^ExecStart=/usr/bin/veyra |ExecStart=/opt/veyra/veyra |' \
    -e '/^ExecStart=/i Environment=ASAN_OPTIONS=detect_leaks=0' \
    "$units/veyra-census@.service" >"$work/units/veyra-census@.service"
cp "$units/veyra-census@.timer" "$work/units/"
cp "$units/veyra-sysusers.conf" "$units/veyra-tmpfiles.conf" "$work/"

netns_veth "$srv" vys-s0 "$box" "$ifc" || exit 1
ip -n "$srv" addr add 192.0.2.1/24 dev vys-s0
ip -n "$srv" link set vys-s0 up
ip -n "$box" link set "$ifc" up
ip netns exec "$srv" dnsmasq --keep-in-foreground --conf-file=/dev/null --port=0 \
    --interface=vys-s0 --bind-interfaces --dhcp-range=192.0.2.50,192.0.2.99,255.255.255.0,1h \
    --dhcp-leasefile="$work/leases" --pid-file="$work/dnsmasq.pid" 2>"$work/dnsmasq.err" &

# The first boot goes as far as basic.target (timers and the system bus),
# without the services this machine's presets would enable.
systemd-nspawn --quiet --register=no --keep-unit --machine="$box" --directory=/ --volatile=yes \
    --boot --console=pipe --network-namespace-path="/run/netns/$box" --bind-ro="$work:/opt/veyra" \
    systemd.unit=basic.target \
    </dev/null >"$work/console" 2>&1 &
nspawn_pid=$!
# nspawn's first child forks the container's init and ends. Where nspawn
# cannot run at all (no namespaces or cgroups for it), the test is skipped.
box_init() {
    if ! kill -0 "$nspawn_pid" 2>/dev/null; then
        echo "skipped: systemd-nspawn cannot boot a container here: $(cat "$work/console")"
        exit 77
    fi
    box_pid=$(cat "/proc/$nspawn_pid/task/$nspawn_pid/children") && box_pid=${box_pid%% *} &&
        [ -n "$box_pid" ] && [ "$(cat "/proc/$box_pid/comm")" = systemd ]
} 2>/dev/null
wait_for "the container's init" box_init || exit 1
in_box() { nsenter --target "$box_pid" --mount --uts --ipc --net --pid -- "$@"; }
booted() { [[ "$(in_box systemctl is-system-running --wait 2>/dev/null)" =~ ^(running|degraded)$ ]]; }
wait_for "the container's boot" booted || { cat "$work/console"; exit 1; }

# What the package's maintainer scripts do, then the units.
in_box mkdir -p /etc/veyra
in_box systemd-sysusers /opt/veyra/veyra-sysusers.conf || fail "systemd-sysusers"
in_box systemd-tmpfiles --create /opt/veyra/veyra-tmpfiles.conf || fail "systemd-tmpfiles"
in_box cp /opt/veyra/units/veyra-census@.service /opt/veyra/units/veyra-census@.timer /etc/systemd/system/
in_box systemctl daemon-reload || fail "daemon-reload"

echo "== a census started by hand"
in_box systemctl start "$unit.service" || fail "the census unit failed"
in_box journalctl -u "$unit.service" -o cat --no-pager | tail -n 20
read -r owner mode < <(in_box stat -c '%u %a' "$prom")
echo "$prom: owner $owner, mode $mode"
check "the metrics file's mode" 644 "$mode"
((owner >= 61184 && owner <= 65519)) || fail "the metrics file's owner is no dynamic user: $owner"
in_box setpriv --reuid=65534 --regid=65534 --clear-groups grep -qx "veyra_census_success{interface=\"$ifc\"} 1" "$prom" ||
    fail "nobody reads no metrics: $(in_box cat "$prom")"
[ -z "$(in_box find /var/lib/veyra/metrics -name '.*')" ] || fail "a temporary file stays"
first_run=$(in_box systemctl show -p InvocationID --value "$unit.service")

echo "== the timer"
in_box systemctl start "$unit.timer" || fail "the timer"
in_box systemctl list-timers --no-pager "$unit.timer"
ran_again() { [ "$(in_box systemctl show -p InvocationID --value "$unit.service")" != "$first_run" ]; }
# A minute at most, plus the randomized delay.
waited=0
until ran_again || ((waited >= 1500)); do
    sleep 0.1
    waited=$((waited + 1))
done
ran_again || fail "the timer started no census"
in_box systemctl stop "$unit.timer"
# A oneshot is "activating" while it runs.
finished() { [ "$(in_box systemctl show -p ActiveState --value "$unit.service")" = inactive ]; }
wait_for "the timer's census to end" finished

echo "== exit statuses"
# systemd forgets an inactive oneshot's status at once: a drop-in keeps
# the unit, and with it the status, until it is stopped.
in_box mkdir -p "/etc/systemd/system/$unit.service.d"
printf '[Service]\nRemainAfterExit=yes\n' >"$work/keep.conf"
in_box cp /opt/veyra/keep.conf "/etc/systemd/system/$unit.service.d/"
in_box systemctl daemon-reload
# ARGUMENTS|STATUS|RESULT: the administrator's arguments, the census's exit
# status and the unit's result: findings are the metrics', not failures.
while IFS='|' read -r args status result; do
    echo "VEYRA_CENSUS_ARGS=\"$args\"" >"$work/census.conf"
    in_box cp /opt/veyra/census.conf "/etc/veyra/census-$ifc.conf"
    in_box systemctl start "$unit.service" 2>/dev/null </dev/null
    echo "$args: $(in_box systemctl show -p ExecMainStatus -p Result "$unit.service" | tr '\n' ' ')"
    check "the status with '$args'" "$status" "$(in_box systemctl show -p ExecMainStatus --value "$unit.service")"
    check "the result with '$args'" "$result" "$(in_box systemctl show -p Result --value "$unit.service")"
    if [ "$result" = success ]; then
        in_box grep -qx "veyra_census_exit_status{interface=\"$ifc\"} $status" "$prom" ||
            fail "the metrics of '$args': $(in_box grep exit_status "$prom")"
    fi
    in_box systemctl stop "$unit.service"
    in_box systemctl reset-failed "$unit.service" 2>/dev/null
done <<'EOF'
--expect 192.0.2.254|6|success
--vlan 10|5|success
--vlan nonsense|2|exit-code
EOF

echo "== the census process's capabilities"
# The administrator's arguments keep the census open long enough to look at
# it; the drop-in shows what systemd hands the service before veyra runs.
echo 'VEYRA_CENSUS_ARGS="--wait 60"' >"$work/census.conf"
printf '[Service]\nExecStartPre=/bin/grep -E "^(Cap|NoNewPrivs|Uid)" /proc/self/status\n' >"$work/status.conf"
in_box cp /opt/veyra/census.conf "/etc/veyra/census-$ifc.conf"
in_box cp /opt/veyra/status.conf "/etc/systemd/system/$unit.service.d/"
in_box systemctl daemon-reload
in_box systemctl start --no-block "$unit.service"
main_pid() { pid=$(in_box systemctl show -p MainPID --value "$unit.service") && [ "$pid" != 0 ]; }
wait_for "the census process" main_pid
dropped() { in_box grep -q "^CapEff:.$zero" "/proc/$pid/status" 2>/dev/null; }
wait_for "the census to drop CAP_NET_RAW" dropped
in_box grep -E '^(Cap|NoNewPrivs|Uid|Groups)' "/proc/$pid/status" >"$work/status"
in_box cat "/proc/$pid/cmdline" | tr '\0' ' ' | grep -q -- "--wait 60" || fail "the census's arguments"
in_box systemctl stop "$unit.service"
in_box journalctl -u "$unit.service" -o cat --no-pager | grep -E '^(Cap|NoNewPrivs|Uid)' | tail -n 7 >"$work/before"
echo "before veyra: $(tr '\n' ' ' <"$work/before")"
echo "once open: $(tr '\n' ' ' <"$work/status")"
field() { awk -v s="$1:" '$1 == s {print $2}' "$2"; }
for set in CapPrm CapEff CapBnd CapAmb; do
    check "$set before veyra" "$net_raw" "$(field "$set" "$work/before")"
done
for set in CapInh CapPrm CapEff CapAmb; do
    check "$set once open" "$zero" "$(field "$set" "$work/status")"
done
check "NoNewPrivs once open" 1 "$(field NoNewPrivs "$work/status")"
uid=$(field Uid "$work/status")
((uid >= 61184 && uid <= 65519)) || fail "the census runs as $uid, no dynamic user"

[ "$failures" -eq 0 ] || exit 1
echo "the census unit ran under systemd"
