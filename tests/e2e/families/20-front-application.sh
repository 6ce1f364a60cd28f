# The application in front (an xterm) is named below the clipboard items, and its item hides the
# others: a second xterm is iconified, the front one stays.
window_state() {
    xprop -id "$(xdotool search --name "$1" | head -1)" WM_STATE | sed -n 's/.*window state: //p'
}
other_is_iconic() { [[ "$(window_state "Velmora e2e other")" == Iconic ]]; }

check_front_application() {
    activate "Velmora e2e xterm"
    open_menu
    local titles
    titles=$(menu_titles)
    close_menus
    grep -qxF "Front App: XTerm" <<<"$titles" ||
        fail "no \"Front App: XTerm\" while the xterm is in front; the menu reads: $titles"
    activate "Velmora e2e xterm"
    choose "Front App: XTerm"
    wait_for 5 other_is_iconic || fail "Hide Others left the other xterm $(window_state "Velmora e2e other")"
    [[ "$(window_state "Velmora e2e xterm")" == Normal ]] || fail "Hide Others hid the front xterm"
}
