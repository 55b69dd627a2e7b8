// The drawing half of the track: textures, mesh, decals, shadow textures and
// gate list.  The race's LoadTerrain and LoadCheckpoints fill only plain
// records and count their generations; UpdateTrackGraphics compares those
// with what it built last and rebuilds (free, then load) on a change.
#include "render/terrain_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "app/config.h"
#include "game/prefs.h"
#include "race/car.h"
#include "race/checkpoints.h"
#include "race/standings.h"
#include "race/terrain.h"
#include "render/race_assets.h"

namespace {

// What the graphics were last built from.
struct TrackGraphics {
    uint32_t terrainGeneration;
    uint32_t gateGeneration;
    uint8_t terrainBuilt;
    uint8_t gatesBuilt;
};

// Per start-up pass: ForgetTrackGraphics (race assets load) and
// FreeTrackGraphics (shut-down) clear it.
TrackGraphics gTrackGraphics;

const float kDegToRad = 3.141592654f / 180.0f;

// Grid step of the mesh and the decals (a step of 0 could never advance).
int Skip()
{
    return gTerrain.pixelSkip ? (int)gTerrain.pixelSkip : 1;
}

// Height of grid vertex (i, j); a neighbour outside the grid takes the
// height of the vertex (oi, oj) whose normal is being made.
float HeightOr(int i, int j, int oi, int oj)
{
    if (i < 0 || j < 0 || i >= kGridSize || j >= kGridSize)
        return GridHeight(oi, oj);
    return GridHeight(i, j);
}

// Shadow texture side in texels, as the preference gives it.
int ShadowResolution()
{
    int r = gPrefs.shadow_resolution;
    if (r < 0)
        r = 0;
    if (r > 1024)
        r = 1024;
    return r;
}

void FreeTerrainGraphics()
{
    DeleteTexture(&gTerrain.trackTexture);
    for (Texture& t : gTerrain.shadowTextures)
        DeleteTexture(&t);
    DeleteTexture(&gTerrain.lightmapTexture);
    DeleteTexture(&gTerrain.shadowmapTexture);
    if (gTerrain.meshList && glIsList(gTerrain.meshList))
        glDeleteLists(gTerrain.meshList, 1);
    gTerrain.meshList = 0;
}

void LoadTerrainGraphics()
{
    int track = gPrefs.track;
    if (track < 0 || track >= gConfig.trackCount)
        track = 0;
    char path[256];
    snprintf(path, sizeof path, "data/tracks/textures/%s.tga", gConfig.trackNames[track]);
    LoadTexture(path, &gTerrain.trackTexture);
    LoadTexture("data/textures/lightmap.tga", &gTerrain.lightmapTexture);
    LoadTexture("data/textures/shadowmap.tga", &gTerrain.shadowmapTexture);

    const int r = ShadowResolution();
    std::vector<uint8_t> zeros((size_t)r * r * 4, 0);
    for (Texture& t : gTerrain.shadowTextures) {
        glGenTextures(1, &t);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, t);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, r, r, 0, GL_LUMINANCE, GL_UNSIGNED_INT, zeros.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
    glDisable(GL_TEXTURE_2D);

    gTerrain.meshList = glGenLists(1);
    glNewList(gTerrain.meshList, GL_COMPILE);
    BuildTerrainMesh();
    glEndList();
}

// The visible gates, each post with its head: green on the left, red on the right.
void BuildGateList()
{
    gCheckpoints.gateList = glGenLists(1);
    glNewList(gCheckpoints.gateList, GL_COMPILE);
    glEnable(GL_LIGHTING);
    const uint32_t count = gCheckpoints.gateCount <= (uint32_t)kMaxGates ? gCheckpoints.gateCount : kMaxGates;
    for (uint32_t n = 0; n < count; n++) {
        if (!gCheckpoints.visible[n])
            continue;
        const Checkpoint& gate = gCheckpoints.gates[n];
        for (int side = 0; side < 2; side++) {
            const float* post = side == 0 ? gate.leftPost : gate.rightPost;
            glPushMatrix();
            glTranslatef(post[0], 0.0f, post[2]);
            glColor3f(1.0f, 1.0f, 1.0f);
            gGateModels.post.CallDisplayList();
            glTranslatef(0.0f, 5.0f, 0.0f);
            if (side == 0)
                glColor3f(0.0f, 1.0f, 0.0f);
            else
                glColor3f(1.0f, 0.0f, 0.0f);
            gGateModels.head.CallDisplayList();
            glPopMatrix();
        }
    }
    glDisable(GL_LIGHTING);
    glEndList();
}

// The terrain cells around (cx, cz), re-drawn with the bound texture laid
// as a 5 x 5 square centred on the point; 3 units to each side in x, from
// 3 units on the -z side to 2 (and one row) on the +z side.
void DrawPatch(float cx, float cz)
{
    const int k = Skip();
    const float s = gTerrain.cellSize;
    for (int j = 0; j < kGridSize - k; j += k) {
        const float z = ((float)j - 32.5f) * s;
        if (z <= cz - 3.0f)
            continue;
        if (z >= cz + 2.0f)
            break;
        const float z2 = z + (float)k * s;
        glBegin(GL_TRIANGLE_STRIP);
        for (int i = 0; i < kGridSize; i += k) {
            const float x = ((float)i - 32.5f) * s;
            if (x <= cx - 3.0f)
                continue;
            if (x >= cx + 3.0f)
                break;
            const float u = (x - cx) / 5.0f + 0.5f;
            glTexCoord2f(u, 0.5f - (z - cz) / 5.0f);
            glVertex3f(x, GridHeight(i, j), z);
            glTexCoord2f(u, 0.5f - (z2 - cz) / 5.0f);
            glVertex3f(x, GridHeight(i, j + k), z2);
        }
        glEnd();
    }
}

void BodyCentre(const Car& car, float* x, float* z)
{
    const float h = car.heading * kDegToRad;
    *x = car.position[0] - sinf(h) * car.rearAxleOffset;
    *z = car.position[2] - cosf(h) * car.rearAxleOffset;
}

}  // namespace

