// The checks of received messages, by hand-made values: which race states,
// controls, lobby messages and source addresses the session takes.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "game/prefs.h"
#include "net/net_checks.h"
#include "race/checkpoints.h"
#include "race/terrain.h"

namespace {

uint32_t Ip(const char* text)
{
    return inet_addr(text);
}

TEST(NetChecks, TheWrittenAddressMustBeTheSource)
{
    char text[16] = "10.1.2.3";
    EXPECT_TRUE(AddressIsSource(text, Ip("10.1.2.3")));
    EXPECT_FALSE(AddressIsSource(text, Ip("10.1.2.4")));
    EXPECT_FALSE(AddressIsSource(text, 0));
    char padded[16] = "10.1.2.3 ";
    EXPECT_FALSE(AddressIsSource(padded, Ip("10.1.2.3")));
    char unended[16];
    memset(unended, '1', 16);
    EXPECT_FALSE(AddressIsSource(unended, Ip("10.1.2.3")));
    EXPECT_TRUE(FromPeer(Ip("10.1.2.3"), Ip("10.1.2.3")));
    EXPECT_FALSE(FromPeer(Ip("10.1.2.9"), Ip("10.1.2.3")));
    EXPECT_FALSE(FromPeer(0, 0));  // no peer known: nobody is the peer
}

TEST(NetChecks, ControlsAreFourFlags)
{
    NetSession in{};
    in.inKind = kKindControls;
    EXPECT_TRUE(ControlsAreSound(in));
    in.inControls[2] = 1;
    EXPECT_TRUE(ControlsAreSound(in));
    for (int32_t bad : {2, -1, 2147483647}) {
        in.inControls[3] = bad;
        EXPECT_FALSE(ControlsAreSound(in)) << bad;
    }
    in.inControls[3] = 0;
    in.inKind = kKindRaceState;
    EXPECT_FALSE(ControlsAreSound(in));
}

TEST(NetChecks, LobbyMessagesNeedAFrameRateTheHostCanSend)
{
    NetSession in{};
    in.inKind = kKindLobbyInfo;
    in.inFrameRate = 25;
    EXPECT_TRUE(LobbyInfoIsSound(in));
    in.inKind = kKindLobbyClosed;
    EXPECT_TRUE(LobbyInfoIsSound(in));
    in.inFrameRate = 24;
    EXPECT_FALSE(LobbyInfoIsSound(in));
    in.inFrameRate = 60;
    in.inKind = kKindJoinRequest;
    EXPECT_FALSE(LobbyInfoIsSound(in));
}

// A race state of two cars on the grid, as the host sends it.
NetSession GridState()
{
    NetSession in{};
    in.inKind = kKindRaceState;
    in.inFrameRate = 60;
    in.inTagHolder = -1;
    in.inSound = -1;
    const float cars[2][3] = {{-2, 0.5f, 5}, {0, 0.5f, 7}};
    for (int c = 0; c < 2; c++)
        for (int k = 0; k < 3; k++)
            in.inCarState[14 * c + k] = cars[c][k];
    return in;
}

TEST(NetChecks, RaceStatesAreHeldToTheWorld)
{
    SetDefaultPrefs();
    NormalisePrefs();
    gPrefs.gamemode = 1;
    gPrefs.laps = 5;
    gTerrain.cellSize = 1.0f;
    gTerrain.heightScale = 0.0125f;
    const RaceLimits limits = CurrentRaceLimits();
    EXPECT_FLOAT_EQ(limits.low, -35.0f);
    EXPECT_FLOAT_EQ(limits.high, 33.0f);
    EXPECT_EQ(limits.maxLaps, 6);  // the race's laps, one more on a one-gate course
    ASSERT_TRUE(RaceStateIsSound(GridState(), limits));

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* what;
        int slot;  // float of inCarState, or -1
        float value;
    } floats[] = {
        {"x far out", 0, 1e38f},       {"x beyond the edge", 14, 40.0f}, {"z beyond the edge", 2, -36.0f},
        {"y far up", 1, 1e6f},         {"y not a number", 15, nan},      {"heading", 3, 181.0f},
        {"heading inf", 17, -inf},     {"steer", 4, 46.0f},              {"score negative", 5, -1.0f},
        {"score huge", 19, 1e9f},      {"wheel y", 6, -50.0f},           {"spin", 7, 2e7f},
        {"spin nan", 27, nan},
    };
    for (const Case& c : floats) {
        NetSession in = GridState();
        in.inCarState[c.slot] = c.value;
        EXPECT_FALSE(RaceStateIsSound(in, limits)) << c.what;
    }
    struct IntCase {
        const char* what;
        int32_t NetSession::*field;
        int32_t value;
        bool sound;
    } ints[] = {
        {"tag 0", &NetSession::inTagHolder, 0, true},   {"tag 1", &NetSession::inTagHolder, 1, true},
        {"back", &NetSession::inTagHolder, 5, true},    {"tag 2", &NetSession::inTagHolder, 2, false},
        {"tag -2", &NetSession::inTagHolder, -2, false}, {"sound 3", &NetSession::inSound, 3, true},
        {"sound 4", &NetSession::inSound, 4, false},    {"rate 24", &NetSession::inFrameRate, 24, false},
    };
    for (const IntCase& c : ints) {
        NetSession in = GridState();
        in.*c.field = c.value;
        EXPECT_EQ(RaceStateIsSound(in, limits), c.sound) << c.what;
    }
    NetSession in = GridState();
    in.inLaps[1] = 6;
    in.inNextCheckpoint[0] = kMaxGates - 1;
    EXPECT_TRUE(RaceStateIsSound(in, limits));
    for (int32_t laps : {7, -1, 2147483647}) {
        in.inLaps[1] = laps;
        EXPECT_FALSE(RaceStateIsSound(in, limits)) << laps;
    }
    in = GridState();
    for (int32_t gate : {-1, (int32_t)kMaxGates}) {
        in.inNextCheckpoint[1] = gate;
        EXPECT_FALSE(RaceStateIsSound(in, limits)) << gate;
    }
    in = GridState();
    in.inKind = kKindControls;
    EXPECT_FALSE(RaceStateIsSound(in, limits));

    // Tag mode: a score is seconds, and the race ends at the time limit.
    gPrefs.gamemode = 0;
    gPrefs.timelimit = 30;
    in = GridState();
    in.inCarState[5] = 35.0f;
    EXPECT_TRUE(RaceStateIsSound(in, CurrentRaceLimits()));
    in.inCarState[5] = 36.0f;
    EXPECT_FALSE(RaceStateIsSound(in, CurrentRaceLimits()));
}

TEST(NetChecks, ARefusedMessageLeavesTheLastAcceptedValues)
{
    NetSession kept = GridState();
    snprintf(kept.inName, 16, "%s", "anna");
    kept.inControls[1] = 1;
    NetSession now = kept;
    now.inKind = 9;
    now.inCarState[3] = 1e30f;
    now.inName[0] = 'X';
    now.inControls[1] = 7;
    now.outKind = 4;  // not a received field
    RestoreReceived(now, kept);
    EXPECT_EQ(now.inKind, kKindRaceState);
    EXPECT_EQ(now.inCarState[3], 0.0f);
    EXPECT_STREQ(now.inName, "anna");
    EXPECT_EQ(now.inControls[1], 1);
    EXPECT_EQ(now.outKind, 4);
}

}  // namespace
