// The session record, network start-up and the lobby: the client asks to
// join every frame, the host answers at once with its name and race
// settings and repeats them every second, and the host's race button starts
// the race on both machines (race_exchange.cpp).
#include "net/net_session.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "app/clock.h"
#include "app/config.h"
#include "app/log.h"
#include "game/game_state.h"
#include "game/prefs.h"
#include "net/udp_endpoint.h"
#include "platform/sys.h"

// role starts as "no session" so that headless programs that never call
// StartNetwork (tests, simulator) see local play.
NetSession gNet = [] {
    NetSession s{};
    s.role = kRoleNone;
    s.inSound = -1;
    s.outSound = -1;
    s.outFrameRate = 500;
    s.inFrameRate = 500;
    s.ports = NetPorts{kLobbyPort, kRacePort, kLobbyPort, kRacePort};
    s.refusedTrack = -1;
    return s;
}();

static const int kMaxLocalAddresses = 8;

// Copies a 16-byte text field, always ending it inside its 16 bytes.
static void CopyText(char dst[16], const char* src)
{
    snprintf(dst, 16, "%s", src);
}

// A name from the peer: ended inside its bytes, unprintable bytes shown as
// '?', so that nothing but plain characters reaches the screen.
static void CopyPeerName(char dst[16], const char src[16])
{
    for (int i = 0; i < 15; i++) {
        unsigned char c = (unsigned char)src[i];
        dst[i] = (c == 0 || (c >= 32 && c < 127)) ? (char)c : '?';
        if (c == 0)
            break;
    }
    dst[15] = 0;
}

int32_t SessionFrameRate()
{
    double rate = gClock.frameRate;
    if (!(rate >= 25.0))
        return 25;
    if (rate > 1000000.0)
        return 1000000;
    return (int32_t)rate;
}

void StartNetwork()
{
    CloseSession();
    gNet.peerJoined = 0;
    gNet.sendTimer = 0;
    gNet.outFrameRate = gNet.inFrameRate = 500;
    gNet.inSound = gNet.outSound = -1;
    gNet.ports = NetPorts{kLobbyPort, kRacePort, kLobbyPort, kRacePort};
    gNet.localAddress[0] = 0;
    gNet.refusedTrack = -1;

    char hostName[80];
    if (!UdpHostName(hostName, sizeof hostName)) {
        LogMessage("ERROR (local hostname): %d", errno);
    } else {
        LogMessage("hostname: %s", hostName);
        // The interfaces rather than a look-up of the host name, which on
        // many systems gives 127.0.1.1, an address no peer can reach.
        char addresses[kMaxLocalAddresses][16];
        int count = UdpLocalAddresses(addresses, kMaxLocalAddresses);
        if (count <= 0) {
            LogMessage("ERROR (bad host-lookup)");
        } else {
            for (int i = 0; i < count; i++)
                LogMessage("IP address [%d]: %s", i, addresses[i]);
            CopyText(gNet.localAddress, addresses[0]);
        }
    }
    CopyText(gNet.savedPlayer2Name, gPrefs.playername[1]);
}

void CloseSession()
{
    delete gNet.lobbyReceiver;
    delete gNet.raceReceiver;
    delete gNet.lobbySender;
    delete gNet.raceSender;
    gNet.lobbyReceiver = nullptr;
    gNet.raceReceiver = nullptr;
    gNet.lobbySender = nullptr;
    gNet.raceSender = nullptr;
    gNet.peerJoined = 0;
    gNet.sendTimer = 0;
    gNet.role = kRoleNone;
}

void RestorePlayer2Name()
{
    CopyText(gPrefs.playername[1], gNet.savedPlayer2Name);
}

void SaveSessionPrefs()
{
    char peerName[16];
    CopyText(peerName, gPrefs.playername[1]);
    bool standIn = gNet.role == kRoleHost;
    if (standIn)
        RestorePlayer2Name();
    SavePrefs();
    if (standIn)
        CopyText(gPrefs.playername[1], peerName);
}

static bool EndpointsMissing()
{
    return !gNet.lobbyReceiver || !gNet.raceReceiver || !gNet.lobbySender || !gNet.raceSender;
}

// The host's LobbyInfo (and LobbyClosed) layout on lobbySender, to the peer.
void OpenLobbyInfoSender()
{
    CopyText(gNet.outAddress, gNet.localAddress);
    CopyText(gNet.outName, gPrefs.playername[0]);
    // The address came from the network: numbers only, never a name look-up.
    gNet.lobbySender->Open(gNet.peerAddress, gNet.ports.lobbyPeer, true);
    gNet.lobbySender->AddBytes(&gNet.outKind, 1);
    gNet.lobbySender->AddInts(&gNet.outFrameRate, 1);
    gNet.lobbySender->AddBytes(gNet.outAddress, 16);
    gNet.lobbySender->AddBytes(gNet.outName, 16);
    gNet.lobbySender->AddBytes(gNet.outSettings, 3);
}

