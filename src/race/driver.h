// The computer driver: sets the four control flags of one computer car for
// one step (only ever sets flags; the skill cap may clear accelerate).
#pragma once

#include "race/car.h"

// Also keeps the car's stuck watch: a car that has not moved a unit in 2 s
// reverses (brake) for about a second, and after three tries it is put back
// on the course.  Called only while the car may drive (countdown below 1.0).
void DriveComputerCar(Car& car, bool* accelerate, bool* left, bool* brake, bool* right);

// Puts a car back on the course as the same car (laps, gates, score and tag
// kept): at rest on the ground at its last gate, facing its next one (on a
// one-gate course 3 units before the gate; without a course in the middle),
// moved back along that line while another car stands there.
void PutCarOnCourse(Car& car);
