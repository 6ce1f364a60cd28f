# "Set Desktop Picture" changes GNOME's picture-uri (dconf on the test's own session bus).
picture_uri_is() { [[ "$(gsettings get org.gnome.desktop.background picture-uri)" == "'$1'" ]]; }

check_desktop_picture() {
    convert -size 160x120 xc:'#3070c0' "$files/wallpaper.png"
    "$velmora_select" "$files/wallpaper.png"
    activate "Velmora e2e xterm"
    choose "Desktop Pictures" "Set Desktop Picture"
    wait_for 10 picture_uri_is "file://$files/wallpaper.png" ||
        fail "picture-uri is $(gsettings get org.gnome.desktop.background picture-uri)"
}
