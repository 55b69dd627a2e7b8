// The checkpoint course: reading the gates and the two segment tests the
// world rules use (crossing a gate, touching a post).
#include "race/checkpoints.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/appdir.h"
#include "app/log.h"
#include "race/terrain.h"
#include "race/track_check.h"

Checkpoints gCheckpoints;
float lastPostHit[2];

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
    // The whole text at once (a course is a few kilobytes; the rest of a
    // larger file could hold no more than 99 gates anyway).
    const size_t limit = 1 << 20;
    char* text = (char*)malloc(limit);
    size_t size = text ? fread(text, 1, limit, file) : 0;
    fclose(file);
    CourseRead course;
    TrackProblems problems;
    ClearTrackProblems(&problems);
    ReadCourseText(text ? text : "", size, &course, &problems);
    free(text);
    for (int k = 0; k < problems.count; k++)
        LogMessage("MINOR ERROR (track): %s: %s", CurrentTrackName(), problems.text[k]);
    gCheckpoints.gateCount = course.gateCount;
    for (uint32_t n = 0; n < course.gateCount; n++) {
        gCheckpoints.gates[n] = course.gates[n];
        gCheckpoints.visible[n] = course.visible[n];
    }
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
