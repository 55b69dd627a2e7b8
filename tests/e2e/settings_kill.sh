# Settings survive a kill: the game is killed (SIGKILL) at random moments
# while options clicks save "data/prefs.txt" and "data/config.txt" over and
# over; after every kill both files are whole (prefs: 37 "key value" lines
# ending with targetfps, or 38 ending with "alternate 1"; config: "key number" lines with the window's
# keys), and the next start reads them.
#   QB_KILL_ROUNDS   kills to make (default 6)
source "$(dirname "$0")/lib.sh"
GAME_PID=""
clicker=""
stop_all() {
    [[ -n "$clicker" ]] && kill "$clicker" 2>/dev/null
    [[ -n "$GAME_PID" ]] && kill -KILL "$GAME_PID" 2>/dev/null
    cleanup_game_dir
}
trap stop_all EXIT
rounds="${QB_KILL_ROUNDS:-6}"

make_game_dir
WIN_W=1024
WIN_H=768

# click X Y: the left button at the layout place (window fractions, y from
# the bottom), pressed and released in separate frames (a loaded test
# machine may draw only a few frames a second).
click() {
    local px py
    px="$(awk -v x="$1" -v w="$WIN_W" 'BEGIN { printf "%d", x * w }')"
    py="$(awk -v y="$2" -v h="$WIN_H" 'BEGIN { printf "%d", (1 - y) * h }')"
    xdotool mousemove --window "$WIN_ID" "$px" "$py" 2>/dev/null
    sleep 0.2
    xdotool mousedown 1 2>/dev/null
    sleep 0.2
    xdotool mouseup 1 2>/dev/null
    sleep 0.2
}

check_files() {  # check_files WHEN
    check_settings_files "$1"
    grep -qx 'fullscreen 0' "$GAME_DIR/data/config.txt" || fail "$1: config.txt lost fullscreen 0"
}

saves=0
for ((round = 1; round <= rounds; round++)); do
    rm -f "$GAME_DIR/log.txt"
    (cd "$GAME_DIR" && exec ./quibbit) &
    GAME_PID=$!
    WIN_ID="$(game_window)" || fail "round $round: no game window"
    # The last file of the start-up, then the main menu's first frames.
    wait_for_log "Loading model: data/models/head.3ds" 60 || fail "round $round: the start-up did not end"
    sleep 4  # the intro plays to its end before the first menu frame
    click 0.5 0.4    # Options
    sleep 0.5
    click 0.5 0.525  # Graphics
    sleep 0.5
    # Dust (prefs) and frame counter (config) back and forth until the kill.
    ( while true; do click 0.5 0.525; click 0.5 0.425; done ) &
    clicker=$!
    sleep "$(awk -v r="$RANDOM" 'BEGIN { printf "%.2f", 2 + (r % 4000) / 1000 }')"
    kill -KILL "$GAME_PID"
    wait "$GAME_PID" 2>/dev/null
    kill "$clicker" 2>/dev/null
    wait "$clicker" 2>/dev/null
    clicker=""
    GAME_PID=""
    n="$(grep -c 'Saving prefs\|Saving configuration' "$GAME_DIR/log.txt" 2>/dev/null)"
    saves=$((saves + ${n:-0}))
    check_files "after kill $round"
done
[[ $saves -ge $rounds ]] || fail "only $saves saves in $rounds rounds: the clicks did not reach the options"

# The files left by the last kill start the game normally.
(cd "$GAME_DIR" && ./quibbit --quit-after 3) || fail "start after the kills: exit code $?"
grep -q "MINOR ERROR (not found): data/prefs.txt" "$GAME_DIR/log.txt" && fail "prefs.txt was not found after the kills"
check_files "after a normal start"
echo "settings_kill: ok ($rounds kills during $saves saves)"
