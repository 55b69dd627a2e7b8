// Helpers of the network tests: free loopback ports, raw datagrams, and two
// machines in one process (each side's session, preferences, game state,
// cars and standings swapped in around the calls made "on" that side).
#pragma once

#include <functional>
#include <string>

#include "app/config.h"
#include "game/game_state.h"
#include "game/prefs.h"
#include "input/devices.h"
#include "net/net_session.h"
#include "race/car.h"
#include "race/race.h"
#include "race/standings.h"

// A UDP port that was free a moment ago.
int FreeUdpPort();

// Sends `bytes` as one datagram to 127.0.0.1:port from a fresh socket.
void SendRaw(int port, const std::string& bytes);

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

// Default preferences with player 1 named `name`, no cars, standings or
// keys, and the multiplayer menu.
void ResetMachine(const char* name);

// Host and client with their own ports on 127.0.0.1, preferences from the
// defaults (client's p2p_ip 127.0.0.1, names "hosting", "joining"), and
// game state 3.  data/prefs.txt holds the client's preferences.  Track files must exist before a race starts (WriteTestTracks).
class TwoMachines {
public:
    TwoMachines();
    ~TwoMachines();
    // Runs `work` with that machine's records in the globals.
    void OnHost(const std::function<void()>& work) { On(host, work); }
    void OnClient(const std::function<void()>& work) { On(client, work); }
    Machine host, client;
    NetPorts hostPorts, clientPorts;

private:
    void On(Machine& m, const std::function<void()>& work);
};

// Writes two tracks ("alpha", "beta": flat 64 x 64 heightmaps and a course
// of three gates) under the current application directory and lists them
// in gConfig.
void WriteTestTracks(const std::string& root);

// A ControlsMessage or RaceState built by hand (as another program would).
std::string ControlsBytes(int kind, int a, int l, int b, int r);
std::string RaceStateBytes(int kind, int frameRate, int tagHolder, int laps0, int laps1, int next0,
                           int next1, int sound, const float car[28]);
std::string LobbyInfoBytes(int kind, int frameRate, const char* address, const char* name,
                           int mode, int track, int length);
