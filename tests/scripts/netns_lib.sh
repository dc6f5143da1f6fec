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
