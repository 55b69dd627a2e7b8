#!/usr/bin/env bash
# The measured figures of the README's Quality section, on this machine:
# frames per second in one, two and four views (--demo, 1024 x 768), frames
# per second and CPU use in the menus at a frame-rate limit of 60, start-up
# time, peak memory, and the simulation's cost per step (qb_bench).  Needs a
# built game with its data (build/) and runs it under Xvfb when there is no
# display.  About five minutes.
#   scripts/quality_figures.sh [BUILD_DIR]
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD="$(cd "${1:-build}" && pwd)"
if [[ -z "${DISPLAY:-}" ]]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$BUILD"
fi
export QUIBBIT_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy
work="$(mktemp -d /tmp/quibbit-figures.XXXXXX)"
trap 'rm -rf "$work"' EXIT
cc -O2 -shared -fPIC -o "$work/frame_counter.so" scripts/frame_counter.c -ldl || exit 1

game="$work/game"
mkdir -p "$game"
cp "$BUILD/quibbit" "$game/"
cp -r "$BUILD/data" "$game/"
rm -f "$game/data/prefs.txt"

config() {  # config FRAMERATELIMIT
    printf 'width 1024\nheight 768\ndepth 32\nframeratecounter 0\nfullscreen 0\nframeratelimit %d\n' "$1" \
        > "$game/data/config.txt"
}
prefs_views() {  # prefs_views N: the default preferences with N players (views)
    sed -i "s/^nplayers .*/nplayers $1/" "$game/data/prefs.txt"
}
value() {  # value KEY FILE
    awk -v k="$1" '$1 == k { print $2 }' "$2"
}
run() {  # run SECONDS WINDOW ARGS...: the game under the frame counter and /usr/bin/time
    local seconds="$1" window="$2"; shift 2
    (cd "$game" && QB_FRAME_REPORT="$work/frames" QB_FRAME_WINDOW="$window" LD_PRELOAD="$work/frame_counter.so" \
        /usr/bin/time -f "%e %U %S %M" -o "$work/time" ./quibbit --quit-after "$seconds" "$@")
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), software OpenGL under Xvfb"

# Start-up: the wall time of a run that quits after its first second of the
# message loop, less that second (the intro sound is waited for).
config 60
run 1 1 > /dev/null 2>&1
echo "start-up (to the main menu, intro included, plus shut-down): $(awk '{ printf "%.1f", $1 - 1 }' "$work/time") s"

# The menus at a limit of 60 for a minute: frames and CPU over the last 50 s.
run 60 50 > /dev/null 2>&1
echo "menus, frameratelimit 60: $(value fps "$work/frames") frames/s, $(awk '$1 == "cpu" { printf "%.1f", $2 * 100 }' "$work/frames") % of one core"

# The race in one, two and four views, no frame limit worth the name (500).
config 500
for views in 1 2 4; do
    prefs_views "$views"
    run 30 20 --demo > /dev/null 2>&1
    echo "demo race, $views view(s), 1024x768: $(value fps "$work/frames") frames/s, $(awk '$1 == "cpu" { printf "%.0f", $2 * 100 }' "$work/frames") % of one core, peak memory $(awk '{ printf "%.0f", $4 / 1024 }' "$work/time") MiB"
done

if [[ -x "$BUILD/bench/qb_bench" || -x "$BUILD/qb_bench" ]]; then
    bench="$BUILD/qb_bench"
    [[ -x "$bench" ]] || bench="$BUILD/bench/qb_bench"
    "$bench" --benchmark_min_time=1 2>/dev/null | grep -E '^[A-Za-z]' | grep -v '^Run on\|^CPU\|^Load' || true
fi
