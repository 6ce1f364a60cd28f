#!/usr/bin/env bash
# One Velmora a user without a session bus: of two started at the same moment exactly one runs,
# the other says in one line that Velmora is already running and ends with status 0; a third
# started later says the same; once the first ends, a new one runs.
#
#   one-instance-test.sh VELMORA
set -euo pipefail

velmora=$1
work="$(mktemp -d "${TMPDIR:-/tmp}/velmora-one-instance.XXXXXX")"
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "one-instance-test: $*" >&2
    for f in "$work"/*.out; do
        echo "--- $f" >&2
        cat "$f" >&2
    done
    exit 1
}

export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/home/.config"
export XDG_CACHE_HOME="$work/home/.cache" XDG_DATA_HOME="$work/home/.local/share"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-session-bus" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" && mkdir -m 0700 "$XDG_RUNTIME_DIR"

"$velmora" >"$work/a.out" 2>&1 &
a=$!
"$velmora" >"$work/b.out" 2>&1 &
b=$!
pids+=("$a" "$b")

# The one that loses ends at once; the other keeps running.
for _ in $(seq 100); do
    if ! kill -0 "$a" 2>/dev/null || ! kill -0 "$b" 2>/dev/null; then
        break
    fi
    sleep 0.1
done
sleep 1
if kill -0 "$a" 2>/dev/null && kill -0 "$b" 2>/dev/null; then
    fail "two Velmoras run side by side"
fi
if kill -0 "$a" 2>/dev/null; then
    running=$a ended=$b out="$work/b.out"
elif kill -0 "$b" 2>/dev/null; then
    running=$b ended=$a out="$work/a.out"
else
    fail "neither Velmora kept running"
fi
wait "$ended" || fail "the second Velmora ended with status $?"
grep -qx "velmora: Velmora is already running; its icon is in the tray" "$out" ||
    fail "the second Velmora did not say that one is running"

"$velmora" >"$work/c.out" 2>&1 || fail "a later Velmora ended with status $?"
grep -q "already running" "$work/c.out" || fail "a later Velmora did not say that one is running"

kill "$running"
wait "$running" 2>/dev/null || true
"$velmora" >"$work/d.out" 2>&1 &
d=$!
pids+=("$d")
sleep 2
kill -0 "$d" 2>/dev/null || fail "no Velmora runs once the first has ended"
echo "one-instance-test: passed"
