// The executable's directory.  Every file of the game is named relative to
// it ("data/config.txt"), never to the current directory.
#pragma once

#include <cstddef>
#include <cstdio>

// Takes the directory from the executable's path (once, at program start).
void InitAppDirectory();

// Uses `dir` instead (tests, tools); a "/" is added when missing.
void SetAppDirectory(const char* dir);

// The stored directory, ending with "/" (empty before InitAppDirectory).
const char* AppDirectory();

// fopen of AppDirectory() + name; null when it cannot be opened or the
// combined path would not fit 255 characters.
FILE* OpenDataFile(const char* name, const char* mode);

// Replaces `name` (a buffer of `size` bytes) by AppDirectory() + name.
// False, and `name` unchanged, when the result would not fit.
bool MakeAbsolutePath(char* name, size_t size);
