// The network session from a script of datagrams: a host or a client, in the
// lobby and the race, gets the scripted datagrams on its two ports and runs
// its frames (lobby talk; race receive, steps, send), pressing the race and
// back buttons when the script says so.  Nothing travels: the socket calls
// are detoured (UdpSetDetour).  After every scripted event the records the
// rest of the game reads must be in range.
//
// The four layout targets (join_request_fuzz.cpp ...) share the helpers here.
#include <arpa/inet.h>
#include <netinet/in.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/appdir.h"
#include "app/clock.h"
#include "app/config.h"
#include "fuzz_targets.h"
#include "game/game_state.h"
#include "game/prefs.h"
#include "input/devices.h"
#include "net/net_session.h"
#include "net/udp_endpoint.h"
#include "platform/udp_socket.h"
#include "race/car.h"
#include "race/checkpoints.h"
#include "race/dust.h"
#include "race/race.h"
#include "race/standings.h"

namespace {

// The datagrams waiting on each port, and what was sent.
struct Wire {
    int lobbyPort, racePort;
    std::vector<uint8_t> lobby, race;  // at most one waiting datagram each
    bool lobbyWaiting, raceWaiting;
    size_t sent;
};
Wire gWire;

bool DetourSend(int, const void* data, size_t size, UdpAddress, int)
{
    (void)data;
    gWire.sent += size;
    return true;
}

long DetourReceive(int socket, void* buffer, size_t capacity, UdpAddress* from)
{
    const int port = UdpLocalPort(socket);
    std::vector<uint8_t>* datagram = nullptr;
    bool* waiting = nullptr;
    if (port != 0 && port == gWire.lobbyPort) {
        datagram = &gWire.lobby;
        waiting = &gWire.lobbyWaiting;
    } else if (port != 0 && port == gWire.racePort) {
        datagram = &gWire.race;
        waiting = &gWire.raceWaiting;
    }
    if (!datagram || !*waiting)
        return -1;
    *waiting = false;
    const size_t take = datagram->size() < capacity ? datagram->size() : capacity;
    if (take)  // an empty datagram's vector has no storage at all
        memcpy(buffer, datagram->data(), take);
    if (from)
        *from = htonl(INADDR_LOOPBACK);
    return (long)datagram->size();
}

const UdpDetour kDetour = {DetourSend, DetourReceive};

void WriteTracks(const std::string& dir)
{
    std::string tga(18, '\0');
    tga[2] = 2;
    tga[12] = 64;
    tga[14] = 64;
    tga[16] = 24;
    tga += std::string(64 * 64 * 3, '\x40');
    const std::string course = "0 -10 0 3\n10 -20 90 3\n-10 -20 90 3\n";
    for (const char* name : {"alpha", "beta"}) {
        FuzzWriteFile((dir + "data/tracks/terrains/" + name + ".tga").c_str(), (const uint8_t*)tga.data(), tga.size());
        FuzzWriteFile((dir + "data/tracks/checkpoints/" + name + ".txt").c_str(), (const uint8_t*)course.data(),
                      course.size());
    }
}

// A fresh process-like start: scratch folder with two tracks, default
// preferences, no session, the detour in place.
void ResetWorld()
{
    const std::string dir = FuzzScratchDir();
    SetAppDirectory(dir.c_str());
    static bool written = false;
    if (!written) {
        WriteTracks(dir);
        written = true;
    }
    remove((dir + "data/prefs.txt").c_str());
    remove((dir + "log.txt").c_str());
    gConfig.trackCount = 2;
    snprintf(gConfig.trackNames[0], kTrackNameSize, "%s", "alpha");
    snprintf(gConfig.trackNames[1], kTrackNameSize, "%s", "beta");
    UdpSetDetour(&kDetour);
    CloseSession();
    SetDefaultPrefs();
    NormalisePrefs();
    snprintf(gPrefs.playername[0], 16, "%s", "local");
    snprintf(gPrefs.p2p_ip, 16, "%s", "127.0.0.1");
    memset(gCars, 0, sizeof gCars);
    memset(&gStandings, 0, sizeof gStandings);
    gGame.state = MultiplayerMenu;
    gGame.demo = 0;
    InitKeyboard();
    snprintf(gNet.localAddress, 16, "%s", "127.0.0.1");
    gNet.ports = NetPorts{0, 0, 29790, 29791};  // bound anywhere free; nothing is really sent
    gNet.inFrameRate = gNet.outFrameRate = 500;
    gNet.inSound = gNet.outSound = -1;
    gNet.refusedTrack = -1;
    gClock.stepRate = 500.0;
    gClock.frameRate = 60.0;
    gWire = Wire{};
    ResetRandom();
    ClearDust();
}

// After the endpoints change: which port is which.
void NotePorts()
{
    gWire.lobbyPort = gNet.lobbyReceiver ? gNet.lobbyReceiver->BoundPort() : -1;
    gWire.racePort = gNet.raceReceiver ? gNet.raceReceiver->BoundPort() : -1;
}

void StartSession(int32_t role)
{
    init_lobbyTalk(role);
    gGame.state = role == kRoleHost ? HostLobby : ClientLobby;
    NotePorts();
}

bool Printable(const char* text, size_t size)
{
    for (size_t i = 0; i < size; i++) {
        if (text[i] == 0)
            return true;
        if ((unsigned char)text[i] < 32 || (unsigned char)text[i] >= 127)
            return false;
    }
    return false;
}

bool Finite3(const float v[3])
{
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

void CheckRecords()
{
    if (gPrefs.track < 0 || gPrefs.track >= gConfig.trackCount)
        FuzzFail("track index from the network");
    if (gPrefs.gamemode != 0 && gPrefs.gamemode != 1)
        FuzzFail("game mode");
    if (gPrefs.laps < 1 || gPrefs.laps > 12 || gPrefs.timelimit < 1 || gPrefs.timelimit > 60)
        FuzzFail("race length");
    if (gPrefs.carCount < 1 || gPrefs.carCount > (uint32_t)kMaxCars)
        FuzzFail("car count");
    for (int p = 0; p < 2; p++)
        if (!Printable(gPrefs.playername[p], sizeof gPrefs.playername[p]))
            FuzzFail("player name not plain, ended text");
    // The peer's address is only resolved (numbers only), never shown: it
    // need only be ended.
    if (!memchr(gNet.peerAddress, 0, sizeof gNet.peerAddress) || !memchr(gNet.inAddress, 0, sizeof gNet.inAddress))
        FuzzFail("peer address not ended");
    if (gNet.inSound < -1 || gNet.inSound > 3)
        FuzzFail("collision sound from the network");
    if (gStandings.tagHolder < -1 || gStandings.tagHolder >= kMaxCars)
        FuzzFail("tag holder");
    if (gGame.state < MainMenu || gGame.state > Quit)
        FuzzFail("game state");
    for (int c = 0; c < kMaxCars; c++) {
        const Car& car = gCars[c];
        if (!Finite3(car.position) || !Finite3(car.velocity) || !std::isfinite(car.heading) ||
            !std::isfinite(car.steer) || !std::isfinite(gStandings.score[c]))
            FuzzFail("car record not finite");
        for (int w = 0; w < 4; w++)
            if (!std::isfinite(car.wheelPoint[w].y) || !std::isfinite(car.wheelAngles[w].spin))
                FuzzFail("wheel not finite");
        if (gCheckpoints.gateCount > 0 && car.nextCheckpoint >= gCheckpoints.gateCount)
            FuzzFail("next gate outside the course");
    }
    const bool race = IsRaceState(gGame.state);
    if (race && (!gNet.raceReceiver || !gNet.raceSender))
        FuzzFail("race without its endpoints");
}

// One frame of the current state as the game runs it.
void RunFrame()
{
    gNet.received = 0;
    gNet.sent = 0;
    if (gGame.state == HostLobby || gGame.state == ClientLobby) {
        lobbyTalk();
    } else if (IsRaceState(gGame.state)) {
        raceRecv();
        if (IsRaceState(gGame.state)) {
            for (int s = 0; s < 8; s++) {
                if (gNet.sendTimer > 0)
                    gNet.sendTimer -= 1.0f / 500.0f;
                UpdateRace(gGame.state == Race ? kRaceDriving : kRacePaused);
            }
            if (gGame.state == Race) {
                RankByScore();
                RaceIsOver();
            }
            raceSend();
        }
    }
    NotePorts();
}

// The back button of the current screen.
void PressBack()
{
    if (gGame.state == HostLobby) {
        LeaveLobby();
    } else if (gGame.state == ClientLobby) {
        CloseSession();
        LoadPrefs();
        gGame.state = MultiplayerMenu;
    } else if (IsRaceState(gGame.state) && gNet.role == kRoleHost) {
        ReturnToLobby();
    }
    NotePorts();
}

}  // namespace

int FuzzSession(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    ResetWorld();
    size_t at = 0;
    const int32_t role = (data[at++] & 1) ? kRoleClient : kRoleHost;
    StartSession(role);
    int events = 0;
    while (at < size && events < 400) {
        events++;
        const uint8_t op = data[at++];
        switch (op % 8) {
        case 0:    // a datagram of the exact size each receiver takes
        case 1:
        case 2: {  // or of a length the script gives
            const bool toRace = op % 8 == 1 || (op % 8 == 2 && (op & 8));
            size_t length = 0;
            if (op % 8 == 2) {
                length = at < size ? (size_t)data[at++] * 3 : 0;
            } else {
                UdpReceiver* r = toRace ? gNet.raceReceiver : gNet.lobbyReceiver;
                length = r ? r->MessageSize() : 0;
            }
            std::vector<uint8_t>& d = toRace ? gWire.race : gWire.lobby;
            d.assign(length, 0);
            const size_t take = size - at < length ? size - at : length;
            if (take)
                memcpy(d.data(), data + at, take);
            at += take;
            (toRace ? gWire.raceWaiting : gWire.lobbyWaiting) = true;
            RunFrame();
            break;
        }
        case 3:
            RunFrame();
            break;
        case 4:  // the host's race button
            if (gGame.state == HostLobby && gNet.peerJoined) {
                gotoRace();
                NotePorts();
            }
            break;
        case 5:
            PressBack();
            break;
        case 6:  // the host changes its settings in the lobby
            if (gGame.state == HostLobby && at < size) {
                const uint8_t v = data[at++];
                gPrefs.track = v % 2;
                gPrefs.gamemode = (v >> 1) & 1;
                NormalisePrefs();
            }
            break;
        case 7:  // a second without messages: the send timers run out
            gNet.sendTimer = 0.0f;
            RunFrame();
            RunFrame();
            break;
        }
        CheckRecords();
    }
    CloseSession();
    UdpSetDetour(nullptr);
    remove((std::string(FuzzScratchDir()) + "log.txt").c_str());
    return 0;
}

// ---- The message layouts, registered exactly as the session registers them.

static void BuildLayout(FuzzLayoutKind kind, Layout& layout)
{
    layout = Layout{};
    switch (kind) {
    case kJoinRequestLayout:
        AddField(layout, &gNet.inKind, kFieldBytes, 1);
        AddField(layout, gNet.inAddress, kFieldBytes, 16);
        AddField(layout, gNet.inName, kFieldBytes, 16);
        break;
    case kLobbyInfoLayout:
        AddField(layout, &gNet.inKind, kFieldBytes, 1);
        AddField(layout, &gNet.inFrameRate, kFieldInts, 1);
        AddField(layout, gNet.inAddress, kFieldBytes, 16);
        AddField(layout, gNet.inName, kFieldBytes, 16);
        AddField(layout, gNet.inSettings, kFieldBytes, 3);
        break;
    case kRaceStateLayout:
        AddField(layout, &gNet.inKind, kFieldBytes, 1);
        AddField(layout, &gNet.inFrameRate, kFieldInts, 1);
        AddField(layout, &gNet.inTagHolder, kFieldInts, 1);
        AddField(layout, gNet.inLaps, kFieldInts, 2);
        AddField(layout, gNet.inNextCheckpoint, kFieldInts, 2);
        AddField(layout, &gNet.inSound, kFieldInts, 1);
        AddField(layout, gNet.inCarState, kFieldFloats, 28);
        break;
    case kControlsLayout:
        AddField(layout, &gNet.inKind, kFieldBytes, 1);
        AddField(layout, gNet.inControls, kFieldInts, 4);
        break;
    }
}

// The size each receiver of the session really takes, from a host and a
// client session (the host's race receiver after its race button).
static size_t SessionMessageSize(FuzzLayoutKind kind)
{
    ResetWorld();
    size_t size = 0;
    if (kind == kJoinRequestLayout || kind == kControlsLayout) {
        StartSession(kRoleHost);
        if (kind == kJoinRequestLayout) {
            size = gNet.lobbyReceiver->MessageSize();
        } else {
            gNet.peerJoined = 1;  // the race button needs a client, and its address
            snprintf(gNet.peerAddress, sizeof gNet.peerAddress, "%s", "127.0.0.1");
            gotoRace();
            size = gNet.raceReceiver->MessageSize();
        }
    } else {
        StartSession(kRoleClient);
        size = (kind == kLobbyInfoLayout ? gNet.lobbyReceiver : gNet.raceReceiver)->MessageSize();
    }
    CloseSession();
    UdpSetDetour(nullptr);
    return size;
}

int FuzzDatagramLayout(FuzzLayoutKind kind, const uint8_t* data, size_t size)
{
    static const size_t kSizes[4] = {33, 52, 561, 65};
    static bool checked[4] = {};
    Layout layout;
    BuildLayout(kind, layout);
    if (layout.size != kSizes[kind] || layout.overfull)
        FuzzFail("layout size differs from the message's");
    if (!checked[kind]) {
        if (SessionMessageSize(kind) != layout.size)
            FuzzFail("the session registers another layout");
        checked[kind] = true;
    }
    std::vector<uint8_t> message(layout.size, 0);
    if (size)
        memcpy(message.data(), data, size < layout.size ? size : layout.size);

    // Only the registered fields may change.
    std::vector<uint8_t> mask(sizeof gNet, 0);
    for (int f = 0; f < layout.fieldCount; f++) {
        const FieldDescriptor& d = layout.fields[f];
        const size_t bytes = d.type == kFieldBytes ? d.count : 4u * d.count;
        const size_t offset = (size_t)((const uint8_t*)d.address - (const uint8_t*)&gNet);
        memset(mask.data() + offset, 1, bytes);
    }
    NetSession before;
    memcpy(&before, &gNet, sizeof gNet);
    DecodeLayout(layout, message.data());
    for (size_t i = 0; i < sizeof gNet; i++)
        if (!mask[i] && ((const uint8_t*)&gNet)[i] != ((const uint8_t*)&before)[i])
            FuzzFail("decoding wrote outside the registered fields");
    // Encoding what was decoded fills exactly the message, whatever it holds.
    std::vector<uint8_t> again(layout.size + 1, 0xab);
    EncodeLayout(layout, again.data());
    if (again[layout.size] != 0xab)
        FuzzFail("encoding wrote past the message");
    return 0;
}
