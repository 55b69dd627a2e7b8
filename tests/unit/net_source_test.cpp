// One machine fed datagrams with forged source addresses through the socket
// detour: who may join and drive, which values are taken.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <deque>

#include "app/clock.h"
#include "app/log.h"
#include "net/net_checks.h"
#include "net/udp_endpoint.h"
#include "net_test_util.h"
#include "platform/udp_socket.h"
#include "test_util.h"

namespace {

const char* const kHostIp = "10.7.0.1";
const char* const kClientIp = "10.7.0.2";
const char* const kThirdIp = "10.7.0.3";

struct Datagram { std::string bytes; UdpAddress from; };
// The datagrams waiting on the two local ports.
struct Wire { int lobbyPort = 0, racePort = 0; std::deque<Datagram> lobby, race; };
Wire gWire;

bool DetourSend(int, const void*, size_t, UdpAddress, int) { return true; }

long DetourReceive(int socket, void* buffer, size_t capacity, UdpAddress* from)
{
    const int port = UdpLocalPort(socket);
    std::deque<Datagram>& queue = port == gWire.lobbyPort ? gWire.lobby : gWire.race;
    if (queue.empty())
        return -1;
    const Datagram d = queue.front();
    queue.pop_front();
    memcpy(buffer, d.bytes.data(), d.bytes.size() < capacity ? d.bytes.size() : capacity);
    *from = d.from;
    return (long)d.bytes.size();
}

const UdpDetour kDetour = {DetourSend, DetourReceive};

std::string JoinBytes(const char* address, const char* name)
{
    std::string m(33, '\0');
    m[0] = kKindJoinRequest;
    memcpy(&m[1], address, strlen(address));
    memcpy(&m[17], name, strlen(name));
    return m;
}

// Both cars on the grid: car 0 at (-2, 5), car 1 at (0, 7).
std::string GridState(int tagHolder = -1, float car0x = -2.0f)
{
    float car[28] = {};
    car[0] = car0x;
    car[2] = 5.0f;
    car[16] = 7.0f;
    return RaceStateBytes(tagHolder, -1, car);
}

class NetSourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        memset(&gConfig, 0, sizeof gConfig);
        WriteTestTracks(dir.path());
        OpenLog();
        gClock.frameRate = 60.0;
        gWire = Wire();
        gWire.lobbyPort = FreeUdpPort();
        gWire.racePort = FreeUdpPort();
        UdpSetDetour(&kDetour);
        CloseSession();
        ResetMachine("local");
        gNet.ports = NetPorts{gWire.lobbyPort, gWire.racePort, kLobbyPort, kRacePort};
    }
    void TearDown() override
    {
        CloseSession();
        UdpSetDetour(nullptr);
    }

    void ToLobby(const std::string& bytes, const char* from) { gWire.lobby.push_back({bytes, inet_addr(from)}); }
    void ToRace(const std::string& bytes, const char* from) { gWire.race.push_back({bytes, inet_addr(from)}); }

    void StartHost()
    {
        snprintf(gNet.localAddress, 16, "%s", kHostIp);
        init_lobbyTalk(kRoleHost);
        gGame.state = HostLobby;
    }
    void StartClient()
    {
        snprintf(gNet.localAddress, 16, "%s", kClientIp);
        snprintf(gPrefs.p2p_ip, 16, "%s", kHostIp);
        init_lobbyTalk(kRoleClient);
        gGame.state = ClientLobby;
    }

    ScratchAppDir dir;
};

TEST_F(NetSourceTest, TheHostTakesAJoinOnlyFromTheAddressWrittenInIt)
{
    StartHost();
    // A third machine asks in the client's name, then in the host's own.
    ToLobby(JoinBytes(kClientIp, "mallory"), kThirdIp);
    lobbyTalk();
    EXPECT_FALSE(gNet.peerJoined);
    EXPECT_EQ(gNet.droppedForeign, 1u);

    ToLobby(JoinBytes(kClientIp, "bob"), kClientIp);
    lobbyTalk();
    EXPECT_TRUE(gNet.peerJoined);
    EXPECT_EQ(gNet.lobbySender->Destination(), inet_addr(kClientIp));

    // Once joined, only the client's address is heard, whatever is written.
    ToLobby(JoinBytes(kThirdIp, "mallory"), kThirdIp);
    ToLobby(JoinBytes(kClientIp, "mallory"), kThirdIp);
    lobbyTalk();
    EXPECT_STREQ(gPrefs.playername[1], "bob");
    // In the race only the client drives car 1.
    gotoRace();
    ASSERT_EQ(gGame.state, Race);
    ToRace(ControlsBytes(kKindControls, 1, 0, 0, 0), kThirdIp);
    raceRecv();
    EXPECT_FALSE(gControls[1].accelerate);
    ToRace(ControlsBytes(kKindControls, 1, 0, 0, 0), kClientIp);
    raceRecv();
    EXPECT_TRUE(gControls[1].accelerate);
    EXPECT_EQ(gNet.droppedForeign, 4u);
}

TEST_F(NetSourceTest, TheClientHearsOnlyTheHostItJoined)
{
    StartClient();
    // Forged from a third machine with the host's address written in them.
    ToLobby(LobbyInfoBytes(kHostIp, "mallory", 0, 1, 20), kThirdIp);
    ToRace(GridState(), kThirdIp);
    lobbyTalk();
    EXPECT_FALSE(gNet.peerJoined);
    EXPECT_EQ(gGame.state, ClientLobby);
    ToLobby(LobbyInfoBytes(kHostIp, "anna", 1, 0, 5), kHostIp);
    lobbyTalk();
    ToRace(GridState(), kHostIp);
    lobbyTalk();
    ASSERT_EQ(gGame.state, Race);
    // In the race: a forged state moves nothing, a forged way back does
    // nothing, and the host's state with one value outside the world is
    // dropped whole.
    ToRace(GridState(-1, 20.0f), kThirdIp);
    ToRace(GridState(kTagHolderBackToLobby), kThirdIp);
    float car[28] = {};
    car[0] = 4.0f;
    car[14] = 1e38f;  // becomes the client's car 0
    ToRace(RaceStateBytes(-1, -1, car), kHostIp);
    for (int i = 0; i < 2; i++)
        raceRecv();
    EXPECT_EQ(gCars[1].position[0], 0.0f);
    EXPECT_EQ(gGame.state, Race);
    ToRace(GridState(-1, 20.0f), kHostIp);
    raceRecv();
    EXPECT_EQ(gCars[1].position[0], 20.0f);
}

}  // namespace
