// The cars' engines: one voice per car of the race, its pitch and loudness
// following the driven wheels' speed.  The cars of the local views are
// heard at full strength, panned towards their player's part of the screen;
// the others by their distance from the nearest view's camera, panned as
// that view.
#include <cmath>

#include "game/game_state.h"
#include "game/prefs.h"
#include "race/camera.h"
#include "race/car.h"
#include "race/race.h"
#include "render/race_assets.h"
#include "sound/sound.h"
#include "sound/sound_mix.h"

// The views the current layout draws (as the race frame lays them out).
static uint32_t ViewCount()
{
    const uint32_t players = gPrefs.nplayers > 0 ? (uint32_t)gPrefs.nplayers : 1;
    if (gPrefs.screenmode == 1)
        return players < 2 ? players : 2;
    if (gPrefs.screenmode == 2)
        return players < 4 ? players : 4;
    return 1;
}

void UpdateEngineSounds()
{
    if (gGame.state != Race || !gPrefs.seffects || !gCarAssets.engineSample) {
        StopEngineVoices();
        return;
    }
    const uint32_t cars = RaceCarCount();
    const uint32_t views = ViewCount();
    for (uint32_t c = 0; c < (uint32_t)kEngineVoices; c++) {
        if (c >= cars)
            continue;
        const Car& car = gCars[c];
        uint32_t heardIn = c;
        float distance = 0.0f;
        if (c >= views) {
            heardIn = 0;
            distance = 1e9f;
            for (uint32_t v = 0; v < views; v++) {
                const float dx = car.position[0] - gCameras[v].position[0];
                const float dz = car.position[2] - gCameras[v].position[2];
                const float d = sqrtf(dx * dx + dz * dz);
                if (d < distance) {
                    distance = d;
                    heardIn = v;
                }
            }
        }
        float left, right;
        ViewPan(gPrefs.screenmode, heardIn, &left, &right);
        // Several local engines at once share the room: each a little quieter.
        const float share = views > 1 ? 0.75f : 1.0f;
        StartEngineVoice((int)c, gCarAssets.engineSample);
        SetEngineVoice((int)c, EngineRate(car.wheelSpeed, car.maxWheelSpeed),
                       share * EngineLoudness(car.wheelSpeed, car.maxWheelSpeed, distance), left, right);
    }
}
