// Loading and releasing the race's shared graphics and sounds, and playing
// the sounds the race steps asked for.
#include "render/race_assets.h"

#include <GL/gl.h>

#include <cstring>

#include "game/prefs.h"
#include "race/car.h"
#include "race/race.h"
#include "race/standings.h"
#include "render/dust_gl.h"
#include "render/race_frame.h"
#include "render/terrain_gl.h"

CarAssets gCarAssets;
GateModels gGateModels;
RaceScene gRaceScene;

static const char kTextureDir[] = "data/textures/";

// Reads (first pass only) and compiles one model without colour or with its texture.
static void LoadModel(Model& model, const char* path, bool useTexture)
{
    model.Load(path, kTextureDir);
    model.BuildDisplayList(false, useTexture);
}

// A display list that sets the front-face material.
static uint32_t CompileMaterial(const float ambient[4], const float diffuse[4], const float specular[4],
                                float shininess, const float emission[4])
{
    uint32_t list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT, GL_SHININESS, shininess);
    glMaterialfv(GL_FRONT, GL_EMISSION, emission);
    glEndList();
    return list;
}

void SetUpRaceLighting()
{
    static const float ambient[4] = {0.25f, 0.25f, 0.25f, 1.0f};
    static const float diffuse[4] = {0.75f, 0.75f, 0.75f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
    glEnable(GL_LIGHT0);

    static const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    static const float carSpecular[4] = {1.0f, 0.9f, 0.5f, 0.0f};
    static const float white[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    gRaceScene.carMaterialList = CompileMaterial(black, black, carSpecular, 25.0f, black);
    gRaceScene.terrainMaterialList = CompileMaterial(black, white, black, 0.0f, black);

    LoadModel(gRaceScene.arrow, "data/models/arrow.3ds", false);
    LoadModel(gRaceScene.sky, "data/models/sky.3ds", true);
    for (Texture t : gRaceScene.sky.textureSlots)
        UseBilinearFilter(t);
    currentView = 0;
}

void TearDownRaceLighting()
{
    for (uint32_t* list : {&gRaceScene.carMaterialList, &gRaceScene.terrainMaterialList}) {
        if (*list && glIsList(*list))
            glDeleteLists(*list, 1);
        *list = 0;
    }
    gRaceScene.arrow.Release();
    gRaceScene.sky.Release();
}

void LoadCarAssets()
{
    // The body and wheels carry their own materials; their "paint" parts
    // take the colour the caller sets.
    gCarAssets.body.Load("data/models/body.3ds", kTextureDir);
    gCarAssets.body.BuildDisplayList(true, false);
    gCarAssets.wheel.Load("data/models/wheel.3ds", kTextureDir);
    gCarAssets.wheel.BuildDisplayList(true, false);
    gCarAssets.middleBody.Load("data/models/MP_body.3ds", kTextureDir);
    gCarAssets.middleBody.BuildDisplayList(true, false);
    gCarAssets.middleWheel.Load("data/models/MP_wheel.3ds", kTextureDir);
    gCarAssets.middleWheel.BuildDisplayList(true, false);
    gCarAssets.lowWheel.Load("data/models/LP_wheel.3ds", kTextureDir);
    gCarAssets.lowWheel.BuildDisplayList(true, false);
    LoadModel(gCarAssets.silhouette, "data/models/LP_body.3ds", false);
    static const char* const squeeze[3] = {"data/seffects/squeeze0.wav", "data/seffects/squeeze1.wav",
                                           "data/seffects/squeeze2.wav"};
    for (int k = 0; k < 3; k++)
        LoadSample(squeeze[k], &gCarAssets.squeezeSample[k], false);
    LoadSample("data/seffects/tag.wav", &gCarAssets.tagSample, false);
    LoadSample("data/seffects/engine.wav", &gCarAssets.engineSample, true);
}

void FreeCarAssets()
{
    gCarAssets.body.Release();
    gCarAssets.wheel.Release();
    gCarAssets.middleBody.Release();
    gCarAssets.middleWheel.Release();
    gCarAssets.lowWheel.Release();
    gCarAssets.silhouette.Release();
    for (int k = 0; k < 3; k++)
        FreeSample(&gCarAssets.squeezeSample[k]);
    FreeSample(&gCarAssets.tagSample);
    StopEngineVoices();
    FreeSample(&gCarAssets.engineSample);
}

void LoadRaceAssets()
{
    SetUpRaceLighting();
    InitDust();
    LoadPrefs();
    LoadCarAssets();
    LoadModel(gGateModels.post, "data/models/checkpoint.3ds", false);
    LoadModel(gGateModels.head, "data/models/head.3ds", false);
    ForgetTrackGraphics();
    ForgetHalfPicture();
    ResetCars();
}

void FreeRaceAssets()
{
    TearDownRaceLighting();
    FreeDust();
    FreeCarAssets();
    gGateModels.post.Release();
    gGateModels.head.Release();
    FreeTrackGraphics();
    FreeHalfPicture();
    DeleteTexture(&gStandings.medalTexture[0]);
}

void LoadMedalTexture()
{
    LoadTexture("data/textures/medal_1.tga", &gStandings.medalTexture[0]);
}

void PlayRaceSounds()
{
    if (gPrefs.seffects) {
        for (int c = 0; c < kMaxCars; c++) {
            for (int k = 0; k < 3; k++) {
                if (gRaceSounds.squeeze[c][k])
                    PlaySample(gCarAssets.squeezeSample[k], &gCars[c].squeezeChannel[k], false, true);
            }
            if (gRaceSounds.tag[c])
                PlaySample(gCarAssets.tagSample, &gCars[c].tagChannel, false, true);
        }
    }
    memset(&gRaceSounds, 0, sizeof gRaceSounds);
    UpdateEngineSounds();
}
