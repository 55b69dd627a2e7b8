#!/usr/bin/env bash
# The rendering benchmark: `quibbit --demo --quit-after SECONDS` in a
# 1024 x 768 window, five cars in the "Tag!" mode, for one, two and four
# views, with 128 x 128 dynamic shadows and dust, and with both off.  Prints
# the "Framerate estimate" of each run as a table, each with the processor
# cores the run actually got on average (user + system time over wall time),
# since a software renderer's rate follows the processor share it gets.
#   usage: bench/render_demo.sh BUILD_DIR [SECONDS]
# Needs a display; without one: xvfb-run -a -s "-screen 0 1280x1024x24" bench/render_demo.sh build
set -uo pipefail
BUILD="$(cd "${1:?usage: $0 BUILD_DIR [SECONDS]}" && pwd)"
SECONDS_PER_RUN="${2:-30}"
export QUIBBIT_NO_DIALOGS=1
export SDL_AUDIODRIVER=dummy

run() {  # run VIEWS SCREENMODE SHADOWS DUST -> frame rate
    local views=$1 mode=$2 shadows=$3 dust=$4 dir
    dir="$(mktemp -d /tmp/quibbit-bench.XXXXXX)"
    cp "$BUILD/quibbit" "$dir/"
    mkdir -p "$dir/data"
    cp -r "$BUILD/data/." "$dir/data/"
    rm -f "$dir/data/prefs.txt" "$dir/data/screenshots/"*
    printf 'width 1024\nheight 768\ndepth 32\nframeratecounter 1\nfullscreen 0\n' > "$dir/data/config.txt"
    printf 'shadows %d\nshadow_resolution %d\nparticles %d\nnplayers %d\nnopponents %d\nscreenmode %d\ngamemode 0\n' \
        "$((shadows > 0))" "$shadows" "$dust" "$views" "$((5 - views))" "$mode" > "$dir/data/prefs.txt"
    /usr/bin/time -f "%e %U %S" -o "$dir/time.txt" "$dir/quibbit" --demo --quit-after "$SECONDS_PER_RUN" \
        > /dev/null 2>&1
    local rate cores
    rate="$(sed -n 's/^Framerate estimate: //p' "$dir/log.txt" | tail -n 1)"
    cores="$(awk '{ if ($1 > 0) printf "%.2f", ($2 + $3) / $1 }' "$dir/time.txt")"
    echo "${rate:-?} (${cores:-?} cores)"
    rm -rf "$dir"
}

printf 'load average before: %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '| views | shadows 128 + dust | shadows and dust off |\n|---|---|---|\n'
for layout in "1 0" "2 1" "4 2"; do
    set -- $layout
    on="$(run "$1" "$2" 128 1)"
    off="$(run "$1" "$2" 0 0)"
    printf '| %d | %s | %s |\n' "$1" "$on" "$off"
done
