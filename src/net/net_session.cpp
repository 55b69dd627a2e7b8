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
#include "net/net_checks.h"
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
    gNet.ownKept = 0;

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

// Deletes the endpoints and leaves no session, without a word in the log.
static void DropEndpoints()
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

void CloseSession()
{
    if (gNet.role == kRoleHost || gNet.role == kRoleClient)
        LogMessage("Network session ended: dropped %u datagrams from other addresses",
                   (unsigned)gNet.droppedForeign);
    DropEndpoints();
    gNet.droppedForeign = 0;
    gNet.peerSource = 0;
}

bool ReopenLobby(int32_t role)
{
    const uint32_t dropped = gNet.droppedForeign;
    const uint32_t source = gNet.peerSource;
    DropEndpoints();
    if (!init_lobbyTalk(role))
        return false;
    gNet.droppedForeign = dropped;
    if (role == kRoleHost)
        gNet.peerSource = source;
    return true;
}

bool NotePeer(bool heard)
{
    if (heard || !gNet.peerJoined) {
        gNet.peerSilence = 0;
        return false;
    }
    // The frame simulates 1 / frameRate seconds; a frame slower than a
    // second counts as one.
    gNet.peerSilence += gClock.frameRate >= 1.0 ? (float)(1.0 / gClock.frameRate) : 1.0f;
    if (gNet.peerSilence < kPeerSilenceLimit)
        return false;
    LogMessage("Network: nothing from %s for %d seconds", gNet.peerAddress, (int)kPeerSilenceLimit);
    const bool race = IsRaceState(gGame.state);
    if (race)
        LogNetworkRaceEnd();
    const bool host = gNet.role == kRoleHost;
    CloseSession();
    if (host)
        RestoreOwnPrefs();
    else
        LoadPrefs();
    snprintf(gNet.notice, sizeof gNet.notice, "%s",
             host ? "The other player has gone silent" : "The host has gone silent");
    gGame.state = MultiplayerMenu;
    return true;
}

// Writes the host's own values, kept aside during the session, into `p`.
static void PutOwnValues(Prefs& p)
{
    CopyText(p.playername[1], gNet.savedPlayer2Name);
    if (gNet.ownKept) {
        p.nplayers = gNet.ownPlayers;
        p.nopponents = gNet.ownOpponents;
        p.laps = gNet.ownLaps;
        p.timelimit = gNet.ownTimeLimit;
    }
}

void RestoreOwnPrefs()
{
    PutOwnValues(gPrefs);
    if (gNet.ownKept)
        NormalisePrefs();  // the car count and views follow the counts
    gNet.ownKept = 0;
}

void SaveSessionPrefs()
{
    if (gNet.role != kRoleHost) {
        SavePrefs();
        return;
    }
    const Prefs session = gPrefs;
    PutOwnValues(gPrefs);
    SavePrefs();
    gPrefs = session;
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
    if (gNet.lobbySender->Open(gNet.peerAddress, gNet.ports.lobbyPeer, true) < 0)
        LogMessage("ERROR (lobby sender to %s): %s", gNet.peerAddress, strerror(errno));
    gNet.lobbySender->AddBytes(&gNet.outKind, 1);
    gNet.lobbySender->AddInts(&gNet.outFrameRate, 1);
    gNet.lobbySender->AddBytes(gNet.outAddress, 16);
    gNet.lobbySender->AddBytes(gNet.outName, 16);
    gNet.lobbySender->AddBytes(gNet.outSettings, 3);
}

// A port of this session cannot be bound (most often a second copy of the
// game holds it): the log and the multiplayer menu say so, and the session
// ends.  Always false.
static bool PortTaken(int port)
{
    LogMessage("ERROR (bind port %d): %s", port, strerror(errno));
    CloseSession();
    snprintf(gNet.notice, sizeof gNet.notice, "Port %d is taken (the game runs twice?)", port);
    return false;
}

