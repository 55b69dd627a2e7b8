// The race exchange between a host and a client in one process: the start
// on both machines, the client's keys as the host's player 2, the host's
// cars mirrored on the client, the way back to the lobby, and hostile race
// datagrams (out-of-range tag holder, laps, gates and sounds, values that
// are not finite, wrong sizes and kinds).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "app/clock.h"
#include "app/log.h"
#include "net/udp_endpoint.h"
#include "net_test_util.h"
#include "race/checkpoints.h"
#include "test_util.h"

namespace {

class NetRaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        memset(&gConfig, 0, sizeof gConfig);
        gConfig.depth = 32;
        gClock.frameRate = 60.0;
        WriteTestTracks(dir.path());
        OpenLog();
        net = new TwoMachines;
    }
    void TearDown() override { delete net; }

    // Lobby, join, the host's race button and the client's start.
    void StartRace()
    {
        net->OnHost([] { init_lobbyTalk(kRoleHost); gGame.state = HostLobby; });
        net->OnClient([] { init_lobbyTalk(kRoleClient); gGame.state = ClientLobby; });
        net->OnClient(lobbyTalk);
        net->OnHost(lobbyTalk);
        net->OnClient(lobbyTalk);
        net->OnHost(gotoRace);
        net->OnHost([] { gNet.sendTimer = 0; raceSend(); });  // the first RaceState
        for (int i = 0; i < 4 && net->client.game.state != Race; i++)
            net->OnClient(lobbyTalk);
    }
    // One frame of each: client sends then receives, host receives, steps
    // (not run here), sends.
    void ClientFrame() { net->OnClient([] { raceSend(); raceRecv(); }); }
    void HostFrame() { net->OnHost([] { raceRecv(); raceSend(); }); }

    std::string Log() const { return dir.Read("log.txt"); }

    ScratchAppDir dir;
    TwoMachines* net = nullptr;
};

TEST_F(NetRaceTest, TheHostsRaceButtonStartsTheRaceOnBothMachines)
{
    net->host.prefs.nplayers = 3;
    net->host.prefs.nopponents = 2;
    net->host.game.tournament = 1;  // left over from a tournament played before
    net->host.standings.total[0] = 12.0f;
    StartRace();
    EXPECT_EQ(net->host.game.tournament, 0);
    EXPECT_EQ(net->host.standings.total[0], 0.0f);
    for (const Machine* m : {&net->host, &net->client}) {
        EXPECT_EQ(m->game.state, Race);
        EXPECT_EQ(m->prefs.nplayers, 1);
        EXPECT_EQ(m->prefs.nopponents, 1);
        EXPECT_EQ(m->prefs.carCount, 2u);
    }
    EXPECT_EQ(net->client.net.role, kRoleClient);
    EXPECT_EQ(gCheckpoints.gateCount, 3u);
}

TEST_F(NetRaceTest, TheClientsKeysDriveCarOneOnTheHost)
{
    StartRace();
    const int accelerate = net->client.prefs.playerctrls[0][0];  // up arrow
    const CarControls& car1 = net->host.controls[1];
    net->client.keyboard.down[accelerate] = 1;
    net->client.keyboard.down[net->client.prefs.playerctrls[0][3]] = 1;
    ClientFrame();
    EXPECT_TRUE(net->client.net.sent);
    net->OnHost([] { gNet.sendTimer = 0.7f; raceRecv(); });
    EXPECT_TRUE(car1.accelerate);
    EXPECT_TRUE(car1.right);
    EXPECT_FALSE(car1.left);
    EXPECT_EQ(net->host.net.sendTimer, 0.0f);  // answered after the steps
    // Released with the first message that carries 0.
    net->client.keyboard.down[accelerate] = 0;
    ClientFrame();
    net->OnHost(raceRecv);
    EXPECT_FALSE(car1.accelerate);
    EXPECT_TRUE(car1.right);
}

