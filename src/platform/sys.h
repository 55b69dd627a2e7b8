// The operating-system door.  Every call from game code into the operating
// system that must also work headless goes through these functions.  Two
// implementations exist: sys_sdl.cpp for the game, sys_null.cpp for tests,
// the simulator and the benchmarks.  sys_posix.cpp holds what both share.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// High-resolution counter: ticks and ticks per second.
uint64_t SysCounter();
uint64_t SysFrequency();

// Sleeps about `ms` milliseconds (0 gives up the processor once).
void SysSleepMs(unsigned ms);

// Full path of the running executable; false when it cannot be found.
bool SysExecutablePath(char* out, size_t size);

// Names of the entries of a directory, "." and ".." excluded, sorted by byte
// value so that every machine lists the same folder in the same order.
// False (and no names) when the directory cannot be read.
bool SysListDirectory(const char* path, std::vector<std::string>& names);

// Creates directory `path` (its parent must exist); true when it exists afterwards.
bool SysMakeDirectory(const char* path);

// Gives the finished file `temp` its name `final` without ever replacing a
// file already called `final` (then false and `temp` stays); on success
// `temp` is gone.
bool SysPublishFile(const char* temp, const char* final);

// Operating-system name and release, e.g. "Linux" and "6.1.0-18-amd64".
void SysKernelVersion(char* name, size_t nameSize, char* release, size_t releaseSize);

// Modal message box with an OK button and a warning icon.  When the
// environment variable QUIBBIT_NO_DIALOGS is set, or no display can show a
// box, the text goes to standard error and nothing waits.
void SysMessageBox(const char* caption, const char* text);

// Ends the process with `code` at once (runtime exit handlers still run).
// While an exit trap is set (fuzzing and replaying hostile files), it jumps
// back to the trap instead, so a loader's fatal error can be observed.
[[noreturn]] void SysExit(int code);
void SysSetExitTrap(jmp_buf* trap);

// True when dialogs must not be shown (QUIBBIT_NO_DIALOGS is set).
bool SysDialogsDisabled();

// Hands the memory freed after loading (file buffers, mipmap scratch) back
// to the operating system instead of keeping it for later allocations.
void SysReleaseFreedMemory();

// Processor seconds the whole process (all its threads) has used so far.
double SysProcessSeconds();
// Processor seconds the calling thread alone has used so far.
double SysThreadSeconds();
