#!/usr/bin/env bash
# scripts/check-layers on small trees: one whose includes keep to the arrows, one with
# every way of running back up or sideways. Argument: the script.
set -u
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

put() {  # FILE, its lines
  mkdir -p "$tree/$(dirname "$1")"
  local file=$1
  shift
  printf '%s\n' "$@" >"$tree/$file"
}
layers=("platform:platform:" "registry:registry:platform" "window:window:" "scores:scores:registry,platform"
        "game:game:window,scores,registry,platform" "qt:window/qt,platform/qt:game,window,scores,registry,platform")
run() { bash "$check" "$tree" "${layers[@]}" -- tests/game=game tests/scores=scores 2>&1; }

# Its own layer, layers below (also through another), system and unlisted headers, a
# layer of two folders, tests through the shared helpers.
put platform/a.h '#include <string>' '#include "platform/b.h"'
put scores/table.cpp '#include "scores/table.h"' '#include "platform/a.h"' '#include "tools/x/y.h"'
put game/game.h '#include "window/form.h"' '#include "platform/a.h"' '# include "scores/table.h"'
put window/qt/view.cpp '#include "platform/qt/sound.h"' '#include "game/game.h"'
put tests/support/game_fixture.h '#include "game/game.h"' '#include "support/fake.h"'
put tests/support/fake.h '#include "platform/a.h"' '#include "support/game_fixture.h"'
put tests/game/tick_test.cpp '#include "support/game_fixture.h"'
out=$(run) || fail "a tree that keeps to the layers is refused: $out"
[ -z "$out" ] || fail "a tree that keeps to the layers gives: $out"

put scores/table.cpp '#include "scores/table.h"' '' '#include "game/game.h"'
put window/form.h '  #  include "window/qt/view.h"  // the view'
put registry/keys.cpp '#include "window/form.h"'
put game/tick.cpp '#include "game/game.h"' '#include "window/qt/view.h"'
put tests/support/flow_fixture.h '#include "support/game_fixture.h"' '#include "window/qt/view.h"'
put tests/scores/text_test.cpp '#include "support/flow_fixture.h"'
expected='game/tick.cpp:2: includes "window/qt/view.h" from window/qt/, a layer above game/ or beside it (it may include from: window,scores,registry,platform,game)
registry/keys.cpp:1: includes "window/form.h" from window/, a layer above registry/ or beside it (it may include from: platform,registry)
scores/table.cpp:3: includes "game/game.h" from game/, a layer above scores/ or beside it (it may include from: registry,platform,scores)
tests/scores/text_test.cpp:1: includes "support/flow_fixture.h", which includes "support/game_fixture.h", which includes "game/game.h" from game/, a layer above scores/ or beside it (it may include from: registry,platform,scores)
tests/scores/text_test.cpp:1: includes "support/flow_fixture.h", which includes "window/qt/view.h" from window/qt/, a layer above scores/ or beside it (it may include from: registry,platform,scores)
window/form.h:1: includes "window/qt/view.h" from window/qt/, a layer above window/ or beside it (it may include from: window)'
out=$(run)
status=$?
[ $status -eq 1 ] || fail "wrong includes: exit status $status, not 1"
[ "$(sort <<<"$out")" = "$expected" ] || fail "wrong includes: got
$out"

bash "$check" "$tree" "${layers[@]}" -- tests/flow=flow >/dev/null 2>&1
[ $? -eq 2 ] || fail "a folder checked as a layer that is not there is not refused"
echo "check-layers: all cases pass"
