// Drawing order of a race frame:
//   track graphics rebuilt when the race loaded a new track; ranking;
//   the shadow pass (all cars, once per frame, into the lower-left corner
//   that the following clear wipes); one clear for all views; the view key;
//   per view: camera key, viewport and projection, arrow, world, HUD.
// Per view the world is, in distance fog toward the sky's horizon colour:
// light, cars, gates and their flags, terrain with the scenery ring beyond
// its edge; then without fog: the sky dome (down to just below the horizon)
// where nothing covers it, ground decals, dust, medal markers.  At the
// quality budget's last step the views' arrows and worlds are drawn at half
// size and doubled over the window before all the HUDs.  Once in the frame,
// about halfway through what it sends, the renderer is told to start (see
// HalfwayFlush).
#include "render/race_frame.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "app/clock.h"
#include "app/log.h"

#include "app/config.h"
#include "game/game_state.h"
#include "game/prefs.h"
#include "game/recording.h"
#include "input/controls.h"
#include "race/camera.h"
#include "race/car.h"
#include "race/checkpoints.h"
#include "race/race.h"
#include "race/standings.h"
#include "race/terrain.h"
#include "render/camera_gl.h"
#include "render/car_gl.h"
#include "render/dust_gl.h"
#include "render/frame_meter.h"
#include "render/gl_util.h"
#include "render/hud.h"
#include "render/hud_logic.h"
#include "render/race_assets.h"
#include "render/terrain_gl.h"

uint32_t currentView;
const float kLightPosition[4] = {75.0f, 50.0f, 25.0f, 1.0f};
Frustum gViewFrustum[kMaxViews];
float gViewScale[kMaxViews];
Quality gQuality = {128, 1.0f, 32.0f, 1, 1.0f, 0, 0};  // everything until the first race frame
QualityBudget gBudget;

