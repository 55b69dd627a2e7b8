# Start-up image, intro and screenshots as a player sees them: the splash
# in the bottom-right corner of a white screen while the intro plays (the
# only grab of the window: import can hang on a window that is busy drawing
# frames), F12 screenshots (one per press, numbered), and a start without
# any sound file when sound is off or the device cannot be opened.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/menus_lib.sh"
trap 'kill_game; cleanup_game_dir' EXIT

# window_grab FILE: the window's contents as the display shows them (PNG).
# import now and then waits for an event of the busy window that never
# comes; such a grab is given up and tried again.
window_grab() {
    local i
    for ((i = 0; i < 4; i++)); do
        timeout 15 import -window "$WIN_ID" "$1" 2>/dev/null && return 0
    done
    fail "cannot grab the window"
}

# count_in_png FILE X0 Y0 X1 Y1 KIND: pixels of the rectangle (window
# fractions, y from the bottom) that are KIND: white (all above 250) or
# notwhite.
count_in_png() {
    local geometry
    geometry="$(awk -v x0="$2" -v y0="$3" -v x1="$4" -v y1="$5" -v w="$WIN_W" -v h="$WIN_H" \
        'BEGIN { printf "%dx%d+%d+%d", (x1 - x0) * w, (y1 - y0) * h, x0 * w, (1 - y1) * h }')"
    convert "$1" -crop "$geometry" +repage -depth 8 rgb:- | python3 -c '
import sys
kind, d = sys.argv[1], sys.stdin.buffer.read()
n = 0
for i in range(0, len(d) - 2, 3):
    r, g, b = d[i], d[i + 1], d[i + 2]
    white = r > 250 and g > 250 and b > 250
    if kind == "white": n += white
    elif kind == "notwhite": n += not white
print(n)' "$6"
}

# 1. The splash while the intro plays: white all over but for the logo in
#    its corner rectangle (0.6875 .. 1 across, 0.02 .. 0.1033 up).
make_game_dir
rm -f "$GAME_DIR/log.txt"
(cd "$GAME_DIR" && exec ./quibbit --quit-after 120) &
GAME_PID=$!
WIN_ID="$(game_window)" || fail "no game window"
wait_for_log "Loading seffect: data/music/intro.wav" 20 || fail "the intro was not loaded"
sleep 0.3
window_grab /tmp/quibbit-splash.$$.png
[[ -n "$SHOTS" ]] && { mkdir -p "$SHOTS"; cp /tmp/quibbit-splash.$$.png "$SHOTS/splash.png"; }
logo_ink="$(count_in_png /tmp/quibbit-splash.$$.png 0.6875 0.02 1.0 0.1033 notwhite)"
left_white="$(count_in_png /tmp/quibbit-splash.$$.png 0.0 0.0 0.68 1.0 white)"
top_white="$(count_in_png /tmp/quibbit-splash.$$.png 0.68 0.11 1.0 1.0 white)"
rm -f /tmp/quibbit-splash.$$.png
[[ "$logo_ink" -gt 2000 ]] || fail "no logo in the bottom-right corner ($logo_ink pixels)"
[[ "$left_white" -ge $((696 * 768 - 10)) ]] || fail "the splash screen is not white ($left_white)"
[[ "$top_white" -ge $((327 * 683 - 10)) ]] || fail "the splash screen is not white above the logo"
wait_for_log "Loading texture: data/fonts/key.tga" 20 || fail "start-up did not go on after the intro"
log="$GAME_DIR/log.txt"
for line in "Loading texture: data/bg/logo.tga" "Initializing sound" \
            "Loading seffect: data/music/intro.wav"; do
    grep -qxF -- "$line" "$log" || fail "log lacks '$line'"
