// The people at this machine as controls records: the one place where keys,
// mouse, joystick and pads become what drives a car.
#pragma once

#include <cstdint>

// Before the steps of a race frame: the controls record (race/car.h) of each
// car driven by a person at this machine, from the keys, the mouse, the
// joystick and the pads as the preferences assign them.  Other cars' records
// are left alone (the network exchange and replays write those).
void WriteLocalControls();

// True while player `player`'s camera key is held (players 0..3).
bool CameraKeyHeld(uint32_t player);
