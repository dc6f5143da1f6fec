#!/usr/bin/env bash
# veyra-gui from the outside, as a user works it: the real program under
# Xvfb (X11), driven with xdotool, run as nobody in a network namespace
# whose one adapter has a lease from dnsmasq through a real dhcpcd. Enter
# asks for the adapter's options; dhcpcd's lease file is root's, so they can
# only come through dhcpcd's unprivileged socket. Copy All, chosen from the
# list's menu by the keyboard (the menu key, then C), must put the rows on
# the X clipboard, as read by xclip. Everything it makes it removes again.
# Exit 77 (skipped) without root or the programs it needs.
#
# Usage: blackbox_netns.sh PATH_TO_VEYRA_GUI
set -uo pipefail
gui=$1

. "$(dirname "$0")/../../scripts/netns_lib.sh"
skip_without ip dnsmasq dhcpcd setpriv Xvfb xdotool xclip
skip_unless_root

srv=vyg-srv-$$
cli=vyg-cli-$$
ifc=vyg-c$$
mac=02:00:00:66:00:02
lease=/var/lib/dhcpcd/$ifc.lease

cleanup() {
    [ -n "${gui_pid:-}" ] && kill "$gui_pid" 2>/dev/null
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
    netns_remove "$cli" "$srv"
    dhcpcd_forget "$ifc"
}
on_exit cleanup
work=$(mktemp -d)
mkdir -p "$work/home/runtime" "$work/bin"
chown -R 65534:65534 "$work/home"
chmod 700 "$work/home/runtime"
chmod 755 "$work" "$work/bin"
# nobody runs a copy in a folder it can reach: a checkout under a home folder
# of mode 0700 is closed to it.
install -m 755 "$gui" "$work/bin/veyra-gui"
gui=$work/bin/veyra-gui

in_cli() { ip netns exec "$cli" "$@"; }

netns_veth "$srv" vyg-s0 "$cli" "$ifc" "$mac" || exit 1
ip -n "$srv" addr add 10.66.0.1/24 dev vyg-s0
ip -n "$srv" link set vyg-s0 up
ip -n "$cli" link set "$ifc" up

ip netns exec "$srv" dnsmasq --keep-in-foreground --conf-file=/dev/null --port=0 --no-resolv \
    --interface=vyg-s0 --bind-interfaces --no-ping --log-facility="$work/dnsmasq.log" \
    --dhcp-range=10.66.0.100,10.66.0.150,255.255.255.0,10m --dhcp-leasefile="$work/dnsmasq.leases" \
    --dhcp-option-force=option:router,10.66.0.1 \
    --dhcp-option-force=option:dns-server,10.66.0.1,10.66.0.2 \
    --dhcp-option-force=option:domain-name,lab.test \
    --dhcp-option-force=46,8 \
    --dhcp-option-force=option:T1,300 --dhcp-option-force=option:T2,525 &
wait_for "dnsmasq to listen" listens_udp "$srv" 67 || exit 1

printf 'nodelay\nnoarp\nnohook resolv.conf\n' >"$work/dhcpcd.conf"
if ! in_cli dhcpcd -f "$work/dhcpcd.conf" -c /bin/true -4 -w -t 60 "$ifc" >"$work/dhcpcd.log" 2>&1; then
    cat "$work/dhcpcd.log" "$work/dnsmasq.log"
    fail "dhcpcd got no lease"
    exit 1
fi
wait_for "dhcpcd's unprivileged socket" test -S /run/dhcpcd/"$ifc"-4.unpriv.sock || exit 1
in_cli setpriv --reuid=65534 --regid=65534 --clear-groups cat "$lease" >/dev/null 2>&1 &&
    fail "nobody could read $lease"

# An X server of its own, on the first free display.
in_cli Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -ac 3>"$work/display" \
    2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for "Xvfb to start" test -s "$work/display" || exit 1
export DISPLAY=:$(head -n 1 "$work/display")

in_cli setpriv --reuid=65534 --regid=65534 --clear-groups \
    env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/home/runtime" \
    DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb TZ=UTC \
    "$gui" >"$work/gui.log" 2>&1 &
gui_pid=$!
window_shown() { window=$(in_cli xdotool search --onlyvisible --name '^Veyra$' 2>/dev/null | head -n 1) && [ -n "$window" ]; }
wait_for "the window" window_shown || { cat "$work/gui.log"; exit 1; }

keys() { in_cli xdotool windowfocus --sync "$window" key --clearmodifiers "$@"; }

# The adapter is the first and only one of the list, chosen at start; Enter
# sends the request (the button has the focus).
keys Return
# Tab to the list, its menu from the menu key, C for Copy All; until the
# answer has come and filled the list.
clipboard=""
copied_rows() {
    keys Tab Menu c
    clipboard=$(in_cli xclip -o -selection clipboard 2>/dev/null)
    keys shift+Tab
    grep -q "^DHCP Server" <<<"$clipboard"
}
wait_for "the rows on the clipboard" copied_rows

expected_rows=$(printf '%s\t%s\n' \
    "DHCP Server" 10.66.0.1 \
    "Subnet Mask" 255.255.255.0 \
    "Domain Name" lab.test \
    "DNS Server" "10.66.0.1 10.66.0.2 " \
    "Gateway Address" 10.66.0.1 \
    "Broadcast Address" 10.66.0.255 \
    "NBT Node Type" 08)
date_row='^(IP Lease Time|DHCP Renewal Time|DHCP Rebind Time)'$'\t''[A-Z][a-z]+day, [A-Z][a-z]+ [0-9]{2}, [0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}$'
if [ "$(grep -vE "$date_row" <<<"$clipboard")" != "$expected_rows" ]; then
    fail "the rows Copy All gave"
    diff <(printf '%s\n' "$expected_rows") <(grep -vE "$date_row" <<<"$clipboard")
fi
[ "$(grep -cE "$date_row" <<<"$clipboard")" = 3 ] || fail "the lease's three times: $clipboard"
kill -0 "$gui_pid" 2>/dev/null || fail "veyra-gui ended"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    cat "$work/gui.log"
    exit 1
fi
echo "all checks passed"
