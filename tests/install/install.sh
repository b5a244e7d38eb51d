#!/usr/bin/env bash
# What an installation gives a player and a developer: everything installed into a
# temporary folder (DESTDIR); the desktop entry and the AppStream metadata valid and
# naming one app id; the installed game, with the build and source folders hidden, showing
# its window; the installed tool working; and a program of another project built against
# the installed library twice (CMake package, pkg-config), run on one store.
# Run on an X server (scripts/with-xvfb) with the build folder as $1.
set -euo pipefail
build=$(cd "${1:?usage: install.sh BUILD_DIR}" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "install test: $*" >&2; [[ -s ${work:-}/log ]] && sed 's/^/  log: /' "$work/log" >&2; exit 1; }
[[ -n ${DISPLAY:-} ]] || fail "no X display (run under scripts/with-xvfb)"

work=$(mktemp -d)
pid=
cleanup() {
  if [[ -n $pid ]] && kill "$pid" 2>/dev/null; then wait "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME=$work/data  # whatever the game stores stays in here
# The game as a player sees it on this X server, whatever the caller's Qt settings (as in
# the end-to-end tests).
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING \
  QT_FONT_DPI QT_USE_PHYSICAL_DPI QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME PULSE_SERVER
mkdir -m 700 "$XDG_RUNTIME_DIR"

cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
prefix=$(cache CMAKE_INSTALL_PREFIX)
version=$(cache CMAKE_PROJECT_VERSION)
root=$work/root
staged=$root$prefix
DESTDIR=$root cmake --install "$build" >"$work/log" 2>&1 || fail "cmake --install failed"

# ---- One app id names the desktop entry, its icon, the metadata and the icon files ----
entries=("$staged"/share/applications/*.desktop)
[[ ${#entries[@]} == 1 && -f ${entries[0]} ]] || fail "not one desktop entry: ${entries[*]}"
id=$(basename "${entries[0]}" .desktop)
[[ $id =~ ^[a-z]+(\.[A-Za-z0-9_-]+){2,}$ ]] || fail "the desktop entry's name is no reverse-DNS id: $id"
desktop-file-validate "${entries[0]}" >"$work/log" 2>&1 || fail "desktop-file-validate rejects $id.desktop"
metainfo=$staged/share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$work/log" 2>&1 || fail "appstreamcli rejects $id.metainfo.xml"
grep -qx "Icon=$id" "${entries[0]}" || fail "the desktop entry's icon is not $id"
grep -qE "^Exec=(/.*/)?zorbanix$" "${entries[0]}" || fail "the desktop entry does not start zorbanix"
grep -q "<id>$id</id>" "$metainfo" || fail "the metadata's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metadata does not launch $id.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metadata has no release $version"
# Every icon gen-art draws, in its size's folder, at the size the folder says.
for icon in "$source_dir"/assets/icon*.png; do
  [[ $(basename "$icon") =~ ^icon([0-9]+)(@2x)?\.png$ ]] || fail "unexpected icon file $icon"
  n=${BASH_REMATCH[1]} scale=1 dir=${BASH_REMATCH[1]}x${BASH_REMATCH[1]}
  [[ -n ${BASH_REMATCH[2]} ]] && scale=2 dir+=@2
  installed=$staged/share/icons/hicolor/$dir/apps/$id.png
  [[ -f $installed ]] || fail "no icon in $dir"
  size=$(identify -format '%wx%h' "$installed")
  [[ $size == $((n * scale))x$((n * scale)) ]] || fail "the icon in $dir is $size"
done
for file in bin/zorbanix bin/zorbanix-reg share/man/man6/zorbanix.6.gz share/man/man1/zorbanix-reg.1.gz \
  share/bash-completion/completions/zorbanix-reg share/doc/zorbanix/README.md share/doc/zorbanix/copyright; do
  [[ -s $staged/$file ]] || fail "not installed: $file"
done

# ---- Help and version without a display ----
help=$(env -u DISPLAY "$staged/bin/zorbanix" --help) || fail "zorbanix --help failed"
for text in F1 F2 F4 F5 Space Esc "$XDG_DATA_HOME/zorbanix/registry.db" "BIOS config"; do
  grep -qF -- "$text" <<<"$help" || fail "zorbanix --help does not mention $text"
done
[[ $(env -u DISPLAY "$staged/bin/zorbanix" --version) == "zorbanix $version" ]] || fail "zorbanix --version"
[[ $("$staged/bin/zorbanix-reg" --version) == "zorbanix-reg $version" ]] || fail "zorbanix-reg --version"
"$staged/bin/zorbanix-reg" --help | grep -q "^Commands:" || fail "zorbanix-reg --help"

# ---- The build and source folders hidden: empty folders mounted over them ----
# In a mount namespace of the command's own (as root, or in a user namespace of its own).
hide=(unshare --mount)
[[ $(id -u) == 0 ]] || hide=(unshare --user --map-root-user --mount)
if ! "${hide[@]}" true 2>/dev/null; then
  echo "install test: no mount namespace can be made here; the build folder stays in sight" >&2
  hide=()
fi
hidden() {
  if ((${#hide[@]} == 0)); then "$@"; return; fi
  "${hide[@]}" bash -c 'for dir in "$1" "$2"; do
      [[ -d $dir ]] && { mount -t tmpfs -o size=64k hidden "$dir" || exit 125; }
    done
    shift 2
    exec "$@"' hide "$build" "$source_dir" "$@"
}
if ((${#hide[@]})); then hidden test ! -e "$build/CMakeCache.txt" || fail "the build folder is still in sight"; fi

# ---- The installed tool ----
store=$work/tool/registry.db
hidden "$staged/bin/zorbanix-reg" --store "$store" set 'HKCU\Software\Installed' Check --string 'Grüße' ||
  fail "zorbanix-reg set failed"
[[ $(hidden "$staged/bin/zorbanix-reg" --store "$store" query 'HKCU\Software\Installed' check) == 'Grüße' ]] ||
  fail "zorbanix-reg query does not give back what was set"

# ---- The installed game draws its window ----
hidden "$staged/bin/zorbanix" >"$work/log" 2>&1 &
pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Zorbanix!' | head -n 1) || fail "no window within 20 s"
sleep 0.5  # let the first paint land
kill -0 "$pid" 2>/dev/null || fail "the game ended by itself"
read -r width height x y < <(xwininfo -id "$wid" |
  awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} /Width:/ {w=$NF} /Height:/ {h=$NF}
       END {print w, h, x, y}')
[[ $width == 417 && $height == 527 ]] || fail "client area is ${width}x${height}, not 417x527"
import -window root "$work/screen.png" || fail "no screenshot"
navy=$(convert "$work/screen.png" -format "%[fx:int(255*p{$((x + 18)),$((y + 66))}.b)]" info:)
[[ $navy == 128 ]] || fail "no navy label-button at its place"
# The desktop matches the window to its entry by the window's class.
class=$(sed -n 's/^StartupWMClass=//p' "${entries[0]}")
xprop -id "$wid" WM_CLASS | grep -q "\"$class\"" || fail "WM_CLASS $(xprop -id "$wid" WM_CLASS) lacks \"$class\""
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=

# ---- Another project against the installed library: CMake package, then pkg-config ----
cp -r "$source_dir/tests/install/consumer" "$work/consumer"
strict=(-Wall -Wextra -Wpedantic -Werror)
hidden cmake -S "$work/consumer" -B "$work/consumer/build" -DCMAKE_PREFIX_PATH="$staged" \
  -DCMAKE_CXX_FLAGS="${strict[*]}" >"$work/log" 2>&1 || fail "the consumer does not configure with the CMake package"
hidden cmake --build "$work/consumer/build" >"$work/log" 2>&1 || fail "the consumer does not build with the CMake package"
pc=$(find "$staged" -name zorbanix-registry.pc)
[[ -n $pc ]] || fail "no zorbanix-registry.pc"
words=$(PKG_CONFIG_PATH=$(dirname "$pc") pkg-config --cflags --libs zorbanix-registry) ||
  fail "pkg-config does not know zorbanix-registry"
eval "flags=($words)"  # written for the shell: a blank in a path comes escaped
hidden g++ -std=c++17 "${strict[@]}" "$work/consumer/demo.cpp" -o "$work/consumer/demo-pc" "${flags[@]}" \
  >"$work/log" 2>&1 || fail "the consumer does not build with pkg-config ($words)"
demo_store=$work/demo/registry.db
hidden "$work/consumer/build/demo" "$demo_store" >"$work/out1" 2>"$work/log" || fail "the CMake-built demo failed"
hidden "$work/consumer/demo-pc" "$demo_store" >"$work/out2" 2>"$work/log" || fail "the pkg-config-built demo failed"
printf 'Runs = 1\nGreeting = Grüße\nBlob =  01 0A FF\n' | cmp -s - "$work/out1" || fail "first run printed: $(cat "$work/out1")"
grep -qx "Runs = 2" "$work/out2" || fail "second run printed: $(cat "$work/out2")"
grep -aq '"Runs"=dword:00000002' "$demo_store.run2.reg" || fail "the second run's export lacks its count"

# ---- The README's example is the demo built here ----
awk '/^<!-- example: tests\/install\/consumer\/demo.cpp -->$/ {on = 1; next}
     on && /^```cpp$/ {copy = 1; next}
     copy && /^```$/ {exit}
     copy' "$source_dir/README.md" >"$work/readme-demo.cpp"
cmp -s "$work/readme-demo.cpp" "$source_dir/tests/install/consumer/demo.cpp" ||
  fail "README's example differs from tests/install/consumer/demo.cpp"

# ---- Bash completion of zorbanix-reg ----
complete_words() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
           _zorbanix_reg; echo "${COMPREPLY[*]}"' complete "$staged/share/bash-completion/completions/zorbanix-reg" "$@"
}
while IFS='|' read -r line expected; do
  read -ra words <<<"$line"
  got=$(complete_words "${words[@]}")
  [[ $got == "$expected" ]] || fail "completing '$line' gives '$got', not '$expected'"
done <<'EOF'
zorbanix-reg de|delete-key delete-value
zorbanix-reg --st|--store
zorbanix-reg --store s.db qu|query
zorbanix-reg query HKC|HKCR\\ HKCU\\ HKCC\\
zorbanix-reg keys 'HKL|'HKLM\
zorbanix-reg set HKCU\\X Name --d|--dword
zorbanix-reg export HKCU\\X out.reg --v|--verbose
EOF
echo "install test: installed in $prefix ($id), window drawn with the build folder hidden, demo built twice"
