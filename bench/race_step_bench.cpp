// The cost of one 2 ms race step (UpdateRace) with five computer cars, in
// checkpoint and tag mode, on a rolling terrain with a course of twelve
// gates round the middle of the world.  The cars race on from step to step
// (a new race when one ends), so the figure covers driving, contacts, gates
// and the edge of the world alike.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/appdir.h"
#include "app/config.h"
#include "game/race_prefs.h"
#include "race/race.h"
#include "race/standings.h"

namespace {

// A scratch folder holding one track, "bench": a 64 x 64 heightmap of gentle
// hills and a ring of gates of radius 18.
std::string WriteBenchTrack()
{
    namespace fs = std::filesystem;
    std::string root = (fs::temp_directory_path() / "quibbit-bench").string() + "/";
    fs::create_directories(root + "data/tracks/terrains");
    fs::create_directories(root + "data/tracks/checkpoints");
    std::string tga(18, '\0');
    tga[2] = 2;
    tga[12] = 64;
    tga[14] = 64;
    tga[16] = 24;
    for (int j = 0; j < 64; j++) {
        for (int i = 0; i < 64; i++) {
            const char grey = (char)(96 + 60 * sin(i * 0.2) * cos(j * 0.15));
            tga += std::string(3, grey);
        }
    }
    std::ofstream(root + "data/tracks/terrains/bench.tga", std::ios::binary) << tga;
    std::ofstream course(root + "data/tracks/checkpoints/bench.txt");
    for (int g = 0; g < 12; g++) {
        const double a = g * 30.0;
        // Positions are scaled by 1.25 when read: a ring of 18 units.
        course << 14.4 * sin(a * M_PI / 180.0) << " " << -14.4 * cos(a * M_PI / 180.0) << " " << a << " 3\n";
    }
    return root;
}

void StartRace(int mode)
{
    StartComputerRace({0, mode, 5, 2, 3, 60});
}

void RaceStep(benchmark::State& state)
{
    static const std::string root = WriteBenchTrack();
    SetAppDirectory(root.c_str());
    gConfig.trackCount = 1;
    snprintf(gConfig.trackNames[0], kTrackNameSize, "%s", "bench");
    const int mode = (int)state.range(0);
    ResetRandom();
    StartRace(mode);
    for (auto _ : state) {
        UpdateRace(kRaceDriving);
        RankByScore();
        if (RaceIsOver()) {
            state.PauseTiming();
            StartRace(mode);
            state.ResumeTiming();
        }
    }
    state.SetLabel(mode == 1 ? "checkpoint, 5 cars" : "tag, 5 cars");
}

}  // namespace

BENCHMARK(RaceStep)->Arg(1)->Arg(0);