TEST_F(NetRaceTest, TheHostsCarsAreMirroredOnTheClient)
{
    StartRace();
    net->OnClient([] { gNet.raceReceiver->Receive(); });  // anything left from the start
    net->OnHost([] {
        gCars[0].position[0] = 1.5f;
        gCars[0].position[1] = 0.25f;
        gCars[0].position[2] = -3.0f;
        gCars[0].heading = 90.0f;
        gCars[0].steer = -12.5f;
        gCars[0].wheelPoint[3].y = 0.75f;
        gCars[0].wheelAngles[3].spin = 33.0f;
        gCars[0].lapsDone = 2;
        gCars[0].nextCheckpoint = 1;
        gCars[1].position[0] = 7.0f;
        gCars[1].heading = -45.0f;
        gCars[1].nextCheckpoint = 2;
        gStandings.score[0] = 4.5f;
        gStandings.score[1] = 1.0f;
        gStandings.tagHolder = 0;
        gNet.outSound = 2;
        gNet.sendTimer = 0;
        raceSend();
    });
    net->OnClient(raceRecv);
    const Machine& c = net->client;
    EXPECT_TRUE(c.net.received);
    EXPECT_EQ(c.cars[1].position[0], 1.5f);
    EXPECT_EQ(c.cars[1].position[1], 0.25f);
    EXPECT_EQ(c.cars[1].position[2], -3.0f);
    EXPECT_EQ(c.cars[1].heading, 90.0f);
    EXPECT_EQ(c.cars[1].steer, -12.5f);
    EXPECT_EQ(c.cars[1].wheelPoint[3].y, 0.75f);
    EXPECT_EQ(c.cars[1].wheelAngles[3].spin, 33.0f);
    EXPECT_EQ(c.cars[1].lapsDone, 2u);
    EXPECT_EQ(c.cars[1].nextCheckpoint, 1u);
    EXPECT_EQ(c.cars[0].position[0], 7.0f);
    EXPECT_EQ(c.cars[0].heading, -45.0f);
    EXPECT_EQ(c.cars[0].nextCheckpoint, 2u);
    EXPECT_EQ(c.standings.score[1], 4.5f);
    EXPECT_EQ(c.standings.score[0], 1.0f);
    EXPECT_EQ(c.standings.tagHolder, 1);  // the host's car 0 is the client's car 1
    EXPECT_EQ(c.net.inSound, 2);
    EXPECT_EQ(c.net.inFrameRate, 60);
    // A frame without a message: no cap, no sound pending.
    net->OnClient(raceRecv);
    EXPECT_EQ(net->client.net.inFrameRate, 500);
    EXPECT_EQ(net->client.net.inSound, -1);
}

TEST_F(NetRaceTest, TheHostSendsOnlyWhenAskedOrOnceASecond)
{
    StartRace();
    net->OnHost([] { gNet.sent = 0; gNet.sendTimer = 0.3f; raceRecv(); raceSend(); });
    EXPECT_FALSE(net->host.net.sent);
    net->OnHost([] { gNet.sendTimer = -0.001f; raceSend(); });
    EXPECT_TRUE(net->host.net.sent);
    EXPECT_EQ(net->host.net.sendTimer, 1.0f);
}

TEST_F(NetRaceTest, HostileRaceStatesChangeOnlyWhatIsInRange)
{
    StartRace();
    net->OnClient([] {
        while (gNet.raceReceiver->Receive() == 1) {
        }
        gNet.received = 0;
        gStandings.tagHolder = 0;
        gCars[0].lapsDone = 1;
        gCars[1].lapsDone = 1;
        gCars[0].nextCheckpoint = 1;
        gCars[1].nextCheckpoint = 1;
        gCars[0].position[0] = 3.0f;
        gCars[1].position[0] = 4.0f;
        gStandings.score[0] = 2.0f;
        gStandings.score[1] = 2.0f;
    });
    const int port = net->clientPorts.raceLocal;
    float car[28];
    for (float& v : car)
        v = 0.5f;
    car[0] = NAN;        // host car 0 x
    car[5] = INFINITY;   // host car 0 score
    car[14] = -INFINITY; // host car 1 x
    car[19] = NAN;       // host car 1 score
    SendRaw(port, RaceStateBytes(3, 60, 7, -1, 100, 3, -2, 9, car));
    net->OnClient(raceRecv);
    // Nothing of a message with values out of range is taken.
    const Machine& c = net->client;
    EXPECT_FALSE(c.net.received);
    EXPECT_EQ(c.standings.tagHolder, 0);
    EXPECT_EQ(c.cars[1].lapsDone, 1u);
    EXPECT_EQ(c.cars[0].lapsDone, 1u);
    EXPECT_EQ(c.cars[1].nextCheckpoint, 1u);
    EXPECT_EQ(c.cars[1].position[0], 4.0f);
    EXPECT_EQ(c.cars[0].position[0], 3.0f);
    EXPECT_EQ(c.standings.score[1], 2.0f);
    EXPECT_EQ(c.net.inSound, -1);
    EXPECT_EQ(c.net.inFrameRate, 500);

    // Wrong sizes and kinds change nothing.
    for (float& v : car)
        v = 9.0f;
    std::string good = RaceStateBytes(3, 30, 1, 4, 4, 2, 2, 1, car);
    SendRaw(port, good.substr(0, 560));
    SendRaw(port, good + " ");
    SendRaw(port, std::string(1, '\x04') + good.substr(1));  // kind 4
    for (int i = 0; i < 3; i++) {
        net->OnClient(raceRecv);
        EXPECT_EQ(net->client.net.inFrameRate, 500);
        EXPECT_EQ(net->client.net.inSound, -1);
        EXPECT_EQ(net->client.cars[0].position[0], 3.0f);
    }
    EXPECT_EQ(net->client.game.state, Race);
    SendRaw(port, good);
    net->OnClient(raceRecv);
    EXPECT_EQ(net->client.cars[0].position[0], 9.0f);
    EXPECT_EQ(net->client.standings.tagHolder, 0);
    EXPECT_EQ(net->client.net.inFrameRate, 30);
}

