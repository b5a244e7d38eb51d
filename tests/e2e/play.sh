#!/usr/bin/env bash
# A whole game on a real X server, as a player plays it: start, a name, Keyboard, Enter,
# the cheat console to make the game short, F5, the arrow keys until Game Over, the
# scoreboard, F4, Esc, Yes; then the scoreboard is in the store, and the next run shows
# it. Run on an X server (scripts/with-xvfb) with the bin folder as $1. Screenshots of
# every stage are kept in ${TMPDIR:-/tmp}/zorbanix-e2e/.
set -euo pipefail
bin=${1:?usage: play.sh BIN_DIR}
shots=${TMPDIR:-/tmp}/zorbanix-e2e
work=$(mktemp -d)
pid=
fail() {
  echo "e2e play: $*" >&2
  [[ -s $work/log ]] && sed 's/^/  game: /' "$work/log" >&2
  exit 1
}
# The game saves its scores when killed: it is waited for before its folder goes.
cleanup() {
  if [[ -n $pid ]] && kill "$pid" 2>/dev/null; then wait "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
[[ -n ${DISPLAY:-} ]] || fail "no X display (run under scripts/with-xvfb)"
export XDG_DATA_HOME=$work/data  # the game's store and the tool's are this one file
# The game as a player sees it on this X server, whatever the caller's Qt settings: the X
# platform (not an exported QT_QPA_PLATFORM=offscreen), no scaling, the default style; and a
# runtime folder of its own (none may be set, or a desktop's, with its sound server).
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING \
  QT_FONT_DPI QT_USE_PHYSICAL_DPI QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME PULSE_SERVER
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$shots"
rm -f "$shots"/*.png

scores_key='HKLM\System\CurrentControlSet\Control\IDConfigDB'
scores_value='BIOS config'
player='Tess Ng'

# --- the stored form: each character's code-page 1252 code plus 21 (minus 21 back) ----------
# Perl's own UTF-8 layer (-CSA) needs no modules, so perl-base is enough.
codepage_perl='
  my @high = (0x20AC,0x81,0x201A,0x192,0x201E,0x2026,0x2020,0x2021,0x2C6,0x2030,0x160,0x2039,0x152,0x8D,
              0x17D,0x8F,0x90,0x2018,0x2019,0x201C,0x201D,0x2022,0x2013,0x2014,0x2DC,0x2122,0x161,0x203A,
              0x153,0x9D,0x17E,0x178);
  my %code; $code{$high[$_]} = 0x80 + $_ for 0 .. $#high;
  sub code { my $u = ord shift; return $code{$u} // ($u < 0x80 || $u > 0x9F ? $u : die "no code\n") }
  sub char { my $c = shift; return chr($c >= 0x80 && $c <= 0x9F ? $high[$c - 0x80] : $c) }
  print join "", map { char(code($_) + $ARGV[1]) } split //, $ARGV[0];'
shift_text() { perl -CSA -e "$codepage_perl" -- "$1" "$2"; }
scramble() { shift_text "$1" 21; }
unscramble() { shift_text "$1" -21; }
stored_table() {
  unscramble "$("$bin/zorbanix-reg" query "$scores_key" "$scores_value")" || fail "no stored scoreboard"
}

# --- the game's window ---------------------------------------------------------------------
wx=0 wy=0
start_game() {
  "$bin/zorbanix" >"$work/log" 2>&1 &
  pid=$!
  local wid
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Zorbanix!' | head -n 1) || fail "no window within 20 s"
  read -r wx wy < <(xwininfo -id "$wid" |
    awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}')
  # The player's pointer rests on the window (a bare X server has no window manager to
  # give it the keyboard).
  xdotool mousemove $((wx + 400)) $((wy + 300))
  sleep 0.5  # the first paint
}
click_at() { xdotool mousemove $((wx + $1)) $((wy + $2)) click 1; sleep 0.2; }
key() { xdotool key --delay 40 "$@"; sleep 0.15; }
type_text() { xdotool type --delay 40 "$1"; sleep 0.15; }
# A screenshot of the window, kept as $shots/<name>.png; also the last one in $work.
shot() {
  import -window root "$work/root.png" 2>/dev/null || fail "no screenshot"
  convert "$work/root.png" -crop "417x527+$wx+$wy" +repage "$work/window.png"
  [[ -n ${1:-} ]] && cp "$work/window.png" "$shots/$1.png"
  return 0
}
# How many pixels of a colour a rectangle of the last screenshot holds (window pixels).
count_colour() {
  convert "$work/window.png" -crop "$3x$4+$1+$2" +repage txt:- | grep -ci "#$5" || true
}
wait_for_exit() {
  local t
  for t in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid" || fail "the game ended with status $?"; pid=; return 0; }
    sleep 0.1
  done
  fail "the game did not end within 10 s"
}
answer_yes() {
  timeout 10 xdotool search --sync --onlyvisible --name '^Zorbanix!$' >/dev/null || fail "no question box"
  sleep 0.3
  shot "$1"
  key Return  # Yes is the default button
}

# The cheat console unlocked and the speed at its top, so that a game lasts seconds.
short_games() {
  key alt+c
  [[ -n ${1:-} ]] && shot "$1"
  click_at 70 425  # txtCheat
  type_text "grand old vortex"
  key Return
  type_text "setspeed 600"
  key Return
  [[ -n ${2:-} ]] && shot "$2"
  key Escape  # hides the console; the keys go back to the play area
}
# The scoreboard's name column shows a row in the colour of a newly recorded score.
recorded_row_shown() { (($(count_colour 92 160 193 233 C0C0FF) > 0)); }
# Polls screenshots until the scoreboard opens after Game Over (at most 40 s). With
# "steer", presses an arrow key now and then while the lives are green (more than 10),
# then lets the game end: a key pressed during the end-of-game pause would wait behind it
# and close the scoreboard as soon as it opens.
play_until_scoreboard() {
  local t
  for t in $(seq 1 120); do
    shot
    recorded_row_shown && { sleep 0.3; return 0; }
    if [[ $1 == steer ]] && (($(count_colour 10 25 70 28 00FF00) > 0)); then
      ((t % 2)) && key Left || key Right
    fi
    [[ $t == 4 && -n ${2:-} ]] && cp "$work/window.png" "$shots/$2.png"
    sleep 0.2
  done
  return 1
}

# --- a low table, so that any score enters at place 1 ------------------------------------------
"$bin/zorbanix-reg" set "$scores_key" "$scores_value" \
  --string "$(scramble 'a.0|b.0|c.0|d.0|e.0|f.0|g.0|h.0|i.0|j.0')" || fail "cannot seed the store"
[[ $(stored_table) == 'a.0|b.0|c.0|d.0|e.0|f.0|g.0|h.0|i.0|j.0' ]] || fail "the seeded table does not read back"

# --- first run: a whole game -------------------------------------------------------------------
start_game
shot 01-start
type_text "$player"
click_at 100 240  # optKeyboard
shot 02-named
key Return
short_games 03-cheat-console 04-cheats-typed
key F5
shot 05-running
play_until_scoreboard steer 06-playing || fail "no scoreboard with a recorded row within the time allowed"
sleep 0.3
shot 07-game-over-scoreboard
key F4  # closes the scoreboard
shot 08-board-closed
! recorded_row_shown || fail "F4 did not close the scoreboard"
key Escape
answer_yes 09-exit-question
wait_for_exit

table=$(stored_table)
echo "e2e play: stored after the game: $table"
first=${table%%|*}
[[ ${first%.*} == "$player" ]] || fail "place 1 is '$first', not the player"
score=${first##*.}
[[ $score =~ ^[0-9]+$ ]] || fail "place 1 has no score: '$first'"
[[ ${table#*|} == 'a.0|b.0|c.0|d.0|e.0|f.0|g.0|h.0|i.0' ]] || fail "the other places moved wrongly: $table"

# --- second run: the recorded score is the best one -----------------------------------------
start_game
shot 10-second-start
# lblHS (the best entry) shows the recorded score now, not "0  (a)" as at the first start.
best_shown() { convert "$1" -crop 225x17+88+24 +repage ppm:- | md5sum; }
[[ $(best_shown "$shots/01-start.png") != $(best_shown "$shots/10-second-start.png") ]] ||
  fail "the second start shows the same best entry as the first"
type_text "Again"
key Return
key Escape
answer_yes 11-second-exit-question
wait_for_exit
[[ $(stored_table) == "$table" ]] || fail "the second run changed the table: $(stored_table)"

# --- third run: killed while the exit question waits; the recorded score is kept -------------
start_game
type_text "Kim"
key Return
short_games
key F5
play_until_scoreboard wait || fail "no scoreboard after the third game"
shot 12-third-game-over
key Escape  # closes the scoreboard
key Escape
timeout 10 xdotool search --sync --onlyvisible --name '^Zorbanix!$' >/dev/null || fail "no question box"
shot 13-question-then-SIGTERM
kill -TERM "$pid"
wait_for_exit
after_kill=$(stored_table)
echo "e2e play: stored after SIGTERM: $after_kill"
[[ "|$after_kill|" == *"|Kim."[0-9]*"|"* ]] || fail "the score of the third game was lost: $after_kill"
(($(tr -cd '|' <<<"$after_kill" | wc -c) == 9)) || fail "the table has not ten entries: $after_kill"
echo "e2e play: place 1 '$player' with $score; screenshots in $shots"
