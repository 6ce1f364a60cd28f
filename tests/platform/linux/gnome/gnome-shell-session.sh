#!/usr/bin/env bash
# Runs a test program inside a headless GNOME Shell of its own: a private system bus with a
# stand-in logind (the Shell will not start without one), a private session bus, the Shell on
# Wayland with a virtual monitor, and Velmora's extension installed into the session's own data
# folder and enabled through its settings. The program runs on the Shell's XWayland, as Velmora
# does, with the Shell's Wayland display beside it for the native windows it makes.
#
#   gnome-shell-session.sh EXTENSIONS_FOLDER PROGRAM [ARGUMENTS...]
set -euo pipefail

extensions=$1
shift
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

cat >"$work/system.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$work/system_bus</listen>
  <policy context="default">
    <allow user="*"/><allow own="*"/><allow send_destination="*"/><allow receive_sender="*"/>
  </policy>
</busconfig>
CONF
dbus-daemon --config-file="$work/system.conf" --nofork --nosyslog &
pids+=($!)
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/system_bus"
for _ in $(seq 50); do [[ -S "$work/system_bus" ]] && break; sleep 0.1; done
/usr/bin/python3 -m dbusmock --system --template logind >"$work/logind.log" 2>&1 &
pids+=($!)
gdbus wait --system --timeout 10 org.freedesktop.login1

mkdir -m 700 "$work/runtime"
mkdir -p "$work/data/gnome-shell" "$work/config/glib-2.0/settings"
cp -r "$extensions" "$work/data/gnome-shell/extensions"
cat >"$work/config/glib-2.0/settings/keyfile" <<KEYS
[org/gnome/shell]
enabled-extensions=['velmora-legacy@velmora.io', 'velmora@velmora.io']
disable-user-extensions=false
KEYS
export XDG_RUNTIME_DIR="$work/runtime" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
export GSETTINGS_BACKEND=keyfile HOME="$work"
unset DISPLAY WAYLAND_DISPLAY

# Inside the session bus: the Shell, then the program once the Shell's displays are there.
dbus-run-session -- bash -c '
    log=$1/shell.log
    shift
    gnome-shell --headless --wayland --virtual-monitor 1280x800 >"$log" 2>&1 &
    shell=$!
    for _ in $(seq 300); do
        display=$(sed -n "s/.*Using public X11 display \(:[0-9]*\).*/\1/p" "$log")
        [[ -n "$display" && -S "$XDG_RUNTIME_DIR/wayland-0" ]] && break
        sleep 0.1
    done
    if [[ -z "$display" ]]; then
        echo "gnome-shell did not start:" >&2
        tail -20 "$log" >&2
        kill $shell
        exit 1
    fi
    # The extension is exported once the Shell has started; its answer to a caller that is not
    # Velmora says so.
    for _ in $(seq 100); do
        gdbus call --session --dest org.gnome.Shell --object-path /io/velmora/ShellWindows \
            --method io.velmora.ShellWindows.Version 2>&1 | grep -q AccessDenied && break
        sleep 0.1
    done
    # The Shell starts in the overview, where a new window does not take the focus; headless,
    # it has no keyboard of its own: one Escape through a remote-desktop session leaves it.
    /usr/bin/python3 - <<PYTHON
from gi.repository import Gio, GLib

bus = Gio.bus_get_sync(Gio.BusType.SESSION)
name, path = "org.gnome.Mutter.RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop"


def call(object_path, interface, method, arguments=None):
    return bus.call_sync(name, object_path, interface, method, arguments, None,
                         Gio.DBusCallFlags.NONE, 5000, None)


session = call(path, name, "CreateSession").unpack()[0]
call(session, name + ".Session", "Start")
for pressed in (True, False):
    call(session, name + ".Session", "NotifyKeyboardKeysym",
         GLib.Variant("(ub)", (0xFF1B, pressed)))
call(session, name + ".Session", "Stop")
PYTHON
    # XWayland starts at its first client, which must show the Shell'"'"'s cookie.
    cookie=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -1)
    status=0
    XAUTHORITY=$cookie DISPLAY=$display WAYLAND_DISPLAY=wayland-0 QT_QPA_PLATFORM=xcb XDG_SESSION_TYPE=wayland \
        XDG_CURRENT_DESKTOP=GNOME "$@" || status=$?
    if ((status)); then
        echo "--- the Shell said:" >&2
        grep -E "JS ERROR|velmora|Extension" "$log" >&2 || true
    fi
    kill $shell
    wait $shell 2>/dev/null
    exit $status
' session "$work" "$@"
