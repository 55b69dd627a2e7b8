# Random play: a seeded stream of clicks in the window (most where the
# menus' buttons stand, now and then the two that start a race from the main
# menu), key taps, presses on a virtual pad's and a wheel's buttons and on
# the wheel's hat, typing and held
# driving keys, for QB_PLAY_SECONDS of wall time.  Whatever screen the
# stream reaches, the game must not end but by its Quit button (it is then
# started again) or by --quit-after at the end: exit code 0 and a normal
# shut-down each time, no sanitizer report against a sanitizer build, and
# settings files that are whole and start the game again.
#   QB_PLAY_SECONDS   how long to play (default 75)
#   QB_PLAY_SEED      the stream's seed (default 1); the same seed gives the
#                     same stream, though what it meets follows the frames
#   QB_PLAY_KEEP      a file to keep the logs of every start in
#   QB_PLAY_PREFS     preferences to start from instead of the defaults,
#                     "key value" pairs split by commas, say
#                     "nplayers 4,gamemode 1" for four views in Checkpoint
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/menus_lib.sh"
GAME_PID=""
WIN_ID=""
held=""
stop_all() {
    [[ -n "$held" ]] && xdotool keyup $held 2>/dev/null
    [[ -n "$GAME_PID" ]] && kill -KILL "$GAME_PID" 2>/dev/null
    cleanup_game_dir
}
trap stop_all EXIT
seconds="${QB_PLAY_SECONDS:-75}"
RANDOM="${QB_PLAY_SEED:-1}"

make_game_dir 1024 768
use_test_pads
: > "$GAME_DIR/stderr.txt"
if [[ -n "${QB_PLAY_PREFS:-}" ]]; then
    # The defaults as a first start writes them, with those keys changed.
    (cd "$GAME_DIR" && ./quibbit --quit-after 1 2>> "$GAME_DIR/stderr.txt") ||
        fail "the start that writes the defaults: exit code $?"
    IFS=, read -ra pairs <<< "$QB_PLAY_PREFS"
    for pair in "${pairs[@]}"; do
        key="${pair%% *}"
        grep -q "^$key " "$GAME_DIR/data/prefs.txt" || fail "QB_PLAY_PREFS: prefs.txt has no key '$key'"
        sed -i "s/^$key .*/$pair/" "$GAME_DIR/data/prefs.txt"
    done
    mv "$GAME_DIR/log.txt" "$GAME_DIR/play_log.txt"
fi
deadline=$((SECONDS + seconds))
starts=0
actions=0

# start: the game with the play's time left, up to its main menu.
start() {
    local left=$((deadline - SECONDS))
    (( left < 5 )) && left=5
    [[ -f "$GAME_DIR/log.txt" ]] && cat "$GAME_DIR/log.txt" >> "$GAME_DIR/play_log.txt"
    rm -f "$GAME_DIR/log.txt"
    printf 'attach\nattach wheel\n' > "$PADS"  # each start reads the file from its beginning
    (cd "$GAME_DIR" && exec ./quibbit --quit-after "$left" 2>> "$GAME_DIR/stderr.txt") &
    GAME_PID=$!
    starts=$((starts + 1))
    WIN_ID="$(game_window)" || fail "start $starts: no game window"
    wait_for_log "Loading model: data/models/head.3ds" 120 || fail "start $starts: the start-up did not end"
    sleep 4  # the intro plays to its end before the first menu frame
}

# ended WHY: the game has ended by itself; it must have ended normally.
ended() {
    wait "$GAME_PID"
    local status=$?
    GAME_PID=""
    check_sanitizer_reports "$GAME_DIR/stderr.txt"
    [[ $status -eq 0 ]] || fail "$1: exit code $status after $actions actions"
    grep -q "Framerate estimate" "$GAME_DIR/log.txt" || fail "$1: no normal shut-down after $actions actions"
}

# Keys a player might press anywhere: menus, text entry, driving, camera.
menu_keys=(Return Up Down Left Right space Tab BackSpace)
# The pad's A, B, Start and d-pad (SDL's button numbers).
pad_buttons=(0 1 6 11 12 13 14)
# The wheel's hat: up, right, down, left and a diagonal.
wheel_hat=(1 2 4 8 6)
drive_keys=(Up Down Left Right space "Up Left" "Up Right" "Down Left" c F1 F2 F3 F4 F5)
typed_keys=(a b q w e r t y z 1 2 5 9 period minus shift+a)

