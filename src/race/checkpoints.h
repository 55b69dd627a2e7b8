// The checkpoint course of the current track and the gate tests.  The
// gates' display list and models are src/render's (it watches generation).
#pragma once

#include <cstdint>

static const int kMaxGates = 99;

struct Checkpoint {
    float leftPost[3];
    float centre[3];
    float rightPost[3];
    float aimPoint[3];   // 1 / W from the centre along the gate normal
};

struct Checkpoints {
    Checkpoint gates[kMaxGates];
    uint8_t visible[kMaxGates];  // 0 for a hidden waypoint
    uint32_t gateCount;
    uint32_t gateList;           // display list of the visible gates (render)
    uint32_t generation;         // grows at every LoadCheckpoints
};

// Per track: LoadCheckpoints refills it at every race start.
extern Checkpoints gCheckpoints;

// x and z of the post hit last by HitGatePost.  Written by every hit and
// read right after it by the world rules; never reset.
extern float lastPostHit[2];

// Reads "data/tracks/checkpoints/<track>.txt" of the current track; a
// missing file ends the program.  Reading stops at anything that is not a
// number and at a gate whose posts or aim point are not finite (a width of
// 0, numbers at the edge of the float range); the log then names the line
// ("MINOR ERROR (track): NAME: course line N: ...").
void LoadCheckpoints();

// Index of the first gate whose post-to-post segment the segment a-b
// crosses in the x-z plane, or -1.
int32_t FindCrossedGate(const float a[3], const float b[3]);

// Whether the segment a-b passes within 0.05 of a gate post.
bool HitGatePost(const float a[3], const float b[3]);
