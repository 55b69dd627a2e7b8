// The network's messages on the wire: slots, a LobbyInfo message, the
// endpoints over loopback datagrams and the checks of received values.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <cmath>
#include <limits>

#include "app/clock.h"
#include "net/net_checks.h"
#include "net/udp_endpoint.h"
#include "net_test_util.h"
#include "race/checkpoints.h"
#include "race/terrain.h"

namespace {

TEST(NetEncoding, NumbersTakeSixteenBytesCutToTheirFirstSixteen)
{
    const struct { double value; bool isInt; const char* text; } cases[] = {
        {25, true, "             25 "},          {-2147483648.0, true, "    -2147483648 "},
        {1.5, false, "      1.5000000 "},        {-0.25, false, "     -0.2500000 "},
        {9999999.0, false, "9999999.0000000 "},  {12345678.0, false, "12345678.0000000"},
        {1e30, false, "1000000000000000"},       {0.1, false, "      0.1000000 "},
    };
    for (const auto& c : cases) {
        char s[kSlotSize];
        if (c.isInt)
            FormatIntSlot((int32_t)c.value, s);
        else
            FormatFloatSlot(c.value, s);
        EXPECT_EQ(std::string(s, kSlotSize), c.text);
    }
}

TEST(NetEncoding, LobbyInfoMessageByteForByteAndBack)
{
    uint8_t kind = 1, settings[3] = {1, 2, 12};
    int32_t frameRate = 60;
    char address[16] = "10.0.0.7", name[16] = "anna";
    Layout layout{};
    AddField(layout, &kind, kFieldBytes, 1);
    AddField(layout, &frameRate, kFieldInts, 1);
    AddField(layout, address, kFieldBytes, 16);
    AddField(layout, name, kFieldBytes, 16);
    AddField(layout, settings, kFieldBytes, 3);
    ASSERT_EQ(layout.size, 52u);
    uint8_t out[52];
    EncodeLayout(layout, out);
    EXPECT_EQ(std::string((const char*)out, 52), LobbyInfoBytes("10.0.0.7", "anna", 1, 2, 12));
    kind = 0;
    frameRate = 0;
    memset(name, 0, sizeof name);
    DecodeLayout(layout, out);
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(frameRate, 60);
    EXPECT_STREQ(name, "anna");
}

TEST(NetEncoding, SlotsAreReadLikeScanfButNeverBeyondTheirSixteenBytes)
{
    const struct { const char* text; bool ok; int32_t value; } ints[] = {
        {"             25 ", true, 25},
        {"  -12abcdefghijk", true, -12},
        {"12345678901234567890", false, 7},  // the slot's own digits do not fit 32 bits
        {"00000000000000" "42" "999", true, 42},
        {"                ", false, 7},
        {"ssssssssssssssss", false, 7},
        {"     2147483648 ", false, 7},
        {"    -2147483648 ", true, -2147483647 - 1},
    };
    for (const auto& c : ints) {
        int32_t v = 7;
        EXPECT_EQ(ParseIntSlot((const uint8_t*)c.text, &v), c.ok) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
    float f = 3.0f;
    EXPECT_FALSE(ParseFloatSlot((const uint8_t*)"      ..........", &f));
    EXPECT_EQ(f, 3.0f);
    // What scanf would take, the slot takes too; the session then refuses
    // values that are not finite.
    EXPECT_TRUE(ParseFloatSlot((const uint8_t*)"             nan", &f));
    EXPECT_TRUE(std::isnan(f));
}

TEST(NetEndpoint, OnlyDatagramsOfTheLayoutsLengthAreTakenOldestFirst)
{
    int port = FreeUdpPort();
    UdpReceiver receiver;
    ASSERT_EQ(receiver.Bind(port, false), 1);
    uint8_t kind = 9;
    int32_t value = 77;
    receiver.AddBytes(&kind, 1);
    receiver.AddInts(&value, 1);
    const std::string good = std::string("\x02") + std::string(13, ' ') + "25 ";
    for (const std::string& bad : {good.substr(0, 16), good + "x", std::string(2000, '7'), std::string()})
        SendRaw(port, bad);
    for (int i = 0; i < 4; i++)  // one datagram a call
        EXPECT_EQ(receiver.Receive(), -1);
    EXPECT_EQ(value, 77);
    UdpSender sender;
    ASSERT_EQ(sender.Open("127.0.0.1", port), 1);
    uint8_t outKind = 4;
    int32_t out = 0;
    sender.AddBytes(&outKind, 1);
    sender.AddInts(&out, 1);
    for (out = 1; out <= 2; out++)
        ASSERT_EQ(sender.Send(), 1);
    for (int32_t want = 1; want <= 2; want++) {
        EXPECT_EQ(receiver.Receive(), 1);
        EXPECT_EQ(value, want);
    }
    EXPECT_EQ(receiver.Receive(), -1);  // never waits
}

TEST(NetChecks, SourcesControlsAndLobbyMessages)
{
    char text[16] = "10.1.2.3", padded[16] = "10.1.2.3 ", unended[16];
    memset(unended, '1', 16);
    EXPECT_TRUE(AddressIsSource(text, inet_addr("10.1.2.3")));
    EXPECT_FALSE(AddressIsSource(padded, inet_addr("10.1.2.3")));
    EXPECT_FALSE(AddressIsSource(unended, inet_addr("10.1.2.3")));
    EXPECT_FALSE(FromPeer(0, 0));  // no peer known: nobody is the peer
    NetSession in{};
    in.inKind = kKindControls;
    in.inControls[2] = 1;
    EXPECT_TRUE(ControlsAreSound(in));
    for (int32_t bad : {2, -1}) {
        in.inControls[3] = bad;
        EXPECT_FALSE(ControlsAreSound(in)) << bad;
    }
    in.inKind = kKindLobbyInfo;
    for (int32_t rate : {24, 25}) {
        in.inFrameRate = rate;
        EXPECT_EQ(LobbyInfoIsSound(in), rate == 25);
    }
    // What a host sends: its frame rate, at least 25.
    gClock.frameRate = 22.0;
    EXPECT_EQ(SessionFrameRate(), 25);
    gClock.frameRate = 60.0;
    EXPECT_EQ(SessionFrameRate(), 60);
}

// A race state of two cars on the grid, as the host sends it.
NetSession WireGridState()
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
    EXPECT_EQ(limits.maxLaps, 6);  // the race's laps, one more on a one-gate course
    ASSERT_TRUE(RaceStateIsSound(WireGridState(), limits));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct { int slot; float value; } floats[] = {
        {0, 1e38f}, {14, 40.0f}, {2, -36.0f}, {1, 1e6f}, {15, nan}, {3, 181.0f},
        {17, -INFINITY}, {4, 46.0f}, {5, -1.0f}, {19, 1e9f}, {6, -50.0f}, {27, nan},
    };
    for (const auto& c : floats) {
        NetSession in = WireGridState();
        in.inCarState[c.slot] = c.value;
        EXPECT_FALSE(RaceStateIsSound(in, limits)) << c.slot << " " << c.value;
    }
    const struct { int32_t NetSession::*field; int32_t value; bool sound; } ints[] = {
        {&NetSession::inTagHolder, 1, true},  {&NetSession::inTagHolder, 5, true},  // 5: back to the lobby
        {&NetSession::inTagHolder, 2, false}, {&NetSession::inTagHolder, -2, false},
        {&NetSession::inSound, 3, true},      {&NetSession::inSound, 4, false},
        {&NetSession::inFrameRate, 24, false},
    };
    for (const auto& c : ints) {
        NetSession in = WireGridState();
        in.*c.field = c.value;
        EXPECT_EQ(RaceStateIsSound(in, limits), c.sound) << c.value;
    }
    const int32_t g = (int32_t)kMaxGates;
    const struct { int32_t laps, gate; bool sound; } counts[] = {{6, g - 1, true}, {7, 0, false}, {-1, 0, false},
                                                                 {0, g, false}, {0, -1, false}};
    for (const auto& c : counts) {
        NetSession in = WireGridState();
        in.inLaps[1] = c.laps;
        in.inNextCheckpoint[1] = c.gate;
        EXPECT_EQ(RaceStateIsSound(in, limits), c.sound) << c.laps << " " << c.gate;
    }
}

}  // namespace
