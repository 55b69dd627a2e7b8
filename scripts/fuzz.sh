#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/) and runs each for
# QB_FUZZ_SECONDS seconds (60 by default), seeded with the game's generated
# data and the saved inputs of tests/data/fuzz/<target>/.  An input that
# crashes a target is saved there (replayed by the unit tests from then on)
# and the run fails.
#   scripts/fuzz.sh                 every target, 60 s each
#   QB_FUZZ_SECONDS=3600 scripts/fuzz.sh tga    one target for an hour
# QB_FUZZ_SEED fixes libFuzzer's random seed (the test command uses 1, so
# that every run explores the same inputs in the same order); unset, every
# run explores new ones.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds="${QB_FUZZ_SECONDS:-60}"
seed="${QB_FUZZ_SEED:-0}"

if ! command -v clang++ > /dev/null; then
    echo "fuzz: clang++ is missing, fuzzers skipped"
    exit 0
fi
# -O1 with line tables: crash reports keep file:line, the build is quick.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DQB_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="-Wno-error" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" > /dev/null || exit 1
cmake --build build-fuzz -j"$(nproc)" --target fuzzers > /dev/null || exit 1

# Seeds per target: where the game's own files of that kind are (the
# datagram and session targets take theirs from tests/data/fuzz/ only).
seeds_for() {
    case "$1" in
        settings)  echo build/data/config.txt build/data/prefs.txt ;;
        tga)       find build/data -name '*.tga' -size -300k 2>/dev/null | head -n 40 ;;
        heightmap) find build/data/tracks/terrains -name '*.tga' 2>/dev/null ;;
        model3ds)  find build/data/models -name '*.3ds' 2>/dev/null ;;
        course)    find build/data/tracks/checkpoints -name '*.txt' 2>/dev/null ;;
        recording) find tests/data/replays -name '*.qbr' 2>/dev/null ;;
    esac
}

# Flags per target: the race-step target's inputs mean most at full length
# (its odd values come first, the raw car records last), so it starts there
# rather than growing its inputs from a few bytes.
flags_for() {
    case "$1" in
        car_state) echo -len_control=0 -max_len=2048 ;;
    esac
}

targets=("$@")
if (( ${#targets[@]} == 0 )); then
    for f in build-fuzz/fuzz_*; do targets+=("$(basename "$f" | sed 's/^fuzz_//')"); done
fi

# fuzz_one TARGET: one run; prints its line and returns non-zero on a crash.
fuzz_one() {
    local target="$1" saved="tests/data/fuzz/$1" corpus log result runs n=0 file
    corpus="$(mktemp -d /tmp/quibbit-corpus.XXXXXX)"
    mkdir -p "$saved"
    cp "$saved"/* "$corpus"/ 2>/dev/null
    for file in $(seeds_for "$target"); do
        [[ -f "$file" ]] && cp "$file" "$corpus/seed-$((n++))-$(basename "$file")"
    done
    log="$(mktemp /tmp/quibbit-fuzz-log.XXXXXX)"
    ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1 \
        "build-fuzz/fuzz_$target" -max_total_time="$seconds" -seed="$seed" -rss_limit_mb=2048 $(flags_for "$target") \
        -artifact_prefix="$saved/" -print_final_stats=1 "$corpus" > "$log" 2>&1
    result=$?
    runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')"
    if [[ $result -eq 0 ]]; then
        echo "fuzz $target: ${runs:-?} inputs in ${seconds} s, no crash"
    else
        echo "fuzz $target: FAILED (input saved in $saved)"
        tail -n 30 "$log"
    fi
    rm -rf "$corpus" "$log"
    return $result
}

# One target per processor at a time; each target's output is printed whole.
jobs_at_once="$(nproc)"
status=0
pids=()
outs=()
for target in "${targets[@]}"; do
    out="$(mktemp /tmp/quibbit-fuzz-out.XXXXXX)"
    fuzz_one "$target" > "$out" 2>&1 &
    pids+=($!)
    outs+=("$out")
    if (( ${#pids[@]} >= jobs_at_once )); then
        wait "${pids[0]}" || status=1
        cat "${outs[0]}"; rm -f "${outs[0]}"
        pids=("${pids[@]:1}"); outs=("${outs[@]:1}")
    fi
done
for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || status=1
    cat "${outs[$i]}"; rm -f "${outs[$i]}"
done
exit $status
