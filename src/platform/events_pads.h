// The pads' side of the event pump (events_pads.cpp) and the test hook
// that plugs in virtual pads (events_testpads.cpp).  Platform-internal.
#pragma once

#include <SDL.h>

// Starts SDL's game-controller subsystem (with its mapping database) and
// opens every pad already attached; InitPads first.
void InitPadDevices();
// Closes every pad and stops the subsystem.
void ReleasePadDevices();
// Device added or removed, controller and plain-joystick axes and buttons;
// other events are ignored.
void HandlePadEvent(const SDL_Event& event);

// TEST HOOK.  With QUIBBIT_TEST_PADS naming a command file, attaches and
// drives SDL virtual pads from the lines appended to it (see
// tests/e2e/pads_hotplug.sh); without it, nothing.  Called when the event
// queue is empty.
void RunTestPadCommands();
// Detaches the test hook's virtual pads and forgets the file position.
void ReleaseTestPads();