bool init_lobbyTalk(int32_t role)
{
    gNet.role = role;
    gNet.peerJoined = 0;
    gNet.sendTimer = 0;
    gNet.peerSource = 0;
    gNet.peerSilence = 0;
    gNet.droppedForeign = 0;
    gNet.notice[0] = 0;
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
        return false;
    }
    LogMessage("Network session: %s", role == kRoleHost ? "host" : "client");
    if (role == kRoleHost) {
        // JoinRequest, 33 bytes.
        if (gNet.lobbyReceiver->Bind(gNet.ports.lobbyLocal, false) < 0)
            return PortTaken(gNet.ports.lobbyLocal);
        gNet.lobbyReceiver->AddBytes(&gNet.inKind, 1);
        gNet.lobbyReceiver->AddBytes(gNet.inAddress, 16);
        gNet.lobbyReceiver->AddBytes(gNet.inName, 16);
        return true;
    }
    CopyText(gNet.peerAddress, gPrefs.p2p_ip);
    CopyText(gNet.outAddress, gNet.localAddress);
    CopyText(gNet.outName, gPrefs.playername[0]);

    // JoinRequest out, 33 bytes.
    if (gNet.lobbySender->Open(gNet.peerAddress, gNet.ports.lobbyPeer) < 0 ||
        gNet.raceSender->Open(gNet.peerAddress, gNet.ports.racePeer) < 0) {
        LogMessage("ERROR (host address \"%s\" not found)", gNet.peerAddress);
        CloseSession();
        snprintf(gNet.notice, sizeof gNet.notice, "No host at address %s", gPrefs.p2p_ip);
        return false;
    }
    // Only datagrams from the address the typed text leads to are the host's.
    gNet.peerSource = gNet.lobbySender->Destination();
    // The host takes a join request only from the address written in it:
    // write the one this machine sends from towards the host (on a machine
    // with several networks, not necessarily the first).
    UdpAddress source = 0;
    if (gNet.peerSource != 0 && UdpSourceFor(gNet.peerSource, gNet.ports.lobbyPeer, &source))
        UdpAddressText(source, gNet.outAddress);
    gNet.lobbySender->AddBytes(&gNet.outKind, 1);
    gNet.lobbySender->AddBytes(gNet.outAddress, 16);
    gNet.lobbySender->AddBytes(gNet.outName, 16);

    // LobbyInfo in, 52 bytes.
    if (gNet.lobbyReceiver->Bind(gNet.ports.lobbyLocal, false) < 0)
        return PortTaken(gNet.ports.lobbyLocal);
    gNet.lobbyReceiver->AddBytes(&gNet.inKind, 1);
    gNet.lobbyReceiver->AddInts(&gNet.inFrameRate, 1);
    gNet.lobbyReceiver->AddBytes(gNet.inAddress, 16);
    gNet.lobbyReceiver->AddBytes(gNet.inName, 16);
    gNet.lobbyReceiver->AddBytes(gNet.inSettings, 3);

    // ControlsMessage out, 65 bytes (opened with the join request's sender).
    gNet.raceSender->AddBytes(&gNet.outKind, 1);
    gNet.raceSender->AddInts(gNet.outControls, 4);

    // RaceState in, 561 bytes.
    if (gNet.raceReceiver->Bind(gNet.ports.raceLocal, false) < 0)
        return PortTaken(gNet.ports.raceLocal);
    gNet.raceReceiver->AddBytes(&gNet.inKind, 1);
    gNet.raceReceiver->AddInts(&gNet.inFrameRate, 1);
    gNet.raceReceiver->AddInts(&gNet.inTagHolder, 1);
    gNet.raceReceiver->AddInts(gNet.inLaps, 2);
    gNet.raceReceiver->AddInts(gNet.inNextCheckpoint, 2);
    gNet.raceReceiver->AddInts(&gNet.inSound, 1);
    gNet.raceReceiver->AddFloats(gNet.inCarState, 28);

    // Each machine shows the host's car in player 1's colour and the
    // client's in player 2's.
    for (int c = 0; c < 3; c++) {
        float swap = gPrefs.playerColour[0][c];
        gPrefs.playerColour[0][c] = gPrefs.playerColour[1][c];
        gPrefs.playerColour[1][c] = swap;
    }
    return true;
}

int32_t NetworkRaceLength()
{
    return gPrefs.gamemode == 1 ? NetworkLaps(gPrefs.laps) : NetworkTimeLimit(gPrefs.timelimit);
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
        gPrefs.laps = NetworkLaps(length);
    } else if (mode == 0) {
        gPrefs.gamemode = 0;
        gPrefs.timelimit = NetworkTimeLimit(length);
    }
    NormalisePrefs();
}

