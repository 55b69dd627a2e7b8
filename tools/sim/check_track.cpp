// quibbit-sim --check-track: prints the problems the track checker finds
// (the lines the game logs when it leaves a track out), and for a track
// without problems races five computer cars over three laps at each skill
// and says whether they lap it.
#include "check_track.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/appdir.h"
#include "app/config.h"
#include "game/race_prefs.h"
#include "race/car.h"
#include "race/checkpoints.h"
#include "race/race.h"
#include "race/standings.h"
#include "race/track_check.h"

namespace {

const int kStepRate = 500;
const int kLaps = 3;
const double kCapSeconds = 600.0;
const char* const kSkills[3] = {"easy", "medium", "hard"};

bool IsFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

struct Lap {
    bool over;        // the winner finished its laps
    double seconds;   // when the race ended (or the cap)
    uint32_t lapped;  // cars that completed at least one lap
};

// A checkpoint race of five computer cars at `skill` on track 0.
Lap RaceAtSkill(int skill)
{
    ResetRandom();
    StartComputerRace({0, 1, kMaxCars, skill, kLaps, 60});
    Lap lap = {};
    const long steps = (long)(kCapSeconds * kStepRate);
    long step = 0;
    while (step < steps) {
        UpdateRace(kRaceDriving);
        step++;
        RankByScore();
        if (RaceIsOver()) {
            lap.over = true;
            break;
        }
    }
    lap.seconds = (double)step / kStepRate;
    for (int c = 0; c < kMaxCars; c++)
        if (gCars[c].lapsDone >= 1)
            lap.lapped++;
    return lap;
}

}  // namespace

int CheckTrackCommand(int argc, char** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: quibbit-sim --check-track DIR NAME\n"
                        "  DIR: the data folder, or the folder that holds data/\n");
        return 2;
    }
    std::string dir = argv[2];
    if (IsFolder(dir + "/tracks"))  // the data folder itself
        dir += "/..";
    SetAppDirectory(dir.c_str());
    const char* name = argv[3];
    TrackProblems problems;
    const bool ok = CheckTrack(name, &problems);
    for (int k = 0; k < problems.count; k++)
        printf("MINOR ERROR (track): %s: %s\n", name, problems.text[k]);
    if (problems.dropped > 0)
        printf("MINOR ERROR (track): %s: and %d more problems.\n", name, problems.dropped);
    if (!ok) {
        printf("%s: %d problem(s); the game leaves this track out\n", name, problems.count + problems.dropped);
        return 1;
    }
    printf("%s: no problems\n", name);

    // The races: this track alone in the list.
    gConfig.trackCount = 1;
    snprintf(gConfig.trackNames[0], kTrackNameSize, "%s", name);
    int failures = 0;
    for (int skill = 0; skill < 3; skill++) {
        const Lap lap = RaceAtSkill(skill);
        if (lap.over)
            printf("%s: %-6s computer cars lap it: %d laps won in %.1f s, %u of 5 cars past a lap\n", name,
                   kSkills[skill], kLaps, lap.seconds, lap.lapped);
        else
            printf("%s: %-6s computer cars do NOT lap it: no winner after %.0f s, %u of 5 cars past a lap\n", name,
                   kSkills[skill], lap.seconds, lap.lapped);
        if (!lap.over)
            failures++;
        fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
}
