#!/usr/bin/env bash
# Builds the Release Debian packages, installs them with apt as a user
# would (the helper's debconf question preseeded: its group, mode and
# capability; then answered no), runs both programs, checks the census's
# systemd units (in place, verified, their group and metrics folder), and
# purges them again:
# nothing of theirs may stay behind, the veyra group included. Needs root on a Debian system; a machine that has Veyra
# installed already is left alone.
#
# Usage: packaging/check-packages.sh [BUILD_DIR]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/packages}
packages=(veyra veyra-gui)

if [ "$(id -u)" != 0 ]; then
    echo "not run: installing packages needs root"
    exit 0
fi
for package in "${packages[@]}"; do
    if dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null | grep -qx installed; then
        echo "not run: $package is installed on this machine already"
        exit 0
    fi
done

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

rm -rf "$build/deb"
# Only the two programs are built: cpack installs them without building the rest.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVEYRA_TESTS=OFF \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON &&
    cmake --build "$build" -j "$(nproc)" --target veyra veyra-probe veyra-gui &&
    (cd "$build" && cpack -B "$build/deb") || exit 1

debs=()
for package in "${packages[@]}"; do
    deb=$(ls "$build"/deb/"${package}"_*.deb 2>/dev/null)
    [ -n "$deb" ] || { fail "no package $package in $build/deb"; continue; }
    debs+=("$deb")
    echo "== $(basename "$deb")"
    dpkg-deb -f "$deb" Package Version Depends Maintainer Homepage
done
[ "$failures" -eq 0 ] || exit 1

version=$(dpkg-deb -f "${debs[0]}" Version)
dpkg-deb -f "${debs[0]}" Depends | grep -qi qt && fail "veyra depends on Qt"
gui_depends=$(dpkg-deb -f "${debs[1]}" Depends)
grep -qF "veyra (= $version)" <<<"$gui_depends" || fail "veyra-gui on veyra $version: $gui_depends"
grep -q libqt6 <<<"$gui_depends" || fail "veyra-gui on Qt 6: $gui_depends"

# Every file the packages put in place, to look for after removal.
files=$(for deb in "${debs[@]}"; do dpkg-deb -c "$deb"; done | awk '$1 !~ /^d/ { print substr($6, 2) }')
for file in /usr/bin/veyra /usr/libexec/veyra/veyra-probe /usr/bin/veyra-gui /usr/share/man/man1/veyra.1 \
    /usr/share/man/man1/veyra-gui.1 /usr/share/applications/veyra-gui.desktop \
    /usr/share/metainfo/example.veyra.VeyraGui.metainfo.xml \
    /usr/share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/veyra-gui.png \
    /usr/lib/systemd/system/veyra-census@.{service,timer} /usr/lib/{sysusers,tmpfiles}.d/veyra.conf; do
    grep -qxF "$file" <<<"$files" || fail "the packages hold no $file"
done
# The example alert rules for --metrics.
alerts=/usr/share/doc/veyra/examples/veyra-alerts.yml
grep -qxF "$alerts" <<<"$files" || fail "the packages hold no $alerts"

echo "== install, the helper's question preseeded yes"
probe=/usr/libexec/veyra/veyra-probe
echo "veyra veyra/allow-group boolean true" | debconf-set-selections
DEBIAN_FRONTEND=noninteractive apt-get install -y "${debs[@]}" || exit 1
getent group veyra >/dev/null || fail "no veyra group"
[ "$(stat -c '%U:%G %a' "$probe")" = "root:veyra 750" ] ||
    fail "the helper's owner and mode: $(stat -c '%U:%G %a' "$probe")"
getcap "$probe" | grep -q 'cap_net_raw[=+]ep' || fail "the helper's capability: $(getcap "$probe")"
echo "veyra veyra/allow-group boolean false" | debconf-set-selections
DEBIAN_FRONTEND=noninteractive dpkg-reconfigure veyra || fail "dpkg-reconfigure veyra"
[ "$(stat -c '%U:%G %a' "$probe")" = "root:root 755" ] ||
    fail "the helper answered no: $(stat -c '%U:%G %a' "$probe")"
[ -z "$(getcap "$probe")" ] || fail "the helper answered no keeps $(getcap "$probe")"
getent group veyra-metrics >/dev/null || fail "no veyra-metrics group"
metrics=/var/lib/veyra/metrics
[ "$(stat -c '%U:%G %a' "$metrics")" = "root:veyra-metrics 775" ] ||
    fail "the census units' folder: $(stat -c '%U:%G %a' "$metrics")"
# verify exits 0 on unknown keys and the like: any line about the units fails.
units=(/usr/lib/systemd/system/veyra-census@.{service,timer})
verify_man=--man=no
command -v man >/dev/null && verify_man=--man=yes
said=$(systemd-analyze verify "$verify_man" "${units[@]}" 2>&1 | grep -F veyra-census)
[ -z "$said" ] || fail "systemd-analyze verify on the installed units: $said"
veyra --version || fail "veyra --version"
if command -v promtool >/dev/null; then
    promtool check rules "$alerts" >/dev/null || fail "the alert rules as installed"
fi
QT_QPA_PLATFORM=offscreen veyra-gui --version || fail "veyra-gui --version"
appstreamcli validate --no-net /usr/share/metainfo/example.veyra.VeyraGui.metainfo.xml ||
    fail "the AppStream metadata"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate /usr/share/applications/veyra-gui.desktop || fail "the desktop entry"
fi

echo "== purge"
apt-get purge -y veyra-gui veyra || fail "apt-get purge"
getent group veyra >/dev/null && fail "the veyra group stays after purge"
getent group veyra-metrics >/dev/null && fail "the veyra-metrics group stays after purge"
[ -e /var/lib/veyra ] && fail "/var/lib/veyra stays after purge"
debconf-show veyra 2>/dev/null | grep -q allow-group && fail "the debconf answer stays after purge"
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null)
    [ "$status" = not-installed ] || [ -z "$status" ] || fail "$package is still $status"
done
while IFS= read -r file; do
    [ -e "$file" ] && fail "$file stays after removal"
done <<<"$files"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "packages installed, ran and were removed cleanly"
