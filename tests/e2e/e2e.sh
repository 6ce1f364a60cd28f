#!/usr/bin/env bash
# The end-to-end test: the real velmora on a private X server (Xvfb, openbox, trayer) and a
# private session bus (dconf for GNOME's settings, the accessibility bus), its tray icon clicked
# with xdotool, its menu walked with the keyboard and read off the accessibility bus, and each
# command family's real effect checked: one file a family in families/, each defining
# check_<family>, run in the files' order. Screenshots land in the build folder's e2e/.
#
#   e2e.sh BUILD_DIR [FAMILY...]    only the families named (e.g. desktop-picture), when given
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build=$(cd "$1" && pwd)
velmora="$build/app/velmora"
velmora_select="$build/tools/select/velmora-select"
fake_browser="$build/tests/platform/linux/x11/fake-browser/firefox"
shots="$build/e2e"

if [[ -z ${VELMORA_E2E_WORK:-} ]]; then
    # A new user: a home of its own, set before the session bus starts, so that what the bus
    # starts (dconf, the accessibility bus) keeps its files there too; everything the test
    # starts on the bus ends with it.
    work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-e2e.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
    export XDG_DATA_HOME="$work/home/.local/share" XDG_RUNTIME_DIR="$work/runtime"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/applications" && mkdir -m 0700 "$XDG_RUNTIME_DIR"
    VELMORA_E2E_WORK=$work dbus-run-session -- "$0" "$@"
    exit
fi
work=$VELMORA_E2E_WORK
files="$work/files"
mkdir -p "$files"

# shellcheck source=lib.sh
source "$here/lib.sh"
trap stop_all EXIT

# GNOME as the desktop, and Firefox's desktop entry naming the stand-in.
export XDG_CURRENT_DESKTOP=GNOME
printf '[Desktop Entry]\nType=Application\nName=Firefox\nExec=%s %%u\n' "$fake_browser" \
    >"$XDG_DATA_HOME/applications/firefox.desktop"
# An xdg-email that writes down its arguments, one a line, as the user's mail client.
mkdir -p "$work/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s"\n' "$work/xdg-email.args" >"$work/bin/xdg-email"
chmod +x "$work/bin/xdg-email"
export PATH="$work/bin:$(dirname "$fake_browser"):$PATH"
unset WAYLAND_DISPLAY

start_desktop
start xterm -title "Velmora e2e other"
start xterm -title "Velmora e2e xterm"
timeout 10 xdotool search --sync --name "Velmora e2e xterm" >/dev/null || fail "the xterm did not appear"
start_velmora

for family in "$here"/families/*.sh; do
    # shellcheck source=/dev/null
    source "$family"
    name=$(basename "$family" .sh)
    name=${name#*-}
    if (($# > 1)) && [[ " ${*:2} " != *" $name "* ]]; then
        continue
    fi
    "check_${name//-/_}"
    say "ok: $name"
done
say "all families passed; screenshots in $shots"
