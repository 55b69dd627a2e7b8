# The menus without the mouse: the arrows move a lit focus, Enter presses,
# Left and Right step values, a key button waits for the next key after
# Enter (Escape gives the wait up and stays on the screen); then a pad's
# d-pad, A, Start and B through the menus, into a race, its race menu and
# out again; a wheel's hat and buttons to a key button, whose wait the
# pad's B gives up; and the quit button by the wheel, twice.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/menus_lib.sh"
trap 'kill_game; cleanup_game_dir' EXIT

make_game_dir
use_test_pads
start_game

# lit NAME Y KIND: a screenshot in which the button at height Y shows KIND.
lit() {
    local file
    file="$(shot "$1")"
    [[ "$(pixels count "$file" 0.4 "$(awk -v y="$2" 'BEGIN { print y - 0.02 }')" 0.6 \
          "$(awk -v y="$2" 'BEGIN { print y + 0.02 }')" "$3")" -gt 200 ]] || fail "$1: no $3 button at $2"
}

# The pointer rests off the buttons; the first Down shows the focus on the
# top button, the second moves it.
point 0.9 0.1
key Down
key Down
sleep 0.3
lit focus_tournament 0.6 green
[[ "$(pixels count "$(shot focus_tournament2)" 0.4 0.68 0.6 0.72 green)" -lt 50 ]] ||
    fail "the single-race button is still lit"

# Tournament set-up: Race, mode, players (no track row).  Right and Left
# step the players; Escape goes back.
key Return
key Down
key Down
key Right
[[ "$(pref nplayers)" == 2 ]] || fail "Right on players: nplayers $(pref nplayers)"
key Left
key Left
[[ "$(pref nplayers)" == 4 ]] || fail "Left on players (1 -> 4): nplayers $(pref nplayers)"
key Right
[[ "$(pref nplayers)" == 1 ]] || fail "Right on players (4 -> 1): nplayers $(pref nplayers)"
key Escape

# Main menu (focus on top again) -> options -> audio: Left lowers the
# music, Right raises it.
key Down
key Down
key Down
key Return
key Return
key Left
[[ "$(pref musicvolume)" == 192 ]] || fail "Left on the music volume: $(pref musicvolume)"
key Right
key Return
[[ "$(pref musicvolume)" == 224 ]] || fail "Right and Enter on the music volume: $(pref musicvolume)"
key Escape

# Controllers: the name on top, then accelerate.  Enter waits for a key;
# Escape gives up the wait and stays; the next wait binds B.
key Down
key Down
key Return
key Down
lit accelerate_focused 0.625 blue
key Return
key Escape
key Return
key b
[[ "$(pref player1ctrls | cut -d' ' -f1)" == 66 ]] || fail "accelerate by the keys: $(pref player1ctrls)"
# Down moves on to brake (the arrow binds nothing), whose wait binds N.
key Down
key Return
key n
[[ "$(pref player1ctrls | cut -d' ' -f1,3)" == "66 78" ]] || fail "brake by the keys: $(pref player1ctrls)"
key Escape
key Escape

# A pad: the d-pad down once to the focus, A into the single-race set-up,
# A again on Race.  tap DOWN UP: the hook's command DOWN, then UP after
# 0.1 s, well before a held d-pad would repeat (0.4 s).  press BUTTON [N]:
# pad N's button (Pad 1 unless given) down and up, by SDL's numbers (0 A,
# 1 B, 6 Start, 11 to 14 the d-pad's up, down, left, right).
tap() {
    echo "$1" >> "$PADS"
    sleep 0.1
    pad $2
}
press() { tap "button ${2:-1} $1 1" "button ${2:-1} $1 0"; }
pad attach
wait_for_log "Pad 1 connected: Virtual Controller" 5 || fail "no pad"
point 0.8 0.1   # the mouse takes the menus back
press 12   # d-pad down: the focus shows on single race again
press 0    # A
press 0    # A on Race
wait_for_log "Loading checkpoints" 10 || fail "the pad's A did not start the race"
sleep 2
race="$(shot race)"
press 6    # Start: the race menu
menu="$(shot race_menu)"
[[ "$(mean_brightness "$menu")" -lt "$(mean_brightness "$race")" ]] || fail "Start did not open the race menu"
press 1    # B: on with the race
sleep 0.3
[[ "$(mean_brightness "$(shot race_again)")" -gt "$(mean_brightness "$menu")" ]] || fail "B did not resume"
press 6
press 11   # d-pad up from Continue: round to Back
press 0
sleep 0.5
lit setup_again 0.7 green   # the set-up, its Race button focused

# A wheel (a plain joystick): its hat moves the focus, its accelerate
# button (SDL's 1) presses, its brake button (0) goes back.  Back to the
# main menu by the pad's B, through the options to the controllers' accelerate.
hat() { tap "hat 2 $1" "hat 2 0"; }
pad attach wheel
wait_for_log "Pad 2 connected" 5 || fail "no wheel"
press 1       # the pad's B: the main menu
hat 4
hat 4
hat 4
press 1 2     # the wheel's accelerate button: options
hat 4
hat 4
press 1 2     # controllers
hat 4
lit wheel_accelerate 0.625 blue
# A wait, given up by the pad's B (the screen stays), then one that binds M.
press 1 2     # wait
press 1       # the pad's B gives up
press 1 2     # wait again
key m
[[ "$(pref player1ctrls | cut -d' ' -f1,3)" == "77 78" ]] || fail "accelerate after B gave up a wait: $(pref player1ctrls)"

# Back twice by the wheel's brake button, up to Quit, pressed twice: the
# fade, then at once.
press 0 2
press 0 2
hat 1
press 1 2
press 1 2
wait_game_exit
grep -q "Framerate estimate" "$GAME_DIR/log.txt" || fail "no normal shut-down"
echo "PASS menus_keys"
