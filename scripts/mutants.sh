#!/usr/bin/env bash
# How many small faults does the test suite catch?  Applies each fault of
# scripts/mutants.txt to the source on its own, rebuilds the unit tests (and
# the headless simulator for race code), runs them, and puts the source back.
#
#   scripts/mutants.sh [BUILD_DIR] [FILTER]
#
# BUILD_DIR defaults to build-mutants (configured on first use; kept between
# runs so each fault costs one incremental build).  FILTER, a text, runs only
# the faults whose file or description contains it.  Prints one line per
# fault (caught / MISSED / gone / no build) and the total; exits non-zero
# only when the script itself cannot run.
set -uo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-mutants}"
filter="${2:-}"
list=scripts/mutants.txt
limit="${QB_MUTANT_TIMEOUT:-300}"

if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQB_BENCH=OFF > /dev/null || exit 1
fi
cmake --build "$build" -j"$(nproc)" --target qb_tests quibbit-sim quibbit-datagen > /dev/null || exit 1
# The simulator reads the generated data; make it once from the clean source.
if [[ ! -d "$build/data/tracks" ]]; then
    cmake --build "$build" -j"$(nproc)" > /dev/null || exit 1
fi

# Put the current fault's file back however the script ends.
current=""
backup=$(mktemp)
restore() {
    if [[ -n "$current" ]]; then
        cp "$backup" "$current"
        current=""
    fi
}
trap 'restore; rm -f "$backup"; exit 130' INT TERM
trap 'restore; rm -f "$backup"' EXIT

# apply FILE OLD NEW: replace the first occurrence; fails when OLD is absent.
apply() {
    python3 - "$1" "$2" "$3" <<'EOF'
import sys
path, old, new = sys.argv[1:4]
text = open(path).read()
if old not in text:
    sys.exit(1)
open(path, "w").write(text.replace(old, new, 1))
EOF
}

caught=0
total=0
missed=()
gone=()
while IFS= read -r line; do
    [[ -z "$line" || "$line" == \#* ]] && continue
    file="${line%% @@ *}"; rest="${line#* @@ }"
    old="${rest%% @@ *}"; rest="${rest#* @@ }"
    new="${rest%% @@ *}"; what="${rest#* @@ }"
    if [[ -n "$filter" && "$file $what" != *"$filter"* ]]; then
        continue
    fi
    if [[ ! -f "$file" ]] || ! grep -qF -- "$old" "$file"; then
        printf '%-7s %-32s %s\n' "gone" "$file" "$what"
        gone+=("$file: $what (text not found)")
        continue
    fi
    current="$file"
    cp "$file" "$backup"
    apply "$file" "$old" "$new"
    total=$((total + 1))
    verdict="MISSED"
    if ! cmake --build "$build" -j"$(nproc)" --target qb_tests quibbit-sim > /dev/null 2>&1; then
        verdict="no build"   # the list needs mending: a fault must compile
    elif ! timeout "$limit" "$build/qb_tests" --gtest_brief=1 > /dev/null 2>&1; then
        verdict="caught"
    elif [[ "$file" == src/race/* ]] &&
         ! timeout "$limit" "$build/quibbit-sim" --data "$build" --acceptance --quiet > /dev/null 2>&1; then
        verdict="caught"
    fi
    restore
    case "$verdict" in
        MISSED) missed+=("$file: $what") ;;
        caught) caught=$((caught + 1)) ;;
        *) total=$((total - 1)); gone+=("$file: $what (does not compile)") ;;
    esac
    printf '%-7s %-32s %s\n' "$verdict" "$file" "$what"
done < "$list"

# Leave the build matching the clean source.
cmake --build "$build" -j"$(nproc)" --target qb_tests quibbit-sim > /dev/null 2>&1

echo
for m in "${missed[@]}"; do echo "not caught: $m"; done
for g in "${gone[@]}"; do echo "not run: $g"; done
echo "caught $caught of $total faults"
