# "Copy and Paste Title" puts the front page's title into the window the user was typing in:
# here the stand-in Firefox, whose text field prints what it receives.
title='Velmora e2e page: say "hi" à tous'
pasted() { grep -qxF "$title" "$work/browser.out"; }

check_browsers() {
    QT_QPA_PLATFORM=xcb start "$fake_browser" "$title — Mozilla Firefox" \
        >"$work/browser.out" 2>&1
    activate "Velmora e2e page"
    choose "Copy and Paste Title" "Firefox"
    wait_for 10 pasted || fail "the title was not pasted; the window received: $(cat "$work/browser.out")"
    [[ "$(xclip -selection clipboard -o)" == "$title" ]] ||
        fail "the clipboard holds: $(xclip -selection clipboard -o)"
}
