// Per split-screen view: the badge of the device that drives its player
// (keyboard, mouse, pad or wheel symbol and its name) for the first
// seconds of a race, and the message while the race waits for that
// player's unplugged pad.
#pragma once

// Draws for the view being drawn (currentView), whose rectangle in window
// fractions is (left, bottom, width, height); the badge hangs from `badgeTop`
// at the view's left edge.  The 2-D projection must be set.
void DrawViewDevice(float left, float bottom, float width, float height, float badgeTop);