namespace {

// The haze: the sky texture's horizon colour, from a little way out to
// beyond the far side of the scenery ring.
const float kFogColour[4] = {0xcf / 255.0f, 0xe3 / 255.0f, 0xf2 / 255.0f, 1.0f};
const float kFogStart = 25.0f;
const float kFogEnd = 210.0f;

const double kNear = 0.1;
const float kSkyScale = 1.9f;  // the dome's radius 150 to 285, inside the far plane
const double kFar = 300.0;
const float kRadToDeg = 180.0f / 3.141592654f;

// The software renderer's two pixel threads start on what the game has
// sent only when the game waits for pixels or flushes; until then they
// sleep while this thread sends the views.  One flush halfway through the
// frame lets them draw the first half while the second is sent: in one view
// after the cars (after the ground instead gains less), in several
// after the first half of the views (in three, the overview map is the
// fourth quarter).  Each flush makes a batch that both pixel threads must
// finish, and with three threads on two cores a flush after every view
// costs more than it gains; the one flush gives 2 to 10 % more frames on
// two free cores, and the same frames with one core busy.
struct HalfwayFlush {
    uint32_t afterCarsOf;  // the view whose cars end the first half, or kNoView
    uint32_t afterView;    // the view whose HUD ends it, or kNoView
};
const uint32_t kNoView = ~0u;
HalfwayFlush halfway = {kNoView, kNoView};

HalfwayFlush HalfwayFor(uint32_t views)
{
    if (views <= 1)
        return {0, kNoView};
    return {kNoView, (views - 1) / 2};
}

// Whether any of the first `views` views can see the car's shadow patch.
bool ShadowSeen(const Car& car, uint32_t views)
{
    // The ground patch reaches 3 units from the car; the ground under it
    // lies somewhat below the car.
    const float centre[3] = {car.position[0], car.position[1] - 1.0f, car.position[2]};
    for (uint32_t v = 0; v < views && v < (uint32_t)kMaxViews; v++) {
        if (SphereInFrustum(gViewFrustum[v], centre, 5.5f))
            return true;
    }
    return false;
}

// Every seen car's silhouette into its slot of the shadow atlas (static
// shadows and none need no pass).  Each silhouette gets an R x R square of
// its own along the bottom of the window, kept to it by the scissor, and one
// copy per row of squares comes after all of them: the renderer finishes the
// drawing once for all cars instead of once per car.  A window too small for
// every square takes the cars in batches.
void RenderShadowTextures(uint32_t views)
{
    if (gQuality.shadowResolution < 2)
        return;
    // The atlas's squares, laid out as the copies into it expect.
    const ShadowAtlasLayout atlas = LayoutShadowAtlas(gQuality.shadowResolution, gConfig.width, kMaxCars);
    const int r = atlas.side, perRow = atlas.perRow;
    const int rows = gConfig.height / r > 0 ? gConfig.height / r : 1;
    const int slots = perRow * rows;
    PrepareShadowPass();
    glEnable(GL_SCISSOR_TEST);
    // The seen cars take atlas slots 0, 1, ... in turn; the window holds
    // `slots` of them at a time.
    int32_t next = 0, first = 0;
    for (uint32_t c = 0; c < (uint32_t)kMaxCars; c++)
        gShadowSlot[c] = -1;
    for (uint32_t c = 0; c <= RaceCarCount(); c++) {
        const bool last = c == RaceCarCount();
        if (next > first && (last || next - first == slots)) {
            CaptureShadows(first, next - first);
            first = next;
        }
        if (last || !ShadowSeen(gCars[c], views))
            continue;
        const int k = next - first;
        const int x = (k % perRow) * r, y = (k / perRow) * r;
        glViewport(x, y, r, r);
        glScissor(x, y, r, r);
        glClear(GL_COLOR_BUFFER_BIT);
        gShadowExtent[c] = DrawCarSilhouette(gCars[c]);
        gShadowSlot[c] = next++;
    }
    glDisable(GL_SCISSOR_TEST);
    // The copies finished here, while they are all the renderer has to do.
    // Otherwise the first view's decals, the first to sample the atlas,
    // make the renderer finish the copies together with everything sent
    // for that view so far, and the frame's drawing is cut in two: the
    // game's thread waits in the middle of it, and the renderer goes over
    // the window's tiles twice.
    glFinish();
}

struct ViewLayout {
    int x, y, w, h;      // viewport, pixels
    double fov, aspect;  // projection
};

// The layout of view v in the current screenmode; false when the mode has no such view.
bool LayoutView(uint32_t v, ViewLayout* out)
{
    const int width = gConfig.width, height = gConfig.height;
    const uint32_t players = gPrefs.nplayers > 0 ? (uint32_t)gPrefs.nplayers : 1;
    const double fov = gCameras[v % kMaxCars].fov;
    switch (gPrefs.screenmode) {
    case 1:
        if (v >= 2 || v >= players)
            return false;
        *out = {0, (int)v * (height / 2), width, height / 2, fov / 1.5, (double)width / (height / 2)};
        return true;
    case 2:
        if (v >= 4 || v >= players)
            return false;
        *out = {(int)(v % 2) * (width / 2), v < 2 ? height / 2 : 0, width / 2, height / 2, fov,
                (double)width / height};
        return true;
    default:  // viewport and projection by SetPerspective
        if (v >= 1)
            return false;
        *out = {0, 0, width, height, fov, (double)width / height};
        return true;
    }
}

// Each view's frustum from its projection and camera, through the GL
// matrices (left as SetPerspective leaves them afterwards).  Returns the
// number of views.
uint32_t ComputeViewFrusta()
{
    ViewLayout layout;
    uint32_t v = 0;
    for (; v < (uint32_t)kMaxViews && LayoutView(v, &layout); v++) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(layout.fov, layout.aspect, kNear, kFar);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        ApplyCamera(gCameras[v]);
        float projection[16], modelview[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        FrustumFromMatrices(projection, modelview, &gViewFrustum[v]);
        gViewScale[v] = (float)(layout.h / (2.0 * tan(layout.fov * 3.141592654 / 360.0)));
    }
    glLoadIdentity();
    return v > 0 ? v : 1;
}

// This frame's quality: the budget judges the frame just ended for the
// current number of views (unless it loaded a track, built its graphics or
// drew a menu over the race) and the saved settings are lowered to its level.
void UpdateQuality(uint32_t views)
{
    if (gBudget.target != gPrefs.targetfps) {
        ResetQualityBudget();
        if (gBudget.target)
            LogMessage("Quality budget: target %d fps", gBudget.target);
    }
    const double seconds = gClock.frameRate > 0.0 ? 1.0 / gClock.frameRate : 0.0;
    const BudgetChange change = BudgetRaceFrame(gBudget, views, seconds, gTerrain.generation, gGame.state == Race);
    const int32_t saved = gPrefs.shadows ? gPrefs.shadow_resolution : 0;
    gQuality = QualityAtLevel(saved, gBudget.track[views - 1].level);
    if (change != kBudgetKept) {
        LogMessage("Quality budget: %s to level %d for %u view%s: dust %d%%, shadows %d, coarse ground from %.0f, "
                   "scenery %s, car detail %d%%, resolution %s",
                   change == kBudgetLowered ? "lowered" : "raised", gQuality.level, views, views > 1 ? "s" : "",
                   (int)(gQuality.dustShare * 100.0f + 0.5f), gQuality.shadowResolution, gQuality.terrainFar,
                   gQuality.sceneryOuter ? "far" : "near", (int)(gQuality.carDetail * 100.0f + 0.5f),
                   gQuality.halfResolution ? "half" : "full");
    }
}

// The world at half resolution, the budget's last step.  Every view's world
// goes into the lower-left quarter of the window at half its size; that
// quarter is copied into a texture and drawn back over the whole window with
// each of its pixels doubled (nearest texels, no blur); the HUD then goes on
// top at full resolution.  The doubling is one textured pass over the whole
// window: at 0.6 to 0.75 of the size it costs about what the smaller world
// saves, so the step goes straight to half.
struct HalfPicture {
    GLuint texture;
    int width, height;  // the texture's size, powers of two
};
HalfPicture halfPicture;

// The picture's size for the window: half of it, rounded up.
int HalfOf(int pixels)
{
    return (pixels + 1) / 2;
}

// A texture that holds the half-size picture; false when the renderer
// cannot make one that large (the world is then drawn at full resolution).
bool PrepareHalfPicture()
{
    HalfPicture& p = halfPicture;
    const int w = HalfOf(gConfig.width), h = HalfOf(gConfig.height);
    if (p.texture != 0 && p.width >= w && p.height >= h)
        return true;
    int tw = 1, th = 1;
    while (tw < w)
        tw *= 2;
    while (th < h)
        th *= 2;
    GLint most = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &most);
    if (tw > most || th > most)
        return false;
    if (p.texture == 0)
        glGenTextures(1, &p.texture);
    // Named in the window's own byte order where the renderer has it, the
    // texture takes the copy as it is instead of through a conversion.
    const GLenum format = HasExtension("GL_EXT_bgra") ? GL_BGRA_EXT : GL_RGBA;
    glBindTexture(GL_TEXTURE_2D, p.texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, tw, th, 0, format, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    p.width = tw;
    p.height = th;
    return true;
}

// A view's place in the half-size picture: its edges halved, rounded so
// that neighbouring views still meet.
ViewLayout HalveLayout(const ViewLayout& full)
{
    ViewLayout half = full;
    half.x = full.x / 2;
    half.y = full.y / 2;
    half.w = HalfOf(full.x + full.w) - half.x;
    half.h = HalfOf(full.y + full.h) - half.y;
    return half;
}

// The half-size picture over the whole window, each pixel doubled.
void DoubleHalfPicture()
{
    const HalfPicture& p = halfPicture;
    const int w = HalfOf(gConfig.width), h = HalfOf(gConfig.height);
    glBindTexture(GL_TEXTURE_2D, p.texture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, w, h);
    SetOrtho2D((float)gConfig.width, (float)gConfig.height);
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const float s = (float)w / p.width, t = (float)h / p.height;
    const float x = 2.0f * w, y = 2.0f * h;  // one past an odd window's edge, where it is clipped
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(0, 0);
    glTexCoord2f(s, 0);
    glVertex2f(x, 0);
    glTexCoord2f(s, t);
    glVertex2f(x, y);
    glTexCoord2f(0, t);
    glVertex2f(0, y);
    glEnd();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_TEXTURE_2D);
    glDepthMask(GL_TRUE);
}

