// quibbit-sim: the headless race simulator.  Loads a track from a data
// folder, puts computer cars on the grid and runs the game's own race step
// (start countdown included) at 500 steps per simulated second until the
// race-over rule fires or a time cap passes; then prints one line per car,
// when the race ended, how often the tag changed hands and how much faster
// than real time it ran.  The same arguments always give the same race.
//
//   quibbit-sim [options] TRACK          one race (TRACK: name or index)
//   quibbit-sim [options] --acceptance   every track: checkpoint races at
//                                        each skill, then tag races
//   quibbit-sim [options] --soak S       every track, both modes, five cars:
//                                        S simulated seconds of races back
//                                        to back, every car checked each step
//   quibbit-sim [options] --replay FILE  plays a recording, compares results
//   quibbit-sim [options] --record FILE --players N TRACK
//                                        records a race whose first N cars
//                                        follow a scripted player
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/appdir.h"
#include "check_track.h"
#include "app/config.h"
#include "game/race_prefs.h"
#include "platform/sys.h"
#include "race/camera.h"
#include "race/car.h"
#include "race/checkpoints.h"
#include "race/race.h"
#include "race/standings.h"
#include "race/terrain.h"
#include "replays.h"

namespace {

const int kStepRate = 500;

struct Options {
    const char* dataDir = nullptr;  // folder holding data/
    const char* track = nullptr;
    int mode = 1;          // 0 tag, 1 checkpoint
    int cars = 5;
    int skill = 2;
    int laps = 3;
    int timeLimit = 60;
    double cap = 600.0;    // simulated seconds
    bool acceptance = false;
    bool quiet = false;
    int soak = 0;          // simulated seconds per track and mode; 0: no soak
    const char* replay = nullptr;  // recording to play
    const char* record = nullptr;  // recording to write
    int players = 1;       // --record: scripted cars
    int seed = 1;          // --record: the script's random numbers
};

// Watches a race step by step: how long each car has stood still (moved
// less than one unit) since the countdown ended, and how tightly the tag
// changes hands.
struct RaceWatch {
    float anchor[kMaxCars][2];  // where each car last was a unit away from
    long anchorStep[kMaxCars];  // and the step it was there
    double longestStill[kMaxCars];  // seconds
    long tagSteps[4];           // steps of the last four tag changes, newest first
    int tagChanges;
    int tagBurst;               // most tag changes within one second
    int32_t holder;

    void Start()
    {
        memset(this, 0, sizeof *this);
        holder = gStandings.tagHolder;
        for (int c = 0; c < kMaxCars; c++)
            anchorStep[c] = -1;  // not until the countdown is over
        for (long& t : tagSteps)
            t = -100000;
    }

    // After each race step `step` (counted from 1) with `cars` cars.
    void Step(long step, int cars)
    {
        if (gStandings.tagHolder != holder) {
            holder = gStandings.tagHolder;
            tagChanges++;
            for (int k = 3; k > 0; k--)
                tagSteps[k] = tagSteps[k - 1];
            tagSteps[0] = step;
            int burst = 1;
            while (burst < 4 && step - tagSteps[burst] < kStepRate)
                burst++;
            if (burst > tagBurst)
                tagBurst = burst;
        }
        if (!(gStandings.countdown < 1.0f))
            return;
        for (int c = 0; c < cars; c++) {
            const float* p = gCars[c].position;
            const float dx = p[0] - anchor[c][0], dz = p[2] - anchor[c][1];
            if (anchorStep[c] < 0 || dx * dx + dz * dz >= 1.0f) {
                anchor[c][0] = p[0];
                anchor[c][1] = p[2];
                anchorStep[c] = step;
            }
            const double still = (double)(step - anchorStep[c]) / kStepRate;
            if (still > longestStill[c])
                longestStill[c] = still;
        }
    }

