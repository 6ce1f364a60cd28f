# wait_for SECONDS COMMAND...: runs the command every 0.1 s until it succeeds, for at most the
# given seconds; fails when it never did. Sourced by the test scripts that wait on real programs.
wait_for() {
    local tries=$(($1 * 10))
    shift
    while ((tries-- > 0)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
