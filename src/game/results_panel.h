// The results panel's content: title, places, names and scores of the race
// just run (or the tournament totals), built without drawing so the tests
// can check it.  The screen (results.cpp) lays the rows out in columns.
#pragma once

#include <cstdint>

struct Prefs;
struct RaceStandings;

static const int kPanelTextSize = 48;

struct ResultsPanelRow {
    uint32_t car;                  // its colour is playerColour[car]
    uint32_t place;                // 1-based; equal values share the better place
    char placeText[8];             // "1st"
    char name[32];                 // CarDisplayName
    float score;                   // this race
    float total;                   // tournament total (tournament only)
    bool local;                    // driven by a person at this machine: highlighted
};

struct ResultsPanel {
    char title[kPanelTextSize];     // the track's name
    char subtitle[kPanelTextSize];  // "Race 2 of 6" in a tournament, else the game mode
    bool tournament;                // rows by total, with a total column
    int rowCount;
    ResultsPanelRow rows[5];        // best first
};

// Rows by descending total (tournament) or score, equal values in car index
// order.  `track` counts from 0.  Bit c of `humanCars` marks car c driven by
// a person (here or across the network: it keeps its stored name), bit c of
// `localCars` a person at this machine (the highlighted rows).
void BuildResultsPanel(const RaceStandings& standings, const Prefs& prefs, bool tournament, int32_t track,
                       int32_t trackCount, const char* trackName, uint32_t humanCars, uint32_t localCars,
                       ResultsPanel* panel);
