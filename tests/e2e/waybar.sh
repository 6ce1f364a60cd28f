#!/usr/bin/env bash
# The tray menu as a StatusNotifierItem host draws it: waybar (its tray alone) on a headless sway
# session with a private session bus, Velmora on sway's XWayland, the tray icon clicked with a
# virtual pointer. Each opening must show this opening's selection header, at the icon, at its
# full size; a Filenames command chosen in the host's menu must rename the file on disk.
# Screenshots land in the build folder's e2e-waybar/.
#
#   waybar.sh BUILD_DIR
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build=$(cd "$1" && pwd)
shots="$build/e2e-waybar"
# shellcheck source=../support/wait-for.sh
source "$here/../support/wait-for.sh"

# The session's output and bar, which say where the tray icon is: the tray is the bar's only
# module, at its right end, one icon wide with the padding of the bar's style below.
readonly width=1280 height=800 bar=30 icon=20 padding=10
readonly icon_x=$((width - padding - icon / 2)) icon_y=$((bar / 2))

unset DISPLAY WAYLAND_DISPLAY
work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-waybar.XXXXXX")
pids=()
stop_all() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    pids=()
    rm -rf "$work"
}
trap stop_all EXIT
say() { echo "e2e_waybar: [$((SECONDS))s] $*"; }
fail() {
    echo "e2e_waybar: FAILED: $*" >&2
    local log
    for log in sway waybar velmora pointer; do
        [[ -s $work/$log.log ]] && tail -n 15 "$work/$log.log" | sed "s/^/e2e_waybar: $log: /" >&2
    done
    cp "$work/monitor.log" "$work/waybar.log" "$work/velmora.log" "$shots/" 2>/dev/null || true
    echo "e2e_waybar: screenshots and the bus's traffic (monitor.log) in $shots" >&2
    exit 1
}

# sway refuses to run as root, and CI runs as root: the session then belongs to nobody, in a
# work folder of its own, running copies of the programs laid out as installed (the build tree
# may sit where nobody cannot read).
session=(env)
if (($(id -u) == 0)); then
    session=(setpriv --reuid=nobody --regid=nogroup --clear-groups env)
fi
app="$work/app"
mkdir -p "$app/bin" "$app/share/velmora" "$work/home/.config" "$work/files" "$work/runtime"
cp "$build/app/velmora" "$build/tools/select/velmora-select" \
    "$build/tests/e2e/virtual-pointer/virtual-pointer" \
    "$here/../platform/linux/native-window.py" "$app/bin/"
cp -r "$here/../../resources" "$app/share/velmora/resources"
chmod 0700 "$work/runtime"
if (($(id -u) == 0)); then
    chown -R nobody:nogroup "$work"
fi
session+=(HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
    XDG_DATA_HOME="$work/home/.local/share" XDG_RUNTIME_DIR="$work/runtime" XDG_CURRENT_DESKTOP=sway)
rm -rf "$shots"
mkdir -p "$shots"

# Starts a program of the session in the background, to be stopped with everything else.
start() {
    "${session[@]}" "$@" &
    pids+=($!)
}

bus_written() { [[ -s $work/bus ]]; }
start dbus-daemon --session --nofork --print-address=3 3>"$work/bus"
wait_for 10 bus_written || fail "the session bus did not start"
session+=(DBUS_SESSION_BUS_ADDRESS="$(head -n 1 "$work/bus")")
start stdbuf -oL dbus-monitor >"$work/monitor.log" 2>&1

cat >"$work/sway.conf" <<EOF
output HEADLESS-1 resolution ${width}x${height} position 0,0
xwayland enable
exec printf '%s %s\n' "\$WAYLAND_DISPLAY" "\$DISPLAY" >$work/displays
EOF
WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    start sway --config "$work/sway.conf" >"$work/sway.log" 2>&1
displays_written() { [[ -s $work/displays ]]; }
wait_for 20 displays_written || fail "sway did not start"
read -r wayland_display x_display <"$work/displays"
session+=(WAYLAND_DISPLAY="$wayland_display")

cat >"$work/waybar.json" <<EOF
{"layer": "top", "position": "top", "height": $bar, "modules-right": ["tray"],
 "tray": {"icon-size": $icon, "spacing": 0}}
EOF
cat >"$work/waybar.css" <<EOF
* { border: none; border-radius: 0; min-height: 0; }
window#waybar { background: #202020; }
#tray { padding: 0 ${padding}px; background: #2060a0; }
EOF
start waybar --config "$work/waybar.json" --style "$work/waybar.css" >"$work/waybar.log" 2>&1
watcher() {
    "${session[@]}" gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
        -m org.freedesktop.DBus.NameHasOwner org.kde.StatusNotifierWatcher 2>/dev/null | grep true >/dev/null
}
wait_for 20 watcher || fail "waybar's tray did not take the StatusNotifierWatcher name"
say "sway on $wayland_display (XWayland $x_display), waybar's tray watching"

