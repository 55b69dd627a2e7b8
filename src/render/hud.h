// The race heads-up display of one view.
#pragma once

// Standings in place order, the start countdown and the lap or time line
// of the view being drawn (currentView), its corner at (x, y) in window
// fractions.  On the results screen nothing is drawn.
void DrawRaceHud(float x, float y);
