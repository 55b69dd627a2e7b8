# The credits and back, the multiplayer button's screen and back by Escape,
# and the two ways out of the main menu: quit fades to black and the
# program ends with 0; quit pressed again during the fade ends it too.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/menus_lib.sh"
trap 'kill_game; cleanup_game_dir' EXIT

make_game_dir
start_game
point 0.5 0.1
main_shot="$(shot main_menu)"
click 0.5 0.3     # credits
point 0.5 0.1
credits_shot="$(shot credits)"
[[ "$(mean_brightness "$credits_shot")" -gt 0 ]] || fail "credits screen black"
cmp -s "$main_shot" "$credits_shot" && fail "credits look like the main menu"
click 0.5 0.3     # back
click 0.5 0.5     # multiplayer
point 0.5 0.1
shot multiplayer > /dev/null
key Escape        # back, as the back button
click 0.5 0.7     # single race: proves the main menu is back
click 0.5 0.525
[[ "$(pref nplayers)" == 2 ]] || fail "back from credits or multiplayer did not reach the main menu"
click 0.5 0.3     # back to the main menu
sleep 1
point 0.5 0.1
bright="$(mean_brightness "$(shot main_again)")"

# Quit: the picture fades; the program ends by itself.
click 0.5 0.2
sleep 0.3
fading="$(mean_brightness "$(shot quitting)")"
[[ "$fading" -lt "$bright" ]] || fail "no fade while quitting ($fading vs $bright)"
wait_game_exit
grep -q "Framerate estimate: " "$GAME_DIR/log.txt" || fail "no normal shut-down"

# Quit twice: the second press ends the program during the fade.
start_game
click 0.5 0.2
click 0.5 0.2
wait_game_exit
grep -q "Framerate estimate: " "$GAME_DIR/log.txt" || fail "no normal shut-down after quit twice"
echo "menus_credits_quit: ok"