void init_lobbyTalk(int32_t role)
{
    gNet.role = role;
    gNet.peerJoined = 0;
    gNet.sendTimer = 0;
    CopyText(gNet.savedPlayer2Name, gPrefs.playername[1]);
    if (!gNet.lobbyReceiver)
        gNet.lobbyReceiver = new (std::nothrow) UdpReceiver;
    if (!gNet.raceReceiver)
        gNet.raceReceiver = new (std::nothrow) UdpReceiver;
    if (!gNet.lobbySender)
        gNet.lobbySender = new (std::nothrow) UdpSender;
    if (!gNet.raceSender)
        gNet.raceSender = new (std::nothrow) UdpSender;
    if (EndpointsMissing()) {
        LogMessage("Unvalid sockets! init_lobbytalk");
        SysMessageBox("in init_lobbyTalk", "Unvalid socks!");
        return;
    }
    LogMessage("Network session: %s", role == kRoleHost ? "host" : "client");
    if (role == kRoleHost) {
        // JoinRequest, 33 bytes.
        gNet.lobbyReceiver->Bind(gNet.ports.lobbyLocal, false);
        gNet.lobbyReceiver->AddBytes(&gNet.inKind, 1);
        gNet.lobbyReceiver->AddBytes(gNet.inAddress, 16);
        gNet.lobbyReceiver->AddBytes(gNet.inName, 16);
        return;
    }
    // Each machine shows the host's car in player 1's colour and the
    // client's in player 2's.
    for (int c = 0; c < 3; c++) {
        float swap = gPrefs.playerColour[0][c];
        gPrefs.playerColour[0][c] = gPrefs.playerColour[1][c];
        gPrefs.playerColour[1][c] = swap;
    }
    CopyText(gNet.peerAddress, gPrefs.p2p_ip);
    CopyText(gNet.outAddress, gNet.localAddress);
    CopyText(gNet.outName, gPrefs.playername[0]);

    // JoinRequest out, 33 bytes.
    gNet.lobbySender->Open(gNet.peerAddress, gNet.ports.lobbyPeer);
    gNet.lobbySender->AddBytes(&gNet.outKind, 1);
    gNet.lobbySender->AddBytes(gNet.outAddress, 16);
    gNet.lobbySender->AddBytes(gNet.outName, 16);

    // LobbyInfo in, 52 bytes.
    gNet.lobbyReceiver->Bind(gNet.ports.lobbyLocal, false);
    gNet.lobbyReceiver->AddBytes(&gNet.inKind, 1);
    gNet.lobbyReceiver->AddInts(&gNet.inFrameRate, 1);
    gNet.lobbyReceiver->AddBytes(gNet.inAddress, 16);
    gNet.lobbyReceiver->AddBytes(gNet.inName, 16);
    gNet.lobbyReceiver->AddBytes(gNet.inSettings, 3);

    // ControlsMessage out, 65 bytes.
    gNet.raceSender->Open(gNet.peerAddress, gNet.ports.racePeer);
    gNet.raceSender->AddBytes(&gNet.outKind, 1);
    gNet.raceSender->AddInts(gNet.outControls, 4);

    // RaceState in, 561 bytes.
    gNet.raceReceiver->Bind(gNet.ports.raceLocal, false);
    gNet.raceReceiver->AddBytes(&gNet.inKind, 1);
    gNet.raceReceiver->AddInts(&gNet.inFrameRate, 1);
    gNet.raceReceiver->AddInts(&gNet.inTagHolder, 1);
    gNet.raceReceiver->AddInts(gNet.inLaps, 2);
    gNet.raceReceiver->AddInts(gNet.inNextCheckpoint, 2);
    gNet.raceReceiver->AddInts(&gNet.inSound, 1);
    gNet.raceReceiver->AddFloats(gNet.inCarState, 28);
}

static int32_t Clamp(int32_t v, int32_t lo, int32_t hi)
{
    return v < lo ? lo : v > hi ? hi : v;
}

// The host's settings on the client, each checked: an unknown mode is
// ignored, a track this machine does not have becomes track 0, the race
// length is held to the menu's range.  Not saved.
static void ApplyLobbySettings()
{
    int32_t mode = gNet.inSettings[0];
    int32_t track = gNet.inSettings[1];
    int32_t length = gNet.inSettings[2];
    if (track < 0 || track >= gConfig.trackCount) {
        if (gNet.refusedTrack != track)
            LogMessage("Track %d from the host is not here: track 0 instead", track);
        gNet.refusedTrack = track;
        track = 0;
    } else {
        gNet.refusedTrack = -1;
    }
    gPrefs.track = track;
    if (mode == 1) {
        gPrefs.gamemode = 1;
        gPrefs.laps = Clamp(length, 3, 12);
    } else if (mode == 0) {
        gPrefs.gamemode = 0;
        gPrefs.timelimit = Clamp(length, 10, 60);
    }
    NormalisePrefs();
}