    // The car that stood still longest.
    int Stillest(int cars) const
    {
        int worst = 0;
        for (int c = 1; c < cars; c++)
            if (longestStill[c] > longestStill[worst])
                worst = c;
        return worst;
    }
};

// Acceptance limit: no car stands still for longer than this after the
// countdown.  Tag changes within one second are reported against
// kMaxTagBurst but do not fail a race: with the previous holder's second of
// cooldown, four changes in a second take a chain through all five cars,
// which packs chasing the holder at speed make as well as jams do.
const double kMaxStandstill = 5.0;
const int kMaxTagBurst = 3;

struct Result {
    bool over;
    double endTime;        // simulated seconds when the race ended
    int tagChanges;
    double speed;          // simulated seconds per wall-clock second
    // Per car: the last time its next gate changed, for stuck reports.
    double lastProgress[kMaxCars];
    float score[kMaxCars];  // progress or seconds held, before final scoring
    RaceWatch watch;
    int repairs;            // car states put back to their last good one
};

void Usage()
{
    fprintf(stderr,
            "usage: quibbit-sim [options] TRACK | --acceptance\n"
            "       quibbit-sim --check-track DIR NAME   check a track's files, then race it\n"
            "  TRACK               track name or index in the sorted track list\n"
            "  --data DIR          folder that holds data/ (default: the executable's folder)\n"
            "  --mode tag|checkpoint   game mode (default checkpoint)\n"
            "  --cars N            computer cars, 1..5 (default 5)\n"
            "  --skill easy|medium|hard|0|1|2   opponent skill (default hard)\n"
            "  --laps N            checkpoint laps (default 3)\n"
            "  --timelimit S       tag time limit in seconds (default 60)\n"
            "  --cap S             simulated seconds before giving up (default 600)\n"
            "  --acceptance        every track: checkpoint, 5 cars, 3 laps at each skill,\n"
            "                      then tag, 5 cars, limit 60 (>= 3 tag changes); every\n"
            "                      race fails on a car still for over 5 s or a repair\n"
            "  --quiet             acceptance: one line per race only\n"
            "  --soak S            every track in both modes with five cars (with TRACK:\n"
            "                      that track in --mode only): S simulated seconds of\n"
            "                      races back to back; fails on a car field\n"
            "                      that is not finite, a car outside the world's box, a\n"
            "                      repaired car state, or (checkpoint mode) a car with no\n"
            "                      new gate for 60 s\n"
            "  --replay FILE       play a recording headless; exit 0 only when every car's\n"
            "                      final score and place equal the recorded ones\n"
            "  --record FILE       with TRACK: record a race whose first --players N cars\n"
            "                      (default 1) follow a scripted player (--seed N)\n");
}

int ParseSkill(const char* text)
{
    if (!strcmp(text, "easy") || !strcmp(text, "0"))
        return 0;
    if (!strcmp(text, "medium") || !strcmp(text, "1"))
        return 1;
    if (!strcmp(text, "hard") || !strcmp(text, "2"))
        return 2;
    return -1;
}

bool ParseInt(const char* text, int low, int high, int* out)
{
    char* end = nullptr;
    long value = strtol(text, &end, 10);
    if (!*text || *end || value < low || value > high)
        return false;
    *out = (int)value;
    return true;
}

bool ParseArgs(int argc, char** argv, Options* o)
{
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!strcmp(a, "--acceptance")) {
            o->acceptance = true;
        } else if (!strcmp(a, "--quiet")) {
            o->quiet = true;
        } else if (a[0] == '-' && a[1] == '-' && !next) {
            return false;
        } else if (!strcmp(a, "--soak")) {
            if (!ParseInt(argv[++i], 1, 10000000, &o->soak))
                return false;
        } else if (!strcmp(a, "--replay")) {
            o->replay = argv[++i];
        } else if (!strcmp(a, "--record")) {
            o->record = argv[++i];
        } else if (!strcmp(a, "--players")) {
            if (!ParseInt(argv[++i], 1, kMaxCars, &o->players))
                return false;
        } else if (!strcmp(a, "--seed")) {
            if (!ParseInt(argv[++i], 0, 2147483647, &o->seed))
                return false;
        } else if (!strcmp(a, "--data")) {
            o->dataDir = argv[++i];
        } else if (!strcmp(a, "--mode")) {
            i++;
            if (!strcmp(next, "tag") || !strcmp(next, "0"))
                o->mode = 0;
            else if (!strcmp(next, "checkpoint") || !strcmp(next, "1"))
                o->mode = 1;
            else
                return false;
        } else if (!strcmp(a, "--cars")) {
            if (!ParseInt(argv[++i], 1, kMaxCars, &o->cars))
                return false;
        } else if (!strcmp(a, "--skill")) {
            o->skill = ParseSkill(argv[++i]);
            if (o->skill < 0)
                return false;
        } else if (!strcmp(a, "--laps")) {
            if (!ParseInt(argv[++i], 1, 1000, &o->laps))
                return false;
        } else if (!strcmp(a, "--timelimit")) {
            if (!ParseInt(argv[++i], 1, 100000, &o->timeLimit))
                return false;
        } else if (!strcmp(a, "--cap")) {
            int cap;
            if (!ParseInt(argv[++i], 1, 1000000, &cap))
                return false;
            o->cap = cap;
        } else if (a[0] == '-') {
            return false;
        } else if (!o->track) {
            o->track = a;
        } else {
            return false;
        }
    }
    if (o->record && (!o->track || o->players > o->cars))
        return false;
    return o->acceptance || o->soak > 0 || o->replay || o->track;
}

