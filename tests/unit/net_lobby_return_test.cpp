// A host and a client in one process on 127.0.0.1: the way from a network
// race back to the lobby and out of the session, and what each machine's
// preferences hold afterwards.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include "app/clock.h"
#include "app/log.h"
#include "game/menu_logic.h"
#include "net/udp_endpoint.h"
#include "net_test_util.h"
#include "test_util.h"

namespace {

class NetReturnTest : public NetPairTest {
protected:
    // Both machines with two players and three computer cars of their own,
    // in the client's file too.
    void OwnCounts()
    {
        for (Machine* m : {&net->host, &net->client}) {
            m->prefs.nplayers = 2;
            m->prefs.nopponents = 3;
        }
        net->OnClient([] { NormalisePrefs(); SavePrefs(); });
        net->OnHost(NormalisePrefs);
    }
    // Whatever race messages wait on the client are lost on the way.
    void LoseClientRaceMessages()
    {
        net->OnClient([] {
            while (gNet.raceReceiver->Receive() == 1) {
            }
        });
    }
    // One race state from the host, `set` run first, as the only message
    // waiting on the client.
    void HostSendsOneRaceState(const std::function<void()>& set)
    {
        LoseClientRaceMessages();
        net->OnHost([&set] { set(); gNet.sendTimer = 0; raceSend(); });
        net->OnClient([] { gNet.received = 0; raceRecv(); });
    }
    static void ExpectOwnCounts(const Machine& m)
    {
        EXPECT_EQ(m.prefs.nplayers, 2);
        EXPECT_EQ(m.prefs.nopponents, 3);
        EXPECT_EQ(m.prefs.carCount, 5u);
    }
};

TEST_F(NetReturnTest, TheHostsOwnCountsAreSavedAfterANetworkRace)
{
    OwnCounts();
    Join();
    StartRace();
    ASSERT_EQ(net->client.game.state, Race);
    ASSERT_EQ(net->host.prefs.nplayers, 1);
    net->OnHost(ReturnToLobby);
    net->OnClient(raceRecv);
    ASSERT_EQ(net->client.game.state, ClientLobby);
    ExpectOwnCounts(net->host);
    // A setting changed in the lobby, then the back button.
    net->OnHost([] { CycleLaps(gPrefs, 1); SaveSessionPrefs(); });
    net->OnHost([] { SaveSessionPrefs(); LeaveLobby(); });
    const std::string file = dir.Read("data/prefs.txt");
    EXPECT_NE(file.find("nplayers 2\n"), std::string::npos) << file;
    EXPECT_NE(file.find("nopponents 3\n"), std::string::npos) << file;
    ExpectOwnCounts(net->host);
    EXPECT_STREQ(net->host.prefs.playername[1], "second");
    // The client hears the lobby closed and reloads its own values.
    net->OnClient(lobbyTalk);
    EXPECT_EQ(net->client.game.state, MultiplayerMenu);
    ExpectOwnCounts(net->client);
}

TEST_F(NetReturnTest, TheSessionPrefsWrittenDuringARaceAreTheHostsOwn)
{
    OwnCounts();
    Join();
    StartRace();
    net->OnHost(SaveSessionPrefs);
    const std::string file = dir.Read("data/prefs.txt");
    EXPECT_NE(file.find("nplayers 2\n"), std::string::npos) << file;
    EXPECT_NE(file.find("player2name second\n"), std::string::npos) << file;
    // The race itself goes on with its two cars.
    EXPECT_EQ(net->host.prefs.nplayers, 1);
    EXPECT_EQ(net->host.prefs.carCount, 2u);
}

TEST_F(NetReturnTest, OwnCountsComeBackWhenTheClientGoesSilentOrLeaves)
{
    OwnCounts();
    Join();
    StartRace();
    ASSERT_EQ(net->client.game.state, Race);
    // The client leaves its race (back from the race menu) without a word.
    net->OnClient([] { LogNetworkRaceEnd(); CloseSession(); LoadPrefs(); gGame.state = MultiplayerMenu; });
    ExpectOwnCounts(net->client);
    for (int f = 0; f < 700 && net->host.game.state == Race; f++)
        net->OnHost(raceRecv);
    EXPECT_EQ(net->host.game.state, MultiplayerMenu);
    EXPECT_STREQ(net->host.net.notice, "The other player has gone silent");
    ExpectOwnCounts(net->host);
}

TEST_F(NetReturnTest, NoRaceStartsOnceTheSessionHasTimedOut)
{
    Join();
    // The client is gone; the host's lobby frames run until the silence
    // limit, and its race button is released in that very frame.
    for (int f = 0; f < 700 && net->host.game.state == HostLobby; f++)
        net->OnHost(lobbyTalk);
    ASSERT_EQ(net->host.game.state, MultiplayerMenu);
    net->OnHost(gotoRace);
    EXPECT_EQ(net->host.game.state, MultiplayerMenu);
    EXPECT_EQ(net->host.net.raceReceiver, nullptr);
    EXPECT_EQ(Log().find("Unvalid"), std::string::npos);
}

// One frame of each machine as the game runs it.
void ReturnTestClientFrame()
{
    if (IsRaceState(gGame.state)) {
        raceSend();
        raceRecv();
    } else if (gGame.state == ClientLobby) {
        lobbyTalk();
    }
}

void ReturnTestHostFrame()
{
    if (gGame.state == HostLobby)
        lobbyTalk();
    gNet.sendTimer -= 1.0f / 60.0f;
}

TEST_F(NetReturnTest, ALostWayBackToTheLobbyEndsNoSession)
{
    Join();
    StartRace();
    ASSERT_EQ(net->client.game.state, Race);
    net->OnHost(ReturnToLobby);
    // The single back-to-lobby message is lost on the way.
    LoseClientRaceMessages();
    for (int f = 0; f < 120; f++) {
        net->OnClient(ReturnTestClientFrame);
        net->OnHost(ReturnTestHostFrame);
    }
    EXPECT_EQ(net->client.game.state, ClientLobby);
    EXPECT_EQ(net->host.game.state, HostLobby);
    EXPECT_STREQ(net->client.prefs.playername[1], "hosting");
    EXPECT_STREQ(net->host.prefs.playername[1], "joining");
    EXPECT_NE(Log().find("the host is back in its lobby"), std::string::npos);
    // And they race again.
    StartRace();
    EXPECT_EQ(net->client.game.state, Race);
    EXPECT_EQ(net->host.game.state, Race);
}

TEST_F(NetReturnTest, ALobbyMessageSentBeforeTheRaceStartsDoesNotEndIt)
{
    Join();
    net->OnHost(gotoRace);
    net->OnHost([] { gNet.sendTimer = 0; raceSend(); });
    const int lobbyPort = net->clientPorts.lobbyLocal;
    // The host's last lobby message overtakes nothing, but reaches the
    // client's socket just after its lobby read of the starting frame.
    net->OnClient([lobbyPort] {
        bool start = false;
        ASSERT_TRUE(TakeLobbyRaceMessages(&start));
        ASSERT_TRUE(start);
        SendRaw(lobbyPort, LobbyInfoBytes("127.0.0.1", "hosting", 1, 0, 3));
        gotoRace();
    });
    ASSERT_EQ(net->client.game.state, Race);
    net->OnClient(raceRecv);
    EXPECT_EQ(net->client.game.state, Race);
}

TEST_F(NetReturnTest, TheHostClosingItsLobbyEndsTheClientsRace)
{
    Join();
    StartRace();
    ASSERT_EQ(net->client.game.state, Race);
    // The way back was lost, and the host left its lobby at once.
    net->OnHost([] { ReturnToLobby(); LeaveLobby(); });
    LoseClientRaceMessages();
    net->OnClient(raceRecv);
    EXPECT_EQ(net->client.game.state, MultiplayerMenu);
    EXPECT_EQ(net->client.net.role, kRoleNone);
}

TEST_F(NetReturnTest, AHandEditedLapCountIsRacedAsTheNearestTheClientAccepts)
{
    net->host.prefs.gamemode = 1;
    net->host.prefs.laps = 20;
    Join();
    EXPECT_EQ(net->client.prefs.laps, 12);
    StartRace();
    ASSERT_EQ(net->client.game.state, Race);
    EXPECT_EQ(net->host.setup.laps, 12);
    EXPECT_EQ(net->host.prefs.laps, 12);
    // The host's car on its last lap: the client takes it.
    HostSendsOneRaceState([] { gCars[0].lapsDone = 12; });
    EXPECT_EQ(net->client.net.received, 1);
    EXPECT_EQ(net->client.cars[1].lapsDone, 12u);
    // The player's own value comes back, and stays in the file.
    net->OnHost([] { ReturnToLobby(); SaveSessionPrefs(); });
    EXPECT_EQ(net->host.prefs.laps, 20);
    EXPECT_NE(dir.Read("data/prefs.txt").find("laps 20\n"), std::string::npos);
}

TEST_F(NetReturnTest, AHandEditedTimeLimitIsRacedAsTheNearestTheClientAccepts)
{
    net->host.prefs.gamemode = 0;
    net->host.prefs.timelimit = 90;
    Join();
    EXPECT_EQ(net->client.prefs.timelimit, 60);
    StartRace();
    ASSERT_EQ(net->client.game.state, Race);
    EXPECT_EQ(net->host.setup.timelimit, 60);
    HostSendsOneRaceState([] {
        gStandings.tagHolder = 0;
        gStandings.score[0] = 59.5f;
    });
    EXPECT_EQ(net->client.net.received, 1);
    EXPECT_EQ(net->client.standings.score[1], 59.5f);
    net->OnHost(ReturnToLobby);
    EXPECT_EQ(net->host.prefs.timelimit, 90);
}

TEST_F(NetReturnTest, ASecondSessionOnTakenPortsSaysSo)
{
    net->OnHost([] { ASSERT_TRUE(init_lobbyTalk(kRoleHost)); });
    // A second copy of the game on this machine: its lobby port is the
    // first one's.
    net->client.net.ports.lobbyLocal = net->hostPorts.lobbyLocal;
    const float colour = net->client.prefs.playerColour[0][0];
    bool started = true;
    net->OnClient([&started] { started = init_lobbyTalk(kRoleClient); });
    EXPECT_FALSE(started);
    EXPECT_EQ(net->client.net.role, kRoleNone);
    EXPECT_EQ(net->client.net.lobbyReceiver, nullptr);
    EXPECT_EQ(net->client.prefs.playerColour[0][0], colour);
    const std::string port = std::to_string(net->hostPorts.lobbyLocal);
    EXPECT_EQ(std::string(net->client.net.notice), "Port " + port + " is taken (the game runs twice?)");
    EXPECT_NE(Log().find("ERROR (bind port " + port + ")"), std::string::npos);
    // The same for a second host.
    net->client.net.ports = net->hostPorts;
    net->OnClient([&started] { started = init_lobbyTalk(kRoleHost); });
    EXPECT_FALSE(started);
    EXPECT_EQ(std::string(net->client.net.notice), "Port " + port + " is taken (the game runs twice?)");
}

TEST_F(NetReturnTest, ATakenRacePortEndsTheSessionOnBothMachines)
{
    Join();
    // Another program holds the host's race port.
    UdpReceiver squatter;
    ASSERT_EQ(squatter.Bind(net->hostPorts.raceLocal, false), 1);
    net->OnHost(gotoRace);
    EXPECT_EQ(net->host.game.state, MultiplayerMenu);
    EXPECT_EQ(net->host.net.role, kRoleNone);
    EXPECT_NE(std::string(net->host.net.notice).find("is taken"), std::string::npos);
    net->OnClient(lobbyTalk);
    EXPECT_EQ(net->client.game.state, MultiplayerMenu);
}

TEST_F(NetReturnTest, AnAddressThatLeadsNowhereIsNoSession)
{
    snprintf(net->client.prefs.p2p_ip, 16, "%s", "...");
    bool started = true;
    net->OnClient([&started] { started = init_lobbyTalk(kRoleClient); });
    EXPECT_FALSE(started);
    EXPECT_EQ(net->client.net.role, kRoleNone);
    EXPECT_STREQ(net->client.net.notice, "No host at address ...");
}

TEST_F(NetReturnTest, TheClientJoinsAHostWhoseFirstAddressIsAnother)
{
    // A host with two networks writes its first address in its messages.
    snprintf(net->host.net.localAddress, 16, "%s", "10.9.9.9");
    Join();
    EXPECT_EQ(net->client.net.peerJoined, 1);
    EXPECT_STREQ(net->client.prefs.playername[1], "hosting");
}

TEST_F(NetReturnTest, TheClientJoinsAnAddressTypedWithLeadingZeros)
{
    snprintf(net->client.prefs.p2p_ip, 16, "%s", "127.000.000.001");
    Join();
    EXPECT_EQ(net->host.net.peerJoined, 1);
    EXPECT_EQ(net->client.net.peerJoined, 1);
}

TEST_F(NetReturnTest, LobbyMessagesFromAnotherSourceAreStillRefused)
{
    Join();
    // The host's messages are known by their source: one from another
    // address of this machine is not the host's, whatever it says.
    net->OnClient([] { gNet.peerSource = htonl(0x7f000002); });
    SendRaw(net->clientPorts.lobbyLocal, LobbyInfoBytes("127.0.0.1", "intruder", 1, 1, 5));
    net->OnClient(lobbyTalk);
    EXPECT_STRNE(net->client.prefs.playername[1], "intruder");
    EXPECT_GE(net->client.net.droppedForeign, 1u);
}

}  // namespace
