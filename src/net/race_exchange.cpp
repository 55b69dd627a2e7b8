// The race exchange between the two machines.  The host is the authority:
// it simulates both cars, with the client's four driving keys pressed as
// player 2's, and sends the result back.  The client sends its keys every
// frame and copies each state it receives, mirrored (the host's car 0 is
// the client's car 1).  The host answers each message it receives, and
// sends at least once a second anyway.
//
// RaceState (kind 3, host -> client, 561 bytes): kind, frame rate, tag
// holder (5: back to the lobby), laps of cars 0 and 1, their next gates,
// the last collision sound, 28 floats (per car: x, y, z, heading, steer,
// score, then wheel y and spin of wheels 0..3).
// ControlsMessage (kind 4, client -> host, 65 bytes): kind, accelerate,
// left, brake, right (0 or 1).
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "app/config.h"
#include "app/log.h"
#include "game/game_state.h"
#include "game/prefs.h"
#include "game/race_prefs.h"
#include "game/recording.h"
#include "input/devices.h"
#include "net/net_checks.h"
#include "net/net_session.h"
#include "net/udp_endpoint.h"
#include "platform/sys.h"
#include "race/car.h"
#include "race/checkpoints.h"
#include "race/race.h"
#include "race/standings.h"

static const int kFloatsPerCar = 14;

static bool RaceEndpointsMissing()
{
    return !gNet.raceReceiver || !gNet.raceSender;
}

void gotoRace()
{
    if (gNet.role != kRoleHost && gNet.role != kRoleClient) {
        // The session ended earlier in this frame; there is nobody to race.
        LogMessage("Network race not started: no session");
        return;
    }
    if (!gNet.lobbyReceiver || !gNet.lobbySender || RaceEndpointsMissing()) {
        LogMessage("Unvalid sockets! gotorace");
        SysMessageBox("in gotoRace", "Unvalid socks!");
    }
    if (!gNet.raceReceiver)
        gNet.raceReceiver = new (std::nothrow) UdpReceiver;
    if (!gNet.raceSender)
        gNet.raceSender = new (std::nothrow) UdpSender;
    if (RaceEndpointsMissing())
        return;
    if (gConfig.trackCount <= 0)
        return;  // nothing to race on: stay in the lobby
    if (gNet.role == kRoleHost && !gNet.peerJoined) {
        LogMessage("Network race not started: nobody has joined");
        return;
    }
    if (gNet.role == kRoleClient && gNet.lobbyReceiver) {
        // Lobby messages the host sent before its first race message: any
        // heard from now on mean the host is back in its lobby.
        for (int i = 0; i < kMaxDatagramsPerFrame; i++) {
            UdpAddress from = 0;
            if (gNet.lobbyReceiver->Take(&from) < 0)
                break;
        }
    }
    if (gNet.role == kRoleHost) {
        // Either failure ends the lobby, so that the client learns that no
        // race comes.
        const int port = gNet.ports.raceLocal;
        if (gNet.raceReceiver->Bind(port, false) < 0) {
            LogMessage("ERROR (race port %d): %s", port, strerror(errno));
            LeaveLobby();
            snprintf(gNet.notice, sizeof gNet.notice, "Port %d is taken (the game runs twice?)", port);
            return;
        }
        if (gNet.raceSender->Open(gNet.peerAddress, gNet.ports.racePeer, true) < 0) {
            LogMessage("ERROR (client address \"%s\" unusable)", gNet.peerAddress);
            LeaveLobby();
            snprintf(gNet.notice, sizeof gNet.notice, "No race: the client's address is unusable");
            return;
        }
        gNet.raceSender->AddBytes(&gNet.outKind, 1);
        gNet.raceSender->AddInts(&gNet.outFrameRate, 1);
        gNet.raceSender->AddInts(&gNet.outTagHolder, 1);
        gNet.raceSender->AddInts(gNet.outLaps, 2);
        gNet.raceSender->AddInts(gNet.outNextCheckpoint, 2);
        gNet.raceSender->AddInts(&gNet.outSound, 1);
        gNet.raceSender->AddFloats(gNet.outCarState, 28);

        gNet.raceReceiver->AddBytes(&gNet.inKind, 1);
        gNet.raceReceiver->AddInts(gNet.inControls, 4);
        // No collision sound has been played in this race yet.
        gNet.outSound = -1;
    }
    // The host's own counts and lengths wait aside until it leaves the
    // race (the client reloads its file instead).
    if (gNet.role == kRoleHost && !gNet.ownKept) {
        gNet.ownPlayers = gPrefs.nplayers;
        gNet.ownOpponents = gPrefs.nopponents;
        gNet.ownLaps = gPrefs.laps;
        gNet.ownTimeLimit = gPrefs.timelimit;
        gNet.ownKept = 1;
    }
    // The client holds the host's lengths to these and refuses race
    // states beyond them: the host races the same.
    gPrefs.laps = NetworkLaps(gPrefs.laps);
    gPrefs.timelimit = NetworkTimeLimit(gPrefs.timelimit);
    // Two cars, the peer's being car 1; not saved.
    gPrefs.nplayers = 1;
    gPrefs.nopponents = 1;
    NormalisePrefs();
    // A network race is never part of a tournament, whatever was played before.
    gGame.tournament = 0;
    ClearTotals();
    TakeRaceSetupFromPrefs();
    LoadTrack();
    BeginRaceRecording();
    ResetCars();
    gGame.state = Race;
    LogMessage("Network race: %s, track %d, against %s", gNet.role == kRoleHost ? "host" : "client",
               gPrefs.track, gPrefs.playername[1]);
}