// Index of TRACK in the sorted list: its name, or else a number.
int FindTrack(const char* track)
{
    for (int i = 0; i < gConfig.trackCount; i++)
        if (!strcmp(gConfig.trackNames[i], track))
            return i;
    int index;
    if (ParseInt(track, 0, gConfig.trackCount - 1, &index))
        return index;
    return -1;
}

// One race on track `track` with the options' mode, cars, skill, laps and
// time limit; the race step runs exactly as in the game's race state.
Result RunRace(int track, const Options& o)
{
    ResetRandom();
    StartComputerRace({track, o.mode, o.cars, o.skill, o.laps, o.timeLimit});

    Result r = {};
    const long maxSteps = (long)(o.cap * kStepRate);
    uint32_t lastGate[kMaxCars];
    for (int c = 0; c < kMaxCars; c++)
        lastGate[c] = gCars[c].nextCheckpoint;
    r.watch.Start();
    const uint64_t start = SysCounter();
    long step = 0;
    while (step < maxSteps) {
        UpdateRace(kRaceDriving);
        step++;
        r.watch.Step(step, o.cars);
        for (int c = 0; c < o.cars; c++) {
            if (gCars[c].nextCheckpoint != lastGate[c]) {
                lastGate[c] = gCars[c].nextCheckpoint;
                r.lastProgress[c] = (double)step / kStepRate;
            }
        }
        // The game tests once per drawn frame; here every step is a frame.
        RankByScore();
        if (RaceIsOver()) {
            r.over = true;
            break;
        }
    }
    const uint64_t wall = SysCounter() - start;
    r.endTime = (double)step / kStepRate;
    r.speed = wall > 0 ? r.endTime / ((double)wall / (double)SysFrequency()) : 0.0;
    r.tagChanges = r.watch.tagChanges;
    for (int c = 0; c < kMaxCars; c++)
        r.score[c] = gStandings.score[c];
    for (int c = 0; c < o.cars; c++)
        r.repairs += (int)gCars[c].repairs;
    if (r.over)
        FinishRace(false);
    return r;
}

const char* kSkillNames[3] = {"easy", "medium", "hard"};

void PrintCars(const Options& o, const Result& r)
{
    // Places counted from 1 for the winner.
    int place[kMaxCars] = {};
    for (int i = 0; i < o.cars; i++)
        place[gStandings.rankByScore[i]] = o.cars - i;
    for (int c = 0; c < o.cars; c++) {
        const Car& car = gCars[c];
        printf("car %d: laps %u next gate %u score %.3f final %.1f place %d at (%.2f, %.2f) "
               "last gate change %.1f s longest standstill %.1f s\n",
               c, car.lapsDone, car.nextCheckpoint, r.score[c], gStandings.score[c], place[c],
               car.position[0], car.position[2], r.lastProgress[c], r.watch.longestStill[c]);
    }
}

void PrintSummary(const Result& r)
{
    if (r.over)
        printf("race over: yes, at %.3f s\n", r.endTime);
    else
        printf("race over: no, stopped at the cap of %.0f s\n", r.endTime);
    printf("tag changes: %d, at most %d within one second\n", r.tagChanges, r.watch.tagBurst);
    printf("repairs: %d\n", r.repairs);
    printf("speed: %.0f x real time\n", r.speed);
}

