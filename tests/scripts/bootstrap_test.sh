#!/usr/bin/env bash
# scripts/bootstrap's decisions against stand-ins for apt-get, dpkg,
# dpkg-query, debconf-set-selections and sudo (fake-apt): no network, no root, nothing installed.
#   tests/scripts/bootstrap_test.sh [--verbose]   --verbose prints each output
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bootstrap="$here/../../scripts/bootstrap"
verbose=no
[ "${1:-}" = --verbose ] && verbose=yes

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
for name in apt-get debconf-set-selections dpkg dpkg-query sudo; do
    ln -s "$here/fake-apt" "$work/bin/$name"
done

failures=0

# run_case NAME ABSENT_PACKAGES FOREIGN_ARCHS KERNEL_RUNS_I386 [VAR=VALUE...]
# Runs bootstrap; leaves its exit status in status, its output in output and
# the stand-ins' state in state.
run_case() {
    case_name=$1
    state="$work/$1"
    mkdir "$state"
    tr ' ' '\n' <<<"$2" | sed '/^$/d' >"$state/absent"
    tr ' ' '\n' <<<"$3" | sed '/^$/d' >"$state/archs"
    touch "$state/calls" "$state/debconf"
    status=0
    output=$(env PATH="$work/bin:$PATH" FAKE_APT_STATE="$state" VEYRA_BOOTSTRAP_KERNEL_RUNS_I386="$4" \
        VEYRA_BOOTSTRAP_RETRY_PAUSE=0 "${@:5}" bash "$bootstrap" 2>&1) || status=$?
    if [ "$verbose" = yes ]; then
        printf '== %s: exit %d\n%s\n' "$case_name" "$status" "$output"
    fi
}

# check DESCRIPTION COMMAND...
check() {
    if ! "${@:2}"; then
        echo "FAIL $case_name: $1"
        failures=$((failures + 1))
    fi
}

# lines PATTERN...: how many output lines match every PATTERN.
lines() {
    local matching=$output pattern
    for pattern in "$@"; do
        matching=$(grep -F -- "$pattern" <<<"$matching" || true)
    done
    grep -c . <<<"$matching" || true
}

run_case index-fails "cmake" "" no FAKE_APT_UPDATE_FAILS=1
check "exit 0" [ "$status" -eq 0 ]
check "one warning line" [ "$(lines warning)" -eq 1 ]
check "apt's reason in it" [ "$(lines warning 'Mirror sync in progress?')" -eq 1 ]
check "cmake installed" grep -qx 'apt-get install -y -q cmake' "$state/calls"

run_case wine32-broken "cmake wine32:i386" "" yes FAKE_APT_BROKEN=wine32:i386
check "exit 0" [ "$status" -eq 0 ]
check "one line on 32-bit Wine" [ "$(lines '32-bit Wine')" -eq 1 ]
check "apt's reason and the 64-bit fallback in it" \
    [ "$(lines '32-bit Wine' 'held broken packages' 'wine32:i386 : Depends:' '64-bit')" -eq 1 ]
check "i386 removed again" [ ! -s "$state/archs" ]
check "cmake installed" grep -qx 'apt-get install -y -q cmake' "$state/calls"
check "wine32 not installed" [ "$(grep -c '^apt-get install -y.*wine32' "$state/calls")" -eq 0 ]

run_case wine32-broken-i386-kept "wine32:i386" "i386" yes FAKE_APT_BROKEN=wine32:i386
check "exit 0" [ "$status" -eq 0 ]
check "i386 kept" grep -qx i386 "$state/archs"

run_case required-broken "dnsmasq-base wine32:i386" "" yes FAKE_APT_BROKEN=dnsmasq-base
check "non-zero exit" [ "$status" -ne 0 ]
check "i386 removed again" [ ! -s "$state/archs" ]
check "the package and apt's reason named" \
    [ "$(lines 'could not install dnsmasq-base' 'dnsmasq-base : Depends:' 'held broken packages')" -eq 1 ]

run_case all-present "" "" yes
check "exit 0" [ "$status" -eq 0 ]
check "no output" [ -z "$output" ]
check "no apt-get call" [ ! -s "$state/calls" ]

run_case fetch-retried "cmake" "" no FAKE_APT_FETCH_FAILURES=1
check "exit 0" [ "$status" -eq 0 ]
check "installed on the second try" [ "$(grep -c '^apt-get install -y -q cmake$' "$state/calls")" -eq 2 ]
check "indexes updated before the retry" [ "$(grep -c '^apt-get update' "$state/calls")" -eq 2 ]

run_case tshark-missing "tshark" "" no
check "exit 0" [ "$status" -eq 0 ]
check "simulated first" [ "$(sed -n 1p <(grep '^apt-get install' "$state/calls"))" = "apt-get install -s -q tshark" ]
check "installed" grep -qx 'apt-get install -y -q tshark' "$state/calls"
check "users may not capture" \
    grep -qx 'wireshark-common wireshark-common/install-setuid boolean false' "$state/debconf"
check "no complaint" [ "$(lines 'cannot be installed')" -eq 0 ]

run_case tshark-cannot-be-installed "cmake tshark" "" no FAKE_APT_BROKEN=tshark
check "exit 0" [ "$status" -eq 0 ]
check "one line on tshark" [ "$(lines tshark)" -eq 1 ]
check "apt's reason and the skipped suite in it" \
    [ "$(lines 'tshark cannot be installed' 'held broken packages' 'tshark : Depends:' 'oracle suite will be skipped')" -eq 1 ]
check "cmake installed" grep -qx 'apt-get install -y -q cmake' "$state/calls"
check "tshark not installed" [ "$(grep -c '^apt-get install -y.*tshark' "$state/calls")" -eq 0 ]
check "no debconf answer without an install" [ ! -s "$state/debconf" ]

if [ "$failures" -gt 0 ]; then
    echo "bootstrap_test: $failures checks failed"
    exit 1
fi
echo "bootstrap_test: all checks passed"