void LogNetworkRaceEnd()
{
    const float* a = gCars[0].position;
    const float* b = gCars[1].position;
    LogMessage("Network race left: car 0 at %.2f %.2f %.2f, car 1 at %.2f %.2f %.2f", a[0], a[1], a[2], b[0],
               b[1], b[2]);
}

// Host: the client's four keys drive car 1 until the next message.
static void ApplyControls()
{
    CarControls c = {};
    c.accelerate = gNet.inControls[kCtrlAccelerate] != 0;
    c.left = gNet.inControls[kCtrlLeft] != 0;
    c.brake = gNet.inControls[kCtrlBrake] != 0;
    c.right = gNet.inControls[kCtrlRight] != 0;
    gControls[1] = c;
}

// Client: the host's state, mirrored; RaceStateIsSound has passed it.  A
// gate beyond this machine's course (the track files differ) leaves the
// local value in place.
static void ApplyRaceState()
{
    if (gNet.inTagHolder == 0 || gNet.inTagHolder == 1)
        gStandings.tagHolder = 1 - gNet.inTagHolder;
    uint32_t gates = gCheckpoints.gateCount;
    for (int local = 0; local < 2; local++) {
        const int remote = 1 - local;
        Car& car = gCars[local];
        car.lapsDone = (uint32_t)gNet.inLaps[remote];
        const uint32_t next = (uint32_t)gNet.inNextCheckpoint[remote];
        if (next < gates || next == 0)
            car.nextCheckpoint = next;
        const float* s = gNet.inCarState + kFloatsPerCar * remote;
        car.position[0] = s[0];
        car.position[1] = s[1];
        car.position[2] = s[2];
        car.heading = s[3];
        car.steer = s[4];
        gStandings.score[local] = s[5];
        for (int w = 0; w < 4; w++) {
            car.wheelPoint[w].y = s[6 + 2 * w];
            car.wheelAngles[w].spin = s[7 + 2 * w];
        }
    }
}

// Every waiting datagram of the race port: those from the peer's address
// whose message passes `sound` are kept (the newest stands in the received
// fields), others are dropped and those from other addresses counted.
// True when one was kept.
template <typename Check>
static bool TakeRaceMessages(const Check& sound)
{
    bool kept = false;
    for (int i = 0; i < kMaxDatagramsPerFrame; i++) {
        uint32_t from = 0;
        const int taken = gNet.raceReceiver->Take(&from);
        if (taken < 0)
            break;
        if (!FromPeer(from, gNet.peerSource)) {
            gNet.droppedForeign++;
            continue;
        }
        if (taken == 0)
            continue;
        const NetSession before = gNet;
        if (!gNet.raceReceiver->Store() || !sound()) {
            RestoreReceived(gNet, before);
            continue;
        }
        kept = true;
    }
    return kept;
}

bool TakeLobbyRaceMessages(bool* start)
{
    const RaceLimits limits = CurrentRaceLimits();
    const bool heard = TakeRaceMessages([&limits] { return RaceStateIsSound(gNet, limits); });
    // A back-to-lobby message left over from the last race starts nothing.
    *start = heard && gNet.inTagHolder != kTagHolderBackToLobby;
    return heard;
}

// Client: the host has left the race for its lobby; so does the client.
static void ClientBackToLobby()
{
    LogNetworkRaceEnd();
    LoadPrefs();
    if (!ReopenLobby(kRoleClient)) {
        gGame.state = MultiplayerMenu;
        return;
    }
    gNet.peerJoined = 1;  // the host is known
    gGame.state = ClientLobby;
}

