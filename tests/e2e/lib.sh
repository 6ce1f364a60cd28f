# The end-to-end harness: a private X server with a window manager and a tray host, Velmora
# started for real with its icon docked, and the menu opened with the pointer and walked with
# the keyboard, its items read off the accessibility bus. Sourced by e2e.sh.

pids=()
stop_all() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    pids=()
}
fail() {
    echo "e2e: FAILED: $*" >&2
    [[ -n ${work:-} && -s $work/velmora.log ]] && sed 's/^/e2e: velmora: /' "$work/velmora.log" >&2
    exit 1
}
say() { echo "e2e: [$((SECONDS))s] $*"; }
# shellcheck source=../support/wait-for.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/wait-for.sh"
# Starts a program in the background, to be stopped with everything else.
start() {
    "$@" &
    pids+=($!)
}

geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
        /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }'
}
tray_panel() { xwininfo -root -tree 2>/dev/null | awk '/\("panel" "trayer"\)/ { print $1; exit }'; }
tray_icon() { xwininfo -tree -id "$(tray_panel)" 2>/dev/null | awk '/\("velmora" "Velmora"\)/ { print $1; exit }'; }
# A mapped top-level window of Velmora's that is a menu (its tool tips are windows too).
menu_window() {
    xwininfo -root -children 2>/dev/null | awk '/\("velmora" "Velmora"\)/ { print $1 }' |
        while read -r window; do
            if xwininfo -id "$window" 2>/dev/null | grep -q 'Map State: IsViewable' &&
                ! xprop -id "$window" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q '_TOOLTIP'; then
                read -r _ _ w h < <(geometry "$window")
                if ((w > 40 && h > 20)); then
                    echo "$window"
                    break
                fi
            fi
        done
}
have_menu() { [[ -n "$(menu_window)" ]]; }
no_menu() { [[ -z "$(menu_window)" ]]; }

start_desktop() {
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    pids+=($!)
    display_written() { [[ -s "$work/display" ]]; }
    wait_for 20 display_written || fail "Xvfb did not start"
    export DISPLAY=":$(tr -dc '0-9' <"$work/display")"
    start openbox --sm-disable >"$work/openbox.log" 2>&1
    wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
    wait_for 20 wm_running || fail "openbox did not start"
    start trayer --edge top --align right --widthtype request --height 32 --SetDockType true \
        >"$work/trayer.log" 2>&1
    have_panel() { [[ -n "$(tray_panel)" ]]; }
    wait_for 20 have_panel || fail "the tray host did not appear within 20 s"
    say "display $DISPLAY with openbox and trayer"
}

start_velmora() {
    # The listener first: Velmora's accessibility bridge asks, as it starts, which events anyone
    # listens for, and sends only those.
    start "$here/focused-items.py" >"$work/focus.log" 2>"$work/focus.err"
    listening() { grep -q listening "$work/focus.err"; }
    wait_for 20 listening || fail "the accessibility listener did not start"
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb start "$velmora" >"$work/velmora.log" 2>&1
    velmora_pid=$!
    docked() {
        kill -0 "$velmora_pid" 2>/dev/null || fail "velmora exited before its icon was docked"
        [[ -n "$(tray_icon)" ]]
    }
    wait_for 30 docked || fail "Velmora's icon was not docked in the tray within 30 s"
    open_menu
    heard() {
        xdotool key Down
        [[ -s "$work/focus.log" ]]
    }
    wait_for 20 heard || fail "no menu item was reported on the accessibility bus"
    close_menus
    say "velmora running, icon docked, its menu heard on the accessibility bus"
}

# Makes the window titled `$1` the active one.
activate() {
    local window
    window=$(timeout 10 xdotool search --sync --name "$1" | head -1) ||
        fail "no window titled \"$1\" appeared within 10 s"
    xdotool windowactivate --sync "$window" 2>/dev/null || true
    sleep 0.3
}

open_menu() {
    local icon x y w h attempt
    icon=$(tray_icon)
    read -r x y w h < <(geometry "$icon")
    for attempt in 1 2 3; do
        # Not --sync: it waits for a movement that never comes when the pointer is already there.
        xdotool mousemove $((x + w / 2)) $((y + h - 3)) sleep 0.1 click 1
        wait_for 5 have_menu && {
            sleep 0.3
            return 0
        }
        say "no menu after click $attempt"
    done
    fail "the menu did not open after three clicks"
}
close_menus() {
    xdotool key Escape Escape Escape
    wait_for 5 no_menu || {
        xdotool mousemove 20 780 click 1
        wait_for 5 no_menu || fail "the menu did not close"
    }
}

focused() { tail -n 1 "$work/focus.log" | cut -d'|' -f2-; }
# In the menu that has the keyboard, moves down until the item titled `$1` has the focus.
walk_to() {
    local step
    for step in $(seq 60); do
        xdotool key Down
        sleep 0.12
        [[ "$(focused)" == "$1" ]] && return 0
    done
    return 1
}
# The titles of the open menu's items, as the keyboard reaches them (disabled ones are passed).
menu_titles() {
    local before step
    before=$(wc -l <"$work/focus.log")
    for step in $(seq 30); do
        xdotool key Down
        sleep 0.08
    done
    sleep 0.3
    tail -n +$((before + 1)) "$work/focus.log" | cut -d'|' -f2- | awk '!seen[$0]++'
}
# Chooses a menu item by its path of titles: choose "Filenames" "Uppercase Name".
choose() {
    local count=$#
    open_menu
    while (($#)); do
        walk_to "$1" || {
            close_menus
            fail "no item \"$1\" in the menu"
        }
        if (($# > 1)); then
            xdotool key Right
            sleep 0.4
        fi
        shift
    done
    xdotool key Return
    wait_for 5 no_menu || fail "the menu stayed open after choosing ($count levels)"
}
screenshot() {
    mkdir -p "$shots"
    import -window root "$shots/$1.png"
}
# The text of the window titled `$1` (Velmora's text window), copied out of it with the keyboard.
text_of_window() {
    activate "$1"
    xdotool key ctrl+a ctrl+c
    sleep 0.3
    xclip -selection clipboard -o 2>/dev/null
}
