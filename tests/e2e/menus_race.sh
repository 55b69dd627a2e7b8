# Single races from the menus as a player plays them: the set-up buttons
# change and save the preferences, the race button loads the chosen track,
# Escape opens the race menu over the dimmed race, restart and Escape go
# back to the race, so does the keyboard going to another window, back
# leads to the single-race set-up; a short tag race
# ends on the results screen, whose back button returns to the set-up.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/menus_lib.sh"
trap 'kill_game; cleanup_game_dir' EXIT

make_game_dir
tracks=("$GAME_DIR"/data/tracks/terrains/*.tga)
track_count=${#tracks[@]}
[[ $track_count -ge 2 ]] || fail "the data holds fewer than two tracks"
start_game

# Main menu -> single-race set-up.
click 0.5 0.7
[[ "$(pref gamemode)" == 0 && "$(pref nplayers)" == 1 && "$(pref nopponents)" == 1 ]] ||
    fail "unexpected default preferences"
click 0.5 0.625   # mode: Checkpoint
[[ "$(pref gamemode)" == 1 ]] || fail "mode button: gamemode $(pref gamemode)"
click 0.5 0.375   # laps (the checkpoint mode's length button): 3 -> 4
[[ "$(pref laps)" == 4 ]] || fail "laps button: $(pref laps)"
click 0.5 0.625   # back to Tag!
click 0.5 0.375   # time limit: 60 -> 10
[[ "$(pref timelimit)" == 10 && "$(pref laps)" == 4 ]] || fail "time limit button: $(pref timelimit)"
track_before="$(pref track)"
click 0.5 0.575   # next track
[[ "$(pref track)" == $(( (track_before + 1) % track_count )) ]] || fail "track button: $(pref track)"
click 0.5 0.525   # players 1 -> 2
click 0.5 0.475   # opponents 1 -> 2
click 0.5 0.475   # 2 -> 3
click 0.5 0.525   # players 3: opponents lowered to 2
[[ "$(pref nplayers)" == 3 && "$(pref nopponents)" == 2 ]] ||
    fail "players/opponents: $(pref nplayers)/$(pref nopponents)"
click 0.5 0.425   # difficulty: Medium
[[ "$(pref opponentskill)" == 1 ]] || fail "difficulty: $(pref opponentskill)"
setup_shot="$(shot setup_single)"
point 0.5 0.1     # no button under the pointer
shot setup_single_idle > /dev/null
click 0.5 0.525   # players 3 -> 4: room for one opponent
[[ "$(pref nplayers)" == 4 && "$(pref nopponents)" == 1 ]] || fail "players 3 -> 4"
click 0.5 0.475   # opponents with four players: 1 -> 0
[[ "$(pref nopponents)" == 0 ]] || fail "opponents with four players"
click 0.5 0.525   # 4 -> 1
click 0.5 0.475   # opponents 0 -> 1
click 0.5 0.475   # 1 -> 2
[[ "$(pref nplayers)" == 1 && "$(pref nopponents)" == 2 ]] || fail "players 4 -> 1, opponents 2: $(pref nplayers) $(pref nopponents)"

# Race on the chosen track, a tag race of 10 seconds.
track_index="$(pref track)"
track_name="$(basename "$(ls "$GAME_DIR"/data/tracks/terrains/*.tga | sort | sed -n "$((track_index + 1))p")" .tga)"
click 0.5 0.7
wait_for_log "Loading checkpoints: data/tracks/checkpoints/$track_name.txt" 10 || fail "race did not load $track_name"
sleep 1.5
race_shot="$(shot race)"
# Only the music that plays is loaded: the race music when the race starts,
# after the menu music read at start-up.
awk '/Loading seffect: data\/music\/menu.wav/ && !menu { menu = NR }
     /Loading seffect: data\/music\/race.wav/ { race = NR; n++ } /Loading checkpoints/ { track = NR }
     END { exit !(menu && menu < track && track < race && n == 1) }' "$GAME_DIR/log.txt" ||
    fail "the race music was not read once when the race started"
key Escape
menu_shot="$(shot race_menu)"
[[ "$(mean_brightness "$menu_shot")" -lt "$(mean_brightness "$race_shot")" ]] || fail "race menu not dimmed"
click 0.5 0.4     # restart
sleep 0.5
restarted_shot="$(shot restarted)"
[[ "$(mean_brightness "$restarted_shot")" -gt "$(mean_brightness "$menu_shot")" ]] || fail "restart did not resume"
key Escape        # the race menu again
key Escape        # and back to the race
sleep 0.3
again_shot="$(shot race_again)"
[[ "$(mean_brightness "$again_shot")" -gt "$(mean_brightness "$menu_shot")" ]] || fail "Escape did not resume"
# The keyboard given to another window (the root, the display's only other
# one) and back: the race waits in its menu.
xdotool windowfocus "$(xdotool search --maxdepth 0 --name '')"
sleep 0.3
xdotool windowfocus "$WIN_ID"
focus_shot="$(shot focus_lost)"
[[ "$(mean_brightness "$focus_shot")" -lt "$(mean_brightness "$again_shot")" ]] ||
    fail "losing the keyboard did not open the race menu"
key Escape        # back to the race
key Escape
click 0.5 0.3     # back: the single-race set-up
sleep 0.7         # let the screen brighten from black
shot setup_after_race > /dev/null
[[ "$(grep -c 'Loading seffect: data/music/menu.wav' "$GAME_DIR/log.txt")" -eq 2 ]] ||
    fail "the menu music was not read again back in the menus"
track_before="$(pref track)"
click 0.5 0.575   # the track button exists only on the single-race set-up
[[ "$(pref track)" != "$track_before" ]] || fail "back from the race menu did not lead to the single-race set-up"

# A short race to its end: the results, then back to the same set-up.
sed -i 's/^timelimit .*/timelimit 1/' "$GAME_DIR/data/prefs.txt"
kill_game
start_game
click 0.5 0.7
click 0.5 0.7
wait_for_log "Loading checkpoints" 10 || fail "second race did not start"
wait_for_log "Race recorded" 30 || fail "the short race did not end"
sleep 2.5         # "Race over", then the results
results_shot="$(shot results)"
click 0.5 0.4     # no continue button after a single race
sleep 0.5
[[ "$(grep -c 'Loading checkpoints' "$GAME_DIR/log.txt")" -eq 1 ]] || fail "continue offered after a single race"
click 0.5 0.3     # back
sleep 0.7
track_before="$(pref track)"
click 0.5 0.575
[[ "$(pref track)" != "$track_before" ]] || fail "back from the results did not lead to the single-race set-up"
click 0.5 0.3     # main menu
click 0.5 0.2     # quit
wait_game_exit

# Without a usable track the race buttons do nothing.
rm -f "$GAME_DIR"/data/tracks/terrains/*.tga
start_game
click 0.5 0.7     # single race
click 0.5 0.7     # race: nothing
sleep 1
click 0.5 0.525   # still on the set-up screen: players changes
[[ "$(pref nplayers)" == 2 ]] || fail "no set-up screen after a race button without tracks"
click 0.5 0.3
click 0.5 0.6     # tournament
click 0.5 0.7     # race: nothing
sleep 1
point 0.5 0.1
shot no_tracks > /dev/null
grep -q "Loading checkpoints" "$GAME_DIR/log.txt" && fail "a race started without tracks"
click 0.5 0.3
click 0.5 0.2
wait_game_exit
echo "menus_race: ok"
