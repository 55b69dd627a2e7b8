# A tournament through every shipped track with the results' continue
# button: the races are shortened through the preferences (a tag race of
# one second), each continue loads the next track in list order, the last
# results offer no continue, back leads to the tournament set-up, and the
# single-race track chosen before is still the saved one.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/menus_lib.sh"
trap 'kill_game; cleanup_game_dir' EXIT

make_game_dir
mapfile -t tracks < <(ls "$GAME_DIR"/data/tracks/terrains/*.tga | sort | xargs -n 1 basename | sed 's/\.tga$//')
[[ ${#tracks[@]} -ge 2 ]] || fail "the data holds fewer than two tracks"
start_game --quit-after 600
kill_game
# Short tag races, track 1 chosen (a tournament starts at track 0 anyway).
sed -i 's/^timelimit .*/timelimit 1/; s/^gamemode .*/gamemode 0/; s/^track .*/track 1/' "$GAME_DIR/data/prefs.txt"
start_game

click 0.5 0.6     # tournament
click 0.5 0.7     # race
for ((t = 0; t < ${#tracks[@]}; t++)); do
    wait_for_log "Loading checkpoints: data/tracks/checkpoints/${tracks[$t]}.txt" 10 ||
        fail "track $t (${tracks[$t]}) was not loaded"
    [[ "$(grep -c 'Loading checkpoints' "$GAME_DIR/log.txt")" -eq $((t + 1)) ]] || fail "tracks out of order"
    # The race ends (its recording is written), then "Race over" stands for
    # two seconds before the results' buttons act.
    for ((i = 0; i < 300; i++)); do
        [[ "$(grep -c 'Race recorded' "$GAME_DIR/log.txt")" -gt $t ]] && break
        sleep 0.1
    done
    sleep 2.5
    point 0.5 0.9
    shot "tournament_$t" > /dev/null
    if ((t + 1 < ${#tracks[@]})); then
        click 0.5 0.4  # continue
    fi
done
# The last results: no continue button.
click 0.5 0.4
sleep 1
[[ "$(grep -c 'Loading checkpoints' "$GAME_DIR/log.txt")" -eq ${#tracks[@]} ]] ||
    fail "continue offered after the last track"
click 0.5 0.3     # back: the tournament set-up (no track button)
sleep 0.7
players_before="$(pref nplayers)"
click 0.5 0.575   # players 1 -> 2 (no track row: players moved up) proves the set-up screen and saves
# The single-race set-up's track and mode are saved as chosen, whatever the
# tournament ran; a track button under the click would have stepped the track.
[[ "$(pref track)" == 1 ]] || fail "the saved track is $(pref track), not the chosen 1"
[[ "$(pref gamemode)" == 0 ]] || fail "the saved game mode changed"
[[ "$(pref nplayers)" == $((players_before % 4 + 1)) ]] || fail "back did not lead to the tournament set-up"
shot tournament_setup_after > /dev/null
click 0.5 0.3
click 0.5 0.2
wait_game_exit
echo "menus_tournament: ok"
