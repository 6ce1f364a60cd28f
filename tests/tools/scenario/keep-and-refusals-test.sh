#!/usr/bin/env bash
# velmora-scenario --keep leaves the world's folders for outside tools, links and attributes
# kept, and never writes over an earlier run's; scenarios that name paths outside the world are
# refused with status 2 unless they ask for it.
#
#   keep-and-refusals-test.sh DRIVER SCENARIO_DIR
set -euo pipefail
driver=$1
scenarios=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$driver" --keep "$work/kept" "$scenarios/element-forms.json" >"$work/report.json" ||
    fail "the kept run did not succeed"
[[ -d "$work/kept/root/Photos" && -d "$work/kept/home" && -d "$work/kept/temp" ]] ||
    fail "the three folders were not left"
[[ -L "$work/kept/root/l" && "$(readlink "$work/kept/root/l")" == */report.pdf ]] ||
    fail "the link was not kept as a link"
[[ "$(getfattr --only-values -n user.velmora.extension-hidden "$work/kept/root/report.pdf")" == 1 ]] ||
    fail "the extension-hidden attribute was not kept"

before=$(find "$work/kept" -printf '%p %s %T@\n' | sort)
if "$driver" --keep "$work/kept" "$scenarios/element-forms.json" >"$work/again.json"; then
    fail "a second run into the same folder was not refused"
fi
grep -q '"error"' "$work/again.json" || fail "the refusal says nothing"
[[ "$(find "$work/kept" -printf '%p %s %T@\n' | sort)" == "$before" ]] ||
    fail "the refused run changed the kept folders"

refused() {
    local name=$1 scenario=$2
    printf '%s' "$scenario" >"$work/$name.json"
    local status=0
    "$driver" "$work/$name.json" >"$work/$name.out" || status=$?
    ((status == 2)) || fail "$name: exit status $status, expected 2"
    grep -q 'outside the scenario' "$work/$name.out" || fail "$name: $(cat "$work/$name.out")"
}
refused parent '{"finder": {"selection": [".."]}, "steps": [{"choose": ["Filenames", "Uppercase Name"]}]}'
refused absolute '{"finder": {"selection": ["/etc"]}}'
refused dotdot '{"files": {"a.txt": {}}, "finder": {"selection": ["a.txt/../../x"]}}'
refused picture '{"finder": {"desktop_picture": "/usr/share/x.png"}}'
refused preference '{"preferences": {"RecentDesktopPicturePaths": ["$ROOT/a.png", "/etc/passwd"]}}'
refused link '{"files": {"l": {"symlink": "/etc"}}}'
refused later '{"steps": [{"set": {"finder": {"selection": ["$HOME/../.."]}}}]}'

printf '%s' '{"allow_outside_paths": true, "finder": {"selection": ["/nonexistent/velmora"]}}' \
    >"$work/allowed.json"
"$driver" "$work/allowed.json" >/dev/null || fail "an allowed outside path was refused"
echo "PASS"
