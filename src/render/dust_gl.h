// Drawing the dust puffs, and their sprite.
#pragma once

// Empties the pool and loads "data/textures/dust.tga" (with the race assets).
void InitDust();
// Deletes the sprite.
void FreeDust();
// The live puffs of the pool, far to near, as seen by the camera of
// currentView: camera-facing squares in the ground's dust colour, laid over
// what lies behind them.  Leaves the depth write mask as it found it.
void DrawDust();
