# Shared helpers of the end-to-end scripts.  Each script is run as
#   bash tests/e2e/NAME.sh BUILD_DIR
# inside a display (the test script provides Xvfb).  The game is copied into
# a fresh folder so that its settings, log and screenshots stay there.
set -uo pipefail
BUILD="${1:?usage: $0 BUILD_DIR}"
export QUIBBIT_NO_DIALOGS=1
export SDL_AUDIODRIVER=dummy
# A game that cannot reach the display must fail, not fall back to drawing
# off screen where no script can see or drive it.
export SDL_VIDEODRIVER=x11

fail() {
    echo "FAIL: $*"
    if [[ -n "${GAME_DIR:-}" && -f "$GAME_DIR/log.txt" ]]; then
        echo "--- log.txt"
        cat "$GAME_DIR/log.txt"
    fi
    exit 1
}

# make_game_dir [WIDTH HEIGHT]: a copy of the game in $GAME_DIR with a
# windowed configuration (the test display has no other modes).
make_game_dir() {
    local width="${1:-1024}" height="${2:-768}"
    GAME_DIR="$(mktemp -d /tmp/quibbit-e2e.XXXXXX)"
    cp "$BUILD/quibbit" "$GAME_DIR/"
    mkdir -p "$GAME_DIR/data"
    if [[ -d "$BUILD/data" ]]; then
        cp -r "$BUILD/data/." "$GAME_DIR/data/"
    fi
    rm -f "$GAME_DIR/data/config.txt" "$GAME_DIR/data/prefs.txt" "$GAME_DIR/log.txt"
    printf 'width %d\nheight %d\ndepth 32\nframeratecounter 1\nfullscreen 0\n' "$width" "$height" \
        > "$GAME_DIR/data/config.txt"
}

# wait_for_log PATTERN SECONDS: waits until log.txt holds a line matching PATTERN.
wait_for_log() {
    local pattern="$1" seconds="$2" i
    for ((i = 0; i < seconds * 10; i++)); do
        grep -q -- "$pattern" "$GAME_DIR/log.txt" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# game_window: the id of the game's window (waits up to 60 s).
game_window() {
    local i id
    for ((i = 0; i < 600; i++)); do
        id="$(xdotool search --name '^Quibbit$' 2>/dev/null | head -n 1)"
        [[ -n "$id" ]] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

cleanup_game_dir() {
    [[ -n "${GAME_DIR:-}" ]] && rm -rf "$GAME_DIR"
}
