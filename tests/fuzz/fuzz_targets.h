// Fuzz targets: one per kind of input the game reads.  Each takes one input
// and must neither crash nor read or write outside its buffers, whatever the
// bytes.  The same functions replay the saved regression inputs in the unit
// tests (tests/unit/fuzz_replay_test.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

// "data/config.txt" then "data/prefs.txt" with the same bytes.
int FuzzSettings(const uint8_t* data, size_t size);

// A texture picture (ReadTgaImage) and the run-length decoder on its own.
int FuzzTga(const uint8_t* data, size_t size);

// A track's heightmap: LoadTerrain from these bytes, then ground queries.
int FuzzHeightmap(const uint8_t* data, size_t size);

// A 3DS model file (ParseModel).
int FuzzModel3ds(const uint8_t* data, size_t size);

// A track's checkpoint course (LoadCheckpoints), then a few seconds of a
// five-car checkpoint race on it.
int FuzzCourse(const uint8_t* data, size_t size);

// Five cars in any state, with any controls, stepped for a second: every
// car sound after every step.
int FuzzCarState(const uint8_t* data, size_t size);

// A race recording (DecodeReplay); one that decodes must encode to the
// same bytes.
int FuzzRecording(const uint8_t* data, size_t size);

// One datagram decoded through each message layout the session registers:
// JoinRequest, LobbyInfo (and LobbyClosed), RaceState, ControlsMessage.
int FuzzJoinRequest(const uint8_t* data, size_t size);
int FuzzLobbyInfo(const uint8_t* data, size_t size);
int FuzzRaceState(const uint8_t* data, size_t size);
int FuzzControls(const uint8_t* data, size_t size);

// A script of datagrams delivered to a host or a client session in the
// lobby and the race, frame after frame.
int FuzzSession(const uint8_t* data, size_t size);

// The message layouts of the session, for the four layout targets.
enum FuzzLayoutKind { kJoinRequestLayout, kLobbyInfoLayout, kRaceStateLayout, kControlsLayout };
int FuzzDatagramLayout(FuzzLayoutKind kind, const uint8_t* data, size_t size);

// Runs `body` with fatal errors (ExitProgram) turned into a return: true when
// it ended through one.
bool RunTrappingExit(void (*body)(void*), void* context);

// Per process: a scratch folder with data/ inside ("/dev/shm/...", ending in
// '/'), made on the first call.
const char* FuzzScratchDir();

// Writes `size` bytes to `path` (replacing it); makes the parent folders.
void FuzzWriteFile(const char* path, const uint8_t* data, size_t size);

// Ends the process with a message naming a broken invariant (the fuzzer
// then keeps the input).
[[noreturn]] void FuzzFail(const char* what);
