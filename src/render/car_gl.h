// Drawing a car: the lit, coloured body and its four wheels into a race
// view, and the flat grey outline that the shadow pass captures.
#pragma once

#include "race/car.h"

// The car in its player's colour (the tag holder's body shines brighter);
// the caller has called the car material list.  `pixels`: about how long
// the car looks on screen; a short one is drawn with fewer triangles.
void DrawCar(const Car& car, float pixels = 1e9f);
// The outline at the origin, turned by the car's angles, unlit grey.
void DrawCarSilhouette(const Car& car);