QT_QPA_PLATFORM=xcb DISPLAY=$x_display start "$app/bin/velmora" >"$work/velmora.log" 2>&1
velmora_pid=$!
registered() {
    kill -0 "$velmora_pid" 2>/dev/null || fail "velmora exited before its item was registered"
    "${session[@]}" gdbus call --session -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher \
        -m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
        RegisteredStatusNotifierItems 2>/dev/null | grep "'" >/dev/null
}
wait_for 30 registered || fail "Velmora registered no StatusNotifierItem within 30 s"

# Opened for reading and writing first: opening a FIFO for one alone waits for the other end.
mkfifo "$work/pointer"
exec 7<>"$work/pointer"
# Not through start: a background command reads from /dev/null unless told otherwise itself.
"${session[@]}" "$app/bin/virtual-pointer" "$width" "$height" <"$work/pointer" >"$work/pointer.log" 2>&1 &
pids+=($!)
point() { echo "$*" >&7; }
say "velmora's item registered"

shot() { "${session[@]}" grim - >"$1"; }
# Like wait_for, by the clock: for checks that take a screenshot each.
within() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}
# The menu in the screenshot `$1`: "menu X Y W H" and its rows (menu-rows.py); arguments after
# the first leave out a rectangle (an open parent menu).
menu_in() { "$here/menu-rows.py" "$@"; }
# Takes screenshots until the menu in them stops changing (a host may fill it after showing it),
# and leaves the last in `$1`.
settled_shot() {
    local before="" now tries
    for tries in $(seq 20); do
        shot "$1"
        now=$(menu_in "$@")
        [[ -n $now && $now == "$before" ]] && return 0
        before=$now
        sleep 0.15
    done
    return 1
}

# The D-Bus traffic between the host and Velmora since line `$1` of the monitor's log: one line a
# message, the member and its arguments' first line.
traffic_since() {
    tail -n +"$1" "$work/monitor.log" | awk '/^(method call|method return|signal|error)/ {
        kind = $1 == "method" ? $1 " " $2 : $1; member = $0
        sub(/.*member=/, "", member); if (member == $0) member = ""
        print kind, member }' | uniq -c
}
# The layouts and items the host fetched since line `$1`: the bodies of the answers to its
# GetLayout and GetGroupProperties calls.
fetched_layouts() {
    tail -n +"$1" "$work/monitor.log" | awk '
        /^(method call|method return|signal|error)/ { body = 0 }
        /^method call/ && /member=(GetLayout|GetGroupProperties)/ {
            match($0, /sender=[^ ]+/); who = substr($0, RSTART + 7, RLENGTH - 7)
            match($0, / serial=[0-9]+/); asked[who ":" substr($0, RSTART + 8, RLENGTH - 8)] = 1 }
        /^method return/ {
            match($0, /destination=[^ ]+/); who = substr($0, RSTART + 12, RLENGTH - 12)
            match($0, /reply_serial=[0-9]+/); body = (who ":" substr($0, RSTART + 13, RLENGTH - 13)) in asked
            next }
        body'
}

openings=0
fetched_mark=1
# Opens the menu with a left click on the icon, checks it shows the header `$1` at the icon at
# its full size, and leaves its screenshot in $menu_shot and its geometry in $menu.
open_menu() {
    local header=$1 mark attempt
    openings=$((openings + 1))
    menu_shot="$shots/opening-$openings.png"
    mark=$(($(wc -l <"$work/monitor.log") + 1))
    shown() {
        shot "$menu_shot"
        [[ -n "$(menu_in "$menu_shot")" ]]
    }
    for attempt in 1 2; do
        point move "$icon_x" "$icon_y"
        point click left
        within 5 shown && break
        say "no menu after click $attempt"
    done
    [[ -n "$(menu_in "$menu_shot")" ]] || fail "no menu after two clicks on the icon at $icon_x,$icon_y;" \
        "the host and Velmora said: $(traffic_since "$mark")"
    # Away from the icon, whose tool tip would cover the menu, and off the menu.
    point move $((width / 2)) $((height - 50))
    settled_shot "$menu_shot" || fail "the menu kept changing: $menu_shot"
    traffic_since "$mark" >"$shots/opening-$openings.dbus"
    check_menu "$header"
}

