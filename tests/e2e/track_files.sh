# Tracks added by a player: a track made by quibbit-trackgen and a broken
# one (a stray word in its course, and a tiny heightmap for a second) are
# dropped into the copy's data folder.  The made track is listed and a
# computer race runs on it; the broken ones are left out and the log names
# their problems.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/menus_lib.sh"
trap 'kill_game; cleanup_game_dir' EXIT

make_game_dir
tracks="$GAME_DIR/data/tracks"
"$BUILD/quibbit-trackgen" --data "$GAME_DIR" --seed 42 --style hills made > /dev/null ||
    fail "quibbit-trackgen failed"
for kind in terrains textures; do
    cp "$tracks/$kind/meadow.tga" "$tracks/$kind/broken.tga"
done
printf '%s\n' '-0.8 -1.6 180 4' '8 -8 90 3' 'stray 8 0 3' > "$tracks/checkpoints/broken.txt"
cp "$tracks/textures/meadow.tga" "$tracks/textures/tiny.tga"
cp "$tracks/checkpoints/meadow.txt" "$tracks/checkpoints/tiny.txt"
# A 4 x 4 24-bit heightmap.
{ printf '\0\0\2\0\0\0\0\0\0\0\0\0\4\0\4\0\30\0'; head -c 48 /dev/zero; } > "$tracks/terrains/tiny.tga"

start_game --quit-after 600
kill_game
grep -qF 'MINOR ERROR (track): broken: course line 3: "stray" is not a number; the game reads no further.' \
    "$GAME_DIR/log.txt" || fail "the log does not name the broken course's line"
grep -qF 'MINOR ERROR (track): tiny: the heightmap is 4 x 4 pixels; it must be 64 x 64.' "$GAME_DIR/log.txt" ||
    fail "the log does not name the tiny heightmap"
grep -q 'MINOR ERROR (track): made' "$GAME_DIR/log.txt" && fail "the made track has problems"

# The listed tracks: every terrain but the two broken ones, sorted.
mapfile -t listed < <(ls "$tracks/terrains" | sed 's/\.tga$//' | grep -vx -e broken -e tiny | sort)
index=-1
for ((i = 0; i < ${#listed[@]}; i++)); do
    [[ "${listed[$i]}" == made ]] && index=$i
done
((index >= 0)) || fail "made is not among the terrains"
# A checkpoint race of computer cars on the made track.
sed -i "s/^track .*/track $index/; s/^gamemode .*/gamemode 1/; s/^nopponents .*/nopponents 4/" \
    "$GAME_DIR/data/prefs.txt"
start_game --demo
wait_for_log "Loading checkpoints: data/tracks/checkpoints/made.txt" 20 || fail "the made track was not raced"
sleep 5
first="$(shot made_race_1)"
sleep 2
second="$(shot made_race_2)"
cmp -s "$first" "$second" && fail "nothing moves in the race on the made track"
grep -q 'checkpoints/broken\|checkpoints/tiny' "$GAME_DIR/log.txt" && fail "a broken track was loaded"
kill_game
echo "PASS: track_files"
