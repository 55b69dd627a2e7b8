// TEST HOOK, for the end-to-end scripts only: virtual pads driven from a
// command file.  With the environment variable QUIBBIT_TEST_PADS naming a
// file, every complete line appended to it is run once, in order:
//   attach              plug in a new virtual pad (six axes, fifteen buttons,
//                       SDL's virtual game-controller layout)
//   attach wheel        plug in a plain joystick instead (one axis, two
//                       buttons, one hat), as a wheel is seen
//   detach N            unplug the N-th pad this hook attached (1-based)
//   axis N A V          set axis A of pad N to V (-32768..32767;
//                       0 left x, 4 left trigger, 5 right trigger)
//   button N B 0|1      release or press button B (0 A, 1 B, 6 Start,
//                       11 to 14 the d-pad's up, down, left, right)
//   hat N V             set the hat of pad N to V (SDL's bits: 1 up,
//                       2 right, 4 down, 8 left; 0 centred)
// Unknown or malformed lines are logged and skipped.  Without the variable
// nothing happens.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/log.h"
#include "platform/events_pads.h"

static const int kMaxTestPads = 8;

// Per start-up pass: the hook's virtual pads and how far the file was read.
struct TestPads {
    SDL_JoystickID id[kMaxTestPads];  // -1: detached
    int count;                        // attached so far
    long offset;                      // bytes of the file already run
};
static TestPads gTestPads;

static int DeviceIndex(SDL_JoystickID id)
{
    for (int i = 0; i < SDL_NumJoysticks(); i++)
        if (SDL_JoystickGetDeviceInstanceID(i) == id)
            return i;
    return -1;
}

static void RunCommand(const char* line)
{
    char verb[16] = {0}, kind[16] = {0};
    int n = 0, a = 0, v = 0;
    const int fields = sscanf(line, "%15s %d %d %d", verb, &n, &a, &v);
    if (fields < 1)
        return;
    if (strcmp(verb, "attach") == 0) {
        if (gTestPads.count >= kMaxTestPads)
            return;
        const bool wheel = sscanf(line, "%*s %15s", kind) == 1 && strcmp(kind, "wheel") == 0;
        const int index = wheel ? SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_WHEEL, 1, 2, 1)
                                : SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 15, 0);
        // Opened here too, so that the values set below reach SDL's state.
        SDL_Joystick* joystick = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
        gTestPads.id[gTestPads.count++] = joystick ? SDL_JoystickInstanceID(joystick) : -1;
        LogMessage("Test pads: attached %d", gTestPads.count);
        return;
    }
    SDL_Joystick* joystick = nullptr;
    if (fields >= 2 && n >= 1 && n <= gTestPads.count && gTestPads.id[n - 1] >= 0)
        joystick = SDL_JoystickFromInstanceID(gTestPads.id[n - 1]);
    if (!joystick) {
        LogMessage("Test pads: no pad for \"%s\"", line);
        return;
    }
    if (strcmp(verb, "detach") == 0) {
        const int index = DeviceIndex(gTestPads.id[n - 1]);
        SDL_JoystickClose(joystick);
        if (index >= 0)
            SDL_JoystickDetachVirtual(index);
        gTestPads.id[n - 1] = -1;
    } else if (strcmp(verb, "axis") == 0 && fields == 4) {
        SDL_JoystickSetVirtualAxis(joystick, a, (Sint16)(v < -32768 ? -32768 : v > 32767 ? 32767 : v));
    } else if (strcmp(verb, "button") == 0 && fields == 4) {
        SDL_JoystickSetVirtualButton(joystick, a, v ? SDL_PRESSED : SDL_RELEASED);
    } else if (strcmp(verb, "hat") == 0 && fields == 3) {
        SDL_JoystickSetVirtualHat(joystick, 0, (Uint8)(a & 15));
    } else {
        LogMessage("Test pads: unknown command \"%s\"", line);
    }
}

void RunTestPadCommands()
{
    const char* path = getenv("QUIBBIT_TEST_PADS");
    if (!path || !path[0])
        return;
    FILE* file = fopen(path, "r");
    if (!file)
        return;
    if (fseek(file, gTestPads.offset, SEEK_SET) == 0) {
        char line[128];
        // Only whole lines: a line still being written waits for the next frame.
        while (fgets(line, sizeof line, file) && strchr(line, '\n')) {
            gTestPads.offset += (long)strlen(line);
            SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
            RunCommand(line);
        }
    }
    fclose(file);
}

void ReleaseTestPads()
{
    for (int k = 0; k < gTestPads.count; k++) {
        if (gTestPads.id[k] < 0)
            continue;
        SDL_Joystick* joystick = SDL_JoystickFromInstanceID(gTestPads.id[k]);
        const int index = DeviceIndex(gTestPads.id[k]);
        if (joystick)
            SDL_JoystickClose(joystick);
        if (index >= 0)
            SDL_JoystickDetachVirtual(index);
    }
    memset(&gTestPads, 0, sizeof gTestPads);
}
