#!/usr/bin/env bash
# Runs tools/install-filemanager-actions against a throwaway home folder.
# Usage: install-filemanager-actions-test.sh INSTALLER VELMORA_SELECT
set -euo pipefail

installer=$1
velmora_select=$2
root=$(mktemp -d)
trap 'rm -rf -- "$root"' EXIT
failures=0
checks=0

check() {
  local what=$1
  shift
  checks=$((checks + 1))
  if ! "$@"; then
    echo "FAIL: $what" >&2
    failures=$((failures + 1))
  fi
}

# A folder name that needs every kind of quoting the action formats have.
bin="$root/bin dir 'q' \$x \"dq\" \\b"
mkdir -p "$bin"
ln -s "$velmora_select" "$bin/velmora-select"
export HOME=$root/home XDG_DATA_HOME=$root/data XDG_CONFIG_HOME=$root/config
export PATH=/usr/bin:/bin
data=$XDG_DATA_HOME config=$XDG_CONFIG_HOME
nautilus="$data/nautilus/scripts/Select for Velmora"
caja="$config/caja/scripts/Select for Velmora"
nemo=$data/nemo/actions/velmora-select.nemo_action
dolphin=$data/kio/servicemenus/velmora-select.desktop
pcmanfm=$data/file-manager/actions/velmora-select.desktop
uca=$config/Thunar/uca.xml

# What the user had before: their own Thunar action and their own file where Nemo's goes.
mkdir -p "$(dirname "$uca")" "$(dirname "$nemo")"
cat >"$uca" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<actions>
<action>
	<name>Open Terminal Here</name>
	<unique-id>1581279235233437-1</unique-id>
	<command>exo-open --working-directory %f --launch TerminalEmulator</command>
	<directories/>
</action>
</actions>
EOF
cp "$uca" "$root/uca-original"
echo "the user's own action" >"$nemo"

# Reads one value the way a desktop-entry parser does: key-file escapes first, then the Exec
# quoting, which bash's double quotes share; prints the program word of the command line.
exec_program() {
  local value=$1
  value=${value//\\\\/\\}
  eval "set -- $value"
  printf '%s' "$1"
}
exec_value() { grep -m1 '^Exec=' "$1" | cut -d= -f2-; }
fails() { ! "$@" >/dev/null 2>&1; }
ends_with() { [[ $2 == *"$1" ]]; }
lacks() { [[ $2 != *"$1"* ]]; }

check "installer fails without velmora-select on PATH or --prefix-bin" \
  fails "$installer"
check "installer fails for a --prefix-bin without velmora-select" \
  fails "$installer" --prefix-bin "$root"

first=$("$installer" --prefix-bin "$bin")
for f in "$nautilus" "$caja" "$nemo" "$dolphin" "$pcmanfm" "$uca"; do
  check "installed $f" grep -qF "installed  $f" <<<"$first"
done
for f in "$nautilus" "$caja" "$dolphin"; do
  check "$f is executable" test -x "$f"
done
for f in "$nemo" "$dolphin" "$pcmanfm"; do
  check "$f runs the program by its absolute path" \
    test "$(exec_program "$(exec_value "$f")")" = "$bin/velmora-select"
  check "$f passes the selected files" ends_with " %F" "$(exec_value "$f")"
done
command=$(sed -n 's:.*<command>\(.*\)</command>.*:\1:p' "$uca" | tail -n1)
check "Thunar runs the program by its absolute path" \
  test "$(exec_program "${command//\\/\\\\}")" = "$bin/velmora-select"

check "the user's Nemo file is kept" grep -qx "the user's own action" "$nemo.bak"
check "uca.xml is backed up unchanged" cmp -s "$uca.bak" "$root/uca-original"
check "the user's Thunar action is kept" grep -q '<unique-id>1581279235233437-1</unique-id>' "$uca"
check "the Velmora Thunar action is added once" \
  test "$(grep -c '<unique-id>velmora-select</unique-id>' "$uca")" = 1
check "uca.xml still ends its action list" test "$(tail -n1 "$uca")" = "</actions>"

# The installed script really runs velmora-select, from the folder Nautilus starts it in.
mkdir -p "$root/run" "$root/shown"
(cd "$root/shown" && XDG_RUNTIME_DIR=$root/run "$nautilus" "a b" "-dash")
check "the Nautilus script selects relative names" test "$(cat "$root/run/velmora/finder-selection")" \
  = "$(printf 'file://%s/shown/a%%20b\nfile://%s/shown/-dash' "$root" "$root")"

snapshot() { find "$root/data" "$root/config" -type f -exec md5sum {} + | sort; }
before=$(snapshot)
second=$("$installer" --prefix-bin "$bin")
check "a second run changes nothing" test "$before" = "$(snapshot)"
check "a second run reports nothing installed" lacks installed "$second"

# Once velmora-select is on PATH the actions use its name, and earlier files are kept.
third=$(PATH="$bin:$PATH" "$installer" --prefix-bin "$bin")
check "actions use the bare name when it is on PATH" \
  test "$(exec_value "$pcmanfm")" = "velmora-select %F"
check "the Nautilus script uses the bare name" grep -qx 'exec velmora-select -- "$@"' "$nautilus"
check "an older backup is not overwritten" grep -qx "the user's own action" "$nemo.bak"
check "the replaced file gets a new backup" grep -qF "$nemo -> $nemo.bak.1" <<<"$third"
check "a backed-up script is not runnable" test ! -x "$nautilus.bak"
check "the Velmora Thunar action is replaced, not repeated" \
  test "$(grep -c '<unique-id>velmora-select</unique-id>' "$uca")" = 1

echo '<not-actions/>' >"$uca"
check "a uca.xml that is not an action list is left alone" \
  fails "$installer" --prefix-bin "$bin"
check "the foreign uca.xml is untouched" grep -qx '<not-actions/>' "$uca"

echo "$((checks - failures)) passed, $failures failed"
((failures == 0))