// Host: every waiting datagram of the lobby port.  A join request counts
// only when the address written in it is its own source; once a client has
// joined, only its source is heard.
static void HostLobbyTalk()
{
    bool heard = false;
    for (int i = 0; i < kMaxDatagramsPerFrame; i++) {
        uint32_t from = 0;
        const int taken = gNet.lobbyReceiver->Take(&from);
        if (taken < 0)
            break;
        if (gNet.peerJoined && !FromPeer(from, gNet.peerSource)) {
            gNet.droppedForeign++;
            continue;
        }
        if (taken == 0)
            continue;
        const NetSession before = gNet;
        const bool numbers = gNet.lobbyReceiver->Store();
        // The texts are ended as soon as they arrive, whatever the kind.
        gNet.inAddress[15] = 0;
        gNet.inName[15] = 0;
        if (!numbers || gNet.inKind != kKindJoinRequest) {
            RestoreReceived(gNet, before);
            continue;
        }
        if (!AddressIsSource(gNet.inAddress, from)) {
            gNet.droppedForeign++;
            RestoreReceived(gNet, before);
            continue;
        }
        heard = true;
        gNet.received = 1;
        gNet.peerSource = from;
        CopyText(gNet.peerAddress, gNet.inAddress);
        CopyPeerName(gPrefs.playername[1], gNet.inName);
        if (!gNet.peerJoined) {
            OpenLobbyInfoSender();
            gNet.peerJoined = 1;
            LogMessage("Network: %s joined from %s", gPrefs.playername[1], gNet.peerAddress);
        }
        gNet.sendTimer = 0;
    }
    if (NotePeer(heard))
        return;
    if (gNet.sendTimer > 0)
        return;
    gNet.outSettings[0] = (uint8_t)gPrefs.gamemode;
    gNet.outSettings[1] = (uint8_t)gPrefs.track;
    gNet.outSettings[2] = (uint8_t)NetworkRaceLength();
    gNet.outKind = kKindLobbyInfo;
    gNet.outFrameRate = SessionFrameRate();
    gNet.lobbySender->Send();
    gNet.sent = 1;
    gNet.sendTimer = 1.0f;
}

// Client: a LobbyInfo from the host, as it was before the change.
void TakeLobbyInfo()
{
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
}

int32_t TakeHostLobbyMessages()
{
    int32_t kind = 0;
    if (!gNet.lobbyReceiver)
        return kind;
    for (int i = 0; i < kMaxDatagramsPerFrame; i++) {
        uint32_t from = 0;
        const int taken = gNet.lobbyReceiver->Take(&from);
        if (taken < 0)
            break;
        if (!FromPeer(from, gNet.peerSource)) {
            gNet.droppedForeign++;
            continue;
        }
        if (taken == 0)
            continue;
        const NetSession before = gNet;
        const bool numbers = gNet.lobbyReceiver->Store();
        gNet.inAddress[15] = 0;
        gNet.inName[15] = 0;
        // The address written in the message is the host's first one, not
        // necessarily the one typed here (several networks, or the same
        // numbers written differently): its source says who sent it.
        if (!numbers || !LobbyInfoIsSound(gNet)) {
            RestoreReceived(gNet, before);
            continue;
        }
        kind = gNet.inKind;
        if (kind == kKindLobbyClosed)
            break;
    }
    return kind;
}

// Client: asks to join, then takes every waiting datagram of both ports
// that comes from the host's address; the host's first race message starts
// the race.
static void ClientLobbyTalk()
{
    gNet.inFrameRate = 500;
    gNet.outKind = kKindJoinRequest;
    gNet.lobbySender->Send();
    gNet.sent = 1;

    const int32_t kind = TakeHostLobbyMessages();
    bool heard = kind != 0;
    if (heard)
        gNet.received = 1;
    if (kind == kKindLobbyClosed) {
        LogMessage("Network: the host closed its lobby");
        CloseSession();
        LoadPrefs();
        gGame.state = MultiplayerMenu;
        return;
    }
    if (kind == kKindLobbyInfo)
        TakeLobbyInfo();
    bool start = false;
    if (gNet.peerJoined) {
        if (TakeLobbyRaceMessages(&start)) {
            heard = true;
            gNet.received = 1;
        }
        // In the lobby a race message only starts the race: its collision
        // sound must not reach the first steps.
        gNet.inSound = -1;
    }
    if (NotePeer(heard))
        return;
    if (start)
        gotoRace();
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
    RestoreOwnPrefs();
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
