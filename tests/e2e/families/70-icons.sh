# "Set Icons From Clipboard" gives the selected file the clipboard's picture as its custom icon:
# the attribute names a PNG in Velmora's icon store.
check_icons() {
    printf 'plain\n' >"$files/iconless.txt"
    convert -size 128x128 xc:'#30a050' "$files/icon.png"
    start xclip -selection clipboard -t image/png -i "$files/icon.png"
    sleep 0.5
    "$velmora_select" "$files/iconless.txt"
    activate "Velmora e2e xterm"
    choose "Set Icons From Clipboard"
    has_icon() { getfattr --only-values -n user.velmora.custom-icon "$files/iconless.txt" >/dev/null 2>&1; }
    wait_for 10 has_icon || fail "the selected file has no custom icon"
    local png
    png=$(getfattr --only-values -n user.velmora.custom-icon "$files/iconless.txt")
    [[ $png == "$XDG_DATA_HOME"/velmora/icons/*.png && -s $png ]] ||
        fail "the custom icon names $png"
}
