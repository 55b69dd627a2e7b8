// Who holds the tag, every car's score and tournament total, the rankings,
// the leader medal and the start countdown.
#pragma once

#include <cstdint>

#include "assets/texture.h"

struct RaceStandings {
    int32_t tagHolder;          // car holding the tag; -1 in checkpoint mode
    Texture medalTexture[4];    // slot 0: "data/textures/medal_1.tga" (render)
    uint32_t rankByScore[5];    // car indexes, ascending score
    uint32_t rankByTotal[5];    // car indexes, ascending total
    float score[5];             // this race
    float total[5];             // tournament
    float medalTimer[5][4];     // seconds each medal stays up
    float countdown;            // start countdown, 4.0 falling
    uint8_t medalShown[5][4];
    float raceClock;            // seconds driven since the start ("Go!"), per race
};

// Per race (ResetStandings) and per tournament (ClearTotals).
extern RaceStandings gStandings;

void ResetStandings();
void ClearTotals();
void UpdateScore(uint32_t car);
void AwardMedal(uint32_t car, int slot);
void ClearMedal(uint32_t car, int slot);
void TickStandings();
void RankByScore();
void RankByTotal();
