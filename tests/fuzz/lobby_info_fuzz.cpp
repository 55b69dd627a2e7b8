// One datagram through the LobbyInfo layout (see session_fuzz.cpp).
#include "fuzz_targets.h"

int FuzzLobbyInfo(const uint8_t* data, size_t size)
{
    return FuzzDatagramLayout(kLobbyInfoLayout, data, size);
}
