// quibbit-sim --check-track DIR NAME: the track checker's verdict on one
// track, then checkpoint races of five computer cars at every skill.
#pragma once

// argv[1] is "--check-track".  Returns the exit status: 0 when the track
// has no problem and the cars lap it at every skill, 1 otherwise, 2 on
// wrong arguments.
int CheckTrackCommand(int argc, char** argv);