// A car that has not moved on for a long time: where it is and which gate
// it is after.
void PrintStuck(const Options& o, const Result& r)
{
    for (int c = 0; c < o.cars; c++) {
        const Car& car = gCars[c];
        if (r.endTime - r.lastProgress[c] < 60.0)
            continue;
        printf("    car %d stuck since %.1f s at (%.2f, %.2f), after gate %u", c, r.lastProgress[c],
               car.position[0], car.position[2], car.nextCheckpoint);
        if (car.nextCheckpoint < gCheckpoints.gateCount) {
            const Checkpoint& g = gCheckpoints.gates[car.nextCheckpoint];
            printf(" (centre %.2f, %.2f; posts %.2f, %.2f and %.2f, %.2f; %s)", g.centre[0], g.centre[2],
                   g.leftPost[0], g.leftPost[2], g.rightPost[0], g.rightPost[2],
                   gCheckpoints.visible[car.nextCheckpoint] ? "visible" : "hidden");
        }
        printf("\n");
    }
}

int RunAcceptance(Options o)
{
    int failures = 0;
    for (int t = 0; t < gConfig.trackCount; t++) {
        for (int mode = 1; mode >= 0; mode--) {
            for (int skill = 0; skill < 3; skill++) {
                o.mode = mode;
                o.cars = 5;
                o.laps = 3;
                o.timeLimit = 60;
                o.skill = skill;
                o.cap = 600.0;
                Result r = RunRace(t, o);
                const RaceWatch& w = r.watch;
                const int still = w.Stillest(o.cars);
                // No car stood still for long, no state went bad, and:
                // checkpoint, the winner has its laps and is past gate 0
                // again; tag, the tag changed hands.
                const uint32_t winner = gStandings.rankByScore[o.cars - 1];
                bool ok = r.over && w.longestStill[still] <= kMaxStandstill && r.repairs == 0;
                if (mode == 1)
                    ok = ok && gCars[winner].lapsDone >= (uint32_t)o.laps;
                else
                    ok = ok && r.tagChanges >= 3;
                printf("%-24s %-10s %-6s %s  %s %6.1f s, standstill %4.1f s (car %d)", gConfig.trackNames[t],
                       mode ? "checkpoint" : "tag", kSkillNames[skill], ok ? "PASS" : "FAIL",
                       r.over ? "ended at" : "not over", r.endTime, w.longestStill[still], still);
                if (mode == 0)
                    printf(", %d tag changes, at most %d in 1 s", r.tagChanges, w.tagBurst);
                if (r.repairs)
                    printf(", %d repair(s)", r.repairs);
                printf("  (%.0f x real time)\n", r.speed);
                if (!ok) {
                    failures++;
                    if (mode == 1)
                        PrintStuck(o, r);
                    if (!o.quiet)
                        PrintCars(o, r);
                }
            }
        }
    }
    printf("%d track(s), %d failure(s)\n", gConfig.trackCount, failures);
    return failures == 0 && gConfig.trackCount > 0 ? 0 : 1;
}

// The box no car may leave: the world's edges (-32 and 30 on x and z, where
// the world rules push a car back) widened by a car's length, since the
// rules act on the body corners after the step that crossed; from below the
// lowest ground to well above any jump.
const float kBoxLow = -32.0f - 2.0f, kBoxHigh = 30.0f + 2.0f;
const float kBoxBottom = -1.0f, kBoxTop = 40.0f;
const double kStuckSeconds = 60.0;

bool AllFinite(const float* v, int n)
{
    for (int i = 0; i < n; i++)
        if (!std::isfinite(v[i]))
            return false;
    return true;
}

// Every number of the car record that a step changes.
bool CarFinite(const Car& c)
{
    const float singles[] = {c.tagCooldown, c.pitch, c.heading, c.roll, c.slideHeading, c.slideRate,
                             c.suspensionPitch, c.suspensionRoll, c.suspensionPitchRate, c.suspensionRollRate,
                             c.groundPitch, c.groundRoll, c.steer, c.wheelSpeed, c.turnCircle, c.turnRadius};
    if (!AllFinite(singles, (int)(sizeof singles / sizeof singles[0])))
        return false;
    if (!AllFinite(c.position, 3) || !AllFinite(c.velocity, 3) || !AllFinite(c.angularVelocity, 3) ||
        !AllFinite(c.dustTimer, 4) || !AllFinite(&c.corner[0][0], 12) || !AllFinite(c.stepDelta, 6))
        return false;
    for (int w = 0; w < 4; w++) {
        const WheelPoint& p = c.wheelPoint[w];
        const WheelAngles& a = c.wheelAngles[w];
        const float v[] = {p.x, p.y, p.z, p.vx, p.vy, p.vz, a.spin, a.steer, a.camber};
        if (!AllFinite(v, 9))
            return false;
    }
    return true;
}