TEST_F(NetRaceTest, HostileControlsSetNothingButCarOnesFlags)
{
    StartRace();
    const int port = net->hostPorts.raceLocal;
    CarControls before[kMaxCars];
    memcpy(before, net->host.controls, sizeof before);
    Keyboard keys = net->host.keyboard;
    SendRaw(port, ControlsBytes(4, 0, 0, 0, 0).substr(0, 64));
    SendRaw(port, ControlsBytes(3, 1, 1, 1, 1));
    net->OnHost(raceRecv);
    net->OnHost(raceRecv);
    EXPECT_EQ(memcmp(before, net->host.controls, sizeof before), 0);
    SendRaw(port, ControlsBytes(4, -5, 2147483647, 0, 0));  // no key flags: refused
    net->OnHost(raceRecv);
    EXPECT_EQ(memcmp(before, net->host.controls, sizeof before), 0);
    SendRaw(port, ControlsBytes(4, 1, 1, 0, 0));
    net->OnHost(raceRecv);
    const CarControls& car1 = net->host.controls[1];
    EXPECT_TRUE(car1.accelerate && car1.left && !car1.brake && !car1.right);
    EXPECT_EQ(car1.mouseSteering + car1.wheelSteering, 0);
    EXPECT_EQ(memcmp(before, net->host.controls, sizeof(CarControls)), 0);  // car 0 untouched
    EXPECT_EQ(memcmp(&keys, &net->host.keyboard, sizeof keys), 0);        // no key pressed
    // Text that is no number leaves the last value.
    std::string junk = std::string(1, '\x04') + std::string(64, 'x');
    SendRaw(port, junk);
    net->OnHost(raceRecv);
    EXPECT_TRUE(car1.accelerate);
}

TEST_F(NetRaceTest, TheHostsBackButtonTakesBothPlayersToTheLobby)
{
    StartRace();
    net->OnHost(ReturnToLobby);
    const Machine& h = net->host;
    EXPECT_EQ(h.game.state, HostLobby);
    EXPECT_EQ(h.net.role, kRoleHost);
    EXPECT_TRUE(h.net.peerJoined);
    EXPECT_STREQ(h.prefs.playername[1], "second");
    EXPECT_STREQ(h.net.savedPlayer2Name, "second");
    for (int i = 0; i < 3 && net->client.game.state == Race; i++)
        net->OnClient(raceRecv);
    const Machine& c = net->client;
    EXPECT_EQ(c.game.state, ClientLobby);
    EXPECT_EQ(c.net.role, kRoleClient);
    EXPECT_TRUE(c.net.peerJoined);
    EXPECT_STREQ(c.prefs.playername[1], "second");  // reloaded until the host answers
    // The lobby goes on: the client asks, the host answers with its name.
    net->OnClient(lobbyTalk);
    net->OnHost(lobbyTalk);
    net->OnClient(lobbyTalk);
    EXPECT_STREQ(net->client.prefs.playername[1], "hosting");
    EXPECT_EQ(net->client.game.state, ClientLobby);
    // And the next race starts on both again.
    net->OnHost(gotoRace);
    net->OnHost([] { gNet.sendTimer = 0; raceSend(); });
    for (int i = 0; i < 4 && net->client.game.state != Race; i++)
        net->OnClient(lobbyTalk);
    EXPECT_EQ(net->client.game.state, Race);
}

