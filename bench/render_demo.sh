#!/usr/bin/env bash
# The rendering benchmark: `quibbit --demo --quit-after SECONDS` in a
# 1024 x 768 window, five cars in the "Tag!" mode, for one, two and four
# views, with 128 x 128 dynamic shadows and dust, and with both off.  Prints
# for each run the game's own frame meter ("Race frames: ..."): frames per
# second over the race, processor milliseconds per frame (all threads of the
# process, the software renderer's included) and the processor cores the run
# actually got on average, since a software renderer's rate follows the
# processor share it gets, and the processor milliseconds per frame of the
# game's own thread (the software renderer's vertex work and binning run
# there while its pixel threads wait), and the longest frame of the race (a
# stall).  With PASSES=1 in the environment the game also times each pass of
# the frame (ending each with glFinish, which slows the whole frame) and the
# table is followed by the passes' milliseconds per frame and, where the
# renderer counts them, thousands of fragments and vertices per frame
# (llvmpipe counts 16 fragments for every 4 x 4 block it shades).
# VIEWS="1 4" limits the runs to those view counts; ONLY_ON=1 skips the runs
# with shadows and dust off.
#   usage: bench/render_demo.sh BUILD_DIR [SECONDS]
# Needs a display; without one: xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bench/render_demo.sh build
set -uo pipefail
BUILD="$(cd "${1:?usage: $0 BUILD_DIR [SECONDS]}" && pwd)"
SECONDS_PER_RUN="${2:-30}"
export QUIBBIT_NO_DIALOGS=1
export SDL_AUDIODRIVER=dummy
if [[ "${PASSES:-0}" == 1 ]]; then export QUIBBIT_PASS_TIMES=1; fi

run() {  # run VIEWS SCREENMODE SHADOWS DUST -> frame rate, processor time per frame, cores, game thread
    local views=$1 mode=$2 shadows=$3 dust=$4 dir
    dir="$(mktemp -d /tmp/quibbit-bench.XXXXXX)"
    cp "$BUILD/quibbit" "$dir/"
    mkdir -p "$dir/data"
    cp -r "$BUILD/data/." "$dir/data/"
    rm -f "$dir/data/prefs.txt" "$dir/data/screenshots/"*
    printf 'width 1024\nheight 768\ndepth 32\nframeratecounter 1\nfullscreen 0\n' > "$dir/data/config.txt"
    printf 'shadows %d\nshadow_resolution %d\nparticles %d\nnplayers %d\nnopponents %d\nscreenmode %d\ngamemode 0\n' \
        "$((shadows > 0))" "$shadows" "$dust" "$views" "$((5 - views))" "$mode" > "$dir/data/prefs.txt"
    "$dir/quibbit" --demo --quit-after "$SECONDS_PER_RUN" > /dev/null 2>&1
    local meter longest passes counts
    meter="$(sed -n 's/^Race frames: [0-9]* in [0-9.]* s: \([0-9.]*\) fps, \([0-9.]*\) ms processor time per frame (\([0-9.]*\) cores), \([0-9.]*\) ms on the game.s thread$/\1 fps, \2 ms, \3 cores, \4 ms/p' "$dir/log.txt" | tail -n 1)"
    longest="$(sed -n 's/^Longest race frame: \([0-9.]*\) ms.*/\1/p' "$dir/log.txt" | tail -n 1)"
    [[ -n "$meter" && -n "$longest" ]] && meter="$meter, longest $longest ms"
    passes="$(sed -n 's/^Pass times, ms per frame: //p' "$dir/log.txt" | tail -n 1)"
    counts="$(sed -n 's/^Pass counts, thousand fragments\/vertices per frame: //p' "$dir/log.txt" | tail -n 1)"
    [[ -n "$passes" ]] && echo "$views views, shadows $shadows, dust $dust: $passes" >> "$PASS_FILE"
    [[ -n "$counts" ]] && echo "  thousand fragments/vertices: $counts" >> "$PASS_FILE"
    echo "${meter:-?}"
    rm -rf "$dir"
}
PASS_FILE="$(mktemp /tmp/quibbit-passes.XXXXXX)"

printf 'load average before: %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '| views | shadows 128 + dust: fps, CPU ms per frame, cores, game thread ms per frame, longest frame | shadows and dust off |\n|---|---|---|\n'
for views in ${VIEWS:-1 2 4}; do
    set -- "$views" "$((views == 4 ? 2 : views - 1))"
    on="$(run "$1" "$2" 128 1)"
    off="-"
    [[ "${ONLY_ON:-0}" == 1 ]] || off="$(run "$1" "$2" 0 0)"
    printf '| %d | %s | %s |\n' "$1" "$on" "$off"
done
if [[ -s "$PASS_FILE" ]]; then
    printf '\npass times, ms per frame (and counts where the renderer has them):\n'
    cat "$PASS_FILE"
fi
rm -f "$PASS_FILE"