struct SoakResult {
    double simulated;     // seconds
    double wall;          // seconds
    long steps;
    int races;
    int faults;
    float low[3], high[3];  // extremes of the car positions
    double longestWait;     // checkpoint mode: longest time without a new gate
    double longestStill;    // longest standstill of a car after a countdown
    int stillRaces;         // races with a standstill above kMaxStandstill
    int burstRaces;         // tag races with more than kMaxTagBurst changes in 1 s
    int repairs;            // car states put back to their last good one
};

// Races on `track` in `mode` back to back until `seconds` have been
// simulated, each car checked after every step; faults are printed (the
// first few).
SoakResult Soak(int track, int mode, int seconds)
{
    Options o;
    o.mode = mode;
    o.cars = kMaxCars;
    o.laps = 3;
    o.timeLimit = 60;
    SoakResult s = {};
    for (int k = 0; k < 3; k++) {
        s.low[k] = 1e9f;
        s.high[k] = -1e9f;
    }
    const long total = (long)seconds * kStepRate;
    const uint64_t start = SysCounter();
    while (s.steps < total) {
        // A race: as RunRace, but checked at every step; skills take turns.
        o.skill = s.races % 3;
        StartComputerRace({track, o.mode, o.cars, o.skill, o.laps, o.timeLimit});
        s.races++;
        uint32_t lastGate[kMaxCars];
        long lastChange[kMaxCars];
        long raceStep = 0;
        RaceWatch watch;
        watch.Start();
        for (int c = 0; c < kMaxCars; c++) {
            lastGate[c] = gCars[c].nextCheckpoint;
            lastChange[c] = 0;
        }
        while (s.steps < total) {
            UpdateRace(kRaceDriving);
            s.steps++;
            raceStep++;
            watch.Step(raceStep, o.cars);
            for (int c = 0; c < o.cars; c++) {
                const Car& car = gCars[c];
                const char* fault = nullptr;
                if (!CarFinite(car) || !std::isfinite(gStandings.score[c])) {
                    fault = "a field that is not a finite number";
                } else {
                    for (int k = 0; k < 3; k++) {
                        s.low[k] = fminf(s.low[k], car.position[k]);
                        s.high[k] = fmaxf(s.high[k], car.position[k]);
                    }
                    const float* p = car.position;
                    if (p[0] < kBoxLow || p[0] > kBoxHigh || p[2] < kBoxLow || p[2] > kBoxHigh ||
                        p[1] < kBoxBottom || p[1] > kBoxTop)
                        fault = "outside the world's box";
                }
                if (mode == 1) {
                    if (car.nextCheckpoint != lastGate[c] || gCheckpoints.gateCount == 0) {
                        lastGate[c] = car.nextCheckpoint;
                        lastChange[c] = raceStep;
                    }
                    const double wait = (double)(raceStep - lastChange[c]) / kStepRate;
                    if (wait > s.longestWait)
                        s.longestWait = wait;
                    if (wait > kStuckSeconds) {
                        fault = "no new gate for a minute";
                        lastChange[c] = raceStep;  // reported once a minute
                    }
                }
                if (fault) {
                    if (s.faults < 10)
                        printf("    %s race %d at %.3f s: car %d %s at (%.3f, %.3f, %.3f) moving (%.2f, %.2f, "
                               "%.2f), next gate %u\n",
                               gConfig.trackNames[track], s.races, (double)raceStep / kStepRate, c, fault,
                               car.position[0], car.position[1], car.position[2], car.velocity[0],
                               car.velocity[1], car.velocity[2], car.nextCheckpoint);
                    s.faults++;
                }
            }
            RankByScore();
            if (RaceIsOver()) {
                FinishRace(false);
                break;
            }
        }
        // A race cut short by the end of the soak counts as it stands.
        const double still = watch.longestStill[watch.Stillest(o.cars)];
        s.longestStill = fmax(s.longestStill, still);
        s.stillRaces += still > kMaxStandstill;
        s.burstRaces += mode == 0 && watch.tagBurst > kMaxTagBurst;
        // A repaired car is a fault: no state may go bad in a local race.
        for (int c = 0; c < o.cars; c++) {
            if (!gCars[c].repairs)
                continue;
            if (s.faults < 10)
                printf("    %s race %d: car %d repaired %u time(s)\n", gConfig.trackNames[track], s.races, c,
                       gCars[c].repairs);
            s.repairs += (int)gCars[c].repairs;
            s.faults++;
        }
    }
    s.simulated = (double)s.steps / kStepRate;
    s.wall = (double)(SysCounter() - start) / (double)SysFrequency();
    return s;
}

