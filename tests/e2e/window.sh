#!/usr/bin/env bash
# The game's window on a real X server: it appears, titled "Zorbanix!", with a client
# area of 417 x 527 pixels and the top bar drawn. Run on an X server (scripts/with-xvfb)
# with the bin folder as $1.
set -euo pipefail
bin=${1:?usage: window.sh BIN_DIR}
fail() { echo "e2e window: $*" >&2; [[ -s ${work:-}/log ]] && sed 's/^/  game: /' "$work/log" >&2; exit 1; }
[[ -n ${DISPLAY:-} ]] || fail "no X display (run under scripts/with-xvfb)"

work=$(mktemp -d)
pid=
# The game saves its scores when killed: it is waited for before its folder goes.
cleanup() {
  if [[ -n $pid ]] && kill "$pid" 2>/dev/null; then wait "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME=$work/data  # whatever the game stores stays in here
# The game as a player sees it on this X server, whatever the caller's Qt settings: the X
# platform (not an exported QT_QPA_PLATFORM=offscreen), no scaling, the default style; and a
# runtime folder of its own (none may be set, or a desktop's, with its sound server).
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING \
  QT_FONT_DPI QT_USE_PHYSICAL_DPI QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME PULSE_SERVER
mkdir -m 700 "$XDG_RUNTIME_DIR"

"$bin/zorbanix" >"$work/log" 2>&1 &
pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Zorbanix!' | head -n 1) || fail "no window within 20 s"
sleep 0.5  # let the first paint land
kill -0 "$pid" 2>/dev/null || fail "the game ended by itself"

read -r width height x y < <(xwininfo -id "$wid" |
  awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} /Width:/ {w=$NF} /Height:/ {h=$NF}
       END {print w, h, x, y}')
[[ $width == 417 && $height == 527 ]] || fail "client area is ${width}x${height}, not 417x527"

import -window root "$work/screen.png" || fail "no screenshot"
pixel() { convert "$work/screen.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:; }
# The "New Game" label-button (16, 64 in the window) is navy; the play area is black.
[[ $(pixel $((x + 18)) $((y + 66))) == 0,0,128 ]] || fail "no navy label-button at its place: $(pixel $((x + 18)) $((y + 66)))"
[[ $(pixel $((x + 200)) $((y + 300))) == 0,0,0 ]] || fail "the play area is not black"
echo "e2e window: ${width}x${height} at ${x},${y}"