done
awk '/Loading texture: data\/bg\/logo.tga/ { logo = NR } /Loading prefs/ && !prefs { prefs = NR }
     /Initializing sound/ { sound = NR } /Loading seffect: data\/music\/intro.wav/ { intro = NR }
     END { exit !(logo < prefs && prefs < sound && sound < intro) }' "$log" ||
    fail "start-up order: logo, preferences, sound, intro"

# 2. F12 held for a second writes one screenshot of the window, the next
#    press the next number.
[[ -z "$(ls "$GAME_DIR/data/screenshots")" ]] || fail "screenshots folder not empty"
# The menu brightens from black over its first half second: wait until the
# last start-up file is loaded and the intro has ended, then a little more.
wait_for_log "Loading model: data/models/head.3ds" 60 || fail "start-up did not finish"
sleep 5
# Held until the file appears (the first frames may still be loading on a
# busy machine), then a second and a half longer.  Keys go to the window
# under the pointer.
point 0.5 0.6
xdotool keydown F12
for ((i = 0; i < 100; i++)); do
    [[ -f "$GAME_DIR/data/screenshots/000.tga" ]] && break
    sleep 0.1
done
sleep 1.5
xdotool keyup F12
sleep 0.5
[[ "$(ls "$GAME_DIR/data/screenshots")" == "000.tga" ]] ||
    fail "holding F12: $(ls "$GAME_DIR/data/screenshots" | tr '\n' ' ')"
first="$GAME_DIR/data/screenshots/000.tga"
[[ "$(tga_size "$first")" == "1024 768" ]] || fail "screenshot size $(tga_size "$first")"
[[ "$(stat -c %s "$first")" -eq $((18 + 1024 * 768 * 3)) ]] || fail "screenshot file size"
[[ "$(head -c 18 "$first" | od -An -tu1 -w18 | tr -s ' ')" == " 0 0 2 0 0 0 0 0 0 0 0 0 0 4 0 3 24 0" ]] ||
    fail "screenshot header"
[[ -n "$SHOTS" ]] && convert "$first" -flip "$SHOTS/f12.png" 2>/dev/null
grep -qxF "Saving: data/screenshots/000.tga" "$log" || fail "no 'Saving:' line"
# A picture of the game, not of nothing: not one flat colour.
[[ "$(pixels colours "$first")" -gt 5 ]] || fail "the screenshot is one flat colour"
[[ "$(basename "$(shot next)")" == 001.tga ]] || fail "the next F12 did not write 001.tga"
kill -TERM "$GAME_PID"  # a close request: the normal shut-down
wait_game_exit

# 3. Sound off: no music or effect file is needed.
rm -rf "$GAME_DIR/data/music" "$GAME_DIR/data/seffects"
printf 'audiodevice 0\n' >> "$GAME_DIR/data/config.txt"
(cd "$GAME_DIR" && ./quibbit --quit-after 3) || fail "exit code $? with audiodevice 0"
grep -q "ERROR" "$log" && fail "an error with audiodevice 0"
grep -q "Initializing sound\|Loading seffect" "$log" && fail "sound was started with audiodevice 0"
grep -q "Framerate estimate: " "$log" || fail "no normal shut-down with audiodevice 0"
grep -qx "audiodevice 0" "$GAME_DIR/data/config.txt" || fail "audiodevice 0 not kept"

# 4. A device that cannot be opened: the error line, then a silent game
#    that needs no sound file either and leaves the setting alone.
sed -i '/^audiodevice/d' "$GAME_DIR/data/config.txt"
(cd "$GAME_DIR" && SDL_AUDIODRIVER=no-such-driver ./quibbit --quit-after 3) ||
    fail "exit code $? without a sound device"
grep -qx "ERROR: Unable to initialize sound" "$log" || fail "no sound error line"
grep -q "Loading seffect" "$log" && fail "samples loaded without a device"
grep -q "Framerate estimate: " "$log" || fail "no normal shut-down without a sound device"
grep -q "^audiodevice" "$GAME_DIR/data/config.txt" && fail "the failed device was saved as off"
echo "screenshot: ok"
