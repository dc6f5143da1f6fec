#!/usr/bin/env bash
# The census units as systemd reads them: `systemd-analyze verify` (which
# exits 0 on unknown keys, so every line it writes about our units fails,
# and a planted unknown key must be caught) and the service's exposure by
# `systemd-analyze security --offline`. ExecStart points at the built veyra,
# which verify wants to exist. Exit 77 (skipped) without systemd-analyze.
#
# Usage: systemd_units_check.sh PATH_TO_VEYRA PACKAGING_SYSTEMD_DIR
set -uo pipefail
veyra=$(realpath "$1")
units=$2

. "$(dirname "$0")/../scripts/netns_lib.sh"
skip_without systemd-analyze

# Every item systemd-analyze still counts is one the census needs: the
# host's network, Internet (an ioctl socket), packet, netlink and local
# sockets, CAP_NET_RAW and its ambient grant, the host's users (a user
# namespace would void the capability), @privileged (capset, to drop it),
# the supplementary group (the metrics folder), the host's root, and the
# clock device ProtectClock= leaves readable. They rate 1.6; anything that
# loosens the sandbox raises it.
max_exposure=16

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# units_in FOLDER [SED]: the package's units, ExecStart on the built veyra.
units_in() {
    mkdir -p "$1"
    sed -e "s|^ExecStart=/usr/bin/veyra |ExecStart=$veyra |" ${2:+-e "$2"} \
        "$units/veyra-census@.service" >"$1/veyra-census@.service"
    cp "$units/veyra-census@.timer" "$1/"
}

# verify FOLDER: what systemd-analyze verify says about our units.
verify() {
    (cd "$1" && systemd-analyze verify --man=no ./veyra-census@.service ./veyra-census@.timer 2>&1) |
        grep -F veyra-census
}

units_in "$work/shipped"
said=$(verify "$work/shipped")
[ -z "$said" ] || fail "systemd-analyze verify: $said"

units_in "$work/planted" 's/^UMask=/Umask=/'
verify "$work/planted" | grep -q "Unknown key 'Umask'" || fail "verify's output does not show a planted unknown key"

systemd-analyze security --offline=true --man=no --threshold="$max_exposure" \
    "$work/shipped/veyra-census@.service" >"$work/security" 2>&1
status=$?
grep -E '^✗|Overall exposure' "$work/security"
[ "$status" -eq 0 ] || fail "exposure above $max_exposure/10 (status $status)"
grep -q 'Overall exposure level' "$work/security" || fail "no exposure: $(cat "$work/security")"

[ "$failures" -eq 0 ] || exit 1
echo "the census units pass systemd-analyze"
