#!/usr/bin/env bash
# Records the regression races of tests/data/replays again (after a
# deliberate change to the race step, the computer driver or a track):
# scripted players on several tracks in both modes, with and without
# computer cars.  Usage: scripts/record_test_replays.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
sim="$build/quibbit-sim --data $build"
out=tests/data/replays
mkdir -p "$out"
rm -f "$out"/*.qbr
$sim --record "$out/canyon_checkpoint.qbr" --mode checkpoint --laps 2 --players 2 --cars 2 --seed 11 canyon
$sim --record "$out/dunes_tag.qbr" --mode tag --timelimit 15 --players 3 --cars 3 --seed 12 dunes
$sim --record "$out/hills_checkpoint_cpu.qbr" --mode checkpoint --laps 1 --players 1 --cars 4 --skill easy --seed 13 hills
$sim --record "$out/quarry_tag_cpu.qbr" --mode tag --timelimit 10 --players 2 --cars 5 --skill hard --seed 14 quarry
$sim --record "$out/meadow_checkpoint.qbr" --mode checkpoint --laps 1 --players 4 --cars 4 --seed 15 meadow
