// quibbit-sim's recordings: playing one back headless and checking its
// results, and recording races whose people's cars follow a scripted
// player (keys held for human lengths of time, late reactions, missed
// corners) for the regression recordings of the test suite.
#include "replays.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/clock.h"
#include "app/config.h"
#include "app/log.h"
#include "race/car.h"
#include "race/checkpoints.h"
#include "race/dust.h"
#include "race/race.h"
#include "race/replay.h"
#include "race/standings.h"

namespace {

const float kDegToRad = 3.141592654f / 180.0f;

// Final scores and places as the game leaves them: RankByScore after the
// last step (the game ranks every drawn frame), FinishRace when the race
// reached its end.
void FinishLikeTheGame(Replay& r, bool finished)
{
    RankByScore();
    if (finished)
        FinishRace(false);
    TakeReplayResults(r, finished);
}

// The scripted player's own numbers (never the race's generator, which a
// replay must see used exactly as in the recorded race).
struct Script {
    uint32_t seed;
    uint32_t holdLeft[kMaxCars];  // steps before the next decision
    CarControls held[kMaxCars];
    uint32_t Next()
    {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7fff;
    }
};

// A person's decision for car c: steer towards the next gate (checkpoint)
// or towards the tag holder / away from the nearest car (tag), with the
// throttle lifted in sharp turns, now and then a moment of hesitation.
CarControls Decide(Script& s, uint32_t c)
{
    const Car& car = gCars[c];
    float tx = 0.0f, tz = 0.0f;
    if (gRaceSetup.gamemode == 1 && gCheckpoints.gateCount > 0) {
        const Checkpoint& g = gCheckpoints.gates[car.nextCheckpoint % gCheckpoints.gateCount];
        tx = g.aimPoint[0];
        tz = g.aimPoint[2];
    } else {
        const int32_t holder = gStandings.tagHolder;
        if (holder >= 0 && holder != (int32_t)c) {
            tx = gCars[holder].position[0];
            tz = gCars[holder].position[2];
        } else {
            tx = car.position[0] - 20.0f * sinf((float)(s.Next() % 360) * kDegToRad);
            tz = car.position[2] - 20.0f * cosf((float)(s.Next() % 360) * kDegToRad);
        }
    }
    const float want = atan2f(-(tx - car.position[0]), -(tz - car.position[2])) / kDegToRad;
    float d = want - car.heading;
    while (d > 180.0f)
        d -= 360.0f;
    while (d < -180.0f)
        d += 360.0f;
    CarControls k = {};
    k.left = d > 8.0f;
    k.right = d < -8.0f;
    k.accelerate = fabsf(d) < 70.0f && s.Next() % 20 != 0;
    k.brake = fabsf(d) > 120.0f && car.wheelSpeed > 3.0f;
    return k;
}

}  // namespace

int RunReplay(const char* file)
{
    static Replay r;  // runs of a long race: kept off the stack
    char error[256];
    if (!LoadReplayFile(file, &r, error, sizeof error)) {
        fprintf(stderr, "quibbit-sim: %s: %s\n", file, error);
        return 2;
    }
    gClock.stepRate = 500.0;  // every step of a race is 2 ms
    ClearTotals();
    if (!StartReplay(r, error, sizeof error)) {
        fprintf(stderr, "quibbit-sim: %s: %s\n", file, error);
        return 2;
    }
    printf("replay %s: track %s, %s, %u cars, %u steps (%.3f s), %s\n", file, r.track,
           r.setup.gamemode ? "checkpoint" : "tag", r.setup.carCount, r.steps, r.steps * 0.002,
           r.finished ? "finished" : "left early");
    ReplayCursor cursor = {};
    while (ReplayStep(r, cursor)) {
    }
    Replay now;
    ClearReplay(now);
    now.setup = r.setup;
    FinishLikeTheGame(now, r.finished != 0);
    int differing = 0;
    for (uint32_t c = 0; c < r.setup.carCount; c++) {
        const bool same = now.score[c] == r.score[c] && now.place[c] == r.place[c];
        printf("car %u: recorded score %.3f place %u, replayed score %.3f place %u%s\n", c, r.score[c],
               r.place[c], now.score[c], now.place[c], same ? "" : "  DIFFERENT");
        differing += same ? 0 : 1;
    }
    printf("%s\n", differing ? "replay differs from the recording" : "replay matches the recording");
    return differing ? 1 : 0;
}

int RecordScripted(const char* file, int track, int mode, int players, int cars, int skill, int laps,
                   int timeLimit, double cap, uint32_t seed)
{
    static Replay r;
    ClearReplay(r);
    RaceSetup& s = gRaceSetup;
    s = RaceSetup{};
    s.track = track;
    s.carCount = (uint32_t)cars;
    for (int c = 0; c < kMaxCars; c++)
        s.human[c] = c < players ? 1 : 0;
    s.gamemode = mode;
    s.laps = laps;
    s.timelimit = timeLimit;
    s.opponentskill = skill;
    s.particles = 1;
    s.seffects = 1;
    s.medalshowtime = 5.0f;
    s.terrainPixelSkip = 1;
    snprintf(r.gameVersion, sizeof r.gameVersion, "%s", kProgramVersion);
    snprintf(r.track, sizeof r.track, "%s", gConfig.trackNames[track]);
    if (!TrackChecksum(r.track, &r.trackChecksum)) {
        fprintf(stderr, "quibbit-sim: cannot read the files of track %s\n", r.track);
        return 2;
    }
    r.setup = s;
    for (int c = 0; c < kMaxCars; c++)
        snprintf(r.names[c], sizeof r.names[c], c < players ? "script%d" : "cpu%d", c + 1);

    gClock.stepRate = 500.0;
    ClearDust();
    ClearTotals();
    LoadTrack();
    r.randomState = RandomState();
    ResetCars();

    Script script = {};
    script.seed = seed;
    const long maxSteps = (long)(cap * 500.0);
    bool over = false;
    for (long step = 0; step < maxSteps && !over; step++) {
        for (int c = 0; c < players; c++) {
            if (script.holdLeft[c] == 0) {
                script.held[c] = Decide(script, (uint32_t)c);
                script.holdLeft[c] = 15 + script.Next() % 60;  // 30 to 150 ms
            }
            script.holdLeft[c]--;
            gControls[c] = script.held[c];
        }
        AppendReplayStep(r, gControls);
        UpdateRace(kRaceDriving);
        // The game tests the end once per drawn frame: here every 8 steps.
        if (step % 8 == 7) {
            RankByScore();
            over = RaceIsOver();
        }
    }
    FinishLikeTheGame(r, over);
    const std::string bytes = EncodeReplay(r);
    FILE* out = fopen(file, "wb");
    if (!out || fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
        fprintf(stderr, "quibbit-sim: cannot write %s\n", file);
        if (out)
            fclose(out);
        return 2;
    }
    fclose(out);
    printf("recorded %s: track %s, %s, %d cars (%d scripted), %u steps in %zu runs, %zu bytes, %s\n", file,
           r.track, mode ? "checkpoint" : "tag", cars, players, r.steps, r.runs.size(), bytes.size(),
           over ? "finished" : "stopped at the cap");
    for (int c = 0; c < cars; c++)
        printf("car %d: score %.3f place %u\n", c, r.score[c], r.place[c]);
    return 0;
}
