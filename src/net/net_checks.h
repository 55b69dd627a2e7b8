// What the session takes from the network, and from whom.  Pure checks on
// a message already decoded into the received fields of a session record
// (in*), so that the receive loops can refuse a whole message and keep the
// values of the last one they accepted.
//   - The peer is whoever sent the datagram: a join request must carry its
//     own source address, and once the peer is known only datagrams from
//     that source count.
//   - Numbers are held to what a race can reach: positions inside the
//     world's box, heights near the ground, headings, steering, laps, gates,
//     scores and sounds within their ranges, and nothing that is not finite.
#pragma once

#include <cstdint>

#include "net/net_session.h"

// At most this many datagrams are read from one socket in one frame; the
// rest wait for the next frame (a flood delays real messages one frame).
static const int kMaxDatagramsPerFrame = 256;

// Seconds without a valid datagram from a known peer before the session
// gives up on it.
static const float kPeerSilenceLimit = 10.0f;

// The race lengths of a network race: what the lobby message's byte holds
// and the client accepts.  The preferences allow more when hand-edited;
// such a value is raced as the nearest of these.
static const int32_t kNetMinLaps = 3, kNetMaxLaps = 12;
static const int32_t kNetMinTimeLimit = 10, kNetMaxTimeLimit = 60;  // seconds
int32_t NetworkLaps(int32_t laps);
int32_t NetworkTimeLimit(int32_t seconds);

// The ranges a received race state must keep.
struct RaceLimits {
    float low, high;       // world x and z of the box the cars stay in
    float bottom, top;     // world y of the car and its wheel points
    float maxSteer;        // degrees either way
    float maxSpin;         // degrees either way of a wheel's spin angle
    float maxScore;        // score of one car in this race
    int32_t maxLaps;       // laps done of one car
    int32_t maxGates;      // a next-gate index stays below this
};

// The limits of a race on the current settings (laps, time limit, mode)
// and the world's size: the box is the world's edge with a car's length
// to spare, heights go from below the lowest to well above the highest
// ground a heightmap can give.  Reads gPrefs and gTerrain.
RaceLimits CurrentRaceLimits();

// True when `source` is the peer: a known source (not 0) equal to it.
bool FromPeer(uint32_t source, uint32_t peerSource);

// True when the 16-byte address text names `source` exactly (dotted
// decimal, ended inside its 16 bytes).
bool AddressIsSource(const char text[16], uint32_t source);

// ControlsMessage: four key flags, each 0 or 1.
bool ControlsAreSound(const NetSession& in);

// LobbyInfo or LobbyClosed: a frame rate the host can have sent.
bool LobbyInfoIsSound(const NetSession& in);

// RaceState: frame rate, tag holder (-1 no tag, 0, 1, or back to the
// lobby), laps, gates, sound and the 28 floats of the two cars.
bool RaceStateIsSound(const NetSession& in, const RaceLimits& limits);

// Puts the received fields (in*) of `from` back into `to`: a refused
// message leaves the values of the last accepted one.
void RestoreReceived(NetSession& to, const NetSession& from);
