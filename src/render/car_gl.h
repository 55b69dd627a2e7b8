// Drawing a car: the lit, coloured body and its four wheels into a race
// view, and the flat grey outline that the shadow pass captures.
#pragma once

#include "race/car.h"

// The car in its player's colour (the tag holder's body shines brighter);
// the caller has called the car material list.  `pixels`: about how long
// the car looks on screen; a short one is drawn with fewer triangles.
void DrawCar(const Car& car, float pixels = 1e9f);
// Where a car's outline lies on the ground, in world units from the middle
// of its rear axle (x, and z as the world's z), as the shadow camera maps
// it: the texture's 5 units span the camera's 5 degrees.
struct ShadowExtent {
    float x0, x1, z0, z1;
};
// The outline at the origin, turned by the car's angles, unlit grey, under
// the shadow camera (PrepareShadowPass); returns where it reached, found
// from every point drawn.
ShadowExtent DrawCarSilhouette(const Car& car);
