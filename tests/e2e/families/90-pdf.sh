# "Combine Files Into PDF" asks for a name in the save panel and writes one PDF of the selection,
# a page a short text.
check_pdf() {
    printf 'The first page.\n' >"$files/one.txt"
    printf 'The second page.\n' >"$files/two.txt"
    "$velmora_select" "$files/one.txt" "$files/two.txt"
    activate "Velmora e2e xterm"
    choose "Combine Files Into PDF"
    sleep 1.5 # the save panel takes the keyboard as it opens
    xdotool key ctrl+a
    xdotool type --delay 10 "$files/combined.pdf"
    xdotool key Return
    written() { [[ -s "$files/combined.pdf" ]]; }
    wait_for 15 written || fail "no combined.pdf was written: $(ls "$files")"
    local pages
    pages=$(pdfinfo "$files/combined.pdf" | sed -n 's/^Pages: *//p')
    [[ $pages == 2 ]] || fail "combined.pdf has $pages pages"
    local text
    text=$(pdftotext "$files/combined.pdf" -)
    grep -q "The second page." <<<"$text" || fail "the second page's text is missing: $text"
}
