// The executable's directory.  Every file of the game is named relative to
// it ("data/config.txt"), never to the current directory.  When that folder
// cannot be written (an installed game), the files the game writes go to the
// player's own folders instead:
//   "data/config.txt", "data/prefs.txt"  ->  $XDG_CONFIG_HOME/quibbit/
//   "log.txt", "data/screenshots/",
//   "data/replays/"                      ->  $XDG_DATA_HOME/quibbit/
// ($XDG_CONFIG_HOME defaults to ~/.config, $XDG_DATA_HOME to ~/.local/share).
#pragma once

#include <cstddef>
#include <cstdio>

// Takes the directory from the executable's path (once, at program start)
// and chooses where written files go.
void InitAppDirectory();

// The player's folders for written files, ending with "/"; `configDir`
// empty means the game's own directory is used for everything.  Called by
// InitAppDirectory; tests call it directly.
void SetUserDirectories(const char* configDir, const char* dataDir);

// The players' folders from the environment: $XDG_CONFIG_HOME/quibbit/ and
// $XDG_DATA_HOME/quibbit/ (or the defaults under `home`); false when
// neither the variable nor home gives an absolute path.
bool XdgDirectories(const char* configHome, const char* dataHome, const char* home, char* configDir,
                    char* dataDir, size_t size);

// The folder written files go to ("" while the game's own directory is
// used): settings, and log with screenshots.
const char* UserConfigDirectory();
const char* UserDataDirectory();

// Uses `dir` instead (tests, tools); a "/" is added when missing.
void SetAppDirectory(const char* dir);

// The stored directory, ending with "/" (empty before InitAppDirectory).
const char* AppDirectory();

// fopen of the full path of `name` (AppDirectory() + name, or the player's
// folder for a written file); null when it cannot be opened or the combined
// path would not fit 255 characters.
FILE* OpenDataFile(const char* name, const char* mode);

// Replaces `name` (a buffer of `size` bytes) by its full path, as
// OpenDataFile finds it.  False, and `name` unchanged, when the result
// would not fit.
bool MakeAbsolutePath(char* name, size_t size);