void UpdateTrackGraphics()
{
    TrackGraphics& g = gTrackGraphics;
    if (gTerrain.generation != 0 && (!g.terrainBuilt || g.terrainGeneration != gTerrain.generation)) {
        FreeTerrainGraphics();
        LoadTerrainGraphics();
        g.terrainGeneration = gTerrain.generation;
        g.terrainBuilt = 1;
    }
    if (gCheckpoints.generation != 0 && (!g.gatesBuilt || g.gateGeneration != gCheckpoints.generation)) {
        FreeGateList();
        BuildGateList();
        g.gateGeneration = gCheckpoints.generation;
        g.gatesBuilt = 1;
    }
}

void FreeTrackGraphics()
{
    FreeTerrainGraphics();
    FreeGateList();
    ForgetTrackGraphics();
}

void ForgetTrackGraphics()
{
    gTrackGraphics = TrackGraphics();
    // Names of an earlier rendering context mean nothing in this one.
    gTerrain.trackTexture = gTerrain.lightmapTexture = gTerrain.shadowmapTexture = 0;
    for (Texture& t : gTerrain.shadowTextures)
        t = 0;
    gTerrain.meshList = 0;
    gCheckpoints.gateList = 0;
}

void SlopeNormal(const float a[3], const float b[3], float out[3])
{
    float n[3] = {a[1] * b[2] - a[2] * b[1], a[0] * b[2] - a[2] * b[0], a[0] * b[1] - a[1] * b[0]};
    const float length = sqrtf(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (int c = 0; c < 3; c++)
        out[c] = length != 0.0f ? n[c] / length : n[c];
}

void TerrainVertexNormal(int i, int j)
{
    const int k = Skip();
    const float d = (float)k * gTerrain.cellSize;
    const float h = GridHeight(i, j);
    const float left = HeightOr(i - k, j, i, j), right = HeightOr(i + k, j, i, j);
    const float back = HeightOr(i, j - k, i, j), front = HeightOr(i, j + k, i, j);
    const float quadrant[4][2] = {
        {left - h, back - h},   // NA
        {h - right, back - h},  // NB
        {left - h, h - front},  // NC
        {h - right, h - front}, // ND
    };
    float sum[3] = {0, 0, 0};
    for (const auto& q : quadrant) {
        const float a[3] = {d, q[0], 0.0f};
        const float b[3] = {0.0f, q[1], d};
        float n[3];
        SlopeNormal(a, b, n);
        for (int c = 0; c < 3; c++)
            sum[c] += n[c];
    }
    glNormal3f(sum[0] / 4, sum[1] / 4, sum[2] / 4);
}

void BuildTerrainMesh()
{
    const int k = Skip();
    const float s = gTerrain.cellSize;
    glEnable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, gTerrain.trackTexture);
    for (int j = 0; j < kGridSize - k; j += k) {
        const float z = ((float)j - 32.5f) * s;
        glBegin(GL_TRIANGLE_STRIP);
        for (int i = 0; i < kGridSize; i += k) {
            const float x = ((float)i - 32.5f) * s;
            TerrainVertexNormal(i, j);
            glTexCoord2f((float)i / 64.0f, 1.0f - (float)j / 64.0f);
            glVertex3f(x, GridHeight(i, j), z);
            TerrainVertexNormal(i, j + k);
            glTexCoord2f((float)i / 64.0f, 1.0f - (float)(j + k) / 64.0f);
            glVertex3f(x, GridHeight(i, j + k), z + (float)k * s);
        }
        glEnd();
    }
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
}

