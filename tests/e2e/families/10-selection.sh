# The header names the selection a file manager handed over with velmora-select.
check_selection() {
    printf 'first\n' >"$files/first.txt"
    printf 'second\n' >"$files/second.txt"
    "$velmora_select" "$files/first.txt" "$files/second.txt"
    activate "Velmora e2e xterm"
    open_menu
    local titles
    titles=$(menu_titles)
    screenshot menu-with-selection
    close_menus
    grep -qxF "2 Items, First item: first.txt" <<<"$titles" ||
        fail "the header does not name the selection; the menu reads: $titles"
}
