#!/usr/bin/env bash
# How the game starts, or says why it cannot: without a display, with a display name that
# is none, with no server at the display, on an unknown platform it ends with status 1 and
# one line on stderr; and it waits for an X server that comes up a moment after the game.
# Run with the bin folder as $1 (needs Xvfb and xdotool, not a display).
set -euo pipefail
bin=${1:?usage: start.sh BIN_DIR}
work=$(mktemp -d)
pid= server=
fail() { echo "e2e start: $*" >&2; exit 1; }
cleanup() {
  if [[ -n $pid ]] && kill "$pid" 2>/dev/null; then wait "$pid" 2>/dev/null || true; fi
  if [[ -n $server ]] && kill "$server" 2>/dev/null; then wait "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

# A display number nobody uses (no socket, no lock file).
free_display() {
  local n
  for ((n = 700 + RANDOM % 200; n < 1000; n++)); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] || { echo "$n"; return 0; }
  done
  return 1
}
unused=$(free_display) || fail "no free display number"

# --- cannot start: status 1 and one line naming the reason -------------------------------------
expect_refusal() { # $1: what the line must mention; the rest: env settings for the game
  local mention=$1 status=0
  shift
  env "$@" "$bin/zorbanix" >"$work/out" 2>"$work/err" || status=$?
  [[ $status == 1 ]] || fail "$*: status $status, not 1; stderr: $(<"$work/err")"
  [[ $(wc -l <"$work/err") == 1 && $(<"$work/err") == "zorbanix: cannot start: "*"$mention"* ]] ||
    fail "$*: not one line naming '$mention':"$'\n'"$(<"$work/err")"
}
expect_refusal "DISPLAY is not set" -u DISPLAY
expect_refusal '"nowhere" is not the name of an X display' DISPLAY=nowhere
expect_refusal "no connection to the X display :$unused" DISPLAY=:$unused
expect_refusal '"nonesuch"' QT_QPA_PLATFORM=nonesuch
echo "e2e start: one line and status 1 without a display, with a wrong one, with no server, on an unknown platform"

# --- a server that comes up after the game: the game waits for it and shows its window -------
late=$(free_display) || fail "no free display number"
DISPLAY=:$late QT_QPA_PLATFORM=xcb "$bin/zorbanix" >"$work/log" 2>&1 &
pid=$!
sleep 1
kill -0 "$pid" 2>/dev/null || fail "the game did not wait for the server: $(<"$work/log")"
: >"$work/ready"
Xvfb ":$late" -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/ready" >"$work/xvfb" 2>&1 &
server=$!
for ((i = 0; i < 100; i++)); do # the number on its own line: the server takes clients
  [[ $(<"$work/ready") == "$late" ]] && break
  kill -0 "$server" 2>/dev/null || fail "Xvfb did not start on :$late: $(<"$work/xvfb")"
  sleep 0.1
done
DISPLAY=:$late timeout 20 xdotool search --sync --onlyvisible --name '^Zorbanix!' >/dev/null ||
  fail "no window on the late server within 20 s: $(<"$work/log")"
echo "e2e start: the game waited a second for its X server and showed its window"
