# "Get Movie Info" shows its report of the selected movie in Velmora's text window.
check_movie_info() {
    ffmpeg -loglevel error -y -f lavfi -i testsrc=duration=1:size=160x120:rate=10 \
        -c:v mpeg4 "$files/clip.mov" || fail "ffmpeg could not make the movie"
    "$velmora_select" "$files/clip.mov"
    activate "Velmora e2e xterm"
    choose "Get Movie Info"
    local report
    report=$(text_of_window "Movie Info")
    grep -q "^Nbr. Tracks: 1" <<<"$report" || fail "the movie report reads: $report"
    grep -qx "Width: 160, Height: 120" <<<"$report" || fail "the report lacks the movie's size: $report"
    grep -qx "Frame count: 10" <<<"$report" || fail "the report lacks the frame count: $report"
}
