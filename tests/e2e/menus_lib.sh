# Helpers of the menu scripts: start the game in $GAME_DIR, point and click
# at buttons by their place in the 1024 x 768 layout, press keys, take F12
# screenshots.  Source after lib.sh.

# Window size of the running game (set by start_game from the arguments of
# make_game_dir, or changed by a script after a rebuild).
WIN_W=1024
WIN_H=768
GAME_PID=""
WIN_ID=""
# Folder that keeps PNG copies of the screenshots (QUIBBIT_SHOTS, optional).
SHOTS="${QUIBBIT_SHOTS:-}"

# wait_for_frames: waits until the game runs frames (start-up, the intro
# music included, is over): F12 is pressed until a screenshot appears.
wait_for_frames() {
    local dir="$GAME_DIR/data/screenshots" before i
    mkdir -p "$dir"
    before="$(ls "$dir" | wc -l)"
    for ((i = 0; i < 120; i++)); do
        xdotool keydown F12
        sleep 0.3
        xdotool keyup F12
        [[ "$(ls "$dir" | wc -l)" -gt "$before" ]] && break
        sleep 0.2
    done
    [[ "$(ls "$dir" | wc -l)" -gt "$before" ]] || fail "the game draws no frames"
    sleep 0.8   # the first screen brightens from black
}

# start_game [ARGS...]: runs the game in the background and waits until its
# main menu is up.
start_game() {
    rm -f "$GAME_DIR/log.txt"
    (cd "$GAME_DIR" && exec ./quibbit "$@") &
    GAME_PID=$!
    WIN_ID="$(game_window)" || fail "no game window"
    wait_for_frames
}

# stop_game: waits for the game to end by itself (up to 20 s) and checks
# the exit code 0.
wait_game_exit() {
    local i
    for ((i = 0; i < 200; i++)); do
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$GAME_PID" 2>/dev/null && fail "the game did not end"
    wait "$GAME_PID"
    local status=$?
    GAME_PID=""
    [[ $status -eq 0 ]] || fail "exit code $status"
}

kill_game() {
    if [[ -n "$GAME_PID" ]] && kill -0 "$GAME_PID" 2>/dev/null; then
        kill -TERM "$GAME_PID"
        wait "$GAME_PID"
    fi
    GAME_PID=""
}

# point X Y: moves the pointer to the layout place (x from the left, y from
# the bottom, window fractions) and lets a few frames see it.
point() {
    local px py
    px="$(awk -v x="$1" -v w="$WIN_W" 'BEGIN { printf "%d", x * w }')"
    py="$(awk -v y="$2" -v h="$WIN_H" 'BEGIN { printf "%d", (1 - y) * h }')"
    xdotool mousemove --window "$WIN_ID" "$px" "$py"
    sleep 0.2
}

# click X Y: point, then press and release the left button.  The game keeps
# a press that went up before its next frame, so the press can be short; the
# wait after it lets the frame that takes the click save what it changed.
click() {
    point "$1" "$2"
    xdotool mousedown 1
    sleep 0.15
    xdotool mouseup 1
    sleep 0.4
}

# key NAME: one press and release of a key (xdotool key names).
key() {
    xdotool keydown "$1"
    sleep 0.45
    xdotool keyup "$1"
    sleep 0.35
}

# tap NAME: a quick press and release (text entry): the frame still sees
# the key in lastKey, and a busy machine cannot stretch the press into the
# display's auto-repeat.
tap() {
    xdotool key "$1"
    sleep 0.5
}

# shot NAME: an F12 screenshot, the key held until the file appears (a race
# frame can take a good part of a second on a software renderer); prints
# its path.  With QUIBBIT_SHOTS set, a PNG copy goes there under NAME.
shot() {
    local dir="$GAME_DIR/data/screenshots" before i file
    before="$(ls "$dir" 2>/dev/null | wc -l)"
    xdotool keydown F12
    for ((i = 0; i < 100; i++)); do
        [[ "$(ls "$dir" 2>/dev/null | wc -l)" -gt "$before" ]] && break
        sleep 0.1
    done
    xdotool keyup F12
    [[ "$(ls "$dir" 2>/dev/null | wc -l)" -gt "$before" ]] || fail "no screenshot for $1"
    sleep 0.5  # the file is complete once the next frame runs
    file="$dir/$(ls "$dir" | sort | tail -n 1)"
    if [[ -n "$SHOTS" ]]; then
        mkdir -p "$SHOTS"
        convert "$file" -flip "$SHOTS/$1.png" 2>/dev/null || true
    fi
    echo "$file"
}

# pref KEY: the value of KEY in data/prefs.txt.
pref() {
    awk -v k="$1" '$1 == k { $1 = ""; sub(/^ /, ""); print }' "$GAME_DIR/data/prefs.txt"
}

# config_value KEY: the value of KEY in data/config.txt.
config_value() {
    awk -v k="$1" '$1 == k { print $2 }' "$GAME_DIR/data/config.txt"
}

# Screenshot arithmetic (tests/e2e/pixels.py): size, mean brightness, ...
pixels() { python3 "$(dirname "${BASH_SOURCE[0]}")/pixels.py" "$@"; }
tga_size() { pixels size "$1"; }
mean_brightness() { pixels mean "$1"; }

# use_test_pads: the game started next takes its pads from the test hook
# (SDL virtual pads, src/platform/events_testpads.cpp), fed through pad.
use_test_pads() {
    PADS="$GAME_DIR/pads.txt"
    : > "$PADS"
    export QUIBBIT_TEST_PADS="$PADS"
}

# pad COMMAND...: one command for the hook ("attach", "attach wheel",
# "detach N", "axis N AXIS VALUE", "button N BUTTON 0|1", "hat N BITS"),
# given a few frames to act.
pad() {
    echo "$*" >> "$PADS"
    sleep 0.4
}
