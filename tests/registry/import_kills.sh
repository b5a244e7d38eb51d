#!/usr/bin/env bash
# Kills imports at random moments, many times over, on a file large enough that an import
# commits more than once: every store must still open whole, with every value whole or
# absent, and a finished import all there. Usage: import_kills.sh BIN_DIR [KILLS] [KEYS]
set -euo pipefail
bin=${1:?usage: import_kills.sh BIN_DIR [KILLS] [KEYS]}
ZBX_IMPORT_KILLS=${2:-50} ZBX_IMPORT_KEYS=${3:-40000} ZBX_IMPORT_SEED=${ZBX_IMPORT_SEED:-$RANDOM} \
  "$bin/test_registry" --gtest_filter='BulkProcesses.AnImportKilledAtAnyMoment*'
