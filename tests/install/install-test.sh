#!/usr/bin/env bash
# Velmora installed like a desktop application: `cmake --install` into a scratch prefix, and the
# Debian package CPack makes unpacked into a scratch root; each must hold its programs, desktop
# entry, icons, autostart entry and file-manager actions, and start from its desktop entry with
# its icon docked in a tray on a private X server.
#
#   install-test.sh BUILD_DIR
set -euo pipefail

build=$1
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmora-install.XXXXXX")
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "install-test: $*" >&2
    exit 1
}
# shellcheck source=../support/wait-for.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/wait-for.sh"

# The files a desktop looks for, under the prefix `$1`.
check_tree() {
    local usr=$1
    for file in bin/velmora bin/velmora-select bin/velmora-ditto \
        share/applications/velmora.desktop share/velmora/autostart/velmora.desktop \
        share/icons/hicolor/48x48/apps/velmora.png share/icons/hicolor/256x256/apps/velmora.png \
        share/velmora/resources/images/Velmora.tif share/velmora/resources/scripts/Hide.applescript \
        share/velmora/resources/kwin/KWinWindows.js \
        share/velmora/tools/install-filemanager-actions share/nemo/actions/velmora-select.nemo_action \
        share/kio/servicemenus/velmora-select.desktop share/file-manager/actions/velmora-select.desktop; do
        [[ -e "$usr/$file" ]] || fail "$usr/$file is missing"
    done
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$usr/share/applications/velmora.desktop" ||
            fail "the desktop entry does not validate"
    fi
}

# A private X server with a tray host, shared by both starts.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
pids+=($!)
display_written() { [[ -s "$scratch/display" ]]; }
wait_for 20 display_written || fail "Xvfb did not start"
export DISPLAY=":$(tr -dc '0-9' <"$scratch/display")"
trayer --edge top --align right --widthtype request --height 32 --SetDockType true >/dev/null 2>&1 &
pids+=($!)
tray_panel() { xwininfo -root -tree 2>/dev/null | awk '/\("panel" "trayer"\)/ { print $1; exit }'; }
have_panel() { [[ -n "$(tray_panel)" ]]; }
wait_for 20 have_panel || fail "the tray host did not start"

# Starts the program the desktop entry under `$1` names, as a new user would from the menu of
# applications, and waits until its icon is docked in the tray. The entry names the program by
# its full path where it was installed for, `$3` (KWin grants fake input by that path).
start_from_entry() {
    local usr=$1 home="$scratch/home-$2"
    local exec_line
    exec_line=$(sed -n 's/^Exec=//p' "$usr/share/applications/velmora.desktop")
    [[ $exec_line == "$3/bin/velmora" ]] || fail "unexpected Exec line: $exec_line"
    exec_line=$usr/bin/velmora
    mkdir -p "$home" && mkdir -m 0700 "$home/runtime"
    HOME=$home XDG_RUNTIME_DIR="$home/runtime" XDG_CONFIG_HOME="$home/.config" \
        XDG_CACHE_HOME="$home/.cache" XDG_DATA_HOME="$home/.local/share" \
        DBUS_SESSION_BUS_ADDRESS="unix:path=$scratch/no-bus" QT_QPA_PLATFORM=xcb \
        PATH="$usr/bin:$PATH" "$exec_line" >"$scratch/velmora-$2.log" 2>&1 &
    local pid=$!
    pids+=($pid)
    docked() {
        kill -0 "$pid" 2>/dev/null || fail "velmora ($2) exited: $(cat "$scratch/velmora-$2.log")"
        xwininfo -tree -id "$(tray_panel)" 2>/dev/null | grep -q '("velmora" "Velmora")'
    }
    wait_for 30 docked || fail "velmora ($2) did not dock its icon in the tray"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "install-test: velmora from $2 started and docked its icon"
}

cmake --install "$build" --prefix "$scratch/prefix/usr" >/dev/null
check_tree "$scratch/prefix/usr"
start_from_entry "$scratch/prefix/usr" install "$scratch/prefix/usr"

(cd "$build" && cpack -G DEB -B "$scratch/package" >/dev/null) || fail "cpack failed"
deb=$(ls "$scratch"/package/velmora_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libqt6widgets6* && $depends == *xdg-utils* && $depends == *qt6-qpa-plugins* ]] ||
    fail "Depends lacks Qt, its platform plugins or xdg-utils: $depends"
# Only what running needs: the libraries the programs link with and the run set's packages.
run_set=$("$(dirname "${BASH_SOURCE[0]}")/../../tools/install-deps" --print run)
for package in $(tr ',|' '\n\n' <<<"$depends" | sed 's/(.*)//; s/^ *//; s/ *$//'); do
    [[ $package == lib* ]] || grep -qx "$package" <<<"$run_set" ||
        fail "the package depends on $package, which running does not need"
done
dpkg-deb -x "$deb" "$scratch/root"
check_tree "$scratch/root/usr"
start_from_entry "$scratch/root/usr" package /usr
