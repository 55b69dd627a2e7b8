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

# check_settings_files WHEN: data/prefs.txt and data/config.txt are whole:
# prefs 37 "key value" lines ending with targetfps, or 38 ending with
# "alternate 1"; config "key number" lines with the window's keys.
check_settings_files() {
    local prefs="$GAME_DIR/data/prefs.txt" config="$GAME_DIR/data/config.txt" lines k
    [[ -f "$prefs" ]] || fail "$1: no prefs.txt"
    [[ -f "$config" ]] || fail "$1: no config.txt"
    lines="$(wc -l < "$prefs")"
    [[ "$lines" -eq 37 || "$lines" -eq 38 ]] || fail "$1: prefs.txt has $lines lines"
    [[ -z "$(tail -c 1 "$prefs")" ]] || fail "$1: prefs.txt does not end with a line end"
    grep -qv '^[A-Za-z0-9_]\+ .*$' "$prefs" && fail "$1: prefs.txt has a line that is not 'key value'"
    tail -n 1 "$prefs" | grep -Eq '^(targetfps [0-9]+|alternate 1)$' ||
        fail "$1: prefs.txt does not end with targetfps or alternate"
    grep -qv '^[a-z]\+ -\?[0-9]\+$' "$config" && fail "$1: config.txt has a line that is not 'key number'"
    for k in width height depth frameratecounter fullscreen; do
        grep -q "^$k " "$config" || fail "$1: config.txt lacks $k"
    done
}

# A sanitizer build reports leaks at its end without failing by itself;
# check_sanitizer_reports fails on any leak with a frame in the game's own code.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan.supp:print_suppressions=0:exitcode=0"

# check_sanitizer_reports FILE: the game's standard error (FILE) holds no
# sanitizer report and no leak of the game's own.
check_sanitizer_reports() {
    local own others
    if grep -q "ERROR: AddressSanitizer\|runtime error" "$1"; then
        head -n 60 "$1"
        fail "sanitizer report"
    fi
    # Leak records (blank-line separated) with a frame in the game's
    # executable or sources are the game's; those wholly inside libraries
    # that the driver unloaded ("<unknown module>") or system libraries are not.
    own="$(awk -v RS= '/leak of/ && (/\/quibbit\+0x/ || /\/src\/(app|assets|game|input|net|platform|race|render|sound)\//)' "$1")"
    if [[ -n "$own" ]]; then
        echo "$own" | head -n 60
        fail "the game leaks"
    fi
    others="$(grep -m1 '^SUMMARY: AddressSanitizer: .* leaked' "$1")"
    [[ -n "$others" ]] && echo "note: leaks outside the game's code: ${others#SUMMARY: AddressSanitizer: }"
    return 0
}
