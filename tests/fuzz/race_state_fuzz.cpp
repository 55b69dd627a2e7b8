// One datagram through the RaceState layout (see session_fuzz.cpp).
#include "fuzz_targets.h"

int FuzzRaceState(const uint8_t* data, size_t size)
{
    return FuzzDatagramLayout(kRaceStateLayout, data, size);
}
