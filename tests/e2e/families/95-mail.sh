# "Email Items" zips a selected folder into Parcelo and hands the archive to the mail client:
# here an xdg-email of the test's own, which writes down what it was given.
check_mail() {
    mkdir -p "$files/Report"
    printf 'numbers\n' >"$files/Report/table.csv"
    "$velmora_select" "$files/Report"
    activate "Velmora e2e xterm"
    choose "Email Items"
    asked() { [[ -s "$work/xdg-email.args" ]]; }
    wait_for 15 asked || fail "no mail client was asked for a message"
    local archive
    archive=$(grep -A1 -x -- --attach "$work/xdg-email.args" | tail -1)
    [[ $archive == */Parcelo/*/Report.zip ]] || fail "the attachment is $archive"
    local listing
    listing=$(unzip -l "$archive") || fail "$archive is no zip archive"
    grep -q "Report/table.csv\|table.csv" <<<"$listing" || fail "the archive lacks table.csv: $listing"
    grep -qx "Report" "$work/xdg-email.args" || fail "the subject is not the item's name"
}
