# "Copy Image Or Movie Poster" puts the selected picture on the clipboard as PNG, whole.
check_media() {
    convert -size 300x200 xc:'#a05030' "$files/photo.jpg"
    printf 'not a picture' | xclip -selection clipboard -i
    "$velmora_select" "$files/photo.jpg"
    activate "Velmora e2e xterm"
    choose "Copy Image Or Movie Poster"
    on_clipboard() { xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx image/png; }
    wait_for 10 on_clipboard || fail "the clipboard offers: $(xclip -selection clipboard -t TARGETS -o)"
    xclip -selection clipboard -t image/png -o >"$work/pasted.png"
    [[ "$(identify -format '%wx%h' "$work/pasted.png")" == 300x200 ]] ||
        fail "the pasted picture is $(identify -format '%wx%h' "$work/pasted.png")"
}
