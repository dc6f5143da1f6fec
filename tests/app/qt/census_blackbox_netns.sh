#!/usr/bin/env bash
# "Find DHCP Servers..." from the outside: the real veyra-gui under Xvfb,
# driven with xdotool, takes a census through the real veyra-probe of a link
# where dnsmasq serves DHCPv4, DHCPv6 and router advertisements. Alt+V opens
# the dialog, Alt+A copies all it shows (read with xclip) until the census
# has ended: dnsmasq's DHCPv4 server, DHCPv6 server and router, each in its
# family's table. Run as root, who may use the helper in the build tree;
# everything made is removed.
# Exit 77 (skipped) without root or the programs it needs.
#
# Usage: census_blackbox_netns.sh PATH_TO_VEYRA_GUI
set -uo pipefail
gui=$1

. "$(dirname "$0")/../../scripts/netns_lib.sh"
skip_without ip dnsmasq Xvfb xdotool xclip
skip_unless_root

srv=vyc-srv-$$
cli=vyc-cli-$$
ifc=vyc-c$$
mac=02:00:00:67:00:02

cleanup() {
    [ -n "${gui_pid:-}" ] && kill "$gui_pid" 2>/dev/null
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
    netns_remove "$cli" "$srv"
}
on_exit cleanup
work=$(mktemp -d)

in_cli() { ip netns exec "$cli" "$@"; }

netns_veth "$srv" vyc-s0 "$cli" "$ifc" "$mac" || exit 1
# No duplicate address detection: the link-local addresses are usable at once.
ip netns exec "$srv" sysctl -qw net.ipv6.conf.vyc-s0.accept_dad=0
in_cli sysctl -qw "net.ipv6.conf.$ifc.accept_dad=0"
ip -n "$srv" addr add 10.67.0.1/24 dev vyc-s0
ip -n "$srv" addr add 2001:db8:67::1/64 dev vyc-s0 nodad
ip -n "$srv" link set vyc-s0 up
ip -n "$cli" link set "$ifc" up

ip netns exec "$srv" dnsmasq --keep-in-foreground --conf-file=/dev/null --port=0 --no-resolv \
    --interface=vyc-s0 --bind-interfaces --no-ping --log-facility="$work/dnsmasq.log" \
    --dhcp-leasefile="$work/dnsmasq.leases" --pid-file="$work/dnsmasq.pid" \
    --dhcp-range=10.67.0.100,10.67.0.150,255.255.255.0,10m \
    --dhcp-range=2001:db8:67::100,2001:db8:67::1ff,64,10m --enable-ra \
    --dhcp-option=option6:dns-server,[2001:db8:67::53] &
wait_for "dnsmasq to listen" listens_udp "$srv" 67 547 || exit 1
# A veth's carrier comes some time after both ends are up.
carrier() { [ "$(in_cli cat "/sys/class/net/$ifc/carrier")" = 1 ]; }
wait_for "the carrier" carrier || exit 1

in_cli Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -ac 3>"$work/display" \
    2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for "Xvfb to start" test -s "$work/display" || exit 1
export DISPLAY=:$(head -n 1 "$work/display")

mkdir -m 700 "$work/runtime"
# The window gives up root's capabilities at once, so it could not reach a
# helper in a checkout under a home folder of mode 0700: both go to the
# temporary folder, the helper where the window looks for it in a build tree.
mkdir -p "$work/app/qt" "$work/app/libexec/veyra"
install -m 755 "$gui" "$work/app/qt/veyra-gui"
install -m 755 "$(dirname "$gui")/../libexec/veyra/veyra-probe" "$work/app/libexec/veyra/"
in_cli env -i PATH=/usr/bin:/bin HOME="$work" XDG_RUNTIME_DIR="$work/runtime" \
    DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb TZ=UTC "$work/app/qt/veyra-gui" >"$work/gui.log" 2>&1 &
gui_pid=$!
window=""
shown() { window=$(in_cli xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) && [ -n "$window" ]; }
wait_for "the window" shown Veyra || { cat "$work/gui.log"; exit 1; }
# The window may take a key before its button is ready for it: ask again
# until the dialog is there.
main_window=$window
dialog_opened() {
    shown "Find DHCP Servers" && return 0
    in_cli xdotool windowfocus --sync "$main_window" key --clearmodifiers alt+v
    shown "Find DHCP Servers"
}
wait_for "the dialog" dialog_opened || { cat "$work/gui.log"; exit 1; }

copied=""
census_copied() {
    in_cli xdotool windowfocus --sync "$window" key --clearmodifiers alt+a
    copied=$(in_cli xclip -o -selection clipboard 2>/dev/null)
    grep -q " answered on \|^DHCP Error" <<<"$copied"
}
wait_for "the census on the clipboard" census_copied || exit 1

tab=$'\t'
check "the status" "1 DHCP server, 1 DHCPv6 server and 1 IPv6 router answered on $mac ($ifc)." \
    "$(head -n 1 <<<"$copied")"
grep -q "^10\.67\.0\.1${tab}10\.67\.0\.1[0-9][0-9]${tab}10\.67\.0\.1 ([0-9A-F:]*)${tab}10\.67\.0\.1${tab}" <<<"$copied" ||
    fail "no DHCPv4 row of dnsmasq"
# dnsmasq's DUID is of its link-layer address and time; it offers one
# address of its range and its DNS server.
grep -q "^LLT, hardware 1, .*${tab}fe80::[0-9a-f:]* ([0-9A-F:]*)${tab}0${tab}2001:db8:67::1[0-9a-f][0-9a-f]${tab}${tab}2001:db8:67::53${tab}${tab}\$" <<<"$copied" ||
    fail "no DHCPv6 row of dnsmasq"
# Its advertisement: M and O for a DHCPv6 range, the range's prefix on-link
# only, its MTU and its DNS server.
grep -q "^fe80::[0-9a-f:]*${tab}[0-9A-F:]*${tab}[0-9]* s${tab}medium${tab}M, O${tab}2001:db8:67::/64 (on-link, valid [0-9]* s, preferred [0-9]* s)${tab}1500${tab}2001:db8:67::53 ([0-9]* s)${tab}${tab}\$" <<<"$copied" ||
    fail "no router row of dnsmasq"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    printf '%s\n' "$copied"
    cat "$work/gui.log"
    exit 1
fi
echo "all checks passed"
