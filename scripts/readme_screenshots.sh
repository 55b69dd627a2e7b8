#!/usr/bin/env bash
# Remakes the README's pictures in docs/screenshots/ from the built game:
# demo races of five computer cars at 1024 x 768 with 128-texel dynamic
# shadows and dust, one F12 screenshot each, flipped to PNG with a 256-colour
# palette.  Needs a built game with its data (build/) and ImageMagick's
# convert; runs under Xvfb when there is no display.  About four minutes.
# ONLY=NAME remakes that picture alone.
#   scripts/readme_screenshots.sh [BUILD_DIR [OUT_DIR]]
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD="$(cd "${1:-build}" && pwd)"
OUT="$(mkdir -p "${2:-docs/screenshots}" && cd "${2:-docs/screenshots}" && pwd)"
if [[ -z "${DISPLAY:-}" ]]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$BUILD" "$OUT"
fi
source tests/e2e/lib.sh "$BUILD"
source tests/e2e/menus_lib.sh
SHOTS=""
trap 'kill_game; cleanup_game_dir' EXIT

# The tracks in the order the game lists them (their files' names, sorted).
track_index() {
    ls "$BUILD/data/tracks/terrains" | sed 's/\.tga$//' | sort | grep -n -x "$1" | cut -d: -f1 |
        awk '{ print $1 - 1 }'
}

# picture NAME TRACK MODE VIEWS SECONDS [LIMIT]: a demo race on TRACK in MODE
# (0 "Tag!", 1 "Checkpoint") seen in VIEWS views, shot SECONDS after the
# track has loaded, or, for SECONDS "results", once the results stand;
# LIMIT is the tag time that ends the race in "Tag!".  The picture goes to
# OUT/NAME.png.
picture() {
    local name="$1" mode="$3" views="$4" seconds="$5" limit="${6:-60}"
    [[ -z "${ONLY:-}" || "$ONLY" == "$name" ]] || return 0
    start_with "$2" "$mode" "$views" "$limit" --demo
    wait_for_log "Loading checkpoints" 30 || fail "$name: the race did not start"
    if [[ "$seconds" == results ]]; then
        wait_for_race_end 1
    else
        sleep "$seconds"
    fi
    save_picture "$name"
}

# tournament_picture NAME TRACK: the results of the second race of a
# "Tag!" tournament (one player, who does not drive, and four computer cars).
tournament_picture() {
    [[ -z "${ONLY:-}" || "$ONLY" == "$1" ]] || return 0
    start_with "$2" 0 1 6
    click 0.5 0.6     # tournament
    click 0.5 0.7     # race
    wait_for_race_end 1
    click 0.5 0.4     # continue
    wait_for_race_end 2
    save_picture "$1"
}

# start_with TRACK MODE VIEWS LIMIT [ARGS...]: the game in a fresh folder
# with those preferences, five cars, full quality.
start_with() {
    local track
    track="$(track_index "$1")"
    [[ -n "$track" ]] || fail "no track $1"
    make_game_dir
    printf 'width 1024\nheight 768\ndepth 32\nframeratecounter 0\nfullscreen 0\n' > "$GAME_DIR/data/config.txt"
    printf '%s\n' "track $track" "gamemode $2" "nplayers $3" "nopponents $((5 - $3))" "shadows 1" \
        "shadow_resolution 128" "particles 1" "targetfps 0" "laps 3" "timelimit $4" > "$GAME_DIR/data/prefs.txt"
    shift 4
    start_game "$@"
}

# wait_for_race_end N: until the Nth race has ended and its results stand.
wait_for_race_end() {
    local i
    for ((i = 0; i < 1200; i++)); do
        [[ "$(grep -c 'Race recorded' "$GAME_DIR/log.txt")" -ge $1 ]] && break
        sleep 0.1
    done
    [[ "$(grep -c 'Race recorded' "$GAME_DIR/log.txt")" -ge $1 ]] || fail "race $1 did not end"
    sleep 3   # "Race over" stands for 2 s
}

# save_picture NAME: an F12 screenshot, the pointer in a corner, as
# OUT/NAME.png; then the game goes.
save_picture() {
    local file
    point 0.99 0.01
    file="$(shot "$1")"
    convert "$file" -flip -colors 256 "PNG8:$OUT/$1.png" || fail "$1: convert failed"
    echo "$OUT/$1.png"
    kill_game
    cleanup_game_dir
}

picture dunes_one_view dunes 0 1 9
picture canyon_gates canyon 1 1 7
picture hills_two_views hills 0 2 8
picture three_views quarry 0 3 9
picture lakes_four_views lakes 0 4 8
picture meadow_results meadow 0 1 results 10
picture one_view quarry 1 1 15
picture four_views canyon 1 4 10
tournament_picture tournament_results dunes
