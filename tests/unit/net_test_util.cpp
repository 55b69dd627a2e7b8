#include "net_test_util.h"

#include "track_files.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

static int LoopbackSocket(struct sockaddr_in* a, int port)
{
    memset(a, 0, sizeof *a);
    a->sin_family = AF_INET;
    a->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a->sin_port = htons((uint16_t)port);
    return socket(AF_INET, SOCK_DGRAM, 0);
}

int FreeUdpPort()
{
    struct sockaddr_in a;
    int s = LoopbackSocket(&a, 0);
    bind(s, (struct sockaddr*)&a, sizeof a);
    socklen_t length = sizeof a;
    getsockname(s, (struct sockaddr*)&a, &length);
    close(s);
    return ntohs(a.sin_port);
}

void SendRaw(int port, const std::string& bytes)
{
    struct sockaddr_in a;
    int s = LoopbackSocket(&a, port);
    sendto(s, bytes.data(), bytes.size(), 0, (struct sockaddr*)&a, sizeof a);
    close(s);
}

// Copies one machine's records to the globals (load) or back (save).
static void SwapMachine(Machine& m, bool load)
{
    const struct { void* global; void* own; size_t size; } parts[] = {
        {&gNet, &m.net, sizeof gNet},          {&gPrefs, &m.prefs, sizeof gPrefs},
        {&gGame, &m.game, sizeof gGame},       {gCars, m.cars, sizeof gCars},
        {&gStandings, &m.standings, sizeof gStandings}, {&gKeyboard, &m.keyboard, sizeof gKeyboard},
        {gControls, m.controls, sizeof gControls},      {&gRaceSetup, &m.setup, sizeof gRaceSetup},
    };
    for (const auto& p : parts)
        memcpy(load ? p.global : p.own, load ? p.own : p.global, p.size);
}

void ResetMachine(const char* name)
{
    SetDefaultPrefs();
    NormalisePrefs();
    snprintf(gPrefs.playername[0], 16, "%s", name);
    memset(gCars, 0, sizeof gCars);
    memset(&gStandings, 0, sizeof gStandings);
    memset(&gGame, 0, sizeof gGame);
    gGame.state = MultiplayerMenu;
    InitKeyboard();
}

static void MakeMachine(Machine& m, const NetPorts& ports, const char* name)
{
    ResetMachine(name);
    snprintf(gPrefs.playername[1], 16, "%s", "second");
    snprintf(gPrefs.p2p_ip, 16, "%s", "127.0.0.1");
    StartNetwork();
    gNet.ports = ports;
    snprintf(gNet.localAddress, 16, "%s", "127.0.0.1");
    SwapMachine(m, false);
}

TwoMachines::TwoMachines()
{
    int a = FreeUdpPort(), b = FreeUdpPort(), c = FreeUdpPort(), d = FreeUdpPort();
    hostPorts = NetPorts{a, b, c, d};
    clientPorts = NetPorts{c, d, a, b};
    MakeMachine(host, hostPorts, "hosting");
    MakeMachine(client, clientPorts, "joining");
    // A client reloads its file when it leaves: the file is the client's.
    OnClient(SavePrefs);
}

TwoMachines::~TwoMachines()
{
    OnHost(CloseSession);
    OnClient(CloseSession);
}

void TwoMachines::On(Machine& m, const std::function<void()>& work)
{
    SwapMachine(m, true);
    work();
    SwapMachine(m, false);
}

void WriteTestTracks(const std::string& root)
{
    const char* names[2] = {"alpha", "beta"};
    const std::string dir = root + "data/tracks/";
    for (const char* sub : {"terrains", "checkpoints"})
        std::filesystem::create_directories(dir + sub);
    for (int t = 0; t < 2; t++) {
        std::ofstream(dir + "terrains/" + names[t] + ".tga", std::ios::binary) << GreyTga(64, 64, 0x40);
        std::ofstream(dir + "checkpoints/" + names[t] + ".txt") << "0 -10 0 3\n10 -20 90 3\n-10 -20 90 3\n";
        snprintf(gConfig.trackNames[t], kTrackNameSize, "%s", names[t]);
    }
    gConfig.trackCount = 2;
}

namespace {
std::string NetSlot(const char* format, double v)
{
    char s[64];
    snprintf(s, sizeof s, format, v);
    return std::string(s, 16);
}
std::string IntSlot(int v) { return NetSlot("%15.0f ", v); }
std::string Text16(const char* text) { return std::string(text) + std::string(16 - strlen(text), '\0'); }
}  // namespace

std::string ControlsBytes(int kind, int a, int l, int b, int r)
{
    return std::string(1, (char)kind) + IntSlot(a) + IntSlot(l) + IntSlot(b) + IntSlot(r);
}

std::string RaceStateBytes(int tagHolder, int sound, const float car[28])
{
    std::string m = "\x03" + IntSlot(60) + IntSlot(tagHolder) + IntSlot(0) + IntSlot(0) + IntSlot(0) + IntSlot(0) + IntSlot(sound);
    for (int i = 0; i < 28; i++)
        m += NetSlot("%15.7f ", car[i]);
    return m;
}

std::string LobbyInfoBytes(const char* address, const char* name, int mode, int track, int length)
{
    return "\x01" + IntSlot(60) + Text16(address) + Text16(name) + (char)mode + (char)track + (char)length;
}
