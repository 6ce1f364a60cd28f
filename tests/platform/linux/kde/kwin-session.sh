#!/usr/bin/env bash
# Runs a test program inside a headless KWin of its own: a private session bus, KWin on Wayland
# with a virtual output and XWayland, and the program on KWin's XWayland, as Velmora runs, with
# KWin's Wayland display beside it for the native windows it makes and for fake input. KWin gives
# fake input only to a program that an installed desktop entry names by its full path: the
# session's own data folder holds one for the program.
#
#   kwin-session.sh PROGRAM [ARGUMENTS...]
set -euo pipefail

program=$(readlink -f "$1")
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The packaged binary carries file capabilities that a container may refuse at exec; a copy has
# none. KWin's own Qt platform plugin loads only in a program named kwin_wayland.
mkdir -p "$work/bin" "$work/data/applications"
cp /usr/bin/kwin_wayland "$work/bin/kwin_wayland"
mkdir -m 700 "$work/runtime"
cat >"$work/data/applications/velmora-test.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=Velmora's test
Exec=$program
NoDisplay=true
X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input
ENTRY
# The user's layout is Dvorak, where C and V are not on the keys QWERTY has them on.
mkdir -p "$work/config"
cat >"$work/config/kxkbrc" <<LAYOUT
[Layout]
Use=true
LayoutList=us
VariantList=dvorak
LAYOUT
export XDG_RUNTIME_DIR="$work/runtime" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
export XDG_CACHE_HOME="$work/cache" HOME="$work"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

# KWin starts the session's program once XWayland is up, with both displays in its environment,
# and ends with it.
cat >"$work/session" <<'SESSION'
#!/usr/bin/env bash
WAYLAND_DISPLAY=$WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=KDE \
    "$@" >"$HOME/program.log" 2>&1
echo $? >"$HOME/status"
SESSION
chmod +x "$work/session"
log="$work/kwin.log"
dbus-run-session -- "$work/bin/kwin_wayland" --virtual --xwayland --no-lockscreen \
    --socket wayland-velmora --width 1024 --height 768 \
    --exit-with-session "$work/session $program $*" >"$log" 2>&1 || true
cat "$work/program.log" 2>/dev/null || true
status=$(cat "$work/status" 2>/dev/null || echo 1)
if ((status)); then
    echo "--- KWin said:" >&2
    grep -vE "decoration|xkbcomp|keycode|XKB|Errors from" "$log" | tail -40 >&2
fi
exit "$status"
