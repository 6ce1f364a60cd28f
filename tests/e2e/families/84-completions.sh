# "List Completions" copies what is selected in the window the user types in (Ctrl+C typed into
# it) and lists the word list's completions of it in the text window.
check_completions() {
    # The item is offered while the clipboard holds text, as after the user copied a word.
    printf 'earlier' | xclip -selection clipboard -i
    QT_QPA_PLATFORM=xcb start "$fake_browser" "Velmora e2e words" >/dev/null 2>&1
    activate "Velmora e2e words"
    xdotool type --delay 20 "xylophon"
    xdotool key ctrl+a
    choose "List Completions"
    local listed
    listed=$(text_of_window "Completions for: xylophon")
    grep -qx "xylophones" <<<"$listed" || fail "the completions of xylophon read: $listed"
}
