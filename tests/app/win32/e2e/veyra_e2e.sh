#!/usr/bin/env bash
# Veyra.exe itself under Wine, driven from outside as a user drives it: it
# starts, lists the machine's adapters, sends the request for the selected one
# when Enter presses the default button, and ends with Escape. Runs on the
# caller's X display in the caller's Wine prefix (scripts/wine-ctest sets both).
#   veyra_e2e.sh VEYRA_EXE PROBE_EXE WORK_DIR
set -euo pipefail
veyra=$1
probe=$2
work=$3
mkdir -p "$work"
stdout="$work/veyra-stdout.txt"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The probe's answer without Wine's CR line ends.
probe() {
    timeout 60 wine "$probe" "$1" | tr -d '\r'
}

wine "$veyra" >"$stdout" 2>"$work/veyra-stderr.txt" &
pid=$!
# Whatever happens, the program does not outlive the test.
trap 'kill "$pid" 2>/dev/null || true' EXIT

window=
for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --name '^Veyra$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || fail "Veyra.exe ended before its window showed"
    sleep 0.1
done
[ -n "$window" ] || fail "no window named Veyra within 30 s"
echo "window $window is up"

# The chooser offers every adapter's hardware address in the system's order,
# with the first one selected.
adapters=$(probe adapters) || fail "the probe cannot list the adapters"
chooser=$(probe chooser) || fail "the probe cannot read the chooser"
expected=$(cut -f 1 <<<"$adapters")
if [ -n "$adapters" ]; then
    expected+=$'\n'"selected 0"
else
    expected="selected -1"
fi
[ "$chooser" = "$expected" ] || fail "chooser holds [$chooser], expected [$expected]"
echo "the chooser lists $(grep -c . <<<"$adapters" || true) adapter(s)"

# wait_for WHAT COMMAND...: xdotool delivers keys asynchronously, so each step
# waits for the key's effect, never for a time; 60 s bounds a hung program.
wait_for() {
    local what=$1
    shift
    for _ in $(seq 600); do
        "$@" && return 0
        sleep 0.1
    done
    fail "$what"
}

trace_has() {
    grep -qxF "$1" <<<"$(tr -d '\r' <"$stdout")"
}

settled_is() {
    [ "$(probe settled)" = "$1" ]
}

# "Send DHCP Request" has the focus and is the default button.
xdotool windowfocus "$window"
xdotool key Return
if [ -n "$adapters" ]; then
    name=$(head -n 1 <<<"$adapters" | cut -f 2)
    line="Getting DHCP Options on Adapter [$name]"
    wait_for "no line [$line] in the program's standard output" trace_has "$line"
    echo "trace line: $line"
    settled=$(probe settled) || fail "the window does not answer after the request"
else
    wait_for "no message box without adapters" settled_is "message box"
    settled="message box"
fi
if [ "$settled" = "message box" ]; then
    echo "a message box came; dismissing it"
    xdotool key Return
    wait_for "the message box does not go away" settled_is "ready"
fi

xdotool windowfocus "$window"
xdotool key Escape
for _ in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "Veyra.exe still runs 20 s after Escape"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "Veyra.exe ended with status $status"
echo "Escape ended Veyra.exe"
