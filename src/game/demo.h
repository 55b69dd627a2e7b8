// --demo: straight from start-up into a race of computer cars, with the
// track, mode, skill, cars and views of the preferences.  It serves as the
// attract screen and as the rendering benchmark (with --quit-after).
#pragma once

// Marks the game as a demo (no car is driven by a person, nothing is
// saved), loads the preferred track, resets the race and enters state 6.
void StartDemoRace();