start
while (( SECONDS < deadline )); do
    if ! kill -0 "$GAME_PID" 2>/dev/null; then
        ended "start $starts"
        (( SECONDS < deadline - 10 )) || break
        start
        continue
    fi
    actions=$((actions + 1))
    w=""
    h=""
    read -r w h < <(xdotool getwindowgeometry "$WIN_ID" 2>/dev/null |
        awk '/Geometry/ { split($2, g, "x"); print g[1], g[2] }')
    if [[ -z "$w" ]]; then
        # An applied resolution or window mode opens a new window.
        WIN_ID="$(xdotool search --name '^Quibbit$' 2>/dev/null | head -n 1)"
        sleep 0.5
        continue
    fi
    roll=$((RANDOM % 100))
    if (( roll < 6 )); then
        # Where the main menu's single race and the set-up's race button
        # stand: from the main menu, a race; elsewhere, one more click.
        for i in 1 2; do
            xdotool mousemove --window "$WIN_ID" $((w / 2)) $((h * 3 / 10)) 2>/dev/null
            sleep 0.1
            xdotool click 1 2>/dev/null
            sleep 1
        done
    elif (( roll < 50 )); then
        # A click; three in four where the menus' buttons stand (the middle
        # third across, from an eighth to four fifths down), the rest anywhere.
        if (( RANDOM % 4 )); then
            x=$((w / 3 + RANDOM % (w / 3)))
            y=$((h / 8 + RANDOM % (h * 27 / 40)))
        else
            x=$((RANDOM % w))
            y=$((RANDOM % h))
        fi
        xdotool mousemove --window "$WIN_ID" "$x" "$y" 2>/dev/null
        sleep 0.1
        xdotool click $((RANDOM % 8 ? 1 : 3)) 2>/dev/null
        sleep 0.3
    elif (( roll < 63 )); then
        xdotool key "${menu_keys[RANDOM % ${#menu_keys[@]}]}" 2>/dev/null
        sleep 0.3
    elif (( roll < 70 )); then
        if (( RANDOM % 3 )); then
            button="${pad_buttons[RANDOM % ${#pad_buttons[@]}]}"
            echo "button 1 $button 1" >> "$PADS"
            sleep 0.15
            echo "button 1 $button 0" >> "$PADS"
        elif (( RANDOM % 2 )); then
            echo "button 2 $((RANDOM % 2)) 1" >> "$PADS"
            sleep 0.15
            echo "button 2 0 0" >> "$PADS"
            echo "button 2 1 0" >> "$PADS"
        else
            echo "hat 2 ${wheel_hat[RANDOM % ${#wheel_hat[@]}]}" >> "$PADS"
            sleep 0.15
            echo "hat 2 0" >> "$PADS"
        fi
        sleep 0.3
    elif (( roll < 73 )); then
        xdotool key Escape 2>/dev/null
        sleep 0.3
    elif (( roll < 93 )); then
        held="${drive_keys[RANDOM % ${#drive_keys[@]}]}"
        xdotool keydown $held 2>/dev/null
        sleep "$(awk -v r=$RANDOM 'BEGIN { printf "%.2f", 0.2 + (r % 180) / 100 }')"
        xdotool keyup $held 2>/dev/null
        held=""
    else
        xdotool key "${typed_keys[RANDOM % ${#typed_keys[@]}]}" 2>/dev/null
        sleep 0.2
    fi
done

# The last start ends by itself (--quit-after).
for ((i = 0; i < 600; i++)); do
    [[ -n "$GAME_PID" ]] && kill -0 "$GAME_PID" 2>/dev/null || break
    sleep 0.1
done
if [[ -n "$GAME_PID" ]]; then
    kill -0 "$GAME_PID" 2>/dev/null && fail "the game did not end at its --quit-after"
    ended "the end"
fi

check_settings_files "after random play"
cat "$GAME_DIR/log.txt" >> "$GAME_DIR/play_log.txt"
[[ -n "${QB_PLAY_KEEP:-}" ]] && cp "$GAME_DIR/play_log.txt" "$QB_PLAY_KEEP"
# What was chosen starts the game again (without the pad) and ends normally.
unset QUIBBIT_TEST_PADS
rm -f "$GAME_DIR/log.txt"
(cd "$GAME_DIR" && ./quibbit --quit-after 3 2>> "$GAME_DIR/stderr.txt") || fail "start after the play: exit code $?"
grep -q "MINOR ERROR (not found): data/prefs.txt" "$GAME_DIR/log.txt" && fail "prefs.txt was not found after the play"
check_sanitizer_reports "$GAME_DIR/stderr.txt"
check_settings_files "after a normal start"
echo "random_play: ok ($actions actions, $starts starts, seed ${QB_PLAY_SEED:-1}${QB_PLAY_PREFS:+, from $QB_PLAY_PREFS})"
