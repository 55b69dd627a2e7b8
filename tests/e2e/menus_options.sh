# The options screens driven as a player would: volume clicks on either
# half of their buttons, the graphics settings, an unapplied resolution
# forgotten by back (window_rebuild.sh applies them), and the controller
# screen: name entry, key binding by hovering and pressing, steering devices
# and the camera key; F12, which binds nothing, and Escape, which binds
# nothing and goes back a screen.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/menus_lib.sh"
trap 'kill_game; cleanup_game_dir' EXIT

make_game_dir
start_game
click 0.5 0.4     # options

# Audio: 224 -> right half stays at 100 % -> left half 192 -> right half 224.
click 0.5 0.575
click 0.6 0.575
[[ "$(pref musicvolume)" == 224 ]] || fail "music volume above 100 %: $(pref musicvolume)"
click 0.4 0.575
[[ "$(pref musicvolume)" == 192 ]] || fail "music volume left half: $(pref musicvolume)"
click 0.6 0.575
click 0.4 0.575
[[ "$(pref musicvolume)" == 192 ]] || fail "music volume right half: $(pref musicvolume)"
click 0.3 0.525
[[ "$(pref soundeffectsvolume)" == 192 && "$(pref musicvolume)" == 192 ]] ||
    fail "effects volume: $(pref soundeffectsvolume)"
point 0.5 0.1
shot audio > /dev/null
click 0.5 0.3     # back to the hub

# Graphics: shadows, dust, terrain detail, frame-rate counter, target frame rate.
click 0.5 0.525
[[ "$(pref shadow_resolution)" == 64 ]] || fail "default shadows"
click 0.5 0.555
[[ "$(pref shadow_resolution)" == 128 && "$(pref shadows)" == 1 ]] || fail "shadows 64 -> 128"
click 0.5 0.555
[[ "$(pref shadow_resolution)" == 0 && "$(pref shadows)" == 0 ]] || fail "shadows 128 -> off"
click 0.5 0.555
[[ "$(pref shadow_resolution)" == 1 && "$(pref shadows)" == 1 ]] || fail "shadows off -> static"
click 0.5 0.51
[[ "$(pref particles)" == 0 ]] || fail "dust"
click 0.5 0.465
[[ "$(pref terrain_pixelskip)" == 2 ]] || fail "terrain detail"
click 0.5 0.42
[[ "$(config_value frameratecounter)" == 0 ]] || fail "frame-rate counter"
click 0.5 0.42
[[ "$(config_value frameratecounter)" == 1 ]] || fail "frame-rate counter back on"
for want in 30 45 60 0; do
    click 0.5 0.375
    [[ "$(pref targetfps)" == "$want" ]] || fail "target frame rate $want: $(pref targetfps)"
done

# A resolution chosen and forgotten: back, graphics again, apply is gone.
click 0.5 0.69   # 1024 x 768 -> the next size the display reports, pending
point 0.5 0.1
shot graphics_pending > /dev/null
click 0.5 0.3     # back forgets it
click 0.5 0.525   # graphics again
click 0.5 0.2     # where apply was: nothing
sleep 1
grep -q "Framerate estimate" "$GAME_DIR/log.txt" && fail "apply worked without a pending change"

click 0.5 0.3     # back to the hub

# Controllers, player 1.
click 0.5 0.475
point 0.5 0.1
shot controllers_entered > /dev/null
point 0.5 0.675   # the player's name button
for ((i = 0; i < 8; i++)); do tap BackSpace; done
[[ "$(pref player1name)" == "" ]] || fail "backspace left '$(pref player1name)'"
xdotool keydown shift
sleep 0.2
tap b
xdotool keyup shift
sleep 0.2
tap o
tap b
[[ "$(pref player1name)" == "Bob" ]] || fail "name entry gave '$(pref player1name)'"
for k in a b c d e f g h i j; do tap "$k"; done   # 13 typed, 12 kept
[[ "$(pref player1name)" == "Bobabcdefghi" ]] || fail "12-character limit: '$(pref player1name)'"
point 0.5 0.625   # accelerate: hover and press W
key w
[[ "$(pref player1ctrls | cut -d' ' -f1)" == 87 ]] || fail "accelerate binding: $(pref player1ctrls)"
xdotool keydown shift   # Shift and D held: the higher code (D) wins
sleep 0.2
xdotool keydown d
sleep 0.3
point 0.5 0.1           # off the button before letting go
xdotool keyup d
xdotool keyup shift
sleep 0.2
[[ "$(pref player1ctrls | cut -d' ' -f1)" == 68 ]] || fail "Shift+D binding: $(pref player1ctrls)"
point 0.5 0.375   # camera
key q
[[ "$(pref player1ctrls)" == "68 37 40 39 81" ]] || fail "camera binding: $(pref player1ctrls)"
shot controllers_camera > /dev/null   # F12 over the button: a picture, no binding
[[ "$(pref player1ctrls)" == "68 37 40 39 81" ]] || fail "F12 was bound: $(pref player1ctrls)"
point 0.5 0.1
shot controllers_keyboard > /dev/null
click 0.5 0.525   # steering: Keyboard -> Keyboard & Mouse
[[ "$(pref mousesteering)" == 0 ]] || fail "mouse steering: $(pref mousesteering)"
click 0.5 0.475   # mouse sensitivity 9 -> 12
[[ "$(pref mousesensitivity)" == 12 ]] || fail "mouse sensitivity: $(pref mousesensitivity)"
point 0.5 0.1
shot controllers_mouse > /dev/null
click 0.5 0.525   # -> Gamepad
[[ "$(pref gamepadsteering)" == 0 && "$(pref mousesteering)" == 99 ]] || fail "gamepad"
point 0.5 0.625   # no accelerate button for a gamepad player
key s
[[ "$(pref player1ctrls)" == "68 37 40 39 81" ]] || fail "a gamepad player's accelerate was bound"
point 0.5 0.1
shot controllers_gamepad > /dev/null
click 0.5 0.525   # -> Wheel
click 0.5 0.525   # -> Keyboard
[[ "$(pref wheelsteering)" == 99 && "$(pref gamepadsteering)" == 99 ]] || fail "device cycle"
click 0.5 0.675   # player 2
point 0.5 0.625
key i
[[ "$(pref player2ctrls)" == "73 65 83 68 81" ]] || fail "player 2 accelerate: $(pref player2ctrls)"
# Escape over a key button binds nothing and goes back one screen, though
# held for many frames: the hub's back button then leads to the main menu,
# whose quit ends the game (two screens back, the first click would open
# the credits).
key Escape
[[ "$(pref player2ctrls)" == "73 65 83 68 81" ]] || fail "Escape was bound: $(pref player2ctrls)"
click 0.5 0.3
click 0.5 0.2
wait_game_exit
echo "menus_options: ok"
