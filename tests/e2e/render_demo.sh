# The race as a player sees it, from `--demo` runs in a 1024 x 768 window:
# F12 screenshots of one, two, three and four views, the models loaded once,
# nothing written to the preferences, a normal end after --quit-after.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/menus_lib.sh"
trap 'kill_game; cleanup_game_dir' EXIT

# count FILE X0 Y0 X1 Y1 KIND: pixels of the layout rectangle (window
# fractions, y from the bottom) that are KIND: red, green, blue (that
# channel above 60 and twice each other one), sky (blue above red by 30),
# grey (the clear colour 128 +- 1) or ground (red above blue by 15).
count() {
    python3 - "$@" <<'PY'
import sys
f, x0, y0, x1, y1, kind = sys.argv[1], *map(float, sys.argv[2:6]), sys.argv[6]
d = open(f, "rb").read()
w, h = d[12] | d[13] << 8, d[14] | d[15] << 8
n = 0
for y in range(int(y0 * h), int(y1 * h)):
    for x in range(int(x0 * w), int(x1 * w)):
        o = 18 + d[0] + (y * w + x) * 3
        b, g, r = d[o], d[o + 1], d[o + 2]
        c = {"red": r, "green": g, "blue": b}
        if kind in c:
            v = c[kind]
            others = [c[k] for k in c if k != kind]
            n += v > 60 and all(v > 2 * o2 for o2 in others)
        elif kind == "sky":
            n += b > r + 30
        elif kind == "grey":
            n += all(abs(v - 128) <= 1 for v in (r, g, b))
        elif kind == "ground":
            n += r > b + 15
print(n)
PY
}

# expect_at_least N FILE X0 Y0 X1 Y1 KIND MESSAGE
expect_at_least() {
    local n
    n="$(count "$2" "$3" "$4" "$5" "$6" "$7")"
    [[ "$n" -ge "$1" ]] || fail "$8 ($n pixels of $7, expected at least $1)"
}

# race_shot NAME: an F12 screenshot of the race, the key held until the file
# appears (a race frame can take a good part of a second on a software
# renderer); prints its path.
race_shot() {
    local dir="$GAME_DIR/data/screenshots" before i file
    before="$(ls "$dir" 2>/dev/null | wc -l)"
    xdotool keydown F12
    for ((i = 0; i < 100; i++)); do
        [[ "$(ls "$dir" 2>/dev/null | wc -l)" -gt "$before" ]] && break
        sleep 0.1
    done
    xdotool keyup F12
    [[ "$(ls "$dir" 2>/dev/null | wc -l)" -gt "$before" ]] || fail "no screenshot for $1"
    sleep 0.5  # the file is complete once the next frame runs
    file="$dir/$(ls "$dir" | sort | tail -n 1)"
    if [[ -n "$SHOTS" ]]; then
        mkdir -p "$SHOTS"
        convert "$file" -flip "$SHOTS/$1.png" 2>/dev/null || true
    fi
    echo "$file"
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
start_game --demo --quit-after 15
sleep 3
s="$(race_shot one_view)"
[[ "$(tga_size "$s")" == "1024 768" ]] || fail "screenshot size"
expect_at_least 20000 "$s" 0 0.8 1 1 sky "no sky at the top"
expect_at_least 20000 "$s" 0 0 1 0.4 ground "no ground at the bottom"
expect_at_least 500 "$s" 0.3 0.1 0.7 0.6 blue "player 1's car is not in the middle"
wait_game_exit
for model in body wheel LP_body arrow sky checkpoint head; do
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
start_game --demo --quit-after 12
sleep 3
s="$(race_shot two_views)"
expect_at_least 300 "$s" 0.2 0 0.8 0.5 blue "player 1's car is not in the bottom half"
expect_at_least 300 "$s" 0.2 0.5 0.8 1 green "player 2's car is not in the top half"
expect_at_least 5000 "$s" 0 0.4 1 0.5 sky "no sky at the top of the bottom view"
wait_game_exit
cmp -s "$GAME_DIR/prefs.before" "$GAME_DIR/data/prefs.txt" || fail "the demo changed data/prefs.txt"
cleanup_game_dir

# 3. Three players in quarters: the bottom-right quarter shows the overview
#    map (the ground picture, no clear grey), the other three show their
#    players' cars (blue, green, red).
make_game_dir
demo_prefs 3 2
start_game --demo --quit-after 12
sleep 3
s="$(race_shot three_views)"
q=$(( 512 * 384 ))
expect_at_least $(( q / 4 )) "$s" 0.5 0 1 0.5 ground "no map in the fourth quarter"
[[ "$(count "$s" 0.5 0 1 0.5 grey)" -lt 100 ]] || fail "the fourth quarter is left grey"
expect_at_least 100 "$s" 0 0.5 0.5 1 blue "player 1 (top left)"
expect_at_least 100 "$s" 0.5 0.5 1 1 green "player 2 (top right)"
expect_at_least 100 "$s" 0 0 0.5 0.5 red "player 3 (bottom left)"
wait_game_exit
cleanup_game_dir

# 4. Four players: every quarter has sky and ground.
make_game_dir
demo_prefs 4 2
start_game --demo --quit-after 12
sleep 3
s="$(race_shot four_views)"
for quarter in "0 0" "0.5 0" "0 0.5" "0.5 0.5"; do
    set -- $quarter
    x1=$(awk -v a="$1" 'BEGIN { print a + 0.5 }')
    y1=$(awk -v a="$2" 'BEGIN { print a + 0.5 }')
    expect_at_least 2000 "$s" "$1" "$2" "$x1" "$y1" sky "no sky in quarter $quarter"
    expect_at_least 2000 "$s" "$1" "$2" "$x1" "$y1" ground "no ground in quarter $quarter"
done
wait_game_exit
echo "render_demo: ok"
