#!/usr/bin/env bash
# Runs a test program inside a headless sway session of its own, with XWayland: the program runs
# on sway's XWayland, as Velmora does, with sway's Wayland display beside it for the native
# windows it makes and for Velmora's own connection. sway refuses to run as root: as root, the
# session and the program belong to nobody, in a work folder of their own, with copies of the
# program and the stand-in window (the tree may sit where nobody cannot read).
#
#   sway-session.sh NATIVE_WINDOW_SCRIPT PROGRAM [ARGUMENTS...]
set -euo pipefail

native_window=$1
program=$2
shift 2
work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-sway.XXXXXX")
pids=()
cleanup() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

session=(env)
if (($(id -u) == 0)); then
    session=(setpriv --reuid=nobody --regid=nogroup --clear-groups env)
fi
mkdir -p "$work/bin" "$work/home/.config" "$work/home/.local/share" "$work/runtime"
cp "$program" "$native_window" "$work/bin/"
chmod 0700 "$work/runtime"
if (($(id -u) == 0)); then
    chown -R nobody:nogroup "$work"
fi
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK
session+=(HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
    XDG_DATA_HOME="$work/home/.local/share" XDG_RUNTIME_DIR="$work/runtime")

cat >"$work/sway.conf" <<EOF
output HEADLESS-1 resolution 1280x800 position 0,0
xwayland enable
exec printf '%s %s %s\n' "\$WAYLAND_DISPLAY" "\$DISPLAY" "\$SWAYSOCK" >$work/displays
EOF
WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    "${session[@]}" sway --config "$work/sway.conf" >"$work/sway.log" 2>&1 &
pids+=($!)
for _ in $(seq 200); do
    [[ -s $work/displays ]] && break
    sleep 0.1
done
if [[ ! -s $work/displays ]]; then
    echo "sway did not start:" >&2
    tail -20 "$work/sway.log" >&2
    exit 1
fi
read -r wayland_display x_display swaysock <"$work/displays"

status=0
"${session[@]}" WAYLAND_DISPLAY="$wayland_display" DISPLAY="$x_display" QT_QPA_PLATFORM=xcb \
    XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=sway SWAYSOCK="$swaysock" \
    VELMORA_NATIVE_WINDOW="$work/bin/$(basename "$native_window")" \
    "$work/bin/$(basename "$program")" "$@" || status=$?
if ((status)); then
    echo "--- sway said:" >&2
    tail -20 "$work/sway.log" >&2
fi
exit $status
