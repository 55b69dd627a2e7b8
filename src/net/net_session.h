// The network session: one global record shared by the lobby, the race
// exchange, the frame clock (a client's frame-rate cap) and the world rules
// (collision sounds numbered by the host).
#pragma once

#include <cstdint>

class UdpSender;
class UdpReceiver;

enum NetRole : int32_t { kRoleHost = 0, kRoleClient = 1, kRoleNone = 2 };

static const int kLobbyPort = 29790;
static const int kRacePort = 29791;

struct NetSession {
    uint8_t received;          // a message was accepted this frame (green point)
    uint8_t sent;              // a message was sent this frame (red point)
    int32_t role;              // NetRole
    UdpReceiver* lobbyReceiver;  // owned; port 29790
    UdpReceiver* raceReceiver;   // owned; port 29791
    UdpSender* lobbySender;      // owned; to the peer's 29790
    UdpSender* raceSender;       // owned; to the peer's 29791
    uint8_t peerJoined;        // host: a client joined; client: the host answered
    float sendTimer;           // seconds until the host sends again unasked
    char localAddress[16];     // this machine's first IPv4 address
    char peerAddress[16];      // the peer's IPv4 address
    char savedPlayer2Name[16]; // player2name kept aside while the peer's name stands in
    uint8_t outKind;
    char outAddress[16];
    char outName[16];
    uint8_t outSettings[3];    // host: gamemode, track, laps or timelimit
    uint8_t inKind;
    char inAddress[16];
    char inName[16];
    int8_t inSettings[3];
    int32_t outControls[4], outTagHolder, outLaps[2], outNextCheckpoint[2], outSound, outFrameRate;
    int32_t inControls[4], inTagHolder, inLaps[2], inNextCheckpoint[2], inSound, inFrameRate;
    float outCarState[28];
    float inCarState[28];
};

// Per process: StartNetwork at every start-up pass, CloseSession on leaving a
// session and at shut-down.
extern NetSession gNet;
