#!/usr/bin/env bash
# The real game on an X server (Xvfb, started here when none is given): time from exec to
# the first painted frame, the CPU share of the process while naming, between games and
# while a game runs, its resident memory, and the game timer's tick rate and p99 interval
# (zorbanix_bench's BM_PlayTicksFor10s on the same X server). Usage: play.sh BIN_DIR
set -euo pipefail
bin=${1:?usage: play.sh BIN_DIR}
if [[ -z ${ZBX_BENCH_X:-} ]]; then
  exec "$(dirname "$0")/../scripts/with-xvfb" env ZBX_BENCH_X=1 bash "$0" "$@"
fi
work=$(mktemp -d)
pid=
fail() { echo "bench play: $*" >&2; exit 1; }
# The game saves its scores when killed: it is waited for before its folder goes.
cleanup() {
  if [[ -n $pid ]] && kill "$pid" 2>/dev/null; then wait "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME=$work/data
# The game as a player sees it on this X server, whatever the caller's Qt settings (see
# tests/e2e/window.sh), with a runtime folder of its own.
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING \
  QT_FONT_DPI QT_USE_PHYSICAL_DPI QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME PULSE_SERVER
mkdir -m 700 "$XDG_RUNTIME_DIR"
ticks_per_s=$(getconf CLK_TCK)
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Starts the game while zorbanix_xwatch watches the X server on one connection: sets pid,
# wid, and mapped_ms and painted_ms, the time from exec to the window mapped and to its
# first painted frame (the New Game label-button at client 18, 66 navy); bounded.
wid= wx=0 wy=0 mapped_ms= painted_ms=
mkfifo "$work/watch"
start_watched() {
  local watch watcher word at t0
  "$bin/zorbanix_xwatch" 'Zorbanix!' 18 66 000080 >"$work/watch" &
  watcher=$!
  exec {watch}<"$work/watch"
  word=
  read -r -t 10 word <&$watch && [[ $word == ready ]] || fail "the X watcher did not start (it said '$word')"
  t0=$(now_ms)
  "$bin/zorbanix" >"$work/log" 2>&1 &
  pid=$!
  read -r -t 25 word wid at <&$watch && [[ $word == mapped ]] || fail "no window within 20 s: $(<"$work/log")"
  mapped_ms=$((at - t0))
  read -r -t 25 word at <&$watch && [[ $word == painted ]] || fail "no painted frame within 20 s"
  painted_ms=$((at - t0))
  # Gone before the next start opens the pipe: a writer still open there would end the
  # next read at once when it leaves.
  wait "$watcher" || fail "the X watcher failed"
  exec {watch}<&-
}
window_origin() {
  read -r wx wy < <(xwininfo -id "$wid" |
    awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}')
}
stop_game() { kill -TERM "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; pid=; }

# --- start-up: exec to mapped and to painted, five starts -----------------------------------
mapped=() painted=()
for run in 1 2 3 4 5; do
  start_watched
  mapped+=("$mapped_ms")
  painted+=("$painted_ms")
  stop_game
done
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

# --- CPU share and memory of one game process ------------------------------------------------
cpu_ticks() { # utime + stime of the game, in clock ticks (fields 14 and 15 of stat)
  local stat
  stat=$(<"/proc/$pid/stat") || fail "the game is gone"
  stat=${stat##*) }
  set -- $stat
  echo $((${12} + ${13}))
}
# CPU share over $1 seconds, in percent of one core; runs $2 (a command) every 0.5 s meanwhile.
cpu_share() {
  local seconds=$1 every=${2:-} c0 c1 t0 t1 i
  c0=$(cpu_ticks) t0=$(now_ms)
  for ((i = 0; i < seconds * 2; i++)); do
    sleep 0.5
    [[ -n $every ]] && $every
  done
  c1=$(cpu_ticks) t1=$(now_ms)
  awk -v c=$((c1 - c0)) -v hz="$ticks_per_s" -v ms=$((t1 - t0)) 'BEGIN {printf "%.2f", 100 * c / hz / (ms / 1000)}'
}
key() { xdotool key --delay 30 "$@"; sleep 0.1; }
steer=0
steer_now_and_then() { ((steer++ % 2)) && xdotool key Left || xdotool key Right; }

start_watched
window_origin
xdotool mousemove $((wx + 400)) $((wy + 300))
sleep 1
cpu_naming=$(cpu_share 5)
xdotool type --delay 30 "Bench"
xdotool mousemove $((wx + 100)) $((wy + 240)) click 1  # Keyboard
key Return
sleep 1
cpu_ready=$(cpu_share 10)
# "onlylifes" turns every bomb into a bonus: no explosion pauses, so every one of the
# 1000 ticks of the measurement moves and paints (zorbanix_bench's BM_DelayCpuShare
# measures those pauses on their own).
key alt+c
xdotool mousemove $((wx + 70)) $((wy + 425)) click 1
xdotool type --delay 30 "grand old vortex"
key Return
xdotool type --delay 30 "onlylifes"
key Return
key Escape
key F5
sleep 1
cpu_running=$(cpu_share 10 steer_now_and_then)
[[ $(import -window "$wid" -crop 70x28+10+25 +repage -depth 8 txt:-) == *'#00FF00'* ]] ||
  echo "bench play: warning: the lives are no longer green (10 or fewer, or the game ended)" >&2
rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")
stop_game

# --- the tick rate on this X server ------------------------------------------------------------
ticks=$("$bin/zorbanix_bench" --benchmark_filter='BM_PlayTicksFor10s|BM_DelayCpuShare' \
  --benchmark_counters_tabular=true 2>/dev/null | grep -E '^(Benchmark|BM_PlayTicksFor10s|BM_DelayCpuShare)' || true)

echo "start to mapped window (ms, 5 starts): ${mapped[*]}  median $(median "${mapped[@]}")"
echo "start to first painted frame (ms, 5 starts): ${painted[*]}  median $(median "${painted[@]}")  (target < 300)"
echo "CPU, new-game panel open (5 s): ${cpu_naming}% of one core"
echo "CPU, between games (10 s): ${cpu_ready}% of one core  (target about 0)"
echo "CPU, game running (10 s, steering): ${cpu_running}% of one core  (target <= 3)"
echo "memory: VmRSS $((rss / 1024)) MB, VmHWM $((hwm / 1024)) MB  (target < 80)"
if [[ -n $ticks ]]; then
  echo "game timer under X, 10 s of play at 100 ticks a second:"
  echo "$ticks"
else
  echo "game timer under X: zorbanix_bench not built (configure with -DZORBANIX_BENCH=ON)"
fi