TEST_F(NetRaceTest, AStaleBackToLobbyMessageDoesNotStartARace)
{
    net->OnClient([] { init_lobbyTalk(kRoleClient); gGame.state = ClientLobby; gNet.peerJoined = 1; });
    float car[28] = {};
    SendRaw(net->clientPorts.raceLocal, RaceStateBytes(3, 60, 5, 0, 0, 0, 0, -1, car));
    net->OnClient(lobbyTalk);
    EXPECT_EQ(net->client.game.state, ClientLobby);
    SendRaw(net->clientPorts.raceLocal, RaceStateBytes(3, 60, 1, 0, 0, 0, 0, -1, car));
    net->OnClient(lobbyTalk);
    EXPECT_EQ(net->client.game.state, Race);
}

TEST_F(NetRaceTest, TheRaceMessageThatStartsTheClientsRaceBringsNoSound)
{
    // Found by the session fuzzer: the starting message's sound field was
    // left as it came, unchecked, for the steps of the first race frame.
    net->OnClient([] { init_lobbyTalk(kRoleClient); gGame.state = ClientLobby; gNet.peerJoined = 1; });
    float car[28] = {};
    for (int sound : {7, -9, 2}) {
        net->client.game.state = ClientLobby;
        SendRaw(net->clientPorts.raceLocal, RaceStateBytes(3, 60, 1, 0, 0, 0, 0, sound, car));
        net->OnClient(lobbyTalk);
        // A sound that does not exist makes the whole message void.
        EXPECT_EQ(net->client.game.state, sound == 2 ? Race : ClientLobby) << sound;
        EXPECT_EQ(net->client.net.inSound, -1) << sound;
    }
}

}  // namespace

namespace {

// Random bytes at every size the layouts take (and around them), with the
// kind byte set to each kind, at every port of both machines: afterwards
// every value the race uses as an index or a position is still sound.
TEST_F(NetRaceTest, RandomDatagramsLeaveEveryRaceValueSound)
{
    StartRace();
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0xff;
    };
    const int sizes[] = {1, 32, 33, 34, 51, 52, 53, 64, 65, 66, 560, 561, 562};
    const int kinds[] = {1, 2, 3, 4, 6, 0};
    const int ports[] = {net->hostPorts.lobbyLocal, net->hostPorts.raceLocal, net->clientPorts.lobbyLocal,
                         net->clientPorts.raceLocal};
    for (int round = 0; round < 40; round++) {
        for (int size : sizes) {
            std::string bytes(size, '\0');
            for (char& b : bytes)
                b = (char)next();
            // Half the numbers as text a peer might really send.
            for (int at = 1; at + 16 <= size; at += 16)
                if (next() & 1)
                    snprintf(&bytes[at], 17, "%15d ", (int)(next() * 40000u) - 5000000);
            bytes[0] = (char)kinds[next() % 6];
            SendRaw(ports[next() % 4], bytes);
        }
        net->OnClient([] { raceSend(); raceRecv(); });
        net->OnHost([] { raceRecv(); raceSend(); });
        if (net->client.game.state == ClientLobby)
            net->OnClient(lobbyTalk);
    }
    const Machine& c = net->client;
    EXPECT_TRUE(c.game.state == Race || c.game.state == ClientLobby || c.game.state == MultiplayerMenu);
    for (int i = 0; i < 2; i++) {
        EXPECT_LT(c.cars[i].nextCheckpoint, 3u);
        EXPECT_LT(c.cars[i].lapsDone, 0x80000000u);
        for (float p : c.cars[i].position)
            EXPECT_TRUE(std::isfinite(p));
        EXPECT_TRUE(std::isfinite(c.cars[i].heading));
        EXPECT_TRUE(std::isfinite(c.standings.score[i]));
    }
    EXPECT_TRUE(c.standings.tagHolder >= -1 && c.standings.tagHolder <= 1);
    EXPECT_TRUE(c.net.inSound >= -1 && c.net.inSound <= 3);
    EXPECT_LT(strlen(c.prefs.playername[1]), 16u);
    EXPECT_LT(strlen(net->host.prefs.playername[1]), 16u);
}

}  // namespace
