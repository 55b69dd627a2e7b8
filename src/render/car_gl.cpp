// The car's frame stands at its x and z (the middle of the rear axle) at
// height wheelRadius, turned by the heading.  The body is raised by the
// car's height and sits rearAxleOffset ahead of the rear axle; each wheel is
// raised by its own height, so its centre is one radius above its ground
// point.  The models carry no colour: the current colour paints them.
#include "render/car_gl.h"

#include <GL/gl.h>

#include <cmath>

#include "game/prefs.h"
#include "race/standings.h"
#include "render/race_assets.h"
#include "render/race_frame.h"

namespace {

enum WheelSide { kLeft, kRight };

// The outline's reach while it is drawn: each part's points through the
// current modelview (the shadow camera's eye space), as the tangents of
// their angles off the camera's axis.
struct OutlineSpan {
    float u0, u1, v0, v1;
};
OutlineSpan outlineSpan;
bool tracingOutline;  // while DrawCarSilhouette draws

// Adds `count` points (x, y, z; 3DS axes, z up, when `zUp`) drawn under the
// current modelview.
void AddToOutline(const float* points, size_t count, bool zUp)
{
    if (!tracingOutline)
        return;
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (size_t i = 0; i < count; i++) {
        const float* p = points + 3 * i;
        // The model lists turn 3DS's z up to our y up: (x, y, z) -> (x, z, -y).
        const float x = p[0], y = zUp ? p[2] : p[1], z = zUp ? -p[1] : p[2];
        const float ex = m[0] * x + m[4] * y + m[8] * z + m[12];
        const float ey = m[1] * x + m[5] * y + m[9] * z + m[13];
        const float ez = m[2] * x + m[6] * y + m[10] * z + m[14];
        if (!(ez < -1.0f))
            continue;  // the camera stands 57.5 above the car: never
        const float u = ex / -ez, v = ey / -ez;
        outlineSpan.u0 = u < outlineSpan.u0 ? u : outlineSpan.u0;
        outlineSpan.u1 = u > outlineSpan.u1 ? u : outlineSpan.u1;
        outlineSpan.v0 = v < outlineSpan.v0 ? v : outlineSpan.v0;
        outlineSpan.v1 = v > outlineSpan.v1 ? v : outlineSpan.v1;
    }
}

// The shadow's wheel: seen from straight above a wheel is a rectangle, so
// a box of the tyre's size (0.2 wide, radius 0.25) outlines it at a
// fraction of the round model's cost.  Drawn in the current colour.
void WheelOutline()
{
    static const float kX = 0.1f, kR = 0.25f;
    static const float kCorner[8][3] = {{-kX, -kR, -kR}, {kX, -kR, -kR}, {kX, kR, -kR}, {-kX, kR, -kR},
                                        {-kX, -kR, kR},  {kX, -kR, kR},  {kX, kR, kR},  {-kX, kR, kR}};
    static const int kFace[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {2, 3, 7, 6}, {1, 2, 6, 5}, {0, 4, 7, 3}};
    static const float kNormal[6][3] = {{0, 0, -1}, {0, 0, 1}, {0, -1, 0}, {0, 1, 0}, {1, 0, 0}, {-1, 0, 0}};
    AddToOutline(&kCorner[0][0], 8, false);
    glBegin(GL_QUADS);
    for (int f = 0; f < 6; f++) {
        const auto& face = kFace[f];
        glNormal3fv(kNormal[f]);
        for (int k = 0; k < 4; k++)
            glVertex3fv(kCorner[face[k]]);
    }
    glEnd();
}

// The full wheel, the middle one, the low one (all three spin) or the
// shadow's box.
enum WheelShape { kRound, kMiddle, kLow, kBox };

// One wheel at the current axle: right wheels are the left model turned round.
void DrawWheel(const Car& car, int w, float halfTrack, WheelSide side, bool front, WheelShape shape)
{
    const bool spin = shape != kBox;
    const WheelAngles& angles = car.wheelAngles[w];
    glPushMatrix();
    glTranslatef(side == kLeft ? -halfTrack : halfTrack, car.wheelPoint[w].y, 0.0f);
    if (side == kRight)
        glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
    if (front)
        glRotatef(angles.steer, 0.0f, 1.0f, 0.0f);
    glRotatef(angles.camber, 0.0f, 0.0f, 1.0f);
    if (spin)
        glRotatef(angles.spin, 1.0f, 0.0f, 0.0f);
    if (shape != kBox) {
        glColor3f(0.9f, 0.7f, 0.0f);  // the rims' paint; the list leaves the tyre's colour behind
        (shape == kRound ? gCarAssets.wheel : shape == kMiddle ? gCarAssets.middleWheel : gCarAssets.lowWheel)
            .CallDisplayList();
    } else {
        WheelOutline();
    }
    glPopMatrix();
}

// How much of the car is drawn: the full model, the middle model (the same
// shapes cut coarser), the far model (the low-detail body in the paint and
// box wheels in tyre colour), or the shadow outline in the current colour.
enum Detail { kFull, kMid, kFar, kOutline };

// Body and wheels in the car's frame; the far body and the outline take
// box wheels whatever `round` says.
void DrawCarBody(const Car& car, Detail detail, WheelShape round)
{
    const Model& body = detail == kFull  ? gCarAssets.body
                        : detail == kMid ? gCarAssets.middleBody
                                         : gCarAssets.silhouette;
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -car.rearAxleOffset);