check_menu() {
    local header=$1 x y w h rows first_top last_bottom pitch short
    menu=$(menu_in "$menu_shot")
    read -r _ x y w h <<<"$(head -n 1 <<<"$menu")"
    # Where the user clicked: below the icon, not where another program's menu would pop up.
    ((y <= bar + 10 && x <= icon_x && icon_x <= x + w + icon)) ||
        fail "the menu opened at $x,$y (${w}x$h), not at the icon at $icon_x,$icon_y: $menu_shot;" \
            "the traffic: $(tr '\n' ';' <"$shots/opening-$openings.dbus")"
    # A host fetches the layout again only when Velmora says it changed: an opening that changed
    # nothing shows what the last fetch brought.
    [[ -n "$(fetched_layouts "$mark")" ]] && fetched_mark=$mark
    fetched_layouts "$fetched_mark" | grep -F "string \"$header\"" >/dev/null ||
        fail "the layout the host fetched at opening $openings lacks \"$header\"" \
            "(the traffic: $(tr '\n' ';' <"$shots/opening-$openings.dbus"))"
    # At its full size: no blank row at the top or the bottom, no row cut short by a scroll arrow.
    rows=$(grep '^row ' <<<"$menu")
    first_top=$(head -n 1 <<<"$rows" | cut -d' ' -f3)
    last_bottom=$(tail -n 1 <<<"$rows" | cut -d' ' -f4)
    pitch=$(awk 'NR > 1 { print $2 - centre } { centre = $2 }' <<<"$rows" | sort -n |
        awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
    short=$(awk -v least=$((pitch / 3)) '$4 - $3 + 1 < least' <<<"$rows")
    ((first_top - y < pitch * 3 / 4 && y + h - 1 - last_bottom < pitch * 3 / 4)) && [[ -z $short ]] ||
        fail "the menu at opening $openings is not at its full size (a blank row, or a scroll" \
            "arrow): $menu_shot; rows: $(tr '\n' ';' <<<"$rows")"
    say "opening $openings: \"$header\", $(wc -l <<<"$rows") rows, ${w}x$h at $x,$y"
}
close_menu() {
    point move $((width / 2)) $((height - 50))
    point click left
    closed() {
        shot "$work/closed.png"
        [[ -z "$(menu_in "$work/closed.png")" ]]
    }
    within 5 closed || fail "the menu did not close: $work/closed.png"
}

# The rows and the height of a menu: a menu drawn in the size of an earlier one differs here.
size_of() { awk '/^menu/ { h = $5 } /^row/ { n++ } END { print n " rows, " h " px high" }' <<<"$1"; }
# Opens the menu twice: the first opening after the selection changed must look like the second,
# where the host has nothing left to catch up with. Leaves the second open.
open_twice() {
    local first first_shot
    open_menu "$1"
    first=$menu first_shot=$menu_shot
    close_menu
    open_menu "$1"
    [[ "$(size_of "$first")" == "$(size_of "$menu")" ]] ||
        fail "the menu first showed $(size_of "$first") ($first_shot), then" \
            "$(size_of "$menu") ($menu_shot)"
}

# As a user selects and then reaches for the tray.
select_files() {
    "${session[@]}" "$app/bin/velmora-select" "$@"
    sleep 0.5
}
as_session_user() { if (($(id -u) == 0)); then chown -R nobody:nogroup "$@"; fi; }

# Two openings whose menus differ in length: the host must show each its own menu, at its size.
printf 'first\n' >"$work/files/first.txt"
printf 'second\n' >"$work/files/second.txt"
convert -size 16x16 xc:red "$work/files/red.png"
printf 'quiet\n' >"$work/files/make me loud.txt"
as_session_user "$work/files"

# waybar makes its menu at the first click on an item and shows it before the layout has arrived:
# the first menu of a waybar session is drawn in the size of its first rows, whatever the item.
# One opening makes it, and every later one must show its own menu at its size.
first_menu() {
    shot "$work/first.png"
    [[ -n "$(menu_in "$work/first.png")" ]]
}
# The icon shows once waybar has read the item's properties; until then a click finds nothing.
for attempt in 1 2 3 4; do
    point move "$icon_x" "$icon_y"
    point click left
    within 3 first_menu && break
done
first_menu || fail "no menu after four clicks on the icon at $icon_x,$icon_y"
close_menu

select_files "$work/files/first.txt" "$work/files/second.txt"
open_twice "2 Items, First item: first.txt"
close_menu
select_files "$work/files/red.png"
open_twice "1 Item, First item: red.png"
close_menu

# Chooses the operation in row `$1` of "Filenames" in the open menu: the pointer on "Filenames"
# (the first row that opens a submenu; GTK's theme here draws no arrow, so each row is tried from
# the top), then on the row.
choose_filename_operation() {
    local row=$1 mx my mw mh found="" row_y sx operation_y
    read -r _ mx my mw mh <<<"$(head -n 1 <<<"$menu")"
    submenu_shot="$shots/opening-$openings-filenames.png"
    submenu_rows() { menu_in "$submenu_shot" "$mx" "$my" "$mw" "$mh" | grep -c '^row '; }
    submenu_open() {
        shot "$submenu_shot"
        (($(submenu_rows) > 0))
    }
    while read -r _ row_y _; do
        point move $((mx + 40)) "$row_y"
        if within 1 submenu_open; then
            found=$row_y
            break
        fi
    done < <(grep '^row ' <<<"$menu")
    [[ -n $found ]] || fail "no row of the menu opens a submenu: $menu_shot"
    within 3 eval '(($(submenu_rows) >= 9))' ||
        fail "the first submenu is not Filenames with its nine rows: $submenu_shot"
    settled_shot "$submenu_shot" "$mx" "$my" "$mw" "$mh" || fail "the submenu kept changing: $submenu_shot"
    submenu=$(menu_in "$submenu_shot" "$mx" "$my" "$mw" "$mh")
    read -r _ sx _ <<<"$(head -n 1 <<<"$submenu")"
    operation_y=$(grep '^row ' <<<"$submenu" | sed -n "${row}p" | cut -d' ' -f2)
    point move $((sx + 30)) "$operation_y"
    sleep 0.3
    point click left
}

# "Uppercase Name", the seventh operation, chosen in the host's menu.
select_files "$work/files/make me loud.txt"
open_twice "1 Item, First item: make me loud.txt"
choose_filename_operation 7
loud="$work/files/MAKE ME LOUD.TXT"
renamed() { [[ -e $loud ]]; }
wait_for 5 renamed || fail "Uppercase Name chosen in the host's menu left: $(ls "$work/files")"
[[ ! -e "$work/files/make me loud.txt" ]] || fail "the old name is still there"
say "Uppercase Name chosen in waybar's menu renamed the file"

# A text copied by a native Wayland program, while no X11 window has the focus (sway gives X11
# programs no clipboard then): the menu shows it, and "Set Name Clipboard", the sixth operation,
# names the file with exactly that text.
start env WAYLAND_DISPLAY="$wayland_display" wl-copy --foreground "Quarterly report: draft"
select_files "$loud"
open_twice "1 Item, First item: MAKE ME LOUD.TXT"
fetched_layouts "$fetched_mark" | grep -F 'string "Quarterly report: draft"' >/dev/null ||
    fail "the menu does not show the text a native program copied (the traffic: $(tr '\n' ';' <"$shots/opening-$openings.dbus"))"
choose_filename_operation 6
named() { [[ -e "$work/files/Quarterly report: draft.TXT" ]]; }
wait_for 5 named || fail "Set Name Clipboard chosen in the host's menu left: $(ls "$work/files")"
say "the text a native program copied named the file"

# The front application is the one sway has in front as the menu opens, from sway's own list of
# windows: an X11 xterm is named, then a native window over it (not the xterm behind it), though
# waybar's menu has the keyboard while it shows.
# The answer to the host's last GetLayout since line `$1`: the menu it shows.
last_layout() {
    tail -n +"$1" "$work/monitor.log" | awk '
        /^(method call|method return|signal|error)/ { body = 0 }
        /^method call/ && /member=GetLayout/ {
            match($0, /sender=[^ ]+/); who = substr($0, RSTART + 7, RLENGTH - 7)
            match($0, / serial=[0-9]+/); asked[who ":" substr($0, RSTART + 8, RLENGTH - 8)] = 1 }
        /^method return/ {
            match($0, /destination=[^ ]+/); who = substr($0, RSTART + 12, RLENGTH - 12)
            match($0, /reply_serial=[0-9]+/); body = (who ":" substr($0, RSTART + 13, RLENGTH - 13)) in asked
            if (body) last = ""
            next }
        body { last = last $0 "\n" }
        END { printf "%s", last }'
}
front_app_shown() { last_layout "$fetched_mark" | grep -F 'string "Front App: '; }
# Both windows are dark: the screenshots find the menu as the one light rectangle.
DISPLAY=$x_display start xterm -bg black -fg gray -title "Velmora waybar xterm"
sleep 1
open_menu "1 Item, First item: Quarterly report: draft.TXT"
front_app_shown | grep -F XTerm >/dev/null ||
    fail "with an xterm in front the menu names no XTerm: $(front_app_shown)"
close_menu
start env GDK_BACKEND=wayland GTK_THEME=Adwaita:dark WAYLAND_DISPLAY="$wayland_display" \
    python3 "$app/bin/native-window.py" \
    io.velmora.NativeFront "Velmora waybar native" >"$work/native.log" 2>&1
sleep 1.5
open_menu "1 Item, First item: Quarterly report: draft.TXT"
front_app_shown | grep -F io.velmora.NativeFront >/dev/null ||
    fail "with a native window in front the menu names: $(front_app_shown)"
say "the front application follows sway: the xterm, then the native window over it; screenshots in $shots"
