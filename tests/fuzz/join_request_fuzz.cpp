// One datagram through the JoinRequest layout (see session_fuzz.cpp).
#include "fuzz_targets.h"

int FuzzJoinRequest(const uint8_t* data, size_t size)
{
    return FuzzDatagramLayout(kJoinRequestLayout, data, size);
}
