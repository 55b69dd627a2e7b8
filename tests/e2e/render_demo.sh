# The race as a player sees it, from `--demo` runs in a 1024 x 768 window:
# F12 screenshots of one, two, three and four views, the models loaded once,
# nothing written to the preferences, a normal end after --quit-after.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/menus_lib.sh"
trap 'kill_game; cleanup_game_dir' EXIT

# expect_at_least N FILE X0 Y0 X1 Y1 KIND MESSAGE
expect_at_least() {
    local n
    n="$(pixels count "$2" "$3" "$4" "$5" "$6" "$7")"
    [[ "$n" -ge "$1" ]] || fail "$8 ($n pixels of $7, expected at least $1)"
}

# demo_prefs PLAYERS SCREENMODE: five cars, the "Tag!" mode, shadows and dust on.
demo_prefs() {
    printf 'shadows 1\nshadow_resolution 64\nparticles 1\nnplayers %d\nnopponents %d\nscreenmode %d\ngamemode 0\n' \
        "$1" "$((5 - $1))" "$2" > "$GAME_DIR/data/prefs.txt"
}

# 1. One view with the default preferences (no file): sky above, ground
#    below, player 1's blue car in the middle; the models are read once,
#    no preferences file appears and the game ends normally.
make_game_dir
start_game --demo --quit-after 10
sleep 3
s="$(shot one_view)"
[[ "$(tga_size "$s")" == "1024 768" ]] || fail "screenshot size"
expect_at_least 20000 "$s" 0 0.8 1 1 sky "no sky at the top"
expect_at_least 20000 "$s" 0 0 1 0.4 ground "no ground at the bottom"
expect_at_least 500 "$s" 0.3 0.1 0.7 0.6 blue "player 1's car is not in the middle"
wait_game_exit
for model in body MP_body wheel MP_wheel LP_wheel LP_body arrow sky checkpoint head; do
    [[ "$(grep -c "Loading model: data/models/$model.3ds" "$GAME_DIR/log.txt")" -eq 1 ]] || fail "model $model"
done
grep -q "^ERROR" "$GAME_DIR/log.txt" && fail "an error in the log"
grep -q "Framerate estimate: " "$GAME_DIR/log.txt" || fail "no normal shut-down"
[[ -e "$GAME_DIR/data/prefs.txt" ]] && fail "the demo wrote data/prefs.txt"
cleanup_game_dir

# 2. Two players in halves: player 1 (blue) below, player 2 (green) above;
#    the preferences file stays as it was.
make_game_dir
demo_prefs 2 1
cp "$GAME_DIR/data/prefs.txt" "$GAME_DIR/prefs.before"
start_game --demo --quit-after 9
sleep 3
s="$(shot two_views)"
expect_at_least 300 "$s" 0.2 0 0.8 0.5 blue "player 1's car is not in the bottom half"
expect_at_least 300 "$s" 0.2 0.5 0.8 1 green "player 2's car is not in the top half"
expect_at_least 5000 "$s" 0 0.4 1 0.5 sky "no sky at the top of the bottom view"
wait_game_exit
cmp -s "$GAME_DIR/prefs.before" "$GAME_DIR/data/prefs.txt" || fail "the demo changed data/prefs.txt"
cleanup_game_dir

# 3. Three players in quarters: the bottom-right quarter shows the overview
#    map (the ground picture, nothing left in the clear haze), the other three show their
#    players' cars (blue, green, red).
make_game_dir
demo_prefs 3 2
start_game --demo --quit-after 9
sleep 3
s="$(shot three_views)"
q=$(( 512 * 384 ))
expect_at_least $(( q / 4 )) "$s" 0.5 0 1 0.5 ground "no map in the fourth quarter"
[[ "$(pixels count "$s" 0.5 0 1 0.5 haze)" -lt 100 ]] || fail "the fourth quarter is left in the clear haze"
expect_at_least 100 "$s" 0 0.5 0.5 1 blue "player 1 (top left)"
expect_at_least 100 "$s" 0.5 0.5 1 1 green "player 2 (top right)"
expect_at_least 100 "$s" 0 0 0.5 0.5 red "player 3 (bottom left)"
wait_game_exit
cleanup_game_dir

