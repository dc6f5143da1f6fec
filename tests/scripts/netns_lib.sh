# Shared by the tests that run real DHCP peers in network namespaces: how they
# skip, count failures and wait for an effect. Source it; it sets `failures`.
failures=0

# skip_without TOOL...: exit 77 (ctest's skip) when a tool is missing.
skip_without() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "skipped: $tool is not installed"
            exit 77
        fi
    done
}

skip_unless_root() {
    if [ "$(id -u)" != 0 ]; then
        echo "skipped: network namespaces need root"
        exit 77
    fi
}

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# check NAME EXPECTED ACTUAL
check() {
    if [ "$2" != "$3" ]; then
        fail "$1"
        diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") | head -n 40
    fi
}

# wait_for WHAT COMMAND...: until COMMAND succeeds, for at most a minute;
# what is waited for is the effect, the limit only ends a broken run.
wait_for() {
    local what=$1 tries
    shift
    for ((tries = 0; tries < 600; ++tries)); do
        "$@" && return 0
        sleep 0.1
    done
    fail "waited a minute for $what"
    return 1
}

# on_exit FUNCTION: runs FUNCTION, then removes $work (where set), when the
# script ends, by a signal too.
on_exit() {
    trap "$1; [ -n \"\${work:-}\" ] && rm -rf \"\$work\"" EXIT
    trap 'exit 1' HUP INT TERM
}

# make_work [PROGRAM NAME]...: $work, a new temporary folder every user may
# enter, holding a copy of each PROGRAM as NAME (mode 755): what nobody runs
# must be reachable wherever the checkout lives.
make_work() {
    work=$(mktemp -d) && chmod 755 "$work" || return 1
    while [ $# -ge 2 ]; do
        install -m 755 "$1" "$work/$2" || return 1
        shift 2
    done
}

# netns_veth SERVER_NS SERVER_IF CLIENT_NS CLIENT_IF [CLIENT_MAC]: both
# namespaces and a veth between them, left down so that sysctls can come first.
netns_veth() {
    ip netns add "$1" && ip netns add "$3" &&
        ip link add "$2" netns "$1" type veth peer name "$4" netns "$3" ${5:+address "$5"}
}

# netns_remove NAMESPACE...: ends every process in them, waits until each is
# empty (a daemon is gone before its files are; five seconds at most) and
# deletes them.
netns_remove() {
    local ns
    for ns in "$@"; do
        ip netns pids "$ns" 2>/dev/null | xargs -r kill 2>/dev/null
    done
    for ns in "$@"; do
        for _ in $(seq 100); do
            [ -z "$(ip netns pids "$ns" 2>/dev/null)" ] && break
            sleep 0.05
        done
        ip netns del "$ns" 2>/dev/null
    done
}

# link_local_ready NAMESPACE INTERFACE: its IPv6 link-local address is there
# and no longer tentative.
link_local_ready() {
    local addresses
    addresses=$(ip -n "$1" -6 addr show dev "$2" scope link)
    [ -n "$addresses" ] && ! grep -q tentative <<<"$addresses"
}

# listens_udp NAMESPACE PORT...: a socket in NAMESPACE is bound to each port.
listens_udp() {
    local ns=$1 port
    shift
    for port; do
        [ -n "$(ip netns exec "$ns" ss -Hlun "sport = :$port")" ] || return 1
    done
}

# dhcpcd_forget INTERFACE: removes the leases, pid files and sockets dhcpcd
# leaves for INTERFACE outside the namespaces.
dhcpcd_forget() {
    rm -f /var/lib/dhcpcd/"$1".lease /var/lib/dhcpcd/"$1".lease6 /run/dhcpcd/"$1".* \
        /run/dhcpcd/"$1"-[46].*
}