// The view's overlays and HUD, in window fractions.
void DrawViewHud(const ViewLayout& layout, uint32_t v)
{
    currentView = v;
    const float w = (float)gConfig.width, h = (float)gConfig.height;
    const ViewRect rect = {(float)layout.x / w, (float)layout.y / h, (float)layout.w / w, (float)layout.h / h};
    DrawViewOverlays(rect, v);
    DrawRaceHud(rect);
    EndPass(kPassHud);
}

// A sphere of this radius round CarCentre holds the whole car.
const float kCarSphereRadius = 3.0f;

void CarCentre(const Car& car, float centre[3])
{
    centre[0] = car.position[0];
    centre[1] = car.position[1] + 0.5f;
    centre[2] = car.position[2];
}

// How far p lies from the eye of currentView.
float EyeDistance(const float p[3])
{
    const Camera& camera = gCameras[currentView % kMaxCars];
    float d2 = 0.0f;
    for (int k = 0; k < 3; k++)
        d2 += (p[k] - camera.position[k]) * (p[k] - camera.position[k]);
    return sqrtf(d2);
}

// Whether the view currentView can see the car.
bool CarSeen(const Car& car)
{
    float centre[3];
    CarCentre(car, centre);
    return SphereInFrustum(gViewFrustum[currentView % kMaxViews], centre, kCarSphereRadius);
}

