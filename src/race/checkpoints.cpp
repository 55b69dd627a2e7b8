// The checkpoint course: reading the gates and the two segment tests the
// world rules use (crossing a gate, touching a post).
#include "race/checkpoints.h"

#include <cmath>
#include <cstdio>

#include "app/appdir.h"
#include "app/log.h"
#include "race/terrain.h"

Checkpoints gCheckpoints;
float lastPostHit[2];

static const float kPi = 3.141592654f;

// One number of the course; false at the end of the file or on anything
// that is not a finite number (reading stops there).
static bool ReadNumber(FILE* file, float* value)
{
    if (fscanf(file, "%f", value) != 1)
        return false;
    return std::isfinite(*value);
}

static bool GateIsFinite(const Checkpoint& gate)
{
    const float* points[4] = {gate.leftPost, gate.centre, gate.rightPost, gate.aimPoint};
    for (const float* p : points)
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
            return false;
    return true;
}

void LoadCheckpoints()
{
    char path[256];
    snprintf(path, sizeof path, "data/tracks/checkpoints/%s.txt", CurrentTrackName());
    FILE* file = OpenDataFile(path, "rb");
    if (!file) {
        LogMessage("ERROR (not found): %s", path);
        ExitProgram();
    }
    LogMessage("Loading checkpoints: %s", path);
    gCheckpoints.gateCount = 0;
    while (gCheckpoints.gateCount < (uint32_t)kMaxGates) {
        float x, z, a, w;
        if (!ReadNumber(file, &x) || !ReadNumber(file, &z) || !ReadNumber(file, &a) || !ReadNumber(file, &w))
            break;
        uint32_t n = gCheckpoints.gateCount;
        uint8_t visible = 1;
        if (w == 0.5f) {  // a hidden waypoint
            visible = 0;
            w = 3.0f;
        }
        x *= 1.25f;
        z *= 1.25f;
        float s = sinf(a * kPi / 180.0f);
        float c = cosf(a * kPi / 180.0f);
        Checkpoint gate;
        gate.leftPost[0] = x - c * w;
        gate.leftPost[1] = 0.0f;
        gate.leftPost[2] = z + s * w;
        gate.centre[0] = x;
        gate.centre[1] = 0.0f;
        gate.centre[2] = z;
        gate.rightPost[0] = x + c * w;
        gate.rightPost[1] = 0.0f;
        gate.rightPost[2] = z - s * w;
        // 1 / W along the normal; a gate of width 0 has no such point (it
        // would be infinite or not a number), so the driver aims at its centre.
        gate.aimPoint[0] = w != 0.0f ? x + s / w : x;
        gate.aimPoint[1] = 0.0f;
        gate.aimPoint[2] = w != 0.0f ? z + c / w : z;
        // Numbers beyond the float range give no usable gate: the course
        // ends there, as at anything that is not a number.
        if (!GateIsFinite(gate))
            break;
        gCheckpoints.gates[n] = gate;
        gCheckpoints.visible[n] = visible;
        gCheckpoints.gateCount = n + 1;
    }
    fclose(file);
    gCheckpoints.generation++;
}

// Cross product of the plane vectors (ax, az) and (bx, bz).
static double Cross(double ax, double az, double bx, double bz)
{
    return ax * bz - az * bx;
}

int32_t FindCrossedGate(const float a[3], const float b[3])
{
    const double sx = (double)b[0] - a[0];
    const double sz = (double)b[2] - a[2];
    for (uint32_t g = 0; g < gCheckpoints.gateCount && g < (uint32_t)kMaxGates; g++) {
        const Checkpoint& gate = gCheckpoints.gates[g];
        const double gx = (double)gate.rightPost[0] - gate.leftPost[0];
        const double gz = (double)gate.rightPost[2] - gate.leftPost[2];
        const double d = Cross(sx, sz, gx, gz);
        if (d == 0.0)  // parallel segments never cross
            continue;
        const double lx = (double)gate.leftPost[0] - a[0];
        const double lz = (double)gate.leftPost[2] - a[2];
        const double t = Cross(lx, lz, gx, gz) / d;  // along a-b
        const double u = Cross(lx, lz, sx, sz) / d;  // along the gate
        if (t >= 0.0 && t <= 1.0 && u >= 0.0 && u <= 1.0)
            return (int32_t)g;
    }
    return -1;
}

// Whether post p lies within the box of a-b and closer than 0.05 to the
// line through them.
static bool NearPost(const float a[3], const float b[3], const float p[3])
{
    if (p[0] < fminf(a[0], b[0]) || p[0] > fmaxf(a[0], b[0]))
        return false;
    if (p[2] < fminf(a[2], b[2]) || p[2] > fmaxf(a[2], b[2]))
        return false;
    const double sx = (double)b[0] - a[0];
    const double sz = (double)b[2] - a[2];
    const double length = sqrt(sx * sx + sz * sz);
    if (length == 0.0)  // a point: inside its own box means on it
        return true;
    const double distance = fabs(Cross(sx, sz, (double)p[0] - a[0], (double)p[2] - a[2])) / length;
    return distance < 0.05;
}

bool HitGatePost(const float a[3], const float b[3])
{
    for (uint32_t g = 0; g < gCheckpoints.gateCount && g < (uint32_t)kMaxGates; g++) {
        const Checkpoint& gate = gCheckpoints.gates[g];
        const float* posts[2] = {gate.leftPost, gate.rightPost};
        for (const float* p : posts) {
            if (NearPost(a, b, p)) {
                lastPostHit[0] = p[0];
                lastPostHit[1] = p[2];
                return true;
            }
        }
    }
    return false;
}