// Client in a race: the host sends lobby messages only from its lobby, so
// one means the host has left the race even when its single back-to-lobby
// race message was lost.  True when the race has been left.
static bool ClientHearsHostLobby()
{
    const int32_t kind = TakeHostLobbyMessages();
    if (kind == 0)
        return false;
    gNet.received = 1;
    if (kind == kKindLobbyClosed) {
        LogMessage("Network: the host closed its lobby");
        LogNetworkRaceEnd();
        CloseSession();
        LoadPrefs();
        gGame.state = MultiplayerMenu;
        return true;
    }
    LogMessage("Network: the host is back in its lobby");
    ClientBackToLobby();
    if (gGame.state == ClientLobby)
        TakeLobbyInfo();
    return true;
}

void raceRecv()
{
    // Without a message in this frame the client's frame rate is not capped
    // by the host, and no collision sound is pending.
    gNet.inFrameRate = 500;
    gNet.inSound = -1;
    if (RaceEndpointsMissing()) {
        LogMessage("Unvalid sockets! racerecv");
        SysMessageBox("in raceRecv", "Unvalid socks!");
        return;
    }
    gNet.inKind = 0;
    if (gNet.role == kRoleHost) {
        const bool heard = TakeRaceMessages([] { return ControlsAreSound(gNet); });
        if (heard) {
            gNet.received = 1;
            ApplyControls();
            gNet.sendTimer = 0;  // answered after this frame's steps
        }
        NotePeer(heard);
        return;
    }
    if (gNet.role != kRoleClient)
        return;
    if (ClientHearsHostLobby())
        return;
    gNet.inTagHolder = 0;
    const RaceLimits limits = CurrentRaceLimits();
    const bool heard = TakeRaceMessages([&limits] { return RaceStateIsSound(gNet, limits); });
    if (NotePeer(heard) || !heard)
        return;
    gNet.received = 1;
    if (gNet.inTagHolder == kTagHolderBackToLobby) {
        ClientBackToLobby();
        return;
    }
    ApplyRaceState();
}

// Host: cars 0 and 1 and the standings into the RaceState fields.
static void FillRaceState()
{
    gNet.outTagHolder = gStandings.tagHolder;
    for (int c = 0; c < 2; c++) {
        const Car& car = gCars[c];
        gNet.outLaps[c] = (int32_t)car.lapsDone;
        gNet.outNextCheckpoint[c] = (int32_t)car.nextCheckpoint;
        float* s = gNet.outCarState + kFloatsPerCar * c;
        s[0] = car.position[0];
        s[1] = car.position[1];
        s[2] = car.position[2];
        s[3] = car.heading;
        s[4] = car.steer;
        s[5] = gStandings.score[c];
        for (int w = 0; w < 4; w++) {
            s[6 + 2 * w] = car.wheelPoint[w].y;
            s[7 + 2 * w] = car.wheelAngles[w].spin;
        }
    }
}

void raceSend()
{
    if (RaceEndpointsMissing()) {
        LogMessage("Unvalid sockets! racesend");
        SysMessageBox("in raceSend", "Unvalid socks!");
        return;
    }
    if (gNet.role == kRoleClient) {
        for (int k = 0; k < 4; k++)
            gNet.outControls[k] = KeyDown(gPrefs.playerctrls[0][k]) ? 1 : 0;
        gNet.outKind = kKindControls;
        gNet.raceSender->Send();
        gNet.sent = 1;
        return;
    }
    if (gNet.role != kRoleHost || gNet.sendTimer > 0)
        return;
    FillRaceState();
    gNet.outKind = kKindRaceState;
    gNet.outFrameRate = SessionFrameRate();
    gNet.raceSender->Send();
    gNet.sent = 1;
    gNet.sendTimer = 1.0f;
}

void ReturnToLobby()
{
    gNet.outKind = kKindRaceState;
    gNet.outTagHolder = kTagHolderBackToLobby;
    gNet.outFrameRate = SessionFrameRate();
    if (gNet.raceSender)
        gNet.raceSender->Send();
    gNet.sent = 1;
    LogNetworkRaceEnd();
    RestoreOwnPrefs();
    if (!ReopenLobby(kRoleHost)) {
        gGame.state = MultiplayerMenu;
        return;
    }
    if (gNet.lobbySender) {
        OpenLobbyInfoSender();
        gNet.peerJoined = 1;  // the client is known
    }
    gGame.state = HostLobby;
}