    glPushMatrix();
    glTranslatef(0.0f, car.position[1], 0.0f);
    glRotatef(car.suspensionPitch + car.groundPitch, 1.0f, 0.0f, 0.0f);
    glRotatef(car.suspensionRoll + car.groundRoll, 0.0f, 0.0f, 1.0f);
    if (detail == kOutline) {
        for (const MeshObject& object : body.objects)
            AddToOutline(object.vertices.data(), object.vertices.size() / 3, true);
        body.CallDisplayList();
    } else {
        const float* colour = gPrefs.playerColour[car.index % kMaxCars];
        glColor3f(colour[0], colour[1], colour[2]);
        body.CallDisplayList();
        if (gStandings.tagHolder == (int32_t)car.index) {
            glColor3f(colour[0], colour[1], colour[2]);  // the list changed it
            glEnable(GL_BLEND);
            glBlendFunc(GL_ONE, GL_ONE);
            body.CallDisplayList();
            glDisable(GL_BLEND);
        }
    }
    glPopMatrix();

    if (detail == kFar || detail == kOutline)
        round = kBox;
    if (detail == kFar)
        glColor3f(0.14f, 0.14f, 0.15f);
    glTranslatef(0.0f, 0.0f, -car.frontAxleOffset);
    DrawWheel(car, 0, car.frontHalfTrack, kLeft, true, round);
    DrawWheel(car, 1, car.frontHalfTrack, kRight, true, round);
    glPopMatrix();

    DrawWheel(car, 2, car.rearHalfTrack, kLeft, false, round);
    DrawWheel(car, 3, car.rearHalfTrack, kRight, false, round);
}

void RotateByCarAngles(const Car& car)
{
    glRotatef(car.pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(car.heading, 0.0f, 1.0f, 0.0f);
    glRotatef(car.roll, 0.0f, 0.0f, 1.0f);
}

}  // namespace

void DrawCar(const Car& car, float pixels)
{
    const Detail detail = pixels >= kMidCarPixels ? kFull : pixels >= kFarCarPixels ? kMid : kFar;
    const WheelShape wheels = pixels >= kFullWheelPixels ? kRound : pixels >= kLowWheelPixels ? kMiddle : kLow;
    glEnable(GL_LIGHTING);
    glPushMatrix();
    glTranslatef(car.position[0], car.wheelRadius, car.position[2]);
    RotateByCarAngles(car);
    DrawCarBody(car, detail, wheels);
    glPopMatrix();
    glDisable(GL_LIGHTING);
}

ShadowExtent DrawCarSilhouette(const Car& car)
{
    outlineSpan = {1e9f, -1e9f, 1e9f, -1e9f};
    tracingOutline = true;
    glColor3f(0.25f, 0.25f, 0.25f);
    glPushMatrix();
    RotateByCarAngles(car);
    DrawCarBody(car, kOutline, kBox);
    glPopMatrix();
    tracingOutline = false;
    // Eye x is the world's x and eye y its -z; a tangent of tan 2.5 degrees
    // is the texture's edge, 2.5 units out.
    const float k = 2.5f / tanf(2.5f * 3.14159265f / 180.0f);
    if (outlineSpan.u0 > outlineSpan.u1)
        return {0.0f, 0.0f, 0.0f, 0.0f};
    return {outlineSpan.u0 * k, outlineSpan.u1 * k, -outlineSpan.v1 * k, -outlineSpan.v0 * k};
}
