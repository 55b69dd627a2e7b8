// Checks of received messages; see net_checks.h.
#include "net/net_checks.h"

#include <cmath>
#include <cstring>

#include "game/prefs.h"
#include "platform/udp_socket.h"
#include "race/checkpoints.h"
#include "race/terrain.h"

// The world of every track: 64 x 64 cells of 1 unit, 255 grey levels of
// 0.0125 units (the values LoadTrack gives the terrain); used before a
// track has been loaded.
static const float kWorldCell = 1.0f;
static const float kWorldHeightScale = 0.0125f;

static int32_t Held(int32_t v, int32_t low, int32_t high)
{
    return v < low ? low : v > high ? high : v;
}

int32_t NetworkLaps(int32_t laps)
{
    return Held(laps, kNetMinLaps, kNetMaxLaps);
}

int32_t NetworkTimeLimit(int32_t seconds)
{
    return Held(seconds, kNetMinTimeLimit, kNetMaxTimeLimit);
}

RaceLimits CurrentRaceLimits()
{
    const float s = gTerrain.cellSize > 0.0f ? gTerrain.cellSize : kWorldCell;
    const float h = gTerrain.heightScale > 0.0f ? gTerrain.heightScale : kWorldHeightScale;
    RaceLimits limits;
    // The edge rule keeps the body corners within -32 s .. 30 s; the
    // position (the rear axle) may lie a car's length beyond that.
    limits.low = -32.0f * s - 3.0f;
    limits.high = 30.0f * s + 3.0f;
    limits.bottom = -10.0f;
    limits.top = 255.0f * h + 30.0f;
    limits.maxSteer = 45.0f;
    // A wheel turns at most 10 times a second: 1e7 degrees is hours of racing.
    limits.maxSpin = 1.0e7f;
    // Laps done end at the race's laps, or one more on a course of one gate.
    const int32_t laps = gPrefs.laps > 3 ? gPrefs.laps : 3;
    limits.maxLaps = laps + 1;
    limits.maxGates = kMaxGates;
    if (gPrefs.gamemode == 0) {
        // Seconds held or free, and the race ends at the time limit.
        const int32_t seconds = gPrefs.timelimit > 10 ? gPrefs.timelimit : 10;
        limits.maxScore = (float)seconds + 5.0f;
    } else {
        // Progress: laps x gates + gate + a fraction; 5 per place at the finish.
        limits.maxScore = (float)(limits.maxLaps + 1) * (float)kMaxGates + 1.0f;
    }
    return limits;
}

bool FromPeer(uint32_t source, uint32_t peerSource)
{
    return peerSource != 0 && source == peerSource;
}

bool AddressIsSource(const char text[16], uint32_t source)
{
    if (source == 0 || memchr(text, 0, 16) == nullptr)
        return false;
    char sourceText[16];
    UdpAddressText(source, sourceText);
    return sourceText[0] != 0 && strcmp(text, sourceText) == 0;
}

static bool Within(float v, float low, float high)
{
    return std::isfinite(v) && v >= low && v <= high;
}

static bool WithinInt(int32_t v, int32_t low, int32_t high)
{
    return v >= low && v <= high;
}

bool ControlsAreSound(const NetSession& in)
{
    if (in.inKind != kKindControls)
        return false;
    for (int k = 0; k < 4; k++)
        if (!WithinInt(in.inControls[k], 0, 1))
            return false;
    return true;
}

// What SessionFrameRate can give.
static bool FrameRateIsSound(int32_t rate)
{
    return WithinInt(rate, 25, 1000000);
}

bool LobbyInfoIsSound(const NetSession& in)
{
    return (in.inKind == kKindLobbyInfo || in.inKind == kKindLobbyClosed) && FrameRateIsSound(in.inFrameRate);
}

bool RaceStateIsSound(const NetSession& in, const RaceLimits& limits)
{
    if (in.inKind != kKindRaceState || !FrameRateIsSound(in.inFrameRate))
        return false;
    const int32_t holder = in.inTagHolder;
    if (holder != -1 && holder != 0 && holder != 1 && holder != kTagHolderBackToLobby)
        return false;
    if (!WithinInt(in.inSound, -1, 3))
        return false;
    for (int c = 0; c < 2; c++) {
        if (!WithinInt(in.inLaps[c], 0, limits.maxLaps) ||
            !WithinInt(in.inNextCheckpoint[c], 0, limits.maxGates - 1))
            return false;
        const float* s = in.inCarState + 14 * c;
        if (!Within(s[0], limits.low, limits.high) || !Within(s[1], limits.bottom, limits.top) ||
            !Within(s[2], limits.low, limits.high) || !Within(s[3], -180.0f, 180.0f) ||
            !Within(s[4], -limits.maxSteer, limits.maxSteer) || !Within(s[5], 0.0f, limits.maxScore))
            return false;
        for (int w = 0; w < 4; w++)
            if (!Within(s[6 + 2 * w], limits.bottom, limits.top) ||
                !Within(s[7 + 2 * w], -limits.maxSpin, limits.maxSpin))
                return false;
    }
    return true;
}

void RestoreReceived(NetSession& to, const NetSession& from)
{
    to.inKind = from.inKind;
    memcpy(to.inAddress, from.inAddress, sizeof to.inAddress);
    memcpy(to.inName, from.inName, sizeof to.inName);
    memcpy(to.inSettings, from.inSettings, sizeof to.inSettings);
    memcpy(to.inControls, from.inControls, sizeof to.inControls);
    to.inTagHolder = from.inTagHolder;
    memcpy(to.inLaps, from.inLaps, sizeof to.inLaps);
    memcpy(to.inNextCheckpoint, from.inNextCheckpoint, sizeof to.inNextCheckpoint);
    to.inSound = from.inSound;
    to.inFrameRate = from.inFrameRate;
    memcpy(to.inCarState, from.inCarState, sizeof to.inCarState);
}
