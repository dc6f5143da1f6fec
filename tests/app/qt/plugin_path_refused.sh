#!/usr/bin/env bash
# A user's library named by QT_PLUGIN_PATH never runs with a capability:
# veyra-gui, installed (cmake --install into a temporary folder nobody can
# reach) and given cap_net_raw+ep, refuses to start as nobody, before Qt
# loads the marker style plugin. The same window without the capability
# starts and loads it: the marker shows that the plugin path is the one Qt
# reads. Exit 77 (skipped) without root, setpriv or file capabilities.
#
# Usage: plugin_path_refused.sh BUILD_DIRECTORY MARKER_PLUGIN
set -uo pipefail
build=$1
plugin=$2

. "$(dirname "$0")/../../scripts/netns_lib.sh"
skip_without setpriv setcap cmake
if [ "$(id -u)" != 0 ]; then
    echo "skipped: setting file capabilities needs root"
    exit 77
fi

cleanup() {
    [ -n "${gui_pid:-}" ] && kill "$gui_pid" 2>/dev/null
    [ -n "${work:-}" ] && rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM
work=$(mktemp -d)
chmod 755 "$work"
DESTDIR=$work/root cmake --install "$build" --prefix /usr --component veyra-gui >/dev/null &&
    DESTDIR=$work/root cmake --install "$build" --prefix /usr --component veyra >/dev/null ||
    exit 1
gui=$work/root/usr/bin/veyra-gui
mkdir -p "$work/plugins/styles" "$work/home" "$work/marks"
install -m 644 "$plugin" "$work/plugins/styles/"
chown 65534:65534 "$work/home" "$work/marks"

# start MARKER: veyra-gui as nobody, its style from the user's plugin folder.
start() {
    setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all \
        env -i PATH=/usr/bin:/bin HOME="$work/home" QT_QPA_PLATFORM=offscreen \
        QT_PLUGIN_PATH="$work/plugins" QT_STYLE_OVERRIDE=veyramarker VEYRA_TEST_MARKER="$1" \
        "$gui" >"$work/gui.log" 2>&1 &
    gui_pid=$!
}

# refused MARKER LABEL: the window, started with a privilege, must end with
# status 1 before the plugin writes its marker.
ended() { ps -o stat= -p "$gui_pid" 2>/dev/null | grep -q '^Z' || ! kill -0 "$gui_pid" 2>/dev/null; }
ended_or_marked() { [ -e "$1" ] || ended; }
refused() {
    start "$1"
    wait_for "the window to end or load the plugin" ended_or_marked "$1"
    if [ -e "$1" ]; then
        wait_for "the marker's text" test -s "$1"
        fail "the plugin ran $2 with: $(tr '\n' ' ' <"$1")"
        kill "$gui_pid"
    fi
    wait "$gui_pid"
    check "exit status $2" 1 $?
    gui_pid=
    grep -q "^veyra-gui: will not start with privileges" "$work/gui.log" ||
        fail "the refusal $2: $(cat "$work/gui.log")"
}

echo "== without a capability the window starts, and Qt loads the plugin"
start "$work/marks/plain"
wait_for "the plugin's marker" test -s "$work/marks/plain"
kill -0 "$gui_pid" 2>/dev/null || fail "the window ended: $(cat "$work/gui.log")"
kill "$gui_pid"
wait "$gui_pid" 2>/dev/null
gui_pid=

echo "== with cap_net_raw+ep it refuses to start"
if ! setcap cap_net_raw+ep "$gui" 2>/dev/null; then
    echo "skipped: $work takes no file capabilities"
    exit 77
fi
refused "$work/marks/capable" "with cap_net_raw+ep"

echo "== set-user-ID root, it refuses too"
setcap -r "$gui"
chmod 4755 "$gui"
refused "$work/marks/setuid" "set-user-ID root"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
