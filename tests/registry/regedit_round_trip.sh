#!/usr/bin/env bash
# A .reg round trip across implementations, under Wine: a tree made and exported by
# zorbanix-reg.exe is imported by Wine's own regedit into a fresh key, and that key,
# exported again by zorbanix-reg.exe, gives the same lines but for the key's name: the
# two trees hold the same for everything the file carries. (Within a key the lines may
# come in another order: a text carried as bytes comes back as a byte value, listed with
# the byte values.)
#
# Usage: regedit_round_trip.sh WINE_RUN FOLDER ZORBANIX_REG_EXE
set -euo pipefail
export LC_ALL=C  # the files are code page 1252 bytes

run=$1 folder=$2 tool=$3
work="$folder/home/regedit-round-trip"
rm -rf "$work"
mkdir -p "$work"

reg() { "$run" "$folder" "$tool" "$@"; }
fail() { echo "regedit_round_trip: $*" >&2; exit 1; }
base='HKCU\Software\ZbxRoundTrip'
trap '"$run" "$folder" reg delete "$base" /f >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

# The tree: every kind of value the file carries, and the texts it carries as bytes.
tree="$base\\Tree"
reg set "$tree" @ --string 'the default'
reg set "$tree" text --string 'Grüße, 5 € ½ œ'
reg set "$tree" tab --string $'a\tb'
for pair in 'quoted=say "hi"' 'equals=a=b' 'trailing=x  ' 'dash=-' 'hexlike=hex:01' $'lines=one\r\ntwo'; do
  reg set "$tree" "${pair%%=*}" --string "${pair#*=}"
done
reg set "$tree" leading --string '  x'
reg set "$tree" long --string "$(printf 'y%.0s' {1..254})"
reg set "$tree" longer --string "$(printf 'z%.0s' {1..300})"
reg set "$tree" empty --string ''
reg set "$tree" bytes --binary '00 01 7F 80 FF 20'
reg set "$tree" nobytes --binary ''
reg set "$tree" big --binary "$(printf '5A%.0s' {1..300})"
reg set "$tree" answer --dword 42
reg set "$tree" minus --dword -1
reg set "$tree" high --dword 0x80000000
reg set "$tree\\Child" '' --binary 0A
reg set "$tree\\Child" name --string 'child text'
reg set "$tree\\Child\\Grandchild" g --dword 7
reg set "$tree\\Grüße Key" w --string x
reg set "$tree\\Bare\\Below" v --string 'under a key without values'

win() { echo "Z:$1"; }
# The lines of a .reg file, each after its key line, sorted.
lines() { awk '/^\[/ { key = $0 } { print key "\t" $0 }' "$1" | sort; }
reg export "$tree" "$(win "$work/tree.reg")"
# The same file for a fresh key: only the key lines change.
sed 's/^\[HKEY_CURRENT_USER\\Software\\ZbxRoundTrip\\Tree/[HKEY_CURRENT_USER\\Software\\ZbxRoundTrip\\Copy/' \
  "$work/tree.reg" >"$work/copy.reg"
cmp -s "$work/tree.reg" "$work/copy.reg" && fail "no key line was renamed"
"$run" "$folder" regedit /S "$(win "$work/copy.reg")"
reg export "$base\\Copy" "$(win "$work/back.reg")"
if ! diff -a <(lines "$work/copy.reg") <(lines "$work/back.reg") >&2; then
  fail "the tree regedit imported differs from the one exported"
fi
grep -qa '"quoted"=hex:' "$work/back.reg" || fail "a text the file carries as bytes is missing"

# Backslashes: the file carries them unchanged, and so does our import; regedit takes
# them for escapes, so such texts (and names) reach it changed.
reg set "$base\\Slash" path --string 'C:\data\new'
reg export "$base\\Slash" "$(win "$work/slash.reg")"
"$run" "$folder" reg delete "$base\\Slash" /f >/dev/null
"$run" "$folder" regedit /S "$(win "$work/slash.reg")" 2>/dev/null
[[ "$(reg query "$base\\Slash" path)" == $'C:data\new' ]] || fail "regedit read backslashes otherwise than expected"
reg delete-key "$base\\Slash"
reg import "$(win "$work/slash.reg")"
[[ "$(reg query "$base\\Slash" path)" == 'C:\data\new' ]] || fail "our import changed a backslash"
echo "regedit_round_trip: the tree came back the same through regedit"
