// What every race draws and plays, loaded once per start-up pass: the light
// and the two material lists, the sky and the goal arrow, the dust sprite,
// the car models and the four race effects, the gate models, the medal.
#pragma once

#include <cstdint>

#include "assets/model3ds.h"
#include "sound/sound.h"

// The car models and sounds shared by all cars.
struct CarAssets {
    Model body;         // "data/models/body.3ds"
    Model wheel;        // "data/models/wheel.3ds"
    Model middleBody;   // "data/models/MP_body.3ds": the body cut coarser, for cars small on screen
    Model middleWheel;  // "data/models/MP_wheel.3ds": the wheel of 12 segments, likewise
    Model lowWheel;     // "data/models/LP_wheel.3ds": a plain wheel of 10 segments, smaller still
    Model silhouette;   // "data/models/LP_body.3ds": the low-detail body of the shadows
    Sample squeezeSample[3];  // "data/seffects/squeeze0.wav" .. "squeeze2.wav"
    Sample tagSample;         // "data/seffects/tag.wav"
    Sample engineSample;      // "data/seffects/engine.wav", looping
};

// The post and head of a checkpoint gate.
struct GateModels {
    Model post;  // "data/models/checkpoint.3ds"
    Model head;  // "data/models/head.3ds"
};

// The scene's sky, arrow and material lists.
struct RaceScene {
    Model sky;    // "data/models/sky.3ds", with its own texture
    Model arrow;  // "data/models/arrow.3ds"
    uint32_t carMaterialList;      // shiny: specular (1, 0.9, 0.5), shininess 25
    uint32_t terrainMaterialList;  // matte
};

// Per start-up pass: LoadRaceAssets loads them, FreeRaceAssets releases them
// (the model geometry stays for the whole run).
extern CarAssets gCarAssets;
extern GateModels gGateModels;
extern RaceScene gRaceScene;

// Start-up step 18: lighting, dust, preferences, car assets, gate models,
// then the cars back on the grid.
void LoadRaceAssets();
// Part of shut-down: the reverse, then the track's own graphics.
void FreeRaceAssets();

void LoadCarAssets();
void FreeCarAssets();

// Light 0, the two material lists, the arrow and sky models; currentView 0.
void SetUpRaceLighting();
void TearDownRaceLighting();

// Start-up step 16: "data/textures/medal_1.tga" into the standings' slot 0.
void LoadMedalTexture();

// Per frame: the engine voices of the race's cars (silent outside state 6
// and with the race effects off).
void UpdateEngineSounds();
// Plays the sounds the race steps of this frame asked for (gRaceSounds) on
// each car's own channels, then clears the requests.  Silent unless the
// sound-effects preference is on.
void PlayRaceSounds();
