# A Filenames rename lands on disk, and the renamed file stays selected.
check_filenames() {
    printf 'quiet\n' >"$files/make me loud.txt"
    "$velmora_select" "$files/make me loud.txt"
    activate "Velmora e2e xterm"
    choose "Filenames" "Uppercase Name"
    renamed() { [[ -e "$files/MAKE ME LOUD.txt" || -e "$files/MAKE ME LOUD.TXT" ]]; }
    wait_for 5 renamed || fail "Uppercase Name left: $(ls "$files")"
    [[ ! -e "$files/make me loud.txt" ]] || fail "the old name is still there"
    activate "Velmora e2e xterm"
    open_menu
    local titles
    titles=$(menu_titles)
    close_menus
    local now
    now=$(cd "$files" && ls -d MAKE\ ME\ LOUD.*)
    grep -qxF "1 Item, First item: $now" <<<"$titles" ||
        fail "the renamed file is no longer selected; the menu reads: $titles"
}
