// Scores, rankings, the leader medal and the start countdown.
#include "race/standings.h"

#include <cmath>

#include "app/clock.h"
#include "race/car.h"
#include "race/checkpoints.h"
#include "race/race.h"

RaceStandings gStandings;

void ResetStandings()
{
    uint32_t cars = RaceCarCount();
    if (gRaceSetup.gamemode == 0)
        gStandings.tagHolder = cars > 0 ? RandomInt() % (int32_t)cars : -1;
    else
        gStandings.tagHolder = -1;
    for (int c = 0; c < kMaxCars; c++) {
        gStandings.score[c] = 0.0f;
        for (int k = 0; k < 4; k++)
            gStandings.medalShown[c][k] = 0;
    }
    gStandings.countdown = 4.0f;
    gStandings.raceClock = 0.0f;
}

void ClearTotals()
{
    for (int c = 0; c < kMaxCars; c++)
        gStandings.total[c] = 0.0f;
}

// Checkpoint progress: laps and gates passed plus the part of the way from
// the previous gate's centre to the next one's that is covered.
static float CheckpointProgress(const Car& car)
{
    const uint32_t gates = gCheckpoints.gateCount;
    const uint32_t n = car.nextCheckpoint;
    const uint32_t p = (n + gates - 1) % gates;
    const float* next = gCheckpoints.gates[n].centre;
    const float* prev = gCheckpoints.gates[p].centre;
    float length = hypotf(prev[0] - next[0], prev[2] - next[2]);
    if (length == 0.0f)
        length = 1.0f;
    float distance = hypotf(car.position[0] - next[0], car.position[2] - next[2]);
    return (float)car.lapsDone * (float)gates + (float)n + (1.0f - distance / length);
}

void UpdateScore(uint32_t car)
{
    if (car >= (uint32_t)kMaxCars)
        return;
    if (gRaceSetup.gamemode == 0) {
        gStandings.score[car] += (float)(1.0 / gClock.stepRate);
    } else if (gRaceSetup.gamemode == 1) {
        // No gate, no progress; a gate index outside the course counts for nothing.
        if (gCheckpoints.gateCount == 0 || gCars[car].nextCheckpoint >= gCheckpoints.gateCount)
            return;
        float progress = CheckpointProgress(gCars[car]);
        if (progress > gStandings.score[car])
            gStandings.score[car] = progress;
    }
}

void AwardMedal(uint32_t car, int slot)
{
    if (car >= (uint32_t)kMaxCars || slot < 0 || slot >= 4)
        return;
    gStandings.medalShown[car][slot] = 1;
    gStandings.medalTimer[car][slot] = gRaceSetup.medalshowtime;
}

void ClearMedal(uint32_t car, int slot)
{
    if (car >= (uint32_t)kMaxCars || slot < 0 || slot >= 4)
        return;
    gStandings.medalShown[car][slot] = 0;
    gStandings.medalTimer[car][slot] = 0.0f;
}

void TickStandings()
{
    const float dt = (float)(1.0 / gClock.stepRate);
    for (int c = 0; c < kMaxCars; c++) {
        for (int k = 0; k < 4; k++) {
            if (gStandings.medalTimer[c][k] > 0.0f)
                gStandings.medalTimer[c][k] -= dt;
            else
                gStandings.medalShown[c][k] = 0;
        }
    }
    if (gStandings.countdown < 1.0f)  // the cars may drive
        gStandings.raceClock += dt;
    if (gStandings.countdown > 0.0f)
        gStandings.countdown -= dt;
}

// Car indexes 0..count-1 in ascending order of value, equal values in
// index order (a stable insertion sort; every car gets a place, whatever
// its value).
static void RankAscending(const float* value, uint32_t* order)
{
    const uint32_t count = RaceCarCount();
    for (uint32_t c = 0; c < count; c++) {
        uint32_t k = c;
        while (k > 0 && value[order[k - 1]] > value[c]) {
            order[k] = order[k - 1];
            k--;
        }
        order[k] = c;
    }
    for (uint32_t c = count; c < (uint32_t)kMaxCars; c++)
        order[c] = c;
}

void RankByScore()
{
    RankAscending(gStandings.score, gStandings.rankByScore);
}

void RankByTotal()
{
    RankAscending(gStandings.total, gStandings.rankByTotal);
}
