# Race recordings from the game: a short tag race driven with the arrow
# keys is recorded when it ends, the results' Replay button shows it again,
# the simulator replays it to the same results, and --replay plays a file
# (a damaged one is refused with its reason).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/menus_lib.sh"
trap 'kill_game; cleanup_game_dir' EXIT

SIM="$BUILD/quibbit-sim"
[[ -x "$SIM" ]] || fail "no simulator in $BUILD"

make_game_dir
start_game
click 0.5 0.2     # quit: the preferences file is written
wait_game_exit
sed -i 's/^gamemode .*/gamemode 0/; s/^timelimit .*/timelimit 10/; s/^nplayers .*/nplayers 1/; s/^nopponents .*/nopponents 1/' \
    "$GAME_DIR/data/prefs.txt"

start_game
click 0.5 0.7     # single race
click 0.5 0.7     # race
wait_for_log "Loading checkpoints" 10 || fail "the race did not start"
point 0.5 0.9
# The player: throttle through the countdown, then a few turns.
xdotool keydown Up
sleep 4.5
for turn in Left Right Left; do
    xdotool keydown $turn; sleep 0.8; xdotool keyup $turn
    sleep 0.6
done
xdotool keyup Up
xdotool keydown Down; sleep 0.4; xdotool keyup Down
xdotool keydown Up
wait_for_log "Race recorded: data/replays/000.qbr" 60 || { xdotool keyup Up; fail "the race was not recorded"; }
xdotool keyup Up
grep -q "Race recorded: data/replays/000.qbr .*finished" "$GAME_DIR/log.txt" || fail "the recording does not say finished"
sleep 3           # "Race over" stands for 2 s before the buttons
click 0.5 0.2     # Replay on the results screen
wait_for_log "Replay .*data/replays/000.qbr: track" 10 || fail "the Replay button did not play the race"
sleep 2
key Escape        # leaves the replay
sleep 0.7
click 0.5 0.2     # quit from the main menu
wait_game_exit
[[ "$(ls "$GAME_DIR/data/replays" | grep -c '\.qbr$')" -eq 1 ]] || fail "watching wrote a recording"

# The simulator plays the game's recording to the same scores and places.
grep -q "a step of" "$GAME_DIR/log.txt" && fail "the game ran steps other than 2 ms long"
out="$("$SIM" --data "$GAME_DIR" --replay "$GAME_DIR/data/replays/000.qbr")" || fail "simulator replay differs: $out"
echo "$out"

# A damaged recording is refused with its reason; a good one plays.
head -c 100 "$GAME_DIR/data/replays/000.qbr" > "$GAME_DIR/cut.qbr"
start_game --replay cut.qbr
grep -q "Replay cut.qbr not played: damaged recording" "$GAME_DIR/log.txt" || fail "the damaged recording was not refused"
kill_game
start_game --replay data/replays/000.qbr
grep -q "Replay data/replays/000.qbr: track" "$GAME_DIR/log.txt" || fail "--replay did not play the recording"
kill_game

# A recording of another set-up (four cars, checkpoint, on hills) watched
# with these two-car Tag! preferences on dunes is drawn on its own ground.
watched="$(cd "$(dirname "$0")/../data/replays" && pwd)/hills_checkpoint_cpu.qbr"
[[ "$(pref track)" == 1 && "$(pref gamemode)" == 0 && "$(pref nopponents)" == 1 ]] ||
    fail "the preferences are not the two-car Tag! ones on track 1"
start_game --replay "$watched"
wait_for_log "Replay .*hills_checkpoint_cpu.qbr: track hills" 10 || fail "--replay did not play the hills recording"
wait_for_log "Loading texture: data/tracks/textures/hills.tga" 10 ||
    fail "the recording was not drawn on the hills ground"
grep -q "textures/dunes.tga" "$GAME_DIR/log.txt" && fail "the preferences' track was drawn"
shot replay_other_setup > /dev/null
kill_game
echo "PASS"
