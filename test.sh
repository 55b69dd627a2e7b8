#!/usr/bin/env bash
# Installs what is missing, builds, then runs the whole test suite: unit
# tests, the same unit tests under AddressSanitizer + UndefinedBehaviorSanitizer,
# a short run of every fuzzer, the tests that need a window, and the
# end-to-end scripts.
set -uo pipefail
cd "$(dirname "$0")"
scripts/setup.sh || exit 1
times=("$(printf '%5d s  %s' $SECONDS "set-up, build and data")")

export QUIBBIT_NO_DIALOGS=1
export SDL_AUDIODRIVER=dummy

passed=0
failed=0
failures=()
run() {  # run NAME COMMAND...
    local name="$1" start=$SECONDS; shift
    echo "=== $name"
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        failures+=("$name")
    fi
    times+=("$(printf '%5d s  %s' $((SECONDS - start)) "$name")")
}

run "unit tests" build/qb_tests --gtest_brief=1

run "race acceptance on every track (simulator)" build/quibbit-sim --data build --acceptance --quiet
run "track maker: 300 seeds against the track checker" build/quibbit-trackgen --survey 300

# Recorded races replay headless to their recorded results.
replays_ok() {
    local f ok=0
    for f in tests/data/replays/*.qbr; do
        build/quibbit-sim --data build --replay "$f" | tail -n 1 || ok=1
    done
    return $ok
}
run "recorded races replay to their results (simulator)" replays_ok

echo "=== building the sanitizer build"
start=$SECONDS
# -O1 with line tables only: the sanitizers' reports keep their file:line
# frames, and the build takes about half as long as at -O2 -g.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
    -DQB_SANITIZE=ON -DQB_BENCH=OFF > /dev/null &&
    cmake --build build-asan -j"$(nproc)" --target qb_tests quibbit > /dev/null || exit 1
times+=("$(printf '%5d s  %s' $((SECONDS - start)) "building the sanitizer build")")
ln -sfn "$PWD/build/data" build-asan/data
run "unit tests (ASan+UBSan)" env ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    build-asan/qb_tests --gtest_brief=1

# A short run of every fuzz target (QB_FUZZ_SECONDS each, 60 by default);
# an input that crashes one is kept under tests/data/fuzz/<target>/.
run "fuzzing" env QB_FUZZ_SEED=1 scripts/fuzz.sh

# Window and end-to-end tests need a display; without one they run in Xvfb.
if [[ -n "${DISPLAY:-}" ]]; then
    run "window and end-to-end tests" scripts/display_tests.sh
else
    run "window and end-to-end tests" xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" scripts/display_tests.sh
fi

# The game itself under the sanitizers, each script ending with the leak
# check (leaks with a frame in the game's code fail): window rebuilds, then
# random play (another seed than the plain build's run above, from four
# views in Checkpoint with the quality budget at 60 fps).
asan_game() {  # asan_game NAME SCRIPT [VAR=VALUE...]
    local name="$1" script="$2"; shift 2
    local game=(env ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 "$@"
                bash "tests/e2e/$script" "$PWD/build-asan")
    if [[ -n "${DISPLAY:-}" ]]; then
        run "$name (ASan+UBSan)" "${game[@]}"
    else
        run "$name (ASan+UBSan)" xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "${game[@]}"
    fi
}
asan_game "window rebuilds" window_rebuild.sh
asan_game "random play" random_play.sh QB_PLAY_SEED=3 "QB_PLAY_PREFS=nplayers 4,gamemode 1,targetfps 60"

echo
printf '%s\n' "${times[@]}"
echo "$SECONDS s in all"
for f in "${failures[@]}"; do echo "FAILED: $f"; done
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
