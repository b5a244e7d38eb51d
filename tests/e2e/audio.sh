#!/usr/bin/env bash
# The game never waits on the sound server. A private PulseAudio server on a null sink
# (its own socket, runtime and home folders; never the user's) plays the game's sounds
# while the basket is steered under the falling planets. Then the server is stopped
# (SIGSTOP) while sounds are due: the window must still answer within a second and the
# basket still move. The server is continued: sound comes back for later catches. It is
# stopped again and killed while the game waits on it: SIGTERM still saves the table.
# Run under Xvfb with the bin folder as $1; bounded to under a minute. Screenshots are
# kept in ${TMPDIR:-/tmp}/zorbanix-e2e-audio/.
set -euo pipefail
bin=${1:?usage: audio.sh BIN_DIR}
if [[ -z ${ZBX_AUDIO_BOUNDED:-} ]]; then
  ZBX_AUDIO_BOUNDED=1 exec timeout -k 3 58 bash "$0" "$@"
fi
shots=${TMPDIR:-/tmp}/zorbanix-e2e-audio
work=$(mktemp -d)
pid= pa= events=
fail() {
  echo "e2e audio: $*" >&2
  [[ -s $work/log ]] && sed 's/^/  game: /' "$work/log" >&2
  exit 1
}
cleanup() {
  set +e
  [[ -n $pid ]] && kill -KILL "$pid" 2>/dev/null
  [[ -n $events ]] && kill "$events" 2>/dev/null
  if [[ -n $pa ]]; then kill -CONT "$pa" 2>/dev/null; kill -KILL "$pa" 2>/dev/null; fi
  wait 2>/dev/null
  declare -F stop_private_pulse >/dev/null && stop_private_pulse
  rm -rf "$work"
}
trap cleanup EXIT
trap 'fail "out of time"' TERM
[[ -n ${DISPLAY:-} ]] || fail "no X display (run under scripts/with-xvfb)"
mkdir -p "$shots" "$work/data"
rm -f "$shots"/*.png
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# --- the private sound server ---------------------------------------------------------------
if ! command -v pulseaudio >/dev/null || ! command -v pactl >/dev/null; then
  echo "e2e audio: skipped: no pulseaudio here (scripts/install-deps leaves a PipeWire desktop as it is)"
  exit 77
fi
source "$(dirname "$0")/../../scripts/private-pulse"
start_private_pulse "$work/pulse" || fail "the private sound server did not start"
pa=$pulse_pid
export XDG_DATA_HOME=$work/data
# The game as a player sees it on this X server, whatever the caller's Qt settings: the X
# platform, no scaling, the default style (the runtime folder is the sound server's own).
export QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING \
  QT_FONT_DPI QT_USE_PHYSICAL_DPI QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME
# Every stream the game opens shows as a new sink input.
pactl subscribe >"$work/events" 2>/dev/null &
events=$!
streams() { grep -c "'new' on sink-input" "$work/events" || true; }

# --- the game, steered by the mouse under each planet -----------------------------------------
"$bin/zorbanix" >"$work/log" 2>&1 &
pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Zorbanix!' | head -n 1) || fail "no window within 20 s"
read -r wx wy < <(xwininfo -id "$wid" |
  awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}')
xdotool mousemove $((wx + 400)) $((wy + 300))
sleep 0.5
screen() { import -window root "$work/root.png" 2>/dev/null || fail "no screenshot"; }
keep() { convert "$work/root.png" -crop "417x527+$wx+$wy" +repage "$shots/$1.png"; }
# The bounding box (W H X Y) of what is not black in a rectangle of the window.
box() {
  convert "$work/root.png" -crop "$3x$4+$((wx + $1))+$((wy + $2))" +repage -fuzz 10% -format '%@\n' info: 2>/dev/null |
    tr 'x+' '  '
}
# The score label, as a fingerprint: it changes with every catch.
score_print() { convert "$work/root.png" -crop "80x28+$((wx + 300))+$((wy + 25))" +repage ppm:- | md5sum; }
# One step of play: a screenshot, and the pointer (so the basket) under the planet.
steer() {
  local w h x y
  screen
  read -r w h x y < <(box 0 90 417 370)
  ((w > 0 && w < 60)) && xdotool mousemove $((wx + x + w / 2)) $((wy + 300))
  sleep 0.05
}
# Steers until the condition command holds; false after $1 seconds.
steer_until() {
  local deadline=$(($(now_ms) + $1 * 1000))
  shift
  until "$@"; do
    (($(now_ms) < deadline)) || return 1
    steer
  done
}
more_streams_than() { (($(streams) > $1)); }
score_changed_from() { [[ $(score_print) != "$1" ]]; }

xdotool type --delay 30 "Sound"
xdotool key Return  # the mouse steers
sleep 0.3
xdotool key alt+c
xdotool mousemove $((wx + 70)) $((wy + 425)) click 1  # txtCheat
xdotool type --delay 30 "grand old vortex"
xdotool key Return
xdotool type --delay 30 "slowmotion"  # a steady fall the basket can follow
xdotool key Return Escape F5
sleep 0.3

# --- sounds play ------------------------------------------------------------------------------
steer_until 15 more_streams_than 0 || fail "no sound reached the server in 15 s of play"
screen
keep 01-playing-with-sound

# --- the server stalls: the game plays on and answers ------------------------------------------
kill -STOP "$pa"
screen
before=$(score_print)
caught=yes
steer_until 10 score_changed_from "$before" || caught=no
steer_until 2 false || true  # more play while the sound waits on the stopped server
# The basket goes to the far left, then the far right, each within a second.
for side in 30 390; do
  xdotool mousemove $((wx + side)) $((wy + 300))
  t0=$(now_ms)
  until screen && read -r w h x y < <(box 0 472 417 28) && ((w > 0 && (x + w / 2 - side) ** 2 < 40 * 40)); do
    (($(now_ms) - t0 < 1000)) || { keep 02-frozen; fail "the basket did not follow to x=$side within a second while the server was stopped"; }
  done
done
keep 02-server-stopped-basket-moved
[[ $caught == yes ]] || fail "no catch within 10 s after the server stopped"

# --- the server answers again: sound comes back for later catches -------------------------------
kill -CONT "$pa"
steer_until 2 false || true  # whatever waited on the server settles
heard=$(streams)
steer_until 15 more_streams_than "$heard" || fail "no sound for later catches after the server was continued"
keep 03-sound-back

# --- stopped, then killed, while the game waits on it: SIGTERM still saves ----------------------
kill -STOP "$pa"
screen
before=$(score_print)
steer_until 10 score_changed_from "$before" || fail "no catch within 10 s after the second stop"
kill -KILL "$pa"
wait "$pa" 2>/dev/null || true
pa=
steer_until 1 false || true
"$bin/zorbanix-reg" query 'HKLM\System\CurrentControlSet\Control\IDConfigDB' 'BIOS config' >/dev/null 2>&1 &&
  fail "the table was stored before the game ended"
kill -TERM "$pid"
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "SIGTERM did not end the game within 5 s after the server was killed"
wait "$pid" || fail "the game ended with status $?"
pid=
"$bin/zorbanix-reg" query 'HKLM\System\CurrentControlSet\Control\IDConfigDB' 'BIOS config' >/dev/null ||
  fail "SIGTERM did not save the table"
echo "e2e audio: sounds played, the game answered while the server was stopped, sound came back, SIGTERM saved; screenshots in $shots"