static void HostLobbyTalk()
{
    const bool stored = gNet.lobbyReceiver->Receive() == 1;
    // The texts are ended as soon as they arrive, whatever the kind.
    gNet.inAddress[15] = 0;
    gNet.inName[15] = 0;
    if (stored && gNet.inKind == kKindJoinRequest) {
        gNet.received = 1;
        CopyText(gNet.peerAddress, gNet.inAddress);
        CopyPeerName(gPrefs.playername[1], gNet.inName);
        if (!gNet.peerJoined) {
            OpenLobbyInfoSender();
            gNet.peerJoined = 1;
            LogMessage("Network: %s joined from %s", gPrefs.playername[1], gNet.peerAddress);
        }
        gNet.sendTimer = 0;
    }
    if (gNet.sendTimer > 0)
        return;
    gNet.outSettings[0] = (uint8_t)gPrefs.gamemode;
    gNet.outSettings[1] = (uint8_t)gPrefs.track;
    gNet.outSettings[2] = (uint8_t)(gPrefs.gamemode == 1 ? gPrefs.laps : gPrefs.timelimit);
    gNet.outKind = kKindLobbyInfo;
    gNet.outFrameRate = SessionFrameRate();
    gNet.lobbySender->Send();
    gNet.sent = 1;
    gNet.sendTimer = 1.0f;
}

static void ClientLobbyTalk()
{
    gNet.inFrameRate = 500;
    gNet.outKind = kKindJoinRequest;
    gNet.lobbySender->Send();
    gNet.sent = 1;

    gNet.lobbyReceiver->Receive();
    gNet.inAddress[15] = 0;
    gNet.inName[15] = 0;
    // The host writes the very address that this player typed; the last
    // message received counts even when none arrived in this frame.
    if (strcmp(gNet.inAddress, gNet.peerAddress) == 0) {
        gNet.received = 1;
        if (gNet.inKind == kKindLobbyInfo) {
            const Prefs before = gPrefs;
            CopyPeerName(gPrefs.playername[1], gNet.inName);
            ApplyLobbySettings();
            const int32_t length = gPrefs.gamemode == 1 ? gPrefs.laps : gPrefs.timelimit;
            if (!gNet.peerJoined || strcmp(before.playername[1], gPrefs.playername[1]) != 0 ||
                before.gamemode != gPrefs.gamemode || before.track != gPrefs.track ||
                length != (before.gamemode == 1 ? before.laps : before.timelimit))
                LogMessage("Network lobby: host %s, mode %d, track %d, length %d", gPrefs.playername[1],
                           gPrefs.gamemode, gPrefs.track, length);
            gNet.peerJoined = 1;
        } else if (gNet.inKind == kKindLobbyClosed) {
            CloseSession();
            LoadPrefs();
            gGame.state = MultiplayerMenu;
            return;
        }
    }
    if (gNet.peerJoined) {
        gNet.inKind = 0;
        gNet.raceReceiver->Receive();
        gNet.received = 1;
        // In the lobby a race message only starts the race: its collision
        // sound, not checked here, must not reach the first steps.
        gNet.inSound = -1;
        // A back-to-lobby message left over from the last race starts nothing.
        if (gNet.inKind == kKindRaceState && gNet.inTagHolder != kTagHolderBackToLobby)
            gotoRace();
    }
}

void lobbyTalk()
{
    if (EndpointsMissing()) {
        LogMessage("Unvalid sockets! lobbytalk");
        SysMessageBox("in lobbyTalk", "Unvalid socks!");
        return;
    }
    gNet.inKind = 0;
    if (gNet.role == kRoleHost)
        HostLobbyTalk();
    else if (gNet.role == kRoleClient)
        ClientLobbyTalk();
}

void LeaveLobby()
{
    gNet.outKind = kKindLobbyClosed;
    gNet.outFrameRate = SessionFrameRate();
    if (gNet.lobbySender)
        gNet.lobbySender->Send();
    gNet.sent = 1;
    CloseSession();
    RestorePlayer2Name();
    gGame.state = MultiplayerMenu;
}

bool EditPeerAddress(char address[16], int32_t key)
{
    address[15] = 0;
    size_t length = strlen(address);
    if (key == 8) {
        if (length == 0)
            return false;
        address[length - 1] = 0;
        return true;
    }
    if (length >= 15)
        return false;
    char c = '.';
    if (key >= 96 && key <= 105)
        c = (char)('0' + (key - 96));
    else if (key >= 48 && key <= 57)
        c = (char)('0' + (key - 48));
    address[length] = c;
    address[length + 1] = 0;
    return true;
}
