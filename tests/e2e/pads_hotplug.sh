# Two gamepads plugged in while the game runs: SDL virtual pads, attached
# and driven through the game's test hook (QUIBBIT_TEST_PADS names a file
# of commands the game runs as lines are appended: "attach", "detach N",
# "axis N AXIS VALUE", "button N BUTTON 0|1"; see
# src/platform/events_testpads.cpp).  Player 1 is on Pad 1; the second pad
# joins as player 2 with its Start button on the set-up screen; both cars
# drive; Pad 2 pulled out holds the race with the message in player 2's
# view, and the race goes on when a pad is plugged in again.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/menus_lib.sh"
trap 'kill_game; cleanup_game_dir' EXIT

make_game_dir
use_test_pads
# Player 1 on Pad 1, no computer cars, no mouse player.
printf 'nplayers 1\nnopponents 0\nmousesteering 99\ngamepadsteering 0\ntimelimit 60\n' > "$GAME_DIR/data/prefs.txt"

# moved A B Y0 Y1 / still A B Y0 Y1: that part of the picture changed / not.
moved() { local d; d="$(pixels diff "$@")"; awk -v d="$d" 'BEGIN { exit !(d > 4.0) }' || fail "no movement in rows $3-$4 (diff $d)"; }
still() { local d; d="$(pixels diff "$@")"; awk -v d="$d" 'BEGIN { exit !(d < 1.5) }' || fail "movement in rows $3-$4 (diff $d)"; }

start_game

# Two identical pads plugged in at the main menu.
pad attach
pad attach
wait_for_log "Pad 2 connected: Virtual Controller" 5 || fail "the game did not see two pads"
grep -q "Pad 1 connected: Virtual Controller" "$GAME_DIR/log.txt" || fail "no Pad 1"

# Single-race set-up: Start on Pad 2 adds player 2 on that pad.
click 0.5 0.7
pad button 2 6 1
pad button 2 6 0
wait_for_log "Pad 2 joins as player 2" 5 || fail "Start on Pad 2 did not add a player"
[[ "$(pref nplayers)" == 2 && "$(pref pad2steering)" == 1 && "$(pref gamepadsteering)" == 0 ]] ||
    fail "set-up after Start: nplayers $(pref nplayers), pad2steering $(pref pad2steering)"

click 0.5 0.7   # race
wait_for_log "Loading checkpoints" 10 || fail "the race did not load"
sleep 1.5
shot badges > /dev/null  # each view shows its pad for the first seconds
sleep 3.5       # the countdown
idle1="$(shot idle1)"
sleep 1
idle2="$(shot idle2)"
# Views: player 1 below (rows 0-0.5), player 2 above.
still "$idle1" "$idle2" 0.05 0.45
still "$idle1" "$idle2" 0.55 0.95

# Both cars drive: Pad 1 on its right trigger, Pad 2 on A with the stick left.
pad axis 1 5 32767
pad button 2 0 1
pad axis 2 0 -32768
sleep 1.5
driving="$(shot driving)"
moved "$idle2" "$driving" 0.05 0.45
moved "$idle2" "$driving" 0.55 0.95

# Pad 2 pulled out: the race holds with the message in player 2's view.
pad detach 2
wait_for_log "Race paused: player 2 has no pad" 5 || fail "the race did not wait for Pad 2"
sleep 0.5
paused1="$(shot paused1)"
sleep 1
paused2="$(shot paused2)"
still "$paused1" "$paused2" 0.05 0.45   # Pad 1 still on the throttle, yet nothing moves
still "$paused1" "$paused2" 0.55 0.95
# The message stands across the middle of the view (rows 0.75); the rest of
# the view holds yellow HUD text and wheels that change from shot to shot.
[[ "$(pixels count "$paused1" 0 0.72 1 0.78 yellow)" -gt "$(( $(pixels count "$driving" 0 0.72 1 0.78 yellow) + 200 ))" ]] ||
    fail "no message in player 2's view"

# Plugged in again (a new device, the same model): Pad 2 again, the race
# goes on and the new device drives player 2.
pad attach
wait_for_log "Race resumed: player 2 has a pad" 5 || fail "the race did not resume"
grep -c "Pad 2 connected" "$GAME_DIR/log.txt" | grep -q 2 || fail "the pad came back under another number"
pad button 3 0 1
sleep 1
resumed="$(shot resumed)"
moved "$paused2" "$resumed" 0.55 0.95
grep -q "ERROR" "$GAME_DIR/log.txt" && fail "errors in the log"
echo "PASS pads_hotplug"
