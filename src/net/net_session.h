// The network session: one global record shared by the lobby, the race
// exchange, the frame clock (a client's frame-rate cap) and the world rules
// (collision sounds numbered by the host).
//
// Two machines play: the host picks mode, track and length and simulates
// both cars; the client types the host's address, sends its keys every
// frame and copies the car states it receives.  On each machine car 0 is
// the local player and car 1 the peer.  Lobby messages use port 29790,
// race messages 29791; every received value is checked before it is used,
// since anything may arrive on those ports.
#pragma once

#include <cstdint>

class UdpSender;
class UdpReceiver;

enum NetRole : int32_t { kRoleHost = 0, kRoleClient = 1, kRoleNone = 2 };

static const int kLobbyPort = 29790;
static const int kRacePort = 29791;

// Message kinds (the first byte of every message).
enum NetKind : uint8_t {
    kKindLobbyInfo = 1,    // host -> client, 52 bytes
    kKindJoinRequest = 2,  // client -> host, 33 bytes
    kKindRaceState = 3,    // host -> client, 561 bytes
    kKindControls = 4,     // client -> host, 65 bytes
    kKindLobbyClosed = 6,  // host -> client, the LobbyInfo layout
};

static const int32_t kTagHolderBackToLobby = 5;  // RaceState: the host left the race

// Where this machine listens and where it sends.  Both machines of a real
// game use 29790 and 29791 for everything; tests running host and client
// in one process give each side its own pair.
struct NetPorts {
    int lobbyLocal, raceLocal;  // bound here
    int lobbyPeer, racePeer;    // the peer's
};

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
    int32_t ownPlayers;        // host: nplayers kept aside while a network race uses 1
    int32_t ownOpponents;      // host: nopponents kept aside while a network race uses 1
    int32_t ownLaps;           // host: laps kept aside while a network race holds them to 3..12
    int32_t ownTimeLimit;      // host: timelimit kept aside while a network race holds it to 10..60
    uint8_t ownKept;           // host: the own* fields hold the player's values
    uint8_t outKind;
    char outAddress[16];
    char outName[16];
    uint8_t outSettings[3];    // host: gamemode, track, laps or timelimit
    uint8_t inKind;            // 0 before each receive
    char inAddress[16];
    char inName[16];
    int8_t inSettings[3];
    int32_t outControls[4], outTagHolder, outLaps[2], outNextCheckpoint[2], outSound, outFrameRate;
    int32_t inControls[4], inTagHolder, inLaps[2], inNextCheckpoint[2], inSound, inFrameRate;
    float outCarState[28];     // cars 0 and 1: x, y, z, heading, steer, score, 4 x (wheel y, spin)
    float inCarState[28];
    NetPorts ports;
    int32_t refusedTrack;      // client: the host's last track index not found here, or -1 (logged once)
    uint32_t peerSource;       // the peer's IPv4 address as its datagrams show it (network order); 0 unknown
    uint32_t droppedForeign;   // datagrams of this session dropped for coming from another address
    float peerSilence;         // seconds since the last valid message from the known peer
    char notice[48];           // why the last session ended by itself ("" if it did not); shown in state 3
};

// Per process: StartNetwork at every start-up pass, CloseSession on leaving a
// session and at shut-down.
extern NetSession gNet;

// Start-up: no session, ports 29790/29791, the host name and this machine's
// IPv4 addresses logged, the first one kept as localAddress.
void StartNetwork();

// Starts a session as host (kRoleHost) or client (kRoleClient): makes the
// four endpoints and binds the lobby (host) or the lobby and race (client).
// False, with no session and the reason in the log and in notice, when a
// port is taken or the typed host address leads nowhere.
bool init_lobbyTalk(int32_t role);

// One frame of the lobby (states 4 and 5): the client asks to join, the
// host answers at once and repeats its settings every second; the client
// starts its race at the host's first race message.
void lobbyTalk();

// The host lobby's back button: tells the client, closes, state 3.
void LeaveLobby();

// Deletes the four endpoints, clears peerJoined and sendTimer, role none.
// Ending a session logs "dropped N datagrams from other addresses".
void CloseSession();

// Closes the endpoints and opens the lobby again as `role` within the same
// session (the peer, its source and the dropped count are kept): the way
// back from a race to the lobby.  False as init_lobbyTalk: the session is
// over.
bool ReopenLobby(int32_t role);

// Once per frame of a lobby or race: `heard` is whether a valid message
// came from the known peer in this frame.  After kPeerSilenceLimit seconds
// of silence the session ends as if the peer had left (the notice says
// so) and the game goes to the multiplayer menu.  Returns true when it did.
bool NotePeer(bool heard);

// The host's own preferences back in place of the session's: player2name
// = savedPlayer2Name, and the counts and race lengths a network race
// replaced.
void RestoreOwnPrefs();

// SavePrefs with the host's own player2name, counts and lengths in place of the
// session's; gPrefs itself is left as it was.
void SaveSessionPrefs();

// Race exchange (states 6, 7, 8).  gotoRace starts the network race on
// either machine; raceRecv takes one message before the steps (host: the
// client's keys as player 2's; client: both cars' states, mirrored);
// raceSend sends the client's keys every frame, the host's state when asked
// or once a second; ReturnToLobby takes both players back to the lobby.
void gotoRace();

// Client: every waiting lobby message from the host's address that passes
// its checks; the newest stands in the received fields.  Returns its kind (kKindLobbyInfo, or kKindLobbyClosed,
// after which nothing more is read), 0 when none came.
int32_t TakeHostLobbyMessages();

// Client: the host's name and settings from the received LobbyInfo.
void TakeLobbyInfo();

// Client in the lobby: the host's race messages, checked as in a race.
// True when one was kept; *start says whether the newest starts the race.
bool TakeLobbyRaceMessages(bool* start);

void raceRecv();
void raceSend();
void ReturnToLobby();

// Host: lobbySender to peerAddress with the LobbyInfo layout (on the first
// join and on the way back from a race).
void OpenLobbyInfoSender();

// One key press (a virtual-key code) into the peer address text of the
// multiplayer menu: Backspace (8) removes the last character; otherwise,
// below 15 characters, a digit key of the keypad (96-105) or of the main
// row (48-57) appends its digit and any other key appends ".".  Returns
// whether the text changed.
bool EditPeerAddress(char address[16], int32_t key);

// Logs where cars 0 and 1 stand as a network race is left.
void LogNetworkRaceEnd();

// The current mode's race length as a network race runs it (laps or
// seconds, held to what the client accepts).
int32_t NetworkRaceLength();

// outFrameRate from the clock: the last frame's rate, at least 25.
int32_t SessionFrameRate();
