// Fuzz targets: one per kind of input the game reads.  Each takes one input
// and must neither crash nor read or write outside its buffers, whatever the
// bytes.  The same functions replay the saved regression inputs in the unit
// tests (tests/unit/fuzz_replay_test.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

// "data/config.txt" then "data/prefs.txt" with the same bytes.
int FuzzSettings(const uint8_t* data, size_t size);

// Runs `body` with fatal errors (ExitProgram) turned into a return: true when
// it ended through one.
bool RunTrappingExit(void (*body)(void*), void* context);
