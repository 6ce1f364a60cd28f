# "List Completions" copies what is selected in the window the user types in (Ctrl+C typed into
# it) and lists the word list's completions of it in the text window, once that window has
# answered the keystroke: here the window already owns the clipboard, holding another word the
# user copied, as after any copy of their own.
check_completions() {
    printf 'earlier' | xclip -selection clipboard -i
    QT_QPA_PLATFORM=xcb start "$fake_browser" "Velmora e2e words" >/dev/null 2>&1
    activate "Velmora e2e words"
    xdotool type --delay 20 "aardvar"
    xdotool key ctrl+a ctrl+c
    local tries=50
    until clipboard_holds "aardvar"; do
        ((--tries > 0)) || fail "the window did not take the clipboard"
        sleep 0.1
    done
    xdotool type --delay 20 "xylophon"
    xdotool key ctrl+a
    choose "List Completions"
    local listed
    listed=$(text_of_window "Completions for: xylophon")
    grep -qx "xylophones" <<<"$listed" || fail "the completions of xylophon read: $listed"
}

clipboard_holds() {
    [[ "$(xclip -selection clipboard -o 2>/dev/null)" == "$1" ]]
}