int RunSoak(const Options& o)
{
    int failures = 0;
    double simulated = 0.0, wall = 0.0;
    long steps = 0;
    int tracks = 0;
    for (int t = 0; t < gConfig.trackCount; t++) {
        if (o.track && FindTrack(o.track) != t)
            continue;
        tracks++;
        for (int mode = 1; mode >= 0; mode--) {
            if (o.track && o.mode != mode)
                continue;
            SoakResult s = Soak(t, mode, o.soak);
            simulated += s.simulated;
            wall += s.wall;
            steps += s.steps;
            printf("%-24s %-10s %s  %.0f s simulated in %d races, %.1f s wall, %.2f us per step; "
                   "x %.1f..%.1f y %.2f..%.2f z %.1f..%.1f",
                   gConfig.trackNames[t], mode ? "checkpoint" : "tag", s.faults ? "FAIL" : "PASS", s.simulated,
                   s.races, s.wall, s.steps ? s.wall * 1e6 / (double)s.steps : 0.0, s.low[0], s.high[0], s.low[1],
                   s.high[1], s.low[2], s.high[2]);
            if (mode == 1)
                printf("; longest wait for a gate %.1f s", s.longestWait);
            printf("; longest standstill %.1f s (%d race(s) above %.0f s)", s.longestStill, s.stillRaces,
                   kMaxStandstill);
            if (mode == 0)
                printf("; %d race(s) with more than %d tag changes in 1 s", s.burstRaces, kMaxTagBurst);
            printf("; %d repair(s)\n", s.repairs);
            if (s.faults) {
                printf("    %d fault(s)\n", s.faults);
                failures++;
            }
            fflush(stdout);
        }
    }
    printf("soak: %d track(s) x 2 modes, %.2f simulated hours in %.1f s wall, %.2f us per step "
           "(five cars), %d failure(s)\n",
           tracks, simulated / 3600.0, wall, steps ? wall * 1e6 / (double)steps : 0.0, failures);
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && !strcmp(argv[1], "--check-track"))
        return CheckTrackCommand(argc, argv);
    Options o;
    if (!ParseArgs(argc, argv, &o)) {
        Usage();
        return 2;
    }
    if (o.dataDir)
        SetAppDirectory(o.dataDir);
    else
        InitAppDirectory();
    ScanTracks();
    if (gConfig.trackCount == 0) {
        fprintf(stderr, "quibbit-sim: no tracks under %sdata/tracks/\n", AppDirectory());
        return 2;
    }
    if (o.acceptance)
        return RunAcceptance(o);
    if (o.soak > 0)
        return RunSoak(o);
    if (o.replay)
        return RunReplay(o.replay);

    const int track = FindTrack(o.track);
    if (track < 0) {
        fprintf(stderr, "quibbit-sim: no track \"%s\"\n", o.track);
        return 2;
    }
    if (o.record)
        return RecordScripted(o.record, track, o.mode, o.players, o.cars, o.skill, o.laps, o.timeLimit, o.cap,
                              (uint32_t)o.seed);
    Result r = RunRace(track, o);
    printf("track %s, %s, %d cars, skill %s, %s %d\n", gConfig.trackNames[track], o.mode ? "checkpoint" : "tag",
           o.cars, kSkillNames[o.skill], o.mode ? "laps" : "time limit", o.mode ? o.laps : o.timeLimit);
    PrintCars(o, r);
    PrintSummary(r);
    return r.over ? 0 : 1;
}
