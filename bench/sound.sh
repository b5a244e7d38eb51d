#!/usr/bin/env bash
# The game's sounds against a private PulseAudio server (scripts/private-pulse): what a
# sound start costs the game's tick, and the longest gap between two repaints and
# between two ticks of a running game that starts a catch sound every 20 ticks, first
# with the server answering, then with the server stopped (SIGSTOP) for the whole run.
# Usage: sound.sh BIN_DIR (zorbanix_bench from a -DZORBANIX_BENCH=ON build).
set -euo pipefail
bin=${1:?usage: sound.sh BIN_DIR}
[[ -x $bin/zorbanix_bench ]] || { echo "bench sound: zorbanix_bench not built (configure with -DZORBANIX_BENCH=ON)"; exit 0; }
command -v pulseaudio >/dev/null || { echo "bench sound: no pulseaudio here"; exit 0; }
work=$(mktemp -d)
cleanup() { stop_private_pulse; rm -rf "$work"; }
trap cleanup EXIT
source "$(dirname "$0")/../scripts/private-pulse"
start_private_pulse "$work/pulse" || { echo "bench sound: the private sound server did not start" >&2; exit 1; }
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
run() {
  timeout 120 "$bin/zorbanix_bench" --benchmark_filter='BM_SoundStart|BM_PlayWithSounds' \
    --benchmark_counters_tabular=true 2>/dev/null | grep -E '^(Benchmark|BM_)' ||
    echo "(no result within 120 s)"
}
echo "sound server answering:"
run
kill -STOP "$pulse_pid"
echo "sound server stopped:"
run
