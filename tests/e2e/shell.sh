# The shell: start-up writes the log and the default settings, --quit-after
# and a close request shut down normally, a display mode that does not exist
# falls back to one that does.
source "$(dirname "$0")/lib.sh"
trap cleanup_game_dir EXIT

# 1. Windowed start without preferences: log lines, default prefs written,
#    normal shut-down after --quit-after with exit code 0.
make_game_dir
(cd /tmp && "$GAME_DIR/quibbit" --quit-after 3) || fail "exit code $? after --quit-after"
log="$GAME_DIR/log.txt"
[[ -f "$log" ]] || fail "no log.txt beside the executable"
for line in "Quibbit v1.0" "Loading configuration: data/config.txt" "Initializing OpenGL" \
            "MINOR ERROR (not found): data/prefs.txt [using defaults]" "Saving prefs: data/prefs.txt" \
            "Loading prefs: data/prefs.txt" "Framerate estimate: "; do
    grep -qF -- "$line" "$log" || fail "log lacks '$line'"
done
head -n 1 "$log" | grep -qx -- "-------------------------------------------------------" || fail "log header"
[[ "$(wc -l < "$GAME_DIR/data/prefs.txt")" -eq 37 ]] || fail "default prefs.txt is not 37 lines"
grep -qx "player6name 192.168.0.2" "$GAME_DIR/data/prefs.txt" || fail "prefs.txt has no player6name line"
[[ "$(tail -n 1 "$GAME_DIR/data/prefs.txt")" == "targetfps 0" ]] || fail "prefs.txt last line"

# 2. A second start leaves only its own lines in the log.
(cd "$GAME_DIR" && ./quibbit --quit-after 2) || fail "second start"
[[ "$(grep -c 'Quibbit v1.0' "$log")" -eq 1 ]] || fail "log not started afresh"
grep -q "MINOR ERROR" "$log" && fail "second start found no prefs.txt"

# 3. A close request (SDL turns SIGTERM into one) ends the program with 0.
"$GAME_DIR/quibbit" &
pid=$!
game_window > /dev/null || fail "no game window"
sleep 1
kill -TERM "$pid"
wait "$pid" || fail "exit code $? after a close request"
grep -q "Framerate estimate: " "$log" || fail "no normal shut-down after a close request"

# 4. No configuration: the defaults are written (four lines); the
#    full-screen 800 x 600 mode, which this display lacks, falls back.
rm -f "$GAME_DIR/data/config.txt"
"$GAME_DIR/quibbit" --quit-after 5 || fail "exit code $? without a configuration"
printf 'width 800\nheight 600\ndepth 32\nframeratecounter 1\n' | cmp -s - "$GAME_DIR/data/config.txt" ||
    fail "default config.txt differs"
if xdpyinfo 2>/dev/null | grep -q "800x600 pixels"; then
    echo "note: this display offers 800x600, the full-screen fallback is not checked"
else
    grep -q "^MINOR ERROR (display mode not available): 800x600 full screen \[using " "$log" ||
        fail "no fallback line"
fi
echo "shell: ok"
