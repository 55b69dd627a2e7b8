// The computer driver: sets the four control flags of one computer car for
// one step (only ever sets flags; the skill cap may clear accelerate).
#pragma once

#include "race/car.h"

void DriveComputerCar(const Car& car, bool* accelerate, bool* left, bool* brake, bool* right);
