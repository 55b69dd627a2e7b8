#include "game/recording.h"

#include <cstdio>
#include <cstring>

#include "app/appdir.h"
#include "app/clock.h"
#include "app/log.h"
#include "game/game_state.h"
#include "game/prefs.h"
#include "input/devices.h"
#include "net/net_session.h"
#include "platform/sys.h"
#include "race/standings.h"
#include "race/terrain.h"

RaceRecording gRecording;
Watching gWatch;

static const int kSpaceKey = 32, kRightKey = 39;
static const int kFastSteps = 4;

void BeginRaceRecording()
{
    EndRaceRecording(false);
    gWatch.active = 0;
    if (gNet.role == kRoleClient)
        return;
    Replay& r = gRecording.replay;
    ClearReplay(r);
    r.runs.reserve(4096);  // grows rarely, never inside the race step
    snprintf(r.gameVersion, sizeof r.gameVersion, "%s", kProgramVersion);
    snprintf(r.track, sizeof r.track, "%s", CurrentTrackName());
    if (!TrackChecksum(r.track, &r.trackChecksum)) {
        LogMessage("Not recording: the files of track \"%s\" cannot be read", r.track);
        return;
    }
    r.setup = gRaceSetup;
    for (int c = 0; c < kMaxCars; c++)
        snprintf(r.names[c], sizeof r.names[c], "%s", gPrefs.playername[c]);
    r.randomState = RandomState();
    gRecording.active = 1;
    gRecording.unevenSteps = 0;
}

void RecordRaceStep()
{
    if (!gRecording.active)
        return;
    // A recording holds no step lengths: every step must be the clock's 2 ms.
    if (gClock.stepRate != 500.0 && !gRecording.unevenSteps) {
        gRecording.unevenSteps = 1;
        LogMessage("Recording: a step of %.3f ms; the replay may differ", 1000.0 / gClock.stepRate);
    }
    AppendReplayStep(gRecording.replay, gControls);
}

void EndRaceRecording(bool finished)
{
    if (!gRecording.active)
        return;
    gRecording.active = 0;
    Replay& r = gRecording.replay;
    if (r.steps == 0)
        return;  // left before the first step: nothing to watch
    RankByScore();
    TakeReplayResults(r, finished);
    char path[64];
    if (!SaveReplay(r, path, sizeof path)) {
        LogMessage("Could not write the race recording to data/replays");
        return;
    }
    snprintf(gRecording.lastPath, sizeof gRecording.lastPath, "%s", path);
    if (!MakeAbsolutePath(gRecording.lastPath, sizeof gRecording.lastPath))
        gRecording.lastPath[0] = 0;
    // A recording that filled up stops before the race did: kept as left early.
    LogMessage("Race recorded: %s (%u steps, %s)", path, r.steps, r.finished ? "finished" : "left early");
}

void CheckRaceRecording()
{
    if (!IsRaceState(gGame.state)) {
        EndRaceRecording(false);
        gWatch.active = 0;
    }
}

bool StartWatching(const char* path)
{
    char error[300];
    if (!LoadReplayFile(path, &gWatch.replay, error, sizeof error) ||
        !StartReplay(gWatch.replay, error, sizeof error)) {
        LogMessage("Replay %s not played: %s", path, error);
        SysMessageBox("Replay", error);
        gWatch.active = 0;
        return false;
    }
    EndRaceRecording(false);
    gWatch.cursor = ReplayCursor{};
    gWatch.active = 1;
    gWatch.paused = 0;
    gWatch.spaceLatch = 0;
    if (path != gWatch.path)
        snprintf(gWatch.path, sizeof gWatch.path, "%s", path);
    gGame.state = Race;
    LogMessage("Replay %s: track %s, %u steps", path, gWatch.replay.track, gWatch.replay.steps);
    return true;
}

const char* ReplayOfResults()
{
    if (gNet.role == kRoleHost || gNet.role == kRoleClient)
        return nullptr;
    if (gWatch.active)
        return gWatch.path;
    return gRecording.lastPath[0] ? gRecording.lastPath : nullptr;
}

void WatchStep()
{
    if (gWatch.paused) {
        UpdateRace(kRaceOff);
        return;
    }
    const int steps = KeyDown(kRightKey) ? kFastSteps : 1;
    for (int k = 0; k < steps; k++) {
        if (!ReplayStep(gWatch.replay, gWatch.cursor)) {
            RankByScore();
            if (gWatch.replay.finished)
                FinishRace(false);
            gGame.state = RaceResults;
            return;
        }
    }
}

void ShownRacePrefs(Prefs* out)
{
    *out = gPrefs;
    out->carCount = gRaceSetup.carCount;
    out->gamemode = gRaceSetup.gamemode;
    out->track = gRaceSetup.track;
    out->laps = gRaceSetup.laps;
    out->timelimit = gRaceSetup.timelimit;
    out->alternate = gRaceSetup.alternate;
    if (gWatch.active) {
        for (int c = 0; c < kMaxCars; c++)
            snprintf(out->playername[c], sizeof out->playername[c], "%s", gWatch.replay.names[c]);
    }
}

void WatchKeys()
{
    if (!KeyDown(kSpaceKey)) {
        gWatch.spaceLatch = 1;
    } else if (gWatch.spaceLatch) {
        gWatch.spaceLatch = 0;
        gWatch.paused = !gWatch.paused;
    }
}

void WatchCameraKey(Camera& camera, bool held)
{
    if (!held) {
        camera.keyReleased = 1;
        return;
    }
    if (!camera.keyReleased)
        return;
    camera.keyReleased = 0;
    camera.mode++;
    if (camera.mode >= camera.modeCount) {
        camera.mode = 0;
        const uint32_t cars = gRaceSetup.carCount < 1 ? 1 : gRaceSetup.carCount;
        camera.player = (camera.player + 1) % cars;
    }
}
