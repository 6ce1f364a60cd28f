# The clipboard's text and picture are both shown, the picture as its 64 x 64 preview: counted
# in the screenshot, where a picture drawn at the style's 16 pixels would cover 256.
check_clipboard() {
    convert -size 320x320 xc:'#c03030' "$files/clip.png"
    QT_QPA_PLATFORM=xcb start "$fake_browser" --clipboard "Copied words" "$files/clip.png"
    owned() { xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx image/png; }
    wait_for 10 owned || fail "the stand-in did not take the clipboard"
    activate "Velmora e2e xterm"
    open_menu
    screenshot menu-with-clipboard-text-and-picture
    local x y w h pixels
    read -r x y w h < <(geometry "$(menu_window)")
    close_menus
    pixels=$(convert "$shots/menu-with-clipboard-text-and-picture.png" -crop "${w}x${h}+${x}+${y}" +repage \
        -fuzz 3% -fill black +opaque '#c03030' -fill white -opaque '#c03030' \
        -format '%[fx:round(mean*w*h)]' info:)
    ((pixels >= 60 * 60)) || fail "the clipboard preview covers $pixels pixels, not 64 x 64"
}