// About how many pixels long the car looks in the view currentView.
float CarPixels(const Car& car)
{
    const float d = EyeDistance(car.position);
    return d > 0.0f ? kCarLength * gViewScale[currentView % kMaxViews] / d : 1e9f;
}

}  // namespace

void HazeFor(float farthest)
{
    if (farthest < kFogStart)
        glDisable(GL_FOG);
    else
        glEnable(GL_FOG);
}

float FarthestInBox(const float lo[3], const float hi[3])
{
    const Camera& camera = gCameras[currentView % kMaxCars];
    float d2 = 0.0f;
    for (int k = 0; k < 3; k++) {
        const float a = fabsf(camera.position[k] - lo[k]), b = fabsf(camera.position[k] - hi[k]);
        d2 += a > b ? a * a : b * b;
    }
    return sqrtf(d2);
}

void ResetQualityBudget()
{
    gBudget = QualityBudget();
    gBudget.target = gPrefs.targetfps;
}

void FreeHalfPicture()
{
    if (halfPicture.texture != 0)
        glDeleteTextures(1, &halfPicture.texture);
    halfPicture = HalfPicture();
}

void ForgetHalfPicture()
{
    halfPicture = HalfPicture();
}

void SetPerspective()
{
    glViewport(0, 0, gConfig.width, gConfig.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(gCameras[0].fov, (double)gConfig.width / gConfig.height, kNear, kFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
}

void RenderRaceFrame()
{
    const uint32_t views = ComputeViewFrusta();
    halfway = HalfwayFor(views);
    UpdateQuality(views);
    UpdateTrackGraphics();
    MeterRaceFrame(gTerrain.generation);
    RankByScore();
    if (gPrefs.shadows)
        RenderShadowTextures(views);
    EndPass(kPassShadows);
    glViewport(0, 0, gConfig.width, gConfig.height);
    // The views start in the haze, which is what the sky dome's lowest band
    // and the farthest ground fade to, should anything leave a pixel
    // uncovered; the shadow pass above cleared its slots to the grey that
    // leaves the ground as it is.
    float grey[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, grey);
    glClearColor(kFogColour[0], kFogColour[1], kFogColour[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(grey[0], grey[1], grey[2], grey[3]);
    EndPass(kPassClear);
    CycleScreenMode();
    const bool half = gQuality.halfResolution && PrepareHalfPicture();
    ViewLayout layout;
    for (uint32_t v = 0; LayoutView(v, &layout); v++) {
        currentView = v;
        Camera& camera = gCameras[v];
        if (!gWatch.active)
            PollCameraKey(camera, CameraKeyHeld(camera.player));
        else if (v == 0)
            WatchCameraKey(camera, CameraKeyHeld(0));
        if (gPrefs.screenmode == 1 || gPrefs.screenmode == 2) {
            glViewport(layout.x, layout.y, layout.w, layout.h);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            gluPerspective(layout.fov, layout.aspect, kNear, kFar);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            glEnable(GL_DEPTH_TEST);
        } else {
            SetPerspective();  // the one full-window view
        }
        if (half) {
            const ViewLayout small = HalveLayout(layout);
            glViewport(small.x, small.y, small.w, small.h);
        }
        if (gGame.state != RaceMenu && gGame.state != RaceResults)
            DrawDirectionArrow();
        EndPass(kPassHud);
        DrawWorld();
        if (!half)
            DrawViewHud(layout, v);
        if (v == halfway.afterView)
            glFlush();
    }
    if (half) {
        DoubleHalfPicture();
        EndPass(kPassDoubling);
        for (uint32_t v = 0; LayoutView(v, &layout); v++)
            DrawViewHud(layout, v);
    }
    // Three players in quarters: the fourth shows the whole course.
    if (gPrefs.screenmode == 2 && gPrefs.nplayers == 3)
        DrawOverviewMap({0.5f, 0.0f, 0.5f, 0.5f});
}

void DrawWorld()
{
    const Camera& camera = gCameras[currentView];
    glPushMatrix();
    ApplyCamera(camera);

    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, kFogColour);
    glFogf(GL_FOG_START, kFogStart);
    glFogf(GL_FOG_END, kFogEnd);
    glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
    glCallList(gRaceScene.carMaterialList);
    for (uint32_t c = 0; c < RaceCarCount(); c++) {
        if (!CarSeen(gCars[c]))
            continue;
        float centre[3];
        CarCentre(gCars[c], centre);
        HazeFor(EyeDistance(centre) + kCarSphereRadius);
        DrawCar(gCars[c], CarPixels(gCars[c]) * gQuality.carDetail);
    }
    glEnable(GL_FOG);
    if (currentView == halfway.afterCarsOf)
        glFlush();
    EndPass(kPassCars);
    if (gRaceSetup.gamemode == 1) {
        DrawGates();
        DrawGateFlags();
    }
    EndPass(kPassGates);
    glCallList(gRaceScene.terrainMaterialList);
    DrawTerrain();
    glDisable(GL_FOG);
    EndPass(kPassTerrain);

    // The dome moves with the eye and is seen from inside.  Drawn after the
    // ground and enlarged to just inside the far plane, it fills only the
    // pixels nothing nearer covers (the depth test turns the rest away
    // before texturing) and writes no depth.
    glPushMatrix();
    glTranslatef(camera.position[0], camera.position[1], camera.position[2]);
    glScalef(kSkyScale, kSkyScale, kSkyScale);
    glColor3f(1.0f, 1.0f, 1.0f);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    gRaceScene.sky.CallDisplayList();
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
    glPopMatrix();
    EndPass(kPassSky);

    if (gPrefs.shadows)
        DrawGroundDecals();
    EndPass(kPassDecals);
    if (gPrefs.particles)
        DrawDust();
    EndPass(kPassDust);
    DrawMedalMarkers();
    EndPass(kPassMarkers);
    glPopMatrix();
}

void DrawDirectionArrow()
{
    const Car& viewer = gCars[currentView % kMaxCars];
    float gx, gz;
    const float* colour;
    static const float kOrange[3] = {1.0f, 0.5f, 0.0f};
    if (gRaceSetup.gamemode == 0) {
        const int32_t holder = gStandings.tagHolder;
        if (holder < 0 || holder >= kMaxCars || (uint32_t)holder == viewer.index)
            return;
        gx = gCars[holder].position[0];
        gz = gCars[holder].position[2];
        colour = gPrefs.playerColour[holder];
    } else if (gRaceSetup.gamemode == 1) {
        if (viewer.nextCheckpoint >= gCheckpoints.gateCount || viewer.nextCheckpoint >= (uint32_t)kMaxGates)
            return;
        const Checkpoint& gate = gCheckpoints.gates[viewer.nextCheckpoint];
        gx = (gate.leftPost[0] + gate.rightPost[0]) / 2;
        gz = (gate.leftPost[2] + gate.rightPost[2]) / 2;
        colour = kOrange;
    } else {
        return;
    }
    const float dx = viewer.position[0] - gx, dz = viewer.position[2] - gz;
    float bearing;
    if (dz != 0.0f)
        bearing = atanf(dx / dz) * kRadToDeg + (dz < 0.0f ? 180.0f : 0.0f);
    else if (dx != 0.0f)
        bearing = dx > 0.0f ? 90.0f : -90.0f;
    else
        bearing = viewer.heading;  // standing on the goal: straight ahead
    float relative = bearing - viewer.heading;
    if (relative < -180.0f)
        relative += 360.0f;
    else if (relative > 180.0f)
        relative -= 360.0f;

    // High in the view, over the sky and clear of every car: a fixed share
    // of the view's half-height at the arrow's distance, whatever the
    // layout's field of view.
    glEnable(GL_LIGHTING);
    glPushMatrix();
    if (gPrefs.screenmode == 0) {
        glTranslatef(0.0f, -0.3f, -0.75f);
    } else {
        // Split views: high in the view over the sky, where no car is, scaled
        // to the view's field of view and tipped towards the eye.
        float projection[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        const ArrowPlace place = PlaceArrow(projection[5] != 0.0f ? 1.0f / projection[5] : 0.5f, 0.75f);
        glTranslatef(0.0f, place.height, -0.75f);
        glRotatef(place.tilt, 1.0f, 0.0f, 0.0f);
        glScalef(place.scale, place.scale, place.scale);
        glEnable(GL_NORMALIZE);
    }
    glRotatef(relative, 0.0f, 1.0f, 0.0f);
    glColor3f(colour[0], colour[1], colour[2]);
    gRaceScene.arrow.CallDisplayList();
    glPopMatrix();
    glDisable(GL_NORMALIZE);
    glDisable(GL_LIGHTING);
}

float MedalFade(float distance)
{
    if (distance <= 3.0f)
        return 0.0f;
    if (distance >= 6.0f)
        return 1.0f;
    return (distance - 3.0f) / 3.0f;
}

void DrawMedalMarkers()
{
    const Camera& camera = gCameras[currentView % kMaxCars];
    const uint32_t cars = RaceCarCount();
    float distance[kMaxCars];
    uint32_t order[kMaxCars];
    for (uint32_t c = 0; c < cars; c++) {
        float d[3];
        for (int k = 0; k < 3; k++)
            d[k] = gCars[c].position[k] - camera.position[k];
        distance[c] = sqrtf(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        order[c] = c;
    }
    // Far to near; among equal distances the higher index first.
    for (uint32_t p = 0; p < cars; p++) {
        for (uint32_t q = p + 1; q < cars; q++) {
            const uint32_t a = order[p], b = order[q];
            if (distance[b] > distance[a] || (distance[b] == distance[a] && b > a)) {
                order[p] = b;
                order[q] = a;
            }
        }
    }
    // Each medal is laid over the scene as a solid gold emblem through the
    // texture's brightness (first pass: darken by it, second: add gold by
    // it), fading out between 6 and 3 units from the eye so that it never
    // fills the view.
    GLboolean depthWrites = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, gStandings.medalTexture[0]);
    for (uint32_t p = 0; p < cars; p++) {
        const uint32_t c = order[p];
        if (!gStandings.medalShown[c][0])
            continue;
        const Car& car = gCars[c];
        const float h = car.heading / kRadToDeg;
        const float at[3] = {car.position[0] - sinf(h) * car.rearAxleOffset, car.position[1] + 1.5f,
                             car.position[2] - cosf(h) * car.rearAxleOffset};
        float eye = 0.0f;
        for (int k = 0; k < 3; k++)
            eye += (at[k] - camera.position[k]) * (at[k] - camera.position[k]);
        const float fade = MedalFade(sqrtf(eye));
        if (fade <= 0.0f)
            continue;
        glPushMatrix();
        glTranslatef(at[0], at[1], at[2]);
        FaceCamera(camera);
        for (int pass = 0; pass < 2; pass++) {
            if (pass == 0) {
                glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
                glColor3f(fade, fade, fade);
            } else {
                glBlendFunc(GL_ONE, GL_ONE);
                glColor3f(1.0f * fade, 0.78f * fade, 0.2f * fade);
            }
            glBegin(GL_QUADS);
            glTexCoord2f(0, 1);
            glVertex2f(-0.35f, 0.35f);
            glTexCoord2f(0, 0);
            glVertex2f(-0.35f, -0.35f);
            glTexCoord2f(1, 0);
            glVertex2f(0.35f, -0.35f);
            glTexCoord2f(1, 1);
            glVertex2f(0.35f, 0.35f);
            glEnd();
        }
        glPopMatrix();
    }
    glDepthMask(depthWrites);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}
