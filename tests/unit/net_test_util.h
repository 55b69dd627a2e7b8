// Helpers of the network tests: loopback ports, raw datagrams, and two
// machines in one process (each side's globals swapped in around its calls).
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "app/clock.h"
#include "app/config.h"
#include "app/log.h"
#include "game/game_state.h"
#include "game/prefs.h"
#include "input/devices.h"
#include "net/net_session.h"
#include "race/car.h"
#include "race/race.h"
#include "race/standings.h"
#include "test_util.h"

int FreeUdpPort();  // free a moment ago
void SendRaw(int port, const std::string& bytes);  // one datagram to 127.0.0.1:port

// Everything one machine owns that the session reads or writes.
struct Machine {
    NetSession net;
    Prefs prefs;
    GameState game;
    Car cars[kMaxCars];
    RaceStandings standings;
    Keyboard keyboard;
    CarControls controls[kMaxCars];
    RaceSetup setup;
};

// Default preferences with player 1 `name`, nothing else, the multiplayer menu.
void ResetMachine(const char* name);

// Host ("hosting") and client ("joining", p2p_ip 127.0.0.1) on 127.0.0.1;
// data/prefs.txt holds the client's preferences.
class TwoMachines {
public:
    TwoMachines();
    ~TwoMachines();
    void OnHost(const std::function<void()>& work) { On(host, work); }
    void OnClient(const std::function<void()>& work) { On(client, work); }
    Machine host, client;
    NetPorts hostPorts, clientPorts;

private:
    void On(Machine& m, const std::function<void()>& work);
};

// Tracks "alpha" and "beta" (flat, three gates) under root, listed in gConfig.
void WriteTestTracks(const std::string& root);

// Messages built by hand, as another program would.
std::string ControlsBytes(int kind, int a, int l, int b, int r);
std::string RaceStateBytes(int tagHolder, int sound, const float car[28]);  // kind 3, 60 fps, laps 0
std::string LobbyInfoBytes(const char* address, const char* name, int mode, int track, int length);  // kind 1, 60

// Two machines over loopback in a scratch folder with tracks "alpha" and
// "beta": the fixture of the network tests.
class NetPairTest : public ::testing::Test {
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

    // Host and client both in their lobbies, the client answered.
    void Join()
    {
        net->OnHost([] { init_lobbyTalk(kRoleHost); gGame.state = HostLobby; });
        net->OnClient([] { init_lobbyTalk(kRoleClient); gGame.state = ClientLobby; });
        net->OnClient(lobbyTalk);  // JoinRequest
        net->OnHost(lobbyTalk);    // LobbyInfo at once
        net->OnClient(lobbyTalk);
    }
    // The host's race button and the client's start.
    void StartRace()
    {
        net->OnHost(gotoRace);
        net->OnHost([] { gNet.sendTimer = 0; raceSend(); });  // the first RaceState
        for (int i = 0; i < 4 && net->client.game.state != Race; i++)
            net->OnClient(lobbyTalk);
    }
    std::string Log() const { return dir.Read("log.txt"); }

    ScratchAppDir dir;
    TwoMachines* net = nullptr;
};