void DrawTerrain()
{
    glCallList(gTerrain.meshList);
}

void DrawGroundDecals()
{
    const int r = ShadowResolution();
    const uint32_t cars = gPrefs.carCount <= (uint32_t)kMaxCars ? gPrefs.carCount : kMaxCars;
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_SRC_COLOR);
    glEnable(GL_TEXTURE_2D);
    if (r == 1)
        glBindTexture(GL_TEXTURE_2D, gTerrain.shadowmapTexture);
    if (r != 0) {
        for (uint32_t c = 0; c < cars; c++) {
            const Car& car = gCars[c];
            float cx = car.position[0], cz = car.position[2];
            if (r >= 2)
                glBindTexture(GL_TEXTURE_2D, gTerrain.shadowTextures[c]);
            else
                BodyCentre(car, &cx, &cz);
            DrawPatch(cx, cz);
        }
    }
    const int32_t holder = gStandings.tagHolder;
    if (gPrefs.gamemode == 0 && holder >= 0 && (uint32_t)holder < cars) {
        float cx, cz;
        BodyCentre(gCars[holder], &cx, &cz);
        glBindTexture(GL_TEXTURE_2D, gTerrain.lightmapTexture);
        glBlendFunc(GL_ONE, GL_ONE);
        const float* colour = gPrefs.playerColour[holder];
        glColor3f(colour[0], colour[1], colour[2]);
        DrawPatch(cx, cz);
    }
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

void PrepareShadowPass()
{
    const int r = ShadowResolution();
    glViewport(0, 0, r, r);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(5.0, 1.0, 0.1, 300.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glTranslatef(0.0f, 0.0f, -57.5f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
}

void CaptureShadow(int i)
{
    const int r = ShadowResolution();
    glBindTexture(GL_TEXTURE_2D, gTerrain.shadowTextures[i]);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, 0, 0, r, r, 0);
}

void DrawGates()
{
    glCallList(gCheckpoints.gateList);
}

void FreeGateList()
{
    if (gCheckpoints.gateList && glIsList(gCheckpoints.gateList))
        glDeleteLists(gCheckpoints.gateList, 1);
    gCheckpoints.gateList = 0;
}