# 4. Four players: every quarter has sky and ground.
make_game_dir
demo_prefs 4 2
start_game --demo --quit-after 9
sleep 3
s="$(shot four_views)"
for quarter in "0 0" "0.5 0" "0 0.5" "0.5 0.5"; do
    set -- $quarter
    x1=$(awk -v a="$1" 'BEGIN { print a + 0.5 }')
    y1=$(awk -v a="$2" 'BEGIN { print a + 0.5 }')
    expect_at_least 2000 "$s" "$1" "$2" "$x1" "$y1" sky "no sky in quarter $quarter"
    expect_at_least 2000 "$s" "$1" "$2" "$x1" "$y1" ground "no ground in quarter $quarter"
done
wait_game_exit
cleanup_game_dir

# 5. The benchmarks' pass meter (QUIBBIT_PASS_TIMES): a time for each of the
#    thirteen passes and, on the software renderer, fragments and vertices
#    counted for them, the ground's and the cars' among them; the race still
#    ends normally.
make_game_dir
demo_prefs 1 0
QUIBBIT_PASS_TIMES=1 start_game --demo --quit-after 5
wait_game_exit
times="$(sed -n 's/^Pass times, ms per frame: //p' "$GAME_DIR/log.txt")"
[[ "$(tr ',' '\n' <<< "$times" | grep -c '^ *[a-z]* [0-9]*\.[0-9][0-9]$')" -eq 13 ]] || fail "pass times: $times"
if grep -q "^llvmpipe" "$GAME_DIR/log.txt"; then  # the renderer these scripts run on has the counters
    counts="$(sed -n 's/^Pass counts, thousand fragments\/vertices per frame: //p' "$GAME_DIR/log.txt")"
    [[ "$(tr ',' '\n' <<< "$counts" | grep -c '^ *[a-z]* [0-9]*/[0-9]*\.[0-9]$')" -eq 13 ]] || fail "pass counts: $counts"
    for pass in terrain cars; do
        grep -Eq "(^|, )$pass [1-9][0-9]*/[1-9]" <<< "$counts" || fail "no fragments or vertices counted for $pass: $counts"
    done
fi
# The frame meter's line: the game's own thread used some of the
# processor time, never more than the whole process.
meter="$(grep '^Race frames: ' "$GAME_DIR/log.txt" | tail -n 1)"
read -r process thread <<< "$(sed -n 's/.* \([0-9.]*\) ms processor time per frame ([0-9.]* cores), \([0-9.]*\) ms on the game.s thread$/\1 \2/p' <<< "$meter")"
[[ -n "$thread" ]] || fail "no game thread time: $meter"
awk -v p="$process" -v t="$thread" 'BEGIN { exit !(t > 0 && t <= p) }' || fail "game thread time out of range: $meter"
# The longest frame is at least the mean frame and falls within the race.
fps="$(sed -n 's/.* s: \([0-9.]*\) fps,.*/\1/p' <<< "$meter")"
longest="$(grep '^Longest race frame: ' "$GAME_DIR/log.txt" | tail -n 1)"
read -r ms at <<< "$(sed -n 's/^Longest race frame: \([0-9.]*\) ms, \([0-9.]*\) s into the race frames$/\1 \2/p' <<< "$longest")"
[[ -n "$at" && -n "$fps" ]] || fail "no longest frame: $longest"
awk -v f="$fps" -v ms="$ms" -v at="$at" 'BEGIN { exit !(ms * f >= 990 && at > 0 && at <= 5.5) }' \
    || fail "longest frame out of range: $longest ($meter)"
grep -q "^ERROR" "$GAME_DIR/log.txt" && fail "an error in the log"
echo "render_demo: ok"
