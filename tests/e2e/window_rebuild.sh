# Window rebuilds: the graphics options' Apply (a new resolution) closes
# the window and everything drawn, and opens them again, three times in a
# row; the game keeps running at the new size and ends normally.  Run
# against a sanitizer build (QB_E2E_BUILD=build-asan, as test.sh can), the
# leak checker at its end covers every rebuild.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/menus_lib.sh"
stop_all() {
    [[ -n "$GAME_PID" ]] && kill -KILL "$GAME_PID" 2>/dev/null
    cleanup_game_dir
}
trap stop_all EXIT

make_game_dir 1024 768

ready() {  # ready WHEN FILE: the start-up (or rebuild) has loaded its last file
    wait_for_log "$2" 120 || fail "$1: the window was not rebuilt"
    WIN_ID="$(game_window)" || fail "$1: no game window"
    sleep 4  # the intro plays to its end before the first menu frame
}

rm -f "$GAME_DIR/log.txt"
(cd "$GAME_DIR" && exec ./quibbit --quit-after 400 2> "$GAME_DIR/stderr.txt") &
GAME_PID=$!
ready "start" "Loading model: data/models/head.3ds"
click 0.5 0.4    # Options
click 0.5 0.525  # Graphics
sizes=()
for round in 1 2 3; do
    click 0.5 0.69   # Resolution: the next size
    rm -f "$GAME_DIR/log.txt"
    click 0.5 0.2    # Apply
    ready "rebuild $round" "Loading seffect: data/seffects/tag.wav"  # models are read once
    WIN_W="$(config_value width)"
    WIN_H="$(config_value height)"
    sizes+=("${WIN_W}x${WIN_H}")
    read -r w h < <(xdotool getwindowgeometry "$WIN_ID" | awk '/Geometry/ { split($2, g, "x"); print g[1], g[2] }')
    [[ "$w" == "$WIN_W" && "$h" == "$WIN_H" ]] || fail "rebuild $round: window ${w}x${h}, config ${WIN_W}x${WIN_H}"
done
[[ "${sizes[0]}" != "1024x768" ]] || fail "the resolution did not change"
click 0.5 0.3    # Back to the options
click 0.5 0.3    # Back to the main menu
click 0.5 0.2    # Quit
for ((i = 0; i < 300; i++)); do
    kill -0 "$GAME_PID" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$GAME_PID" 2>/dev/null && fail "the Quit button did not end the game"
wait "$GAME_PID"
status=$?
GAME_PID=""
check_sanitizer_reports "$GAME_DIR/stderr.txt"
[[ $status -eq 0 ]] || fail "exit code $status"
grep -q "Framerate estimate" "$GAME_DIR/log.txt" || fail "no normal shut-down"
echo "window_rebuild: ok (${sizes[*]})"
