# "Copy and Paste Title" puts the front page's title into the window the user was typing in:
# here the stand-in Firefox, whose text field prints what it receives.
pasted() { grep -qxF "Velmora e2e page" "$work/browser.out"; }

check_browsers() {
    QT_QPA_PLATFORM=xcb start "$fake_browser" "Velmora e2e page — Mozilla Firefox" \
        >"$work/browser.out" 2>&1
    activate "Velmora e2e page"
    choose "Copy and Paste Title" "Firefox"
    wait_for 10 pasted || fail "the title was not pasted; the window received: $(cat "$work/browser.out")"
    [[ "$(xclip -selection clipboard -o)" == "Velmora e2e page" ]] ||
        fail "the clipboard holds: $(xclip -selection clipboard -o)"
}
