# The installed game: cmake --install lays out the executable with its data,
# the command, the menu entry and the icon; run by a player who cannot write
# the installed folder, the game keeps its settings, log and screenshots in
# the player's XDG folders and says so in the log.
source "$(dirname "$0")/lib.sh"
PREFIX=""
cleanup() { [[ -n "$PREFIX" ]] && rm -rf "$PREFIX"; }
trap cleanup EXIT
command -v xvfb-run > /dev/null || { echo "install: xvfb-run missing, skipped"; exit 0; }

PREFIX="$(mktemp -d /tmp/quibbit-install.XXXXXX)"
cmake --install "$BUILD" --prefix "$PREFIX" > /dev/null || fail "cmake --install failed"
for f in bin/quibbit lib/quibbit/quibbit lib/quibbit/data/bg/menu.tga share/applications/quibbit.desktop \
         share/icons/hicolor/scalable/apps/quibbit.svg; do
    [[ -e "$PREFIX/$f" ]] || fail "not installed: $f"
done
[[ -e "$PREFIX/lib/quibbit/data/config.txt" || -e "$PREFIX/lib/quibbit/data/prefs.txt" ]] &&
    fail "the build folder's settings were installed"
grep -qx "Exec=quibbit" "$PREFIX/share/applications/quibbit.desktop" || fail "desktop entry"

# A player who cannot write the installed folder (root can write anywhere).
if [[ "$(id -u)" -ne 0 ]] || ! id nobody > /dev/null 2>&1; then
    echo "install: not root or no user nobody, the read-only run is not checked"
    echo "install: ok"
    exit 0
fi
chmod -R a+rX,go-w "$PREFIX"
chmod 755 "$PREFIX"
home="$PREFIX/home"
mkdir -p "$home"
chown nobody "$home"
su nobody -s /bin/sh -c "cd / && HOME='$home' XDG_CONFIG_HOME= XDG_DATA_HOME= QUIBBIT_NO_DIALOGS=1 \
    SDL_AUDIODRIVER=dummy xvfb-run -a -s '-screen 0 1024x768x24 -noreset' '$PREFIX/bin/quibbit' --quit-after 6" \
    > /dev/null 2>&1 || fail "exit code $? of the installed game"
log="$home/.local/share/quibbit/log.txt"
[[ -f "$log" ]] || fail "no log in the player's data folder"
grep -qx "Game folder not writable: settings in $home/.config/quibbit/" "$log" || fail "the log names no folder"
[[ -f "$home/.config/quibbit/config.txt" && -f "$home/.config/quibbit/prefs.txt" ]] ||
    fail "no settings in the player's config folder"
[[ -d "$home/.local/share/quibbit/screenshots" ]] || fail "no screenshot folder"
grep -q "Framerate estimate: " "$log" || fail "no normal shut-down"
echo "install: ok"
