#!/usr/bin/env bash
# Runs the libFuzzer targets alone, longer than the test command does:
#   tools/fuzz.sh [SECONDS]      (each target; default 600)
# The corpora grow in build/fuzz/corpus; reproducers land in
# build/fuzz/artifacts.
FUZZ_SECONDS=${1:-600} exec "$(dirname "${BASH_SOURCE[0]}")/test.sh" fuzz
